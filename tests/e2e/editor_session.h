// What the colour editor's end-to-end suites share: the pictures of
// tests/pictures/make_pictures.py (E2E_PICTURES), file and BMP reading, and a
// fixture holding one started editor per suite with the steps a user takes
// in it (Open through the real dialog, chip presses, screenshots of the view).
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/session.h"

namespace e2e {

constexpr int kOpen = 111, kZoomOut = 112, kZoomIn = 113, kPopup = 114, kSave = 116;
constexpr int kFileNameBox = 0x47c;  // cmb13 of Wine's open dialog
constexpr int kInfoField = 127;
// The palette window's right-click menu: Load palette..., Save palette...,
// the four colour depths, Snap palette to depth.
constexpr int kPaletteMenuItems = 7;

// E2E_PICTURES holds a Unix path; Wine shows it under Z:.
inline std::string Pictures() {
  const char* unix = std::getenv("E2E_PICTURES");
  if (unix == nullptr || *unix == '\0') return std::string();
  std::string path = std::string("Z:") + unix;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

// E2E_OUT, where files are left for the checks after the run, under Z:.
inline std::string OutDir() {
  const char* unix = std::getenv("E2E_OUT");
  if (unix == nullptr || *unix == '\0') return std::string();
  std::string path = std::string("Z:") + unix;
  for (char& c : path) c = c == '/' ? '\\' : c;
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

inline bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* out) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(f, nullptr), got = 0;
  out->resize(size);
  const bool ok = size == 0 || (ReadFile(f, out->data(), size, &got, nullptr) && got == size);
  CloseHandle(f);
  return ok;
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const bool ok = bytes.empty() || (WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
                                    put == bytes.size());
  CloseHandle(f);
  return ok;
}

inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// An uncompressed bottom-up 8-bit picture's indices and colour table.
struct Indexed {
  int width = 0, height = 0;
  std::vector<uint8_t> index;   // top-down
  std::vector<uint32_t> table;  // 0x00RRGGBB
};
inline bool LoadIndexed8(const std::string& path, Indexed* out) {
  std::vector<uint8_t> b;
  if (!ReadFileBytes(path, &b) || b.size() < 54 || b[28] != 8 || Le32(b, 30) != 0) return false;
  out->width = static_cast<int>(Le32(b, 18));
  out->height = static_cast<int>(Le32(b, 22));
  const uint32_t count = Le32(b, 46) != 0 ? Le32(b, 46) : 256;
  const size_t stride = (static_cast<size_t>(out->width) + 3) / 4 * 4, offset = Le32(b, 10);
  if (out->height <= 0 || offset + stride * out->height > b.size()) return false;
  for (uint32_t i = 0; i < count; ++i) out->table.push_back(b[56 + 4 * i] << 16 | b[55 + 4 * i] << 8 | b[54 + 4 * i]);
  out->index.resize(static_cast<size_t>(out->width) * out->height);
  for (int y = 0; y < out->height; ++y) {
    std::memcpy(&out->index[static_cast<size_t>(y) * out->width], b.data() + offset + stride * (out->height - 1 - y),
                out->width);
  }
  return true;
}

// A bottom-up 16-colour picture: both headers filled in, the colour table
// and the pixels (rows of `stride` bytes) set to `fill`, for the caller.
inline std::vector<uint8_t> Bmp4(int width, int height, size_t* stride, uint8_t fill = 0) {
  *stride = (static_cast<size_t>(width) + 7) / 8 * 4;
  std::vector<uint8_t> b(54 + 64 + *stride * height, fill);
  std::fill(b.begin(), b.begin() + 54, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  Put32(b, 10, 54 + 64);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(width));
  Put32(b, 22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = 4;
  return b;
}

inline Image ClientShot(HWND window, int x, int y, int w, int h) {
  POINT at = ClientToScreenPoint(window, x, y);
  return CaptureScreen(at.x, at.y, w, h);
}

inline std::string OpenTitle() { return Ansi(Pick("Select a bitmap file to open.", "開くBitmapファイルの選択")); }
inline std::string TitleOf(const std::string& file, const char* zoom) {
  return Ansi(Pick("Kestro - ", "ＢＭＰケストロ - ")) + file + " [" + zoom + "]";
}
inline const char* Lang() { return JapaneseSystem() ? "ja" : "en"; }

// A plain CALLBACK, not a lambda: the 32-bit build needs the stdcall convention.
inline BOOL CALLBACK CollectChild(HWND child, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(child);
  return TRUE;
}

inline std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

inline HWND FindChildById(HWND parent, int id) {
  for (HWND child : ChildrenOf(parent))
    if (GetDlgCtrlID(child) == id) return child;
  return nullptr;
}

inline HWND FindChildByClass(HWND parent, const char* cls) {
  for (HWND child : ChildrenOf(parent))
    if (_stricmp(ClassOf(child).c_str(), cls) == 0) return child;
  return nullptr;
}

inline std::vector<HWND> VisibleBars(HWND main) {
  std::vector<HWND> bars;
  for (HWND child : ChildrenOf(main))
    if (_stricmp(ClassOf(child).c_str(), "ScrollBar") == 0 && IsWindowVisible(child)) bars.push_back(child);
  return bars;
}

// A colour as the palette window's three bars compose it.
struct Rgb {
  int r, g, b;
  uint32_t Colour() const { return static_cast<uint32_t>(r << 16 | g << 8 | b); }
};

// What a message box said.
struct Box {
  std::string title, text;
};

class EditorSession : public testing::Test {
 protected:
  inline static Running* run_ = nullptr;
  inline static std::string dir_;

  static void SetUpTestSuite() {
    run_ = new Running;
    std::string error;
    if (!run_->Start(Kestro(), &error)) std::fprintf(stderr, "editor did not start: %s\n", error.c_str());
    dir_ = MakeTempDir("kview");
  }
  static void TearDownTestSuite() {
    delete run_;
    run_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(run_->main(), nullptr) << "the editor did not start";
    ASSERT_FALSE(Pictures().empty()) << "E2E_PICTURES is not set";
  }

  // A fresh editor for the rest of the suite, for a case that ends the one it had.
  void Restart() {
    delete run_;
    run_ = new Running;
    std::string error;
    ASSERT_TRUE(run_->Start(Kestro(), &error)) << error;
  }

  HWND main() const { return run_->main(); }
  HWND Palette() const {
    std::vector<HWND> w = FindTopLevel("PaletteWindow", nullptr, run_->pid());
    return w.empty() ? nullptr : w[0];
  }
  static std::string Picture(const std::string& name) { return JoinPath(Pictures(), name); }
  static std::string Scratch(const std::string& name) { return JoinPath(dir_, name); }
  static std::string Copy(const std::string& name) {
    const std::string to = Scratch(name);
    CopyFileA(Picture(name).c_str(), to.c_str(), FALSE);
    return to;
  }
  // The mouse leaves the icon bar over the picture area (which takes the
  // hover caption away) and then rests outside every window.
  void Rest() const {
    RECT client = {};
    GetClientRect(run_->main(), &client);
    POINT p = ClientToScreenPoint(run_->main(), client.right / 2, client.bottom - 30);
    MoveMouse(p.x, p.y);
    // The caption goes when the program takes this move; that leaves nothing
    // to see from outside when no caption was up, so it is given a moment.
    Sleep(100);
    MoveMouse(2, 2);
  }

  HWND ShowOpenDialog() {
    run_->ClickButton(kOpen);
    HWND dialog = WaitForDialog(OpenTitle().c_str(), run_->pid(), kPatienceMs / 4);
    // Wine now and then loses a press that comes just as a dialog of the
    // editor has gone (the Open button never sees it): while the editor is
    // idle (it answers at once) and shows nothing modal, the button is
    // pressed once more.
    if (dialog == nullptr && Sync(main(), 1000) && IsWindowEnabled(main()) &&
        (dialog = WaitForDialog(OpenTitle().c_str(), run_->pid(), 200)) == nullptr) {
      run_->ClickButton(kOpen);
      dialog = WaitForDialog(OpenTitle().c_str(), run_->pid(), kPatienceMs);
    }
    if (dialog == nullptr) {
      // Where the click went: the front, focus and capture of the editor's thread.
      GUITHREADINFO g = {};
      g.cbSize = sizeof g;
      GetGUIThreadInfo(GetWindowThreadProcessId(main(), nullptr), &g);
      auto name = [](HWND w) { return w ? ClassOf(w) + " \"" + WindowText(w) + "\"" : std::string("none"); };
      ADD_FAILURE() << "no open dialog; in front " << name(GetForegroundWindow()) << ", active " << name(g.hwndActive)
                    << ", focus " << name(g.hwndFocus) << ", capture " << name(g.hwndCapture) << ", Open button state "
                    << SendMessageA(run_->Button(kOpen), BM_GETSTATE, 0, 0);
      CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)).SaveBmp(ShotPath("no-dialog"));
    }
    return dialog;
  }
  // Types a path into the dialog and presses Open.
  void Choose(HWND dialog, const std::string& path) {
    HWND box = GetDlgItem(dialog, kFileNameBox);
    ASSERT_NE(box, nullptr) << "no file name box";
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog, kPatienceMs)) << "the dialog stayed";
  }
  // Opens a picture that must be accepted, and waits for its title.
  void OpenOk(const std::string& path, const std::string& name, const char* zoom) {
    const HWND before = Palette();
    HWND dialog = ShowOpenDialog();
    ASSERT_NE(dialog, nullptr) << "no open dialog";
    Choose(dialog, path);
    // Over changed colours the editor asks first; a test's changes are its
    // own: No. Every open makes a new palette window, also for the same title.
    const std::string title = TitleOf(name, zoom);
    ASSERT_TRUE(Await("the title " + title + " and a new palette window", [&] {
      HWND question = QuestionBox(run_->pid());
      if (question != nullptr) PressButton(question, IDNO);
      return WindowText(main()) == title && Palette() != nullptr && Palette() != before;
    }, [&] { return WindowText(main()); }));
    ASSERT_TRUE(AwaitTitle(main(), title));
    ASSERT_TRUE(Await("the palette window", [&] { return Palette() != nullptr && IsWindowVisible(Palette()); },
                      [&] { return std::string(Palette() != nullptr ? "a hidden one" : "none"); }));
    Rest();
  }
  // Opens a path that must be refused; returns the box, answered.
  Box OpenRefused(const std::string& path, const char* boxTitleEn, const char* boxTitleJa) {
    Box box;
    HWND dialog = ShowOpenDialog();
    EXPECT_NE(dialog, nullptr) << "no open dialog";
    if (dialog == nullptr) return box;
    Choose(dialog, path);
    HWND message = WaitForDialog(Ansi(Pick(boxTitleEn, boxTitleJa)).c_str(), run_->pid(), kPatienceMs);
    EXPECT_NE(message, nullptr) << "no box titled " << boxTitleEn << " for " << path;
    if (message == nullptr) return box;
    box.title = WindowText(message);
    box.text = ItemText(message, 0xFFFF);
    PressButton(message, IDOK);
    EXPECT_TRUE(WaitGone(message, kPatienceMs));
    Rest();
    return box;
  }
  // The picture area as on the screen.
  Image View(int w, int h) { return ClientShot(main(), 0, 20, w, h); }
  bool ViewEquals(const Image& want, const std::string& shot) {
    Image got;
    const bool same = WaitUntil([&] {
      got = View(want.width, want.height);
      return DifferentPixels(got, want) == 0;
    }, kPatienceMs);
    if (!same) {
      got.SaveBmp(ShotPath(shot + "-got"));
      want.SaveBmp(ShotPath(shot + "-want"));
    }
    return same;
  }
  void ClickChip(int index) {
    const int row = index / 16, column = index % 16;
    const int x = 14 + static_cast<int>(column * 16.3125) + 5, y = 247 + static_cast<int>(row * 9.1875) + 3;
    POINT p = ClientToScreenPoint(Palette(), x, y);
    EXPECT_TRUE(ClickOn(Palette(), p.x, p.y));
  }
  uint32_t ChipColour(int index) {
    const int row = index / 16, column = index % 16;
    const int x = 14 + static_cast<int>(column * 16.3125) + 5, y = 247 + static_cast<int>(row * 9.1875) + 3;
    return ClientShot(Palette(), x, y, 1, 1).At(0, 0);
  }
  void Scroll(int bar, int code, int position = 0) {
    HWND control = GetDlgItem(Palette(), 121 + bar);
    PostMessageA(Palette(), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(control));
  }
  std::vector<std::string> PaletteTexts() { return StaticTexts(Palette()); }
  bool Enabled(int id) const { return IsWindowEnabled(run_->Button(id)) != FALSE; }

  // Save Image's dialog and its boxes.
  std::string SaveTitle() const {
    return Ansi(Pick("Assign a BMP or TIF file to save.", "保存するBitmap or Tifファイルの指定"));
  }
  HWND ShowSaveDialog() {
    run_->ClickButton(kSave);
    return WaitForDialog(SaveTitle().c_str(), run_->pid(), kPatienceMs);
  }
  // Chooses a path in the save dialog.
  void SaveTo(const std::string& path) {
    HWND dialog = ShowSaveDialog();
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    Choose(dialog, path);
  }
  // A message box of the editor on the screen (Wine keeps untitled hidden
  // dialogs of its own), or null.
  HWND VisibleBox() const {
    for (HWND w : FindTopLevel("#32770", nullptr, run_->pid())) {
      const std::string title = WindowText(w);
      if (IsWindowVisible(w) && !title.empty() && title != SaveTitle()) return w;
    }
    return nullptr;
  }
  // The next message box of the editor, answered with button: title and text;
  // empty when none comes within timeoutMs.
  Box Answer(int button = IDOK, int timeoutMs = kPatienceMs) {
    Box box;
    HWND message = nullptr;
    WaitUntil([&] { return (message = VisibleBox()) != nullptr; }, timeoutMs);
    if (message == nullptr) {
      static int missing = 0;
      CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))
          .SaveBmp(ShotPath(std::string("no-box-") + Lang() + "-" + std::to_string(++missing)));
      return box;
    }
    box.title = WindowText(message);
    box.text = ItemText(message, 0xFFFF);
    PressButton(message, button);
    EXPECT_TRUE(WaitGone(message, kPatienceMs));
    return box;
  }
  static Box Expected(const char* titleEn, const char* titleJa, const char* textEn, const char* textJa) {
    return Box{Ansi(Pick(titleEn, titleJa)), Ansi(Pick(textEn, textJa))};
  }
  static Box Saved(const std::string& path) {
    return Box{Ansi(Pick("Information", "お知らせ")),
               Ansi(Pick("Daridev bitmap has been saved in;\n", "ケストロのビットマップが保存されました;\n")) + path +
                   (JapaneseSystem() ? "" : ".")};
  }
  static Box Overwrite() {
    return Expected("Confirmation", "確認", "File already exists.\nDo you overwrite?",
                    "同名ファイルが存在します.\n重ね書きしますか？");
  }
  // Saves to path, answering the overwrite question with answer when it comes
  // (it must come exactly when asked is true), and returns the last box.
  Box SaveAnswering(const std::string& path, bool asked, int answer = IDYES) {
    SaveTo(path);
    if (asked) {
      const Box question = Answer(answer);
      EXPECT_EQ(question.title, Overwrite().title) << path;
      EXPECT_EQ(question.text, Overwrite().text) << path;
      if (answer == IDNO) return Box{};
    }
    return Answer();
  }
  // Composes a colour on the three bars and presses a chip with it.
  void Change(int chip, Rgb c) {
    HWND palette = Palette();
    ASSERT_NE(palette, nullptr);
    Scroll(0, SB_THUMBTRACK, c.r);
    Scroll(1, SB_THUMBTRACK, c.g);
    Scroll(2, SB_THUMBTRACK, c.b);
    ASSERT_TRUE(WaitUntil([&] {
      auto t = PaletteTexts();
      return t[1] == std::to_string(c.r) && t[2] == std::to_string(c.g) && t[3] == std::to_string(c.b);
    }, kPatienceMs));
    ClickChip(chip);
    ASSERT_TRUE(WaitUntil([&] { return ChipColour(chip) == c.Colour(); }, kPatienceMs)) << "chip " << chip;
  }
  static void ExpectBox(const Box& got, const Box& want, const std::string& what) {
    EXPECT_EQ(got.title, want.title) << what;
    EXPECT_EQ(got.text, want.text) << what;
  }
};

}  // namespace e2e
