// The ways a picture reaches either program besides its Open dialog: named
// on the command line (quoted or not, long or short names, refused as Open
// refuses), handed over by a second start to the copy already running, and
// dropped on the main window; each then asks about unsaved changes as Open
// does.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/e2e/editor_session.h"

using namespace e2e;

namespace {

struct Program {
  const ProgramFacts& facts;
  const char* titlePrefixEnglish;
  const char* titlePrefixJapanese;
  const char* zoom;  // of im4_101x67.bmp in the main window
  const char* extensionEnglish;  // Open's refusal of another extension
  const char* extensionJapanese;
  const char* second;  // the second picture of each way, a PNG where the program opens PNGs
  std::string Title(const std::string& file) const {
    return Ansi(Pick(titlePrefixEnglish, titlePrefixJapanese)) + file + " [" + zoom + "]";
  }
  std::string Extension() const { return Ansi(Pick(extensionEnglish, extensionJapanese)); }
  std::string Second(const char* stem) const { return stem + std::string(second).substr(std::strlen(second) - 4); }
};

const Program kEditor = {Kestro(), "Kestro - ", "ＢＭＰケストロ - ", "1:1", "Select a file with BMP or PNG extension.",
                         "拡張子 BMP か PNG のファイルを選択してください.", "im4_101x67.bmp"};
const Program kShuffler = {Mirtav(), "Mirtav - ", "ミルタヴ - ", "1:1", "Select a file with BMP or PNG extension.",
                           "拡張子 BMP か PNG のファイルを選択してください.", "spng_pil4_12c_45x21.png"};

std::string ProgramNameOf(const testing::TestParamInfo<const Program*>& info) {
  return info.param->facts.name;
}

class OpenWays : public testing::TestWithParam<const Program*> {
 protected:
  const Program& program() const { return *GetParam(); }
  void SetUp() override {
    ASSERT_FALSE(Pictures().empty()) << "E2E_PICTURES is not set";
    dir_ = MakeTempDir(std::string("e2e-open-ways-") + program().facts.name);
  }
  // A copy of a test picture under another name in the test's folder.
  std::string Place(const char* picture, const std::string& name) {
    const std::string to = JoinPath(dir_, name);
    EXPECT_TRUE(CopyFileA(JoinPath(Pictures(), picture).c_str(), to.c_str(), FALSE)) << to;
    return to;
  }
  void Start(Running& run, const std::string& arguments) {
    std::string error;
    ASSERT_TRUE(run.Start(program().facts, &error, "", arguments)) << error;
  }
  // The refusal box that must come, its text returned and answered.
  std::string Refusal(const Running& run, const char* titleEnglish, const char* titleJapanese) {
    HWND box = WaitForDialog(Ansi(Pick(titleEnglish, titleJapanese)).c_str(), run.pid(), kPatienceMs);
    if (box == nullptr) return "(no box)";
    const std::string text = ItemText(box, 0xFFFF);
    PressButton(box, IDOK);
    WaitGone(box, kPatienceMs);
    return text;
  }
  std::string dir_;
};

// The command line's picture opens at start, whichever way it is written;
// a refused one gets Open's message and leaves the empty window.
TEST_P(OpenWays, CommandLine) {
  const std::string spaced = Place("im4_101x67.bmp", "leaf with spaces.bmp");
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(spaced.c_str(), shortPath, MAX_PATH), 0u);
  ASSERT_NE(std::string(shortPath), spaced) << "no short name to test with";
  struct Case {
    const char* what;
    std::string arguments;
  };
  const Case cases[] = {
      {"quoted long name", "\"" + spaced + "\""},
      {"unquoted long name with spaces", spaced},
      {"unquoted short name", shortPath},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Running run;
    ASSERT_NO_FATAL_FAILURE(Start(run, c.arguments));
    EXPECT_TRUE(AwaitTitle(run.main(), program().Title("leaf with spaces.bmp")));
  }

  const std::string text = Place("im4_101x67.bmp", "leaf.txt");
  Running refused;
  ASSERT_NO_FATAL_FAILURE(Start(refused, "\"" + text + "\""));
  EXPECT_EQ(Refusal(refused, "Error", "エラー"), program().Extension());
  EXPECT_EQ(WindowText(refused.main()), program().facts.Title()) << "the refusal left a picture";
}

// A second start hands its picture to the running copy, which opens it and
// comes to the front; the second start ends without a window of its own.
TEST_P(OpenWays, SecondStartHandsThePictureOver) {
  const std::string first = Place("im4_101x67.bmp", "first.bmp");
  const std::string second = Place(program().second, program().Second("second"));
  Running run;
  ASSERT_NO_FATAL_FAILURE(Start(run, "\"" + first + "\""));
  ASSERT_TRUE(AwaitTitle(run.main(), program().Title("first.bmp")));
  HWND other = CreateWindowA("STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_TRUE(BringForward(other)) << "the test's window did not come to the front";

  Process again;
  std::string error;
  ASSERT_TRUE(again.Start(program().facts.Path(), &error, "\"" + second + "\"")) << error;
  DWORD code = 1;
  ASSERT_TRUE(again.WaitExit(kPatienceMs, &code)) << "the second start did not end";
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(AwaitTitle(run.main(), program().Title(program().Second("second"))));
  // The copy took the front from the test's window: its main window or the
  // palette window the new picture brought is in front. (Under Wine without
  // a window manager the shuffler's restacking of its palette window can
  // leave no window in front at all, which Wine may report as the desktop
  // window; the test's window must not be there.)
  EXPECT_TRUE(Await("the copy in front", [&] {
    HWND front = GetForegroundWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    const bool none = front == nullptr || front == GetDesktopWindow();
    return process == run.pid() || (none && program().facts.name == std::string("mirtav00"));
  }, [] {
    HWND front = GetForegroundWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    return ClassOf(front) + " \"" + WindowText(front) + "\" of process " + std::to_string(process);
  }));
  EXPECT_TRUE(FindTopLevel(program().facts.windowClass, nullptr, again.id()).empty());
  DestroyWindow(other);
}

// A file dropped on the main window opens as Open would open it; of several
// the first is taken, and a refused one gets Open's message.
TEST_P(OpenWays, DroppedFile) {
  const std::string dropped = Place(program().second, program().Second("dropped"));
  const std::string second = Place("im4_101x67.bmp", "not taken.bmp");
  const std::string text = Place("im4_101x67.bmp", "dropped.txt");
  Running run;
  ASSERT_NO_FATAL_FAILURE(Start(run, ""));
  EXPECT_NE(GetWindowLongA(run.main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0) << "the window takes no drops";
  ASSERT_TRUE(DropFiles(run.main(), {text}));
  EXPECT_EQ(Refusal(run, "Error", "エラー"), program().Extension());
  ASSERT_TRUE(DropFiles(run.main(), {dropped, second}));
  EXPECT_TRUE(AwaitTitle(run.main(), program().Title(program().Second("dropped"))));
}

// F1 is Help: beside a program file without its documents it says so.
TEST_P(OpenWays, F1IsHelp) {
  const std::string exe = JoinPath(dir_, program().facts.exe);
  ASSERT_TRUE(CopyFileA(program().facts.Path().c_str(), exe.c_str(), FALSE));
  Running run;
  std::string error;
  ASSERT_TRUE(run.Start(program().facts, &error, exe)) << error;
  ASSERT_TRUE(BringForward(run.main()));
  PressKeys({}, VK_F1);
  const std::string readme = program().facts.Readme();
  EXPECT_EQ(Refusal(run, "Error", "エラー"),
            JapaneseSystem() ? Ansi(("説明書ファイル（" + readme + "）を同じ\nフォルダーに入れてください.").c_str())
                             : "Install the readme file (" + readme + ")\nin the same directory.");
}

INSTANTIATE_TEST_SUITE_P(Programs, OpenWays, testing::Values(&kEditor, &kShuffler), ProgramNameOf);

}  // namespace
