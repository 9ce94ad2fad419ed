// Entry of the Win32 test executable: the process-wide shell state as the
// colour editor would set it (a test of the shuffler adopts its description
// and gives the editor's back), then GoogleTest.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/base/shell_state.h"
#include "kestro98/description.h"
#include "kestro98/palette_window.h"
#include "mirtav00/palette_window.h"
#include "tests/win/win_test_support.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  AdoptProgram(kestro::kDescription);
  appInstance = GetModuleHandleA(nullptr);
  mainWindow = wintest::TestMainWindow();
  // The programs register their palette windows' classes at start.
  kestro::RegisterPaletteWindowClass();
  mirtav::RegisterPaletteWindowClass();
  if (mainWindow == nullptr) {
    // No display (or no desktop): every box test would fail obscurely.
    std::fprintf(stderr, "win tests: the test main window cannot be created\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
