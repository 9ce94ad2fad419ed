// A fixture for tests run once per language: the flag is set for the test,
// the Japanese run is skipped unless the process has code page 932, and no
// DIB block is held before or after.
#pragma once

#include <gtest/gtest.h>

#include "common/bitmap/dib_block.h"
#include "common/base/text.h"
#include "tests/win/win_test_support.h"

namespace wintest {

class PerLanguage : public testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    if (GetParam() == kJapanese && !JapaneseCodePage()) {
      GTEST_SKIP() << "Japanese texts are checked in the run with code page 932";
    }
    languageFlag = GetParam();
    ReleaseDibBlock();
  }
  void TearDown() override {
    ReleaseDibBlock();
    languageFlag = kEnglish;
  }
};

}  // namespace wintest
