// Both programs from start-up to About, Help and the second copy, driven from
// outside as a user would. Which texts are expected follows this process's own
// code page: run-tier.sh runs the suite once at 1252 and once at 932.
#include <gtest/gtest.h>

#include "tests/e2e/session.h"

using namespace e2e;

namespace {

class Shell : public testing::TestWithParam<const ProgramFacts*> {
 protected:
  const ProgramFacts& facts() const { return *GetParam(); }
  void StartOrFail(Running& run, const std::string& exePath = "") {
    std::string error;
    ASSERT_TRUE(run.Start(facts(), &error, exePath)) << error;
  }
};

std::string ProgramName(const testing::TestParamInfo<const ProgramFacts*>& info) { return info.param->name; }

// The client area of the main window as it is on the screen.
Image ClientShot(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  POINT origin = ClientToScreenPoint(window, 0, 0);
  return CaptureScreen(origin.x, origin.y, client.right, client.bottom);
}

TEST_P(Shell, StartsWithTitleButtonsAndLogo) {
  Running run;
  StartOrFail(run);
  EXPECT_EQ(WindowText(run.main()), facts().Title());

  ASSERT_NE(run.iconBar(), nullptr) << "no IconBarWindow child";
  for (int id = facts().firstButtonId; id <= facts().lastButtonId; ++id) {
    HWND button = run.Button(id);
    ASSERT_NE(button, nullptr) << "button " << id;
    EXPECT_EQ(IsWindowEnabled(button) != FALSE, facts().enabledAtStart.count(id) == 1) << "button " << id;
  }

  // The logo, as the program's own IBMP_1, centred in the area below the band.
  Image logo;
  ASSERT_TRUE(LoadProgramBitmap(facts().Path(), "IBMP_1", &logo)) << "no IBMP_1 in " << facts().exe;
  EXPECT_EQ(logo.width, facts().logoWidth);
  EXPECT_EQ(logo.height, facts().logoHeight);
  Image client;
  ASSERT_TRUE(WaitUntil([&] {
    client = ClientShot(run.main());
    int x = (client.width - logo.width) / 2;
    int y = (client.height - logo.height - facts().logoBandOffset) / 2 + facts().logoBandOffset;
    return DifferentPixels(client.Crop(x, y, logo.width, logo.height), logo) == 0;
  }, kPatienceMs)) << "logo not found at its place; client saved to " << ShotPath(std::string("logo-") + facts().name)
            << (client.SaveBmp(ShotPath(std::string("logo-") + facts().name)) ? "" : " (not saved)");
  // Outside the logo the client stays white.
  int x = (client.width - logo.width) / 2;
  EXPECT_EQ(client.At(x - 2, client.height - 2), 0xFFFFFFu);
}

TEST_P(Shell, SecondCopyIsRefusedWithoutAWindow) {
  Running first;
  StartOrFail(first);
  Process second;
  std::string error;
  ASSERT_TRUE(second.Start(facts().Path(), &error)) << error;
  DWORD code = 99;
  ASSERT_TRUE(second.WaitExit(15000, &code)) << "the second copy is still running";
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(FindTopLevel(nullptr, nullptr, second.id()).empty() || !second.running());
  std::vector<HWND> mains = FindTopLevel(facts().windowClass, nullptr, 0);
  ASSERT_EQ(mains.size(), 1u);
  EXPECT_EQ(mains[0], first.main());
  EXPECT_EQ(WindowText(first.main()), facts().Title()) << "the first copy must be untouched";
}

TEST_P(Shell, AboutOpensAndCloses) {
  Running run;
  StartOrFail(run);
  run.ClickButton(facts().aboutButtonId);
  std::string title = Ansi(Pick("About", "御案内"));
  HWND about = WaitForDialog(title.c_str(), run.pid(), kPatienceMs);
  ASSERT_NE(about, nullptr) << "no About dialog";
  EXPECT_EQ(GetWindow(about, GW_OWNER), run.main());
  EXPECT_FALSE(IsWindowEnabled(run.main())) << "About must be modal";
  EXPECT_EQ(ItemText(about, IDOK), Ansi(Pick("Close", "閉じる")));
  bool namesProduct = false;
  for (const std::string& text : StaticTexts(about))
    namesProduct = namesProduct || text.find(Ansi(Pick(facts().name[0] == 'k' ? "Kestro" : "Mirtav",
                                                       facts().name[0] == 'k' ? "ケストロ" : "ミルタヴ"))) != std::string::npos;
  EXPECT_TRUE(namesProduct) << "the About box names its product";
  PressButton(about, IDOK);
  EXPECT_TRUE(WaitGone(about, kPatienceMs));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(run.main()) != FALSE; }, kPatienceMs));
  EXPECT_TRUE(IsWindow(run.main())) << "closing About must not close the program";
}

// Help beside a program file with no documents beside it.
TEST_P(Shell, HelpReportsAMissingReadme) {
  std::string dir = MakeTempDir(std::string("e2e-noreadme-") + facts().name);
  std::string exe = JoinPath(dir, facts().exe);
  ASSERT_TRUE(CopyFileA(facts().Path().c_str(), exe.c_str(), FALSE));
  Running run;
  StartOrFail(run, exe);
  run.ClickButton(facts().helpButtonId);
  std::string title = Ansi(Pick("Error", "エラー"));
  HWND box = WaitForDialog(title.c_str(), run.pid(), kPatienceMs);
  ASSERT_NE(box, nullptr) << "no missing-readme message";
  std::string readme = facts().Readme();
  std::string expected = JapaneseSystem()
      ? Ansi(("説明書ファイル（" + readme + "）を同じ\nフォルダーに入れてください.").c_str())
      : "Install the readme file (" + readme + ")\nin the same directory.";
  EXPECT_EQ(ItemText(box, 0xFFFF), expected);
  EXPECT_EQ(GetWindow(box, GW_OWNER), run.main());
  PressButton(box, IDOK);
  EXPECT_TRUE(WaitGone(box, kPatienceMs));
  EXPECT_TRUE(IsWindow(run.main()));
}

INSTANTIATE_TEST_SUITE_P(Programs, Shell, testing::Values(&Kestro(), &Mirtav()), ProgramName);

// Help where a stand-in viewer is registered for .pdf (run-tier.sh sets up the prefix).
class Viewer : public Shell {
 protected:
  std::string received() const { return JoinPath(ThisDir(), "viewer-received.txt"); }
  void ExpectViewerGets(const std::string& exe, const std::string& expectedPath) {
    DeleteFileA(received().c_str());
    Running run;
    StartOrFail(run, exe);
    run.ClickButton(facts().helpButtonId);
    // The viewer creates the file and then writes it: wait for its content.
    ASSERT_TRUE(WaitUntil([&] { return !ReadTextFile(received()).empty(); }, kPatienceMs))
        << "the viewer was not started";
    EXPECT_EQ(_stricmp(ReadTextFile(received()).c_str(), expectedPath.c_str()), 0)
        << "viewer got " << ReadTextFile(received()) << ", expected " << expectedPath;
    // The program hands the path over before it could show a message.
    EXPECT_TRUE(NotWithin("a message after a successful Help", [&] {
      for (HWND box : FindTopLevel("#32770", nullptr, run.pid()))
        if (IsWindowVisible(box)) return true;
      return false;
    }, 500));
  }
};

TEST_P(Viewer, HelpHandsTheReadmeBesideTheProgramToTheViewer) {
  ASSERT_TRUE(FileExists(JoinPath(ProgramDir(), facts().Readme()))) << facts().Readme() << " is not built";
  ExpectViewerGets(facts().Path(), JoinPath(ProgramDir(), facts().Readme()));
}

// A renamed program file still finds the documents beside it.
TEST_P(Viewer, HelpWorksForARenamedProgram) {
  std::string dir = MakeTempDir(std::string("e2e-renamed-") + facts().name);
  std::string exe = JoinPath(dir, "RENAMED.EXE");
  ASSERT_TRUE(CopyFileA(facts().Path().c_str(), exe.c_str(), FALSE));
  std::string readme = JoinPath(dir, facts().Readme());
  ASSERT_TRUE(CopyFileA(JoinPath(ProgramDir(), facts().Readme()).c_str(), readme.c_str(), FALSE));
  ExpectViewerGets(exe, readme);
}

INSTANTIATE_TEST_SUITE_P(Programs, Viewer, testing::Values(&Kestro(), &Mirtav()), ProgramName);

// Help where nothing is registered for .pdf.
class NoViewer : public Shell {};

TEST_P(NoViewer, HelpReportsThatNoViewerExists) {
  ASSERT_TRUE(FileExists(JoinPath(ProgramDir(), facts().Readme()))) << facts().Readme() << " is not built";
  Running run;
  StartOrFail(run);
  run.ClickButton(facts().helpButtonId);
  std::string title = Ansi(Pick("Error", "エラー"));
  HWND box = WaitForDialog(title.c_str(), run.pid(), kPatienceMs);
  ASSERT_NE(box, nullptr) << "no no-viewer message";
  std::string readme = facts().Readme();
  std::string expected = JapaneseSystem()
      ? Ansi(("PDF 文書の閲覧ソフトが無いので、\n説明書（" + readme + "）を開けません.").c_str())
      : "Unable to open the readme file (" + readme + ")\nbecause of being NO software to read PDF documents.";
  EXPECT_EQ(ItemText(box, 0xFFFF), expected);
  PressButton(box, IDOK);
  EXPECT_TRUE(WaitGone(box, kPatienceMs));
  EXPECT_TRUE(IsWindow(run.main()));
}

INSTANTIATE_TEST_SUITE_P(Programs, NoViewer, testing::Values(&Kestro(), &Mirtav()), ProgramName);

}  // namespace
