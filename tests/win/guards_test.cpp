// The scoped guards on real global memory, the real clipboard and real GDI
// objects.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "common/base/gdi_guards.h"
#include "common/base/shell_state.h"
#include "common/bitmap/global_memory.h"
#include "tests/win/win_test_support.h"

namespace {

using wintest::LockCount;

struct MovableBlock {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 100);
  ~MovableBlock() {
    while (handle != nullptr && LockCount(handle) > 0) GlobalUnlock(handle);
    if (handle != nullptr) GlobalFree(handle);
  }
};

TEST(GlobalMemoryGuard, LocksOnceAndUnlocksOnDestruction) {
  MovableBlock block;
  ASSERT_NE(block.handle, nullptr);
  {
    GlobalMemoryData guard(block.handle);
    EXPECT_EQ(LockCount(block.handle), 0u) << "construction must not lock";
    void* first = guard.Lock();
    void* second = guard.Lock();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(LockCount(block.handle), 1u) << "a second Lock must not lock again";
    EXPECT_EQ(guard.Size(), GlobalSize(block.handle));
    guard.Unlock();
    EXPECT_EQ(LockCount(block.handle), 0u) << "one Unlock ends the lock";
    guard.Unlock();
    EXPECT_EQ(LockCount(block.handle), 0u);
    EXPECT_EQ(guard.Size(), 100u) << "Size works unlocked too";
    guard.Lock();
  }
  EXPECT_EQ(LockCount(block.handle), 0u) << "the destructor unlocks";
  EXPECT_NE(GlobalFlags(block.handle), static_cast<UINT>(GMEM_INVALID_HANDLE))
      << "the guard must not free the block";
  EXPECT_EQ(GlobalSize(block.handle), 100u);
}

TEST(GlobalMemoryGuard, NeverLockedGuardLeavesOtherLocksAlone) {
  MovableBlock block;
  ASSERT_NE(GlobalLock(block.handle), nullptr);
  { GlobalMemoryData guard(block.handle); }
  EXPECT_EQ(LockCount(block.handle), 1u) << "a guard that never locked must not unlock";
  GlobalUnlock(block.handle);
}

TEST(ClipboardGuard, ClosesTheClipboardEvenWithoutAnyOperation) {
  ASSERT_TRUE(OpenClipboard(wintest::TestMainWindow()));
  ASSERT_EQ(GetOpenClipboardWindow(), wintest::TestMainWindow());
  { MyClipboard clipboard; }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr) << "the destructor must call CloseClipboard";
  // A second close has nothing to close: the guard's own close was the only one.
  EXPECT_FALSE(CloseClipboard());
}

TEST(ClipboardGuard, OpensImplicitlyWithTheMainWindowAndHandsOverTheBlock) {
  const char text[] = "hand-over";
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  ASSERT_NE(block, nullptr);
  {
    GlobalMemoryData memory(block);
    std::memcpy(memory.Lock(), text, sizeof text);
  }
  {
    MyClipboard clipboard;
    EXPECT_TRUE(clipboard.Empty());
    EXPECT_EQ(GetOpenClipboardWindow(), mainWindow) << "implicit open owner";
    EXPECT_EQ(clipboard.Open(nullptr), 1) << "already open: no new open";
    EXPECT_EQ(clipboard.SetData(CF_TEXT, block), block);
    EXPECT_TRUE(clipboard.IsFormatAvailable(CF_TEXT));
  }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  // The clipboard owns the block now; neither guard freed it.
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE back = GetClipboardData(CF_TEXT);
  ASSERT_NE(back, nullptr);
  const char* readBack = static_cast<const char*>(GlobalLock(back));
  ASSERT_NE(readBack, nullptr);
  EXPECT_STREQ(readBack, text);
  GlobalUnlock(back);
  CloseClipboard();
}

TEST(ClipboardGuard, FailedOpenIsRetriedByTheNextOperation) {
  HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    OpenClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(release, 10000);
    CloseClipboard();
  });
  WaitForSingleObject(opened, 10000);
  {
    MyClipboard clipboard;
    EXPECT_EQ(clipboard.Open(mainWindow), 0) << "another thread holds the clipboard";
    EXPECT_FALSE(clipboard.Empty());
    SetEvent(release);
    holder.join();
    EXPECT_TRUE(clipboard.Empty()) << "the implicit open tries again";
    EXPECT_EQ(GetOpenClipboardWindow(), mainWindow);
  }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  CloseHandle(opened);
  CloseHandle(release);
}

TEST(GdiGuards, EachGivesBackWhatItOwnsInTheRightOrder) {
  ScopedGetDC dc(mainWindow);
  ASSERT_NE(static_cast<HDC>(dc), nullptr);
  const HGDIOBJ penBefore = GetCurrentObject(dc, OBJ_PEN);
  HPEN pen = nullptr;
  {
    ScopedPen owned(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    pen = owned;
    {
      ScopedSelectObject selected(dc, owned);
      EXPECT_TRUE(selected.Selected());
      EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), penBefore) << "the previous pen is back";
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN)) << "alive until its guard ends";
  }
  EXPECT_EQ(GetObjectType(pen), 0u) << "the pen is deleted";

  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  {
    ScopedMemoryDC owned(dc);
    memory = owned;
    ScopedBitmap picture(CreateCompatibleBitmap(dc, 4, 4));
    bitmap = picture;
    ScopedSelectObject selected(owned, picture);
    EXPECT_EQ(GetCurrentObject(memory, OBJ_BITMAP), bitmap);
  }
  EXPECT_EQ(GetObjectType(memory), 0u) << "the memory DC is deleted";
  EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap, selected out first, is deleted";

  ScopedSelectObject nothing(dc, nullptr);
  EXPECT_FALSE(nothing.Selected()) << "a null object selects nothing and restores nothing";
}

}  // namespace
