// The icon-bar tables against each other and against the caption tables,
// and the bitmap names built from them.
#include "common/ui/core/button_tables.h"
#include "common/ui/core/caption_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kestro98/bar_tables.h"
#include "mirtav00/bar_tables.h"

using namespace ui_core;

namespace {

TEST(ButtonTables, RowsTileTheBarWithoutGapsAndIdsAreConsecutive) {
  for (const ProgramLook* p : {&kestro::kLook, &mirtav::kLook}) {
    const ButtonTable t = p->buttons;
    ASSERT_GT(t.count, 2u);
    int x = 0;
    for (size_t i = 0; i < t.count; ++i) {
      EXPECT_EQ(x, t.rows[i].x) << t.rows[i].baseName;
      EXPECT_EQ(t.rows[0].controlId + static_cast<int>(i), t.rows[i].controlId);
      x += ButtonWidth(t.rows[i], 1024);
    }
    EXPECT_EQ(1024, x) << "the space reaches the right edge of the screen";
    EXPECT_STREQ("Gap", t.rows[0].baseName);
    EXPECT_STREQ("Space", t.rows[t.count - 1].baseName);
    EXPECT_EQ(0, t.rows[0].command);
    EXPECT_EQ(0, t.rows[t.count - 1].command);
    EXPECT_FALSE(t.rows[0].initiallyEnabled);
    EXPECT_FALSE(t.rows[t.count - 1].initiallyEnabled);
  }
}

TEST(ButtonTables, SpaceWidthFollowsTheScreen) {
  const ButtonSpec* k = FindButton(kestro::kLook.buttons, 120);
  const ButtonSpec* m = FindButton(mirtav::kLook.buttons, 116);
  ASSERT_NE(nullptr, k);
  ASSERT_NE(nullptr, m);
  EXPECT_EQ(720, ButtonWidth(*k, 1024));
  EXPECT_EQ(784, ButtonWidth(*m, 1024));
  EXPECT_EQ(0, ButtonWidth(*k, 200)) << "never negative";
}

TEST(ButtonTables, OnlyTheCommandsOfTheTableAreBarCommands) {
  // The editor's buttons send 101..109, the shuffler's 101..107; the gap
  // and the space send nothing.
  for (int command = 0; command <= 120; ++command) {
    EXPECT_EQ(command >= 101 && command <= 109, IsBarCommand(kestro::kLook.buttons, command))
        << command;
    EXPECT_EQ(command >= 101 && command <= 107, IsBarCommand(mirtav::kLook.buttons, command))
        << command;
  }
}

TEST(ButtonTables, EveryCommandButtonAndOnlyThoseHasACaptionOverItsWholeWidth) {
  // Caption n is the n-th command button's, over exactly its pixels; the gap
  // and the space have none.
  for (const ProgramLook* p : {&kestro::kLook, &mirtav::kLook}) {
    const ButtonTable b = p->buttons;
    for (size_t i = 0; i < b.count; ++i) {
      const ButtonSpec& button = b.rows[i];
      EXPECT_EQ(button.command != 0, ui_core::HasCaption(button)) << button.baseName;
      if (!ui_core::HasCaption(button)) continue;
      const int last = button.x + button.width - 1;
      EXPECT_EQ(static_cast<int>(i), ui_core::CaptionAt(b, button.x)) << button.baseName;
      EXPECT_EQ(static_cast<int>(i), ui_core::CaptionAt(b, last)) << button.baseName;
      EXPECT_NE(static_cast<int>(i), ui_core::CaptionAt(b, last + 1)) << button.baseName;
      EXPECT_EQ(button.x + 1, ui_core::CaptionLeft(button));
      ui_core::ButtonBox box = {};
      ASSERT_TRUE(ui_core::ButtonRectangle(b, button.controlId, 0, 1024, &box));
      EXPECT_EQ(box.left, button.x);
      EXPECT_EQ(box.right, button.x + button.width);
      EXPECT_EQ(box.bottom, ui_core::kButtonHeight);
    }
    ui_core::ButtonBox none = {};
    EXPECT_FALSE(ui_core::ButtonRectangle(b, 9999, 0, 1024, &none));
  }
}

TEST(ButtonTables, EveryBitmapNameFitsItsField) {
  const char* variants[] = {"", "9", "8", "X"};
  const char* states[] = {"Up", "Dn", "In"};
  for (const ProgramLook* p : {&kestro::kLook, &mirtav::kLook}) {
    const ButtonTable t = p->buttons;
    for (size_t i = 0; i < t.count; ++i) {
      for (const char* v : variants) {
        for (const char* s : states) {
          char name[kBitmapNameSize];
          ASSERT_TRUE(ComposeBitmapName(name, t.rows[i].baseName, v, s));
          EXPECT_EQ(std::string(t.rows[i].baseName) + v + s, name);
        }
      }
    }
  }
  char name[kBitmapNameSize];
  ASSERT_TRUE(ComposeBitmapName(name, "Open", "9", "Up"));
  EXPECT_STREQ("Open9Up", name);
  ASSERT_TRUE(ComposeBitmapName(name, "ZmOut", "8", "Up"));
  EXPECT_STREQ("ZmOut8Up", name);
}

TEST(ButtonTables, NamesTooLongAreRefusedNotCut) {
  char name[kBitmapNameSize];
  std::memset(name, 'z', sizeof(name));
  EXPECT_TRUE(ComposeBitmapName(name, "ABCDEFGH", "X", "Up"));  // 11 characters: fits
  EXPECT_STREQ("ABCDEFGHXUp", name);
  EXPECT_FALSE(ComposeBitmapName(name, "ABCDEFGHI", "X", "Up"));  // 12 would need 13 bytes
  EXPECT_STREQ("", name);
  EXPECT_FALSE(ComposeBitmapName(name, nullptr, "", "Up"));
  EXPECT_STREQ("", name);
}

}  // namespace
