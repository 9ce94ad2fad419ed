// Entry of the Win32 test executables: the process-wide shell state as the
// program under test would set it, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/ui/shell_state.h"
#include "tests/win/win_test_support.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  currentProgram = TEST_PROGRAM;
  appInstance = GetModuleHandleA(nullptr);
  mainWindow = wintest::TestMainWindow();
  if (mainWindow == nullptr) {
    // No display (or no desktop): every box test would fail obscurely.
    std::fprintf(stderr, "win tests: the test main window cannot be created\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
