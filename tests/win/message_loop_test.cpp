// The program's message loop: it returns the quit message's code, and 0, not
// whatever the stack held, when GetMessageA fails before any message came.
#include <gtest/gtest.h>

#include <cstring>

#include "common/base/shell_state.h"
#include "common/ui/app_shell.h"

namespace {

// Leaves a pattern in the stack below the caller, where the loop's MSG will lie.
__attribute__((noinline)) void DirtyTheStack() {
  volatile unsigned char junk[16384];
  for (size_t i = 0; i < sizeof junk; ++i) junk[i] = 0xA5;
}

DWORD WINAPI LoopOverAWindowThatIsNone(void* result) {
  DirtyTheStack();
  // A window filter that names no window makes GetMessageA fail at once.
  *static_cast<int*>(result) = RunMessageLoop(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FF0)));
  return 0;
}

TEST(MessageLoop, EndsWithTheQuitCodeOrZero) {
  PostQuitMessage(7);
  EXPECT_EQ(RunMessageLoop(), 7);

  int result = -1;
  HANDLE thread = CreateThread(nullptr, 0, LoopOverAWindowThatIsNone, &result, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0) << "the loop did not end";
  CloseHandle(thread);
  EXPECT_EQ(result, 0);
}

}  // namespace
