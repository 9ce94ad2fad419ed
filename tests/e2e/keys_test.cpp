// The keys of both programs through the real message loop, the wheel and
// the keys moving the editor's picture, Undo and Redo judged by the pixels
// Copy hands over, and the question before unsaved changes are left: every
// way out and another Open, answered Yes, No and Cancel.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "tests/e2e/editor_session.h"

using namespace e2e;

namespace {

constexpr int kCopyButton = 115, kExitButton = 119;
constexpr int kShufflerRandomise = 110, kShufflerCopy = 111, kShufflerSave = 112, kShufflerExit = 115;

// A 16-colour picture of grey levels: entry i is (16i, 16i, 16i); the pixel
// at column x has index x % 16 in every row.
std::vector<uint8_t> GreyPicture(int width, int height) {
  size_t stride = 0;
  std::vector<uint8_t> b = Bmp4(width, height, &stride, 0);
  for (int i = 0; i < 16; ++i) b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = static_cast<uint8_t>(i * 16);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t& byte = b[54 + 64 + stride * y + x / 2];
      byte |= static_cast<uint8_t>((x % 16) << (x % 2 == 0 ? 4 : 0));
    }
  }
  return b;
}

// The colour Copy hands over for the pixel at column x of the top row of a
// 4-bit DIB: its index looked up in the DIB's own colour table.
uint32_t CopiedColour(const std::vector<uint8_t>& dib, int x) {
  if (dib.size() < 40 + 64) return 0xFF000000u;
  const int width = static_cast<int>(Le32(dib, 4)), height = static_cast<int>(Le32(dib, 8));
  const size_t stride = (static_cast<size_t>(width) + 7) / 8 * 4;
  const size_t row = 40 + 64 + stride * static_cast<size_t>(height - 1);
  if (row + stride > dib.size() || x >= width) return 0xFF000000u;
  const int index = (dib[row + x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15;
  return dib[40 + 4 * index + 2] << 16 | dib[40 + 4 * index + 1] << 8 | dib[40 + 4 * index];
}

std::string BoxText(HWND box) { return ItemText(box, 0xFFFF); }

// The titles and texts of the boxes a process shows, for a failure's message.
std::string BoxesOf(DWORD pid) {
  std::string all;
  for (HWND box : FindTopLevel("#32770", nullptr, pid))
    if (IsWindowVisible(box)) all += "[" + WindowText(box) + ": " + BoxText(box) + "] ";
  return all.empty() ? "no box" : all;
}

class EditorKeys : public EditorSession {
 protected:
  void Key(std::initializer_list<WORD> held, WORD key) {
    ASSERT_TRUE(BringForward(main()));
    PressKeys(held, key);
  }
  // Opens through Ctrl+O and the dialog.
  void OpenByKey(const std::string& path, const std::string& name, const char* zoom) {
    ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'O'));
    HWND dialog = WaitForDialog(OpenTitle().c_str(), run_->pid(), kPatienceMs);
    ASSERT_NE(dialog, nullptr) << "Ctrl+O showed no open dialog";
    ASSERT_NO_FATAL_FAILURE(Choose(dialog, path));
    ASSERT_TRUE(AwaitTitle(main(), TitleOf(name, zoom)));
  }
  testing::AssertionResult TitleStays(const std::string& title) {
    return NotWithin("a new title", [&] { return WindowText(main()) != title; }, 1000);
  }
  testing::AssertionResult NoDialog() {
    return NotWithin("a dialog", [&] {
      for (HWND box : FindTopLevel("#32770", nullptr, run_->pid()))
        if (IsWindowVisible(box)) return true;
      return false;
    }, 1000);
  }
  // Copy by its key, then the colour the clipboard holds for column x.
  uint32_t CopyByKey(int x) {
    PutTextOnClipboard("before");
    Key({VK_CONTROL}, 'C');
    std::vector<uint8_t> dib;
    WaitUntil([&] { dib = ClipboardDib(); return !dib.empty(); }, kPatienceMs);
    return CopiedColour(dib, x);
  }
  // The open or save dialog of the editor, found by its file name box.
  HWND FileDialog() {
    HWND found = nullptr;
    WaitUntil([&] {
      for (HWND d : FindTopLevel("#32770", nullptr, run_->pid()))
        if (IsWindowVisible(d) && GetDlgItem(d, kFileNameBox) != nullptr) return (found = d) != nullptr;
      return false;
    }, kPatienceMs);
    return found;
  }
  // A chip press on the palette window brought in front of the main window it
  // overlaps; the presses alternate between the chip's left and right part,
  // so two presses in quick succession are never one double click.
  void Press(int chip) {
    ASSERT_TRUE(BringForward(Palette()));
    const int row = chip / 16, column = chip % 16;
    const int x = 14 + static_cast<int>(column * 16.3125) + (pressRight_ ? 11 : 2);
    const int y = 247 + static_cast<int>(row * 9.1875) + 3;
    pressRight_ = !pressRight_;
    const POINT p = ClientToScreenPoint(Palette(), x, y);
    ASSERT_TRUE(ClickOn(Palette(), p.x, p.y));
  }
  bool pressRight_ = false;
  testing::AssertionResult AwaitCopied(uint32_t want, const std::string& what) {
    uint32_t got = 0;
    return Await(what, [&] { return (got = CopyByKey(3)) == want; }, [&] { return std::to_string(got); });
  }
  int Position(HWND bar) const { return GetScrollPos(bar, SB_CTL); }
  HWND Bar(bool vertical) const {
    for (HWND bar : VisibleBars(main())) {
      const bool isVertical = (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0;
      if (isVertical == vertical && (GetWindowLongA(bar, GWL_STYLE) & SBS_SIZEGRIP) == 0) return bar;
    }
    return nullptr;
  }
  testing::AssertionResult AwaitPosition(bool vertical, int want) {
    return Await(std::string(vertical ? "vertical" : "horizontal") + " position " + std::to_string(want),
                 [&] { return Bar(vertical) != nullptr && Position(Bar(vertical)) == want; },
                 [&] { return Bar(vertical) ? std::to_string(Position(Bar(vertical))) : std::string("no bar"); });
  }
};

// Each key does what its button does, and nothing while the button is disabled.
TEST_F(EditorKeys, EachKeyDoesWhatItsButtonDoes) {
  const std::string start = WindowText(main());
  for (WORD key : {WORD('C'), WORD('S'), WORD(VK_OEM_PLUS), WORD(VK_OEM_MINUS)}) {
    ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, key));
    EXPECT_TRUE(NoDialog()) << "key " << key << " before a picture";
    EXPECT_EQ(WindowText(main()), start);
  }
  ASSERT_TRUE(WriteFileBytes(Scratch("keys.bmp"), GreyPicture(1500, 1000)));
  ASSERT_NO_FATAL_FAILURE(OpenByKey(Scratch("keys.bmp"), "keys.bmp", "1:2"));

  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, VK_OEM_MINUS));
  EXPECT_TRUE(TitleStays(TitleOf("keys.bmp", "1:2"))) << "Zoom Out is disabled at the fit level";
  struct Step {
    std::initializer_list<WORD> held;
    WORD key;
    const char* zoom;
  };
  const Step steps[] = {
      {{VK_CONTROL}, VK_OEM_PLUS, "1:1"},  {{VK_CONTROL}, VK_OEM_MINUS, "1:2"},
      {{}, VK_ADD, "1:1"},                 {{}, VK_SUBTRACT, "1:2"},
      {{VK_CONTROL}, VK_ADD, "1:1"},       {{VK_CONTROL}, VK_SUBTRACT, "1:2"},
      {{VK_CONTROL, VK_SHIFT}, VK_OEM_PLUS, "1:1"},
  };
  for (const Step& step : steps) {
    ASSERT_NO_FATAL_FAILURE(Key(step.held, step.key));
    EXPECT_TRUE(AwaitTitle(main(), TitleOf("keys.bmp", step.zoom))) << "key " << step.key;
  }

  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'S'));
  EXPECT_TRUE(NoDialog()) << "Save Image is disabled without a change";
  EXPECT_EQ(CopyByKey(5), 0x505050u) << "Ctrl+C copied no picture";

  ASSERT_NO_FATAL_FAILURE(Press(5));
  ASSERT_TRUE(Await("Save enabled", [&] { return Enabled(kSave); }, [] { return std::string("disabled"); }));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'S'));
  HWND save = FileDialog();
  ASSERT_NE(save, nullptr) << "Ctrl+S showed no save dialog";
  PressButton(save, IDCANCEL);
  EXPECT_TRUE(WaitGone(save, kPatienceMs));
}

// Ctrl+Z and Ctrl+Y walk the history both ways, judged by Copy's pixels; a
// new change forgets what could be redone.
TEST_F(EditorKeys, UndoAndRedoJudgedByCopy) {
  ASSERT_NO_FATAL_FAILURE(Restart());
  ASSERT_TRUE(WriteFileBytes(Scratch("history.bmp"), GreyPicture(64, 16)));
  ASSERT_NO_FATAL_FAILURE(OpenOk(Scratch("history.bmp"), "history.bmp", "1:1"));
  const uint32_t own = 0x303030, white = 0xFFFFFF, cyan = 0x00FFFF, blue = 0x0000FF;
  ASSERT_NO_FATAL_FAILURE(Press(3));  // white, the composed colour at first
  EXPECT_TRUE(AwaitCopied(white, "the first change"));
  Scroll(0, SB_LEFT);                 // red 0: cyan
  ASSERT_TRUE(Await("red 0", [&] { return PaletteTexts().size() > 1 && PaletteTexts()[1] == "0"; },
                    [&] { return PaletteTexts().size() > 1 ? PaletteTexts()[1] : std::string("?"); }));
  ASSERT_NO_FATAL_FAILURE(Press(3));
  EXPECT_TRUE(AwaitCopied(cyan, "the second change"));
  struct Step {
    WORD key;
    uint32_t want;
    const char* what;
  };
  const Step walk[] = {
      {'Z', white, "one undo"},    {'Z', own, "both undone"},   {'Z', own, "nothing left to undo"},
      {'Y', white, "one redo"},    {'Y', cyan, "both redone"},  {'Y', cyan, "nothing left to redo"},
      {'Z', white, "undone again"},
  };
  for (const Step& step : walk) {
    ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, step.key));
    EXPECT_TRUE(AwaitCopied(step.want, step.what));
  }
  Scroll(1, SB_LEFT);                // green 0: blue
  ASSERT_TRUE(Await("green 0", [&] { return PaletteTexts().size() > 2 && PaletteTexts()[2] == "0"; },
                    [] { return std::string("?"); }));
  ASSERT_NO_FATAL_FAILURE(Press(3));
  EXPECT_TRUE(AwaitCopied(blue, "the new change"));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'Y'));
  EXPECT_TRUE(NotWithin("a redo after a new change", [&] { return CopyByKey(3) != blue; }, 1000));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'Z'));
  EXPECT_TRUE(AwaitCopied(white, "the new change undone"));
}

// The wheel by the system's setting in lines of a tenth of the view, Shift+
// wheel sideways, the arrows by the bars' steps, Page Down and Page Up by the
// view less a line, and Ctrl+wheel zooming about the point under the cursor.
TEST_F(EditorKeys, WheelAndKeysScrollThePicture) {
  ASSERT_NO_FATAL_FAILURE(Restart());
  ASSERT_TRUE(WriteFileBytes(Scratch("scroll.bmp"), GreyPicture(1500, 1000)));
  ASSERT_NO_FATAL_FAILURE(OpenOk(Scratch("scroll.bmp"), "scroll.bmp", "1:2"));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, VK_OEM_PLUS));
  ASSERT_TRUE(AwaitTitle(main(), TitleOf("scroll.bmp", "1:1")));
  ASSERT_TRUE(Bar(true) != nullptr && Bar(false) != nullptr) << "1500 x 1000 at 1:1 shows both bars";
  UINT lines = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  UINT chars = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLCHARS, 0, &chars, 0));
  RECT client = {};
  GetClientRect(main(), &client);
  const POINT middle = ClientToScreenPoint(main(), client.right / 2, client.bottom / 2);
  ASSERT_TRUE(BringForward(main()));

  // The picture area between the bars, at 1:1 its length in source pixels.
  RECT across = {}, down = {};
  GetWindowRect(Bar(false), &across);
  GetWindowRect(Bar(true), &down);
  const int tall = client.bottom - 20 - (across.bottom - across.top), wide = client.right - (down.right - down.left);
  int vmax = 0, hmax = 0, low = 0;
  GetScrollRange(Bar(true), SB_CTL, &low, &vmax);
  GetScrollRange(Bar(false), SB_CTL, &low, &hmax);
  ASSERT_GT(vmax, 2 * static_cast<int>(lines) * (tall / 10)) << "room for two notches";
  ASSERT_GT(hmax, static_cast<int>(chars) * (wide / 10)) << "room for one notch sideways";
  int v = 0, h = 0;
  Wheel(middle.x, middle.y, -2 * WHEEL_DELTA);
  EXPECT_TRUE(AwaitPosition(true, v += 2 * static_cast<int>(lines) * (tall / 10))) << "two notches down";
  Wheel(middle.x, middle.y, WHEEL_DELTA);
  EXPECT_TRUE(AwaitPosition(true, v -= static_cast<int>(lines) * (tall / 10))) << "one notch up";
  Wheel(middle.x, middle.y, -WHEEL_DELTA, false, {VK_SHIFT});
  EXPECT_TRUE(AwaitPosition(false, h += static_cast<int>(chars) * (wide / 10))) << "Shift+wheel: sideways";
  struct KeyStep {
    WORD key;
    bool vertical;
    std::function<int(int)> next;
    const char* what;
  };
  const int page = tall - tall / 10;
  const KeyStep keys[] = {
      {VK_DOWN, true, [](int p) { return p + 1; }, "Down: a line"},
      {VK_UP, true, [](int p) { return p - 1; }, "Up: a line back"},
      {VK_NEXT, true, [&](int p) { return std::min(vmax, p + page); }, "Page Down: the view less a line"},
      {VK_PRIOR, true, [&](int p) { return std::max(0, p - page); }, "Page Up: the same back"},
      {VK_RIGHT, false, [](int p) { return p + 1; }, "Right: a line"},
      {VK_LEFT, false, [](int p) { return p - 1; }, "Left: a line back"},
      {VK_END, true, [&](int) { return vmax; }, "End: the bottom"},
      {VK_HOME, true, [](int) { return 0; }, "Home: the top"},
  };
  for (const KeyStep& k : keys) {
    int& p = k.vertical ? v : h;
    p = k.next(p);
    ASSERT_NO_FATAL_FAILURE(Key({}, k.key));
    EXPECT_TRUE(AwaitPosition(k.vertical, p)) << k.what;
  }

  // Ctrl+wheel at a point of the picture: 2:1, that source pixel stays under the cursor.
  const int cx = 300, cy = 200;
  const POINT at = ClientToScreenPoint(main(), cx, cy);
  Wheel(at.x, at.y, WHEEL_DELTA, false, {VK_CONTROL});
  ASSERT_TRUE(AwaitTitle(main(), TitleOf("scroll.bmp", "2:1")));
  EXPECT_TRUE(AwaitPosition(false, h + cx - cx / 2));
  EXPECT_TRUE(AwaitPosition(true, v + (cy - 20) - (cy - 20) / 2));
  Wheel(at.x, at.y, -WHEEL_DELTA, false, {VK_CONTROL});
  EXPECT_TRUE(AwaitTitle(main(), TitleOf("scroll.bmp", "1:1")));
  EXPECT_TRUE(AwaitPosition(false, h)) << "back to where it was";
  EXPECT_TRUE(AwaitPosition(true, v));
}

// The question in the editor: every way out and another Open, with colours
// changed, answered Yes, No and Cancel; nothing asked once they are saved or
// undone back to the file's own.
TEST_F(EditorKeys, UnsavedColoursAreAskedAboutOnEveryWayOut) {
  enum Answer { kCancel, kNo, kYesSaveCancelled, kYesSaved };
  struct Way {
    const char* name;
    std::function<void(Running&)> leave;
    bool opensAnother;
  };
  std::thread session;
  LRESULT sessionAnswer = -1;
  const std::string other = Copy("im4_101x67.bmp");
  const Way ways[] = {
      {"Exit button", [](Running& r) { r.ClickButton(kExitButton); }, false},
      {"close message", [](Running& r) { PostMessageA(r.main(), WM_CLOSE, 0, 0); }, false},
      {"Alt+F4", [](Running& r) { ASSERT_TRUE(BringForward(r.main())); PressKeys({VK_MENU}, VK_F4); }, false},
      {"end of session",
       [&](Running& r) {
         HWND window = r.main();
         session = std::thread([window, &sessionAnswer] {
           DWORD_PTR answer = 0;
           if (SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 60000, &answer)) {
             sessionAnswer = static_cast<LRESULT>(answer);
             if (answer) SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 60000, &answer);
           }
         });
       },
       false},
      {"dropped picture", [&](Running& r) { ASSERT_TRUE(DropFiles(r.main(), {other})); }, true},
  };
  const char* answers[] = {"Cancel", "No", "Yes, save cancelled", "Yes, saved"};
  for (const Way& way : ways) {
    for (int answer = kCancel; answer <= kYesSaved; ++answer) {
      SCOPED_TRACE(std::string(way.name) + ": " + answers[answer]);
      ASSERT_NO_FATAL_FAILURE(Restart());
      const std::string file = Scratch("LEAF.BMP");
      ASSERT_TRUE(CopyFileA(Picture("im4_101x67.bmp").c_str(), file.c_str(), FALSE));
      ASSERT_NO_FATAL_FAILURE(OpenOk(file, "LEAF.BMP", "1:1"));
      ASSERT_NO_FATAL_FAILURE(Press(2));
      ASSERT_TRUE(Await("Save enabled", [&] { return Enabled(kSave); }, [] { return std::string("no"); }));
      Process& process = run_->process();
      const HWND window = main();
      sessionAnswer = -1;
      ASSERT_NO_FATAL_FAILURE(way.leave(*run_));
      HWND question = nullptr;
      ASSERT_TRUE(Await("the question", [&] { return (question = QuestionBox(run_->pid())) != nullptr; },
                        [] { return std::string("none"); }));
      EXPECT_EQ(BoxText(question), SaveChangesText("LEAF.BMP"));
      if (answer == kCancel && std::string(way.name) == "Exit button") {
        EXPECT_TRUE(AwaitPainted(question)) << "for the screenshot";
        CaptureScreen(0, 0, 1024, 768).SaveBmp(ShotPath(std::string("question-kestro-") + Lang()));
      }
      PressButton(question, answer == kCancel ? IDCANCEL : answer == kNo ? IDNO : IDYES);
      if (answer >= kYesSaveCancelled) {
        HWND save = FileDialog();
        ASSERT_NE(save, nullptr) << "Yes showed no save dialog";
        if (answer == kYesSaved) {
          const std::string saved = Scratch("saved.bmp");
          DeleteFileA(saved.c_str());
          ASSERT_NO_FATAL_FAILURE(Choose(save, saved));
          HWND info = WaitForDialog(Ansi(Pick("Information", "お知らせ")).c_str(), run_->pid(), kPatienceMs);
          ASSERT_NE(info, nullptr) << "no saved message: " << BoxesOf(run_->pid());
          PressButton(info, IDOK);
          std::vector<uint8_t> bytes;
          EXPECT_TRUE(ReadFileBytes(saved, &bytes) && bytes.size() > 64 && bytes[54 + 8] == 255)
              << "the changed colour was not saved";
        } else {
          PressButton(save, IDCANCEL);
        }
      }
      const bool goesOn = answer == kNo || answer == kYesSaved;
      if (session.joinable()) session.join();
      if (std::string(way.name) == "end of session") {
        EXPECT_EQ(sessionAnswer != 0, goesOn) << "the session's end was answered " << sessionAnswer;
      }
      if (way.opensAnother) {
        if (goesOn) {
          EXPECT_TRUE(AwaitTitle(window, TitleOf("im4_101x67.bmp", "1:1")));
        } else {
          EXPECT_TRUE(NotWithin("another picture", [&] { return WindowText(window) != TitleOf("LEAF.BMP", "1:1"); },
                                1000));
          EXPECT_TRUE(Enabled(kSave)) << "the change was lost";
        }
      } else if (goesOn) {
        EXPECT_TRUE(Await("the editor's end", [&] { return !process.running() || !IsWindow(window); },
                          [] { return std::string("still running"); }));
      } else {
        EXPECT_TRUE(NotWithin("the editor's end", [&] { return !IsWindow(window); }, 1000));
        EXPECT_TRUE(Enabled(kSave)) << "the change was lost";
      }
    }
  }

  // Saved, or undone back to the file's colours: no question.
  for (const bool undo : {false, true}) {
    SCOPED_TRACE(undo ? "undone" : "saved");
    ASSERT_NO_FATAL_FAILURE(Restart());
    const std::string file = Scratch("LEAF.BMP");
    ASSERT_NO_FATAL_FAILURE(OpenOk(file, "LEAF.BMP", "1:1"));
    ASSERT_NO_FATAL_FAILURE(Press(2));
    ASSERT_TRUE(Await("Save enabled", [&] { return Enabled(kSave); }, [] { return std::string("no"); }));
    if (undo) {
      ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'Z'));
    } else {
      ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'S'));
      HWND save = FileDialog();
      ASSERT_NE(save, nullptr);
      ASSERT_NO_FATAL_FAILURE(Choose(save, Scratch("kept.bmp")));
      HWND info = WaitForDialog(Ansi(Pick("Information", "お知らせ")).c_str(), run_->pid(), kPatienceMs);
      ASSERT_NE(info, nullptr);
      PressButton(info, IDOK);
      ASSERT_TRUE(WaitGone(info, kPatienceMs));
    }
    Process& process = run_->process();
    run_->ClickButton(kExitButton);
    EXPECT_TRUE(NotWithin("the question", [&] { return QuestionBox(run_->pid()) != nullptr; }, 1000));
    EXPECT_TRUE(process.WaitExit(kPatienceMs)) << "Exit did not end the editor";
  }
  ASSERT_NO_FATAL_FAILURE(Restart());
}

// The shuffler's keys, and its question about a randomised order not saved.
class ShufflerKeys : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Pictures().empty()) << "E2E_PICTURES is not set";
    std::string error;
    ASSERT_TRUE(run_.Start(Mirtav(), &error)) << error;
    dir_ = MakeTempDir("e2e-shuffler-keys");
  }
  void Key(std::initializer_list<WORD> held, WORD key) {
    ASSERT_TRUE(BringForward(run_.main()));
    PressKeys(held, key);
  }
  bool Enabled(int id) const { return IsWindowEnabled(run_.Button(id)) != FALSE; }
  HWND FileDialog() {
    HWND found = nullptr;
    WaitUntil([&] {
      for (HWND d : FindTopLevel("#32770", nullptr, run_.pid()))
        if (IsWindowVisible(d) && GetDlgItem(d, kFileNameBox) != nullptr) return (found = d) != nullptr;
      return false;
    }, kPatienceMs);
    return found;
  }
  void ChooseIn(HWND dialog, const std::string& path) {
    ASSERT_NE(dialog, nullptr) << "no file dialog";
    SendMessageA(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  }
  std::string Title(const std::string& name) const {
    return Ansi(Pick("Mirtav - ", "ミルタヴ - ")) + name + " [1:1]";
  }
  Running run_;
  std::string dir_;
};

TEST_F(ShufflerKeys, EachKeyDoesWhatItsButtonDoes) {
  const std::string start = WindowText(run_.main());
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'R'));
  EXPECT_TRUE(NotWithin("a randomisation before a picture", [&] { return WindowText(run_.main()) != start; }, 1000));
  const std::string file = JoinPath(dir_, "flower.bmp");
  ASSERT_TRUE(CopyFileA(JoinPath(Pictures(), "im8_257x131.bmp").c_str(), file.c_str(), FALSE));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'O'));
  ASSERT_NO_FATAL_FAILURE(ChooseIn(FileDialog(), file));
  ASSERT_TRUE(AwaitTitle(run_.main(), Title("flower.bmp")));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'S'));
  EXPECT_TRUE(NotWithin("a save dialog before Randomize PLT", [&] {
    for (HWND d : FindTopLevel("#32770", nullptr, run_.pid())) if (IsWindowVisible(d)) return true;
    return false;
  }, 1000));
  PutTextOnClipboard("before");
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'C'));
  EXPECT_TRUE(Await("the palette picture", [&] { return ClipboardDib().size() >= 264u * 264 * 3; },
                    [] { return std::to_string(ClipboardDib().size()) + " bytes"; }));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'R'));
  EXPECT_TRUE(Await("randomised", [&] { return !Enabled(kShufflerRandomise) && Enabled(kShufflerSave); },
                    [] { return std::string("buttons unchanged"); }));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'S'));
  HWND save = FileDialog();
  ASSERT_NE(save, nullptr) << "Ctrl+S showed no save dialog";
  PressButton(save, IDCANCEL);
  ASSERT_TRUE(WaitGone(save, kPatienceMs));
  // Leaving now asks; answered Yes it saves, and the shuffler ends.
  run_.ClickButton(kShufflerExit);
  HWND question = nullptr;
  ASSERT_TRUE(Await("the question", [&] { return (question = QuestionBox(run_.pid())) != nullptr; },
                    [] { return std::string("none"); }));
  EXPECT_EQ(BoxText(question), SaveChangesText("flower.bmp"));
  EXPECT_TRUE(AwaitPainted(question)) << "for the screenshot";
  CaptureScreen(0, 0, 1024, 768).SaveBmp(ShotPath(std::string("question-mirtav-") + Lang()));
  PressButton(question, IDCANCEL);
  EXPECT_TRUE(NotWithin("the shuffler's end", [&] { return !run_.process().running(); }, 1000));
  run_.ClickButton(kShufflerExit);
  ASSERT_TRUE(Await("the question", [&] { return (question = QuestionBox(run_.pid())) != nullptr; },
                    [] { return std::string("none"); }));
  PressButton(question, IDYES);
  const std::string saved = JoinPath(dir_, "shuffled.bmp");
  ASSERT_NO_FATAL_FAILURE(ChooseIn(FileDialog(), saved));
  HWND info = WaitForDialog(Ansi(Pick("Information", "お知らせ")).c_str(), run_.pid(), kPatienceMs);
  ASSERT_NE(info, nullptr) << "no saved message";
  PressButton(info, IDOK);
  EXPECT_TRUE(run_.process().WaitExit(kPatienceMs)) << "the shuffler did not end after the save";
  EXPECT_TRUE(FileExists(saved));
}

// Another picture by a drop over a randomised order: No opens it, and a
// saved order asks nothing.
TEST_F(ShufflerKeys, AnotherPictureAsksAboutTheOrder) {
  const std::string first = JoinPath(dir_, "first.bmp"), second = JoinPath(dir_, "second.bmp");
  ASSERT_TRUE(CopyFileA(JoinPath(Pictures(), "im4_101x67.bmp").c_str(), first.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(JoinPath(Pictures(), "im4_101x67.bmp").c_str(), second.c_str(), FALSE));
  ASSERT_TRUE(DropFiles(run_.main(), {first}));
  ASSERT_TRUE(AwaitTitle(run_.main(), Title("first.bmp")));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'R'));
  ASSERT_TRUE(Await("randomised", [&] { return Enabled(kShufflerSave); }, [] { return std::string("no"); }));
  ASSERT_TRUE(DropFiles(run_.main(), {second}));
  HWND question = nullptr;
  ASSERT_TRUE(Await("the question", [&] { return (question = QuestionBox(run_.pid())) != nullptr; },
                    [] { return std::string("none"); }));
  EXPECT_EQ(BoxText(question), SaveChangesText("first.bmp"));
  PressButton(question, IDNO);
  ASSERT_TRUE(AwaitTitle(run_.main(), Title("second.bmp")));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'R'));
  ASSERT_TRUE(Await("randomised", [&] { return Enabled(kShufflerSave); }, [] { return std::string("no"); }));
  ASSERT_NO_FATAL_FAILURE(Key({VK_CONTROL}, 'S'));
  ASSERT_NO_FATAL_FAILURE(ChooseIn(FileDialog(), JoinPath(dir_, "second-saved.bmp")));
  HWND info = WaitForDialog(Ansi(Pick("Information", "お知らせ")).c_str(), run_.pid(), kPatienceMs);
  ASSERT_NE(info, nullptr);
  PressButton(info, IDOK);
  ASSERT_TRUE(WaitGone(info, kPatienceMs));
  ASSERT_TRUE(DropFiles(run_.main(), {first}));
  EXPECT_TRUE(AwaitTitle(run_.main(), Title("first.bmp"))) << "a saved order asked";
}

}  // namespace
