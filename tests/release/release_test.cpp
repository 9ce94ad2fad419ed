// The release zips as a Windows user gets them. run-tier.sh unpacks each zip
// into a fresh folder and names it in RELEASE_WIN64_DIR / RELEASE_WIN32_DIR,
// the zips in RELEASE_WIN64_ZIP / RELEASE_WIN32_ZIP, and the file the stand-in
// PDF viewer writes in RELEASE_VIEWER_RECEIVED. The 64-bit programs start from
// their folder; the version resources of all four EXEs are read as Explorer
// reads them. Texts follow this process's code page (run once at 1252, once
// at 932).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/session.h"

using namespace e2e;

namespace {

std::string Env(const char* name) {
  char value[1024] = {};
  DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

// "Kestro-Mirtav-1.0.0-win64.zip" gives "1.0.0"; empty when the name is not of that form.
std::string VersionInZipName(const std::string& zip) {
  const std::string head = "Kestro-Mirtav-";
  size_t end = zip.rfind("-win");
  if (zip.compare(0, head.size(), head) != 0 || end == std::string::npos || end <= head.size()) return "";
  return zip.substr(head.size(), end - head.size());
}

class ReleaseZip : public testing::TestWithParam<const ProgramFacts*> {};

std::string ProgramName(const testing::TestParamInfo<const ProgramFacts*>& info) { return info.param->name; }

TEST_P(ReleaseZip, StartsFromItsFolderAndHelpOpensThePdfBesideIt) {
  const ProgramFacts& facts = *GetParam();
  std::string dir = Env("RELEASE_WIN64_DIR");
  std::string received = Env("RELEASE_VIEWER_RECEIVED");
  ASSERT_FALSE(dir.empty() || received.empty()) << "run tests/release/run-tier.sh, which unpacks the zip";
  DeleteFileA(received.c_str());

  Running run;
  std::string error;
  ASSERT_TRUE(run.Start(facts, &error, JoinPath(dir, facts.exe))) << error;
  EXPECT_EQ(WindowText(run.main()), facts.Title());
  run.ClickButton(facts.helpButtonId);
  ASSERT_TRUE(WaitUntil([&] { return !ReadTextFile(received).empty(); }, 10000)) << "the viewer was not started";
  std::string expected = JoinPath(dir, facts.Readme());
  EXPECT_EQ(_stricmp(ReadTextFile(received).c_str(), expected.c_str()), 0)
      << "viewer got " << ReadTextFile(received) << ", expected " << expected;
  EXPECT_TRUE(FindTopLevel("#32770", nullptr, run.pid()).empty()) << "no message after a successful Help";
}

INSTANTIATE_TEST_SUITE_P(Programs, ReleaseZip, testing::Values(&Kestro(), &Mirtav()), ProgramName);

// One string of a version resource, through VerQueryValueA.
std::string VersionString(const std::vector<char>& info, const std::string& block, const char* name) {
  std::string key = "\\StringFileInfo\\" + block + "\\" + name;
  char* value = nullptr;
  UINT size = 0;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &size) || !value)
    return "<missing>";
  return std::string(value);
}

struct Product {
  const ProgramFacts* facts;
  const char* nameEnglish;
  const char* nameJapanese;
  const char* descriptionEnglish;
  const char* descriptionJapanese;
};

TEST(ReleaseVersion, EveryProgramCarriesTheVersionOfItsZip) {
  const Product products[] = {
      {&Kestro(), "Kestro", "ＢＭＰケストロ", "Palette colour editor", "パレットカラー編集"},
      {&Mirtav(), "Mirtav", "ミルタヴ", "Palette order shuffler", "パレット色順序のランダム化"},
  };
  const std::string zip64 = Env("RELEASE_WIN64_ZIP");
  const std::string version = VersionInZipName(zip64);
  ASSERT_FALSE(version.empty()) << "no version in the zip name '" << zip64 << "'";
  EXPECT_EQ(VersionInZipName(Env("RELEASE_WIN32_ZIP")), version) << "the two zips differ in version";
  unsigned major = 0, minor = 0, patch = 0;
  ASSERT_EQ(sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &patch), 3) << version;

  for (const char* dirVariable : {"RELEASE_WIN64_DIR", "RELEASE_WIN32_DIR"}) {
    for (const Product& product : products) {
      std::string path = JoinPath(Env(dirVariable), product.facts->exe);
      SCOPED_TRACE(path);
      DWORD handle = 0;
      DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
      ASSERT_GT(size, 0u) << "no version resource, error " << GetLastError();
      std::vector<char> info(size);
      ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

      VS_FIXEDFILEINFO* fixed = nullptr;
      UINT fixedSize = 0;
      ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
      ASSERT_GE(fixedSize, sizeof(VS_FIXEDFILEINFO));
      EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
      EXPECT_EQ(fixed->dwFileVersionMS, (major << 16) | minor);
      EXPECT_EQ(fixed->dwFileVersionLS, patch << 16);
      EXPECT_EQ(fixed->dwProductVersionMS, (major << 16) | minor);
      EXPECT_EQ(fixed->dwProductVersionLS, patch << 16);
      EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

      // The languages Explorer offers: English and Japanese, both in UTF-16.
      WORD* languages = nullptr;
      UINT languagesSize = 0;
      ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&languages),
                                 &languagesSize));
      std::vector<WORD> pairs(languages, languages + languagesSize / sizeof(WORD));
      EXPECT_EQ(pairs, (std::vector<WORD>{0x0409, 1200, 0x0411, 1200}));

      const struct {
        const char* block;
        bool japanese;
        const char* name;
        const char* description;
      } blocks[] = {{"040904B0", false, product.nameEnglish, product.descriptionEnglish},
                    {"041104B0", true, product.nameJapanese, product.descriptionJapanese}};
      for (const auto& block : blocks) {
        SCOPED_TRACE(block.block);
        EXPECT_EQ(VersionString(info, block.block, "FileVersion"), version);
        EXPECT_EQ(VersionString(info, block.block, "ProductVersion"), version);
        EXPECT_EQ(VersionString(info, block.block, "OriginalFilename"), product.facts->exe);
        EXPECT_NE(VersionString(info, block.block, "LegalCopyright").find("Copyright (C) "), std::string::npos);
        // Japanese text reads back only in the Japanese code page.
        if (block.japanese == JapaneseSystem()) {
          EXPECT_EQ(VersionString(info, block.block, "ProductName"), Ansi(block.name));
          EXPECT_EQ(VersionString(info, block.block, "FileDescription"), Ansi(block.description));
        }
      }
    }
  }
}

}  // namespace
