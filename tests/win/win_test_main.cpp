// Entry of the Win32 test executables: the process-wide shell state as the
// program under test would set it, then GoogleTest.
#include <gtest/gtest.h>

#include "common/ui/shell_state.h"
#include "tests/win/win_test_support.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  currentProgram = TEST_PROGRAM;
  appInstance = GetModuleHandleA(nullptr);
  mainWindow = wintest::TestMainWindow();
  return RUN_ALL_TESTS();
}
