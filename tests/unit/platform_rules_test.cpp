// The platform style from the registry's version texts, for both programs,
// and the bitmap variant each style gives.
#include "common/base/core/platform_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "kestro98/bar_tables.h"
#include "mirtav00/bar_tables.h"

using ui_core::DecideStyle;
using ui_core::NewerNtStyles;
using ui_core::RegistryReading;
using ui_core::StyleFromNtVersion;
using ui_core::StyleFromProductName;
using ui_core::VariantLetter;

namespace {

const NewerNtStyles& kKestro = kestro::kLook.ntStyles;
const NewerNtStyles& kMirtav = mirtav::kLook.ntStyles;

struct NtRow {
  const char* version;
  int kestro;
  int mirtav;
};

const NtRow kNtRows[] = {
    {"4.0", 3, 3},  {"5.0", 4, 4},  {"5.1", 5, 5},  {"5.2", 5, 5},
    {"6.0", 5, 6},  {"6.1", 5, 6},  {"6.3", 5, 7},  {"10.0", 5, 7},
    {"", 5, 7},     {"Version 5.1 (build)", 5, 5},
};

TEST(PlatformRules, NtVersionTableForBothPrograms) {
  for (const NtRow& row : kNtRows) {
    EXPECT_EQ(row.kestro, StyleFromNtVersion(row.version, kKestro))
        << "CurrentVersion \"" << row.version << "\"";
    EXPECT_EQ(row.mirtav, StyleFromNtVersion(row.version, kMirtav))
        << "CurrentVersion \"" << row.version << "\"";
  }
}

TEST(PlatformRules, NtTestsAreTakenInTableOrder) {
  // A text holding two versions falls to the first test of the table.
  EXPECT_EQ(3, StyleFromNtVersion("5.1 over 4.0", kMirtav));
  EXPECT_EQ(4, StyleFromNtVersion("6.1 / 5.0", kMirtav));
  // Substring tests: "14.0" contains "4.0".
  EXPECT_EQ(3, StyleFromNtVersion("14.0", kKestro));
}

TEST(PlatformRules, ProductNameOfThe95Family) {
  EXPECT_EQ(2, StyleFromProductName("Microsoft Windows ME"));
  EXPECT_EQ(1, StyleFromProductName("Microsoft Windows 98"));
  EXPECT_EQ(2, StyleFromProductName("Windows 98 and Windows ME"));  // ME is tested first
  EXPECT_EQ(0, StyleFromProductName("Microsoft Windows 95"));
  EXPECT_EQ(0, StyleFromProductName("windows me"));  // case-sensitive
  EXPECT_EQ(0, StyleFromProductName(""));
  EXPECT_EQ(0, StyleFromProductName(nullptr));
}

TEST(PlatformRules, DecisionOverBothKeys) {
  for (const NewerNtStyles& program : {kKestro, kMirtav}) {
    RegistryReading nt;
    nt.ntVersionRead = true;
    nt.ntVersion = "5.0";
    nt.windowsKeyOpened = true;
    nt.productName = "Microsoft Windows ME";
    EXPECT_EQ(4, DecideStyle(nt, program, 0)) << "the NT value wins over ProductName";

    RegistryReading me;
    me.windowsKeyOpened = true;
    me.productName = "Microsoft Windows ME";
    EXPECT_EQ(2, DecideStyle(me, program, 0));

    RegistryReading noName;
    noName.windowsKeyOpened = true;
    EXPECT_EQ(0, DecideStyle(noName, program, 3)) << "an unread ProductName is empty text";

    RegistryReading nothing;
    EXPECT_EQ(0, DecideStyle(nothing, program, 0));
    EXPECT_EQ(4, DecideStyle(nothing, program, 4)) << "no key at all keeps the style";
  }
}

TEST(PlatformRules, VariantLetters) {
  const char* expected[] = {"", "", "9", "", "8", "X", "", ""};
  for (int style = 0; style < 8; ++style) {
    EXPECT_EQ(std::string(expected[style]), VariantLetter(style)) << "style " << style;
  }
  EXPECT_STREQ("", VariantLetter(-1));
  EXPECT_STREQ("", VariantLetter(99));
}

TEST(PlatformRules, VersionToVariantEndToEnd) {
  // The cases the icon bar shows: 5.1 gives X in both; 6.1 gives X only in the editor.
  EXPECT_STREQ("X", VariantLetter(StyleFromNtVersion("5.1", kKestro)));
  EXPECT_STREQ("X", VariantLetter(StyleFromNtVersion("5.1", kMirtav)));
  EXPECT_STREQ("X", VariantLetter(StyleFromNtVersion("6.1", kKestro)));
  EXPECT_STREQ("", VariantLetter(StyleFromNtVersion("6.1", kMirtav)));
  EXPECT_STREQ("8", VariantLetter(StyleFromNtVersion("5.0", kMirtav)));
  EXPECT_STREQ("", VariantLetter(StyleFromNtVersion("4.0", kKestro)));
  EXPECT_STREQ("9", VariantLetter(StyleFromProductName("Microsoft Windows ME")));
  EXPECT_STREQ("", VariantLetter(StyleFromProductName("Microsoft Windows 98")));
}

}  // namespace
