// What the shuffler's end-to-end suites share: the pictures of
// tests/pictures/make_pictures.py (E2E_PICTURES) and where the cases write
// (E2E_OUT), file and BMP reading, and a started shuffler with the steps a
// user takes in it (Open and Save through the real dialogs, message boxes,
// the buttons, the palette window and the picture on the screen).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/session.h"

namespace e2e {
namespace shuffler {

constexpr int kOpen = 101, kRandomise = 102, kCopyPlt = 103, kSave = 104;
constexpr int kRandomiseButton = 110, kCopyButton = 111, kSaveButton = 112;
constexpr int kPictureTop = 21;

// A folder named by an environment variable holding a Unix path, as Wine sees it.
inline std::string FolderOf(const char* variable) {
  const char* unix = std::getenv(variable);
  if (unix == nullptr || *unix == '\0') return std::string();
  std::string path = std::string("Z:") + unix;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

inline std::string Pictures() { return FolderOf("E2E_PICTURES"); }
inline std::string OutDir() {
  const std::string out = FolderOf("E2E_OUT");
  if (!out.empty()) CreateDirectoryA(out.c_str(), nullptr);
  return out;
}
inline std::string Lang() { return JapaneseSystem() ? "ja" : "en"; }

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}
inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
inline void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The colour table of a BMP file as 0x00RRGGBB.
// The colour table as the file lists it, after any header: 3-byte entries
// after a core header (as many as fit before the pixels), else biClrUsed
// 4-byte entries (2^bits when 0).
inline std::vector<uint32_t> PaletteOf(const std::vector<uint8_t>& bmp) {
  std::vector<uint32_t> colours;
  if (bmp.size() < 26) return colours;
  const uint32_t infoSize = U32(bmp, 14);
  const bool core = infoSize == 12;
  const uint32_t bits = core ? (bmp[24] | bmp[25] << 8) : (bmp[28] | bmp[29] << 8);
  const uint32_t entry = core ? 3 : 4, start = 14 + infoSize;
  uint32_t count = core ? 0 : U32(bmp, 46);
  if (count == 0) count = 1u << bits;
  if (core && U32(bmp, 10) > start) count = std::min(count, (U32(bmp, 10) - start) / 3);
  for (uint32_t i = 0; i < count && start + entry * i + 2 < bmp.size(); ++i) {
    const size_t at = start + entry * i;
    colours.push_back(bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16);
  }
  return colours;
}

// The grid of the depth: 256 cells for 8 bits, 16 for 4.
inline size_t CellsOf(const std::vector<uint32_t>& colours, int bits = 0) {
  return bits == 8 || colours.size() > 16 ? 256 : 16;
}
inline bool CellsShow(const Image& shot, const std::vector<uint32_t>& colours, size_t cells);

// The PLTE colours of a PNG file as 0x00RRGGBB.
inline std::vector<uint32_t> PngPalette(const std::vector<uint8_t>& f) {
  std::vector<uint32_t> colours;
  for (size_t at = 8, n = 0; at + 12 <= f.size(); at += 12 + n) {
    n = size_t{f[at]} << 24 | f[at + 1] << 16 | f[at + 2] << 8 | f[at + 3];
    for (size_t i = at + 8; std::memcmp(&f[at + 4], "PLTE", 4) == 0 && i + 3 <= at + 8 + n && i + 3 <= f.size(); i += 3)
      colours.push_back(uint32_t{f[i]} << 16 | f[i + 1] << 8 | f[i + 2]);
  }
  return colours;
}

// The palette window's right-click menu, top to bottom.
enum PaletteMenu {
  kMenuUndo, kMenuRedo, kMenuSortHue, kMenuSortLightness, kMenuSortUse, kMenuRemoveUnused, kMenuMergeDuplicates,
  kMenuSavePalette, kMenuArrange, kMenuArrangePictures, kMenuItems
};

// A started shuffler and the steps a user takes with it.
class Shuffler {
 public:
  bool Start(std::string* error) { return run_.Start(Mirtav(), error); }
  Running& run() { return run_; }
  HWND main() const { return run_.main(); }

  // Sends a command and fills the file dialog that comes with path.
  bool ChooseFile(int command, const char* englishTitle, const char* japaneseTitle,
                  const std::string& path) {
    PostMessageA(main(), WM_COMMAND, command, 0);
    HWND dialog = WaitForDialog(Ansi(Pick(englishTitle, japaneseTitle)).c_str(), run_.pid(), kPatienceMs);
    if (dialog == nullptr) return false;
    HWND name = GetDlgItem(dialog, 0x47c);  // cmb13, Wine's file name box
    if (name == nullptr) return false;
    SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                        SMTO_ABORTIFHUNG, 3000, nullptr);
    PressButton(dialog, IDOK);
    return WaitGone(dialog, kPatienceMs);
  }
  bool Open(const std::string& path) {
    return ChooseFile(kOpen, "Select a 4bit/8bit bitmap file.", "16色/256色 Bitmap ファイルの選択", path);
  }
  bool Save(const std::string& path) {
    return ChooseFile(kSave, "Assign a BMP or TIF file to save.", "保存する Bitmap or Tiff ファイルの指定", path);
  }

  // The message box with that UTF-8 title: its text, then pressed with `button`;
  // "(no box)" when none came.
  std::string Answer(const char* englishTitle, const char* japaneseTitle, int button = IDOK) {
    HWND box = WaitForDialog(Ansi(Pick(englishTitle, japaneseTitle)).c_str(), run_.pid(), kPatienceMs);
    if (box == nullptr) return "(no box)";
    const std::string text = ItemText(box, 0xFFFF);
    PressButton(box, button);
    WaitGone(box, kPatienceMs);
    return text;
  }
  // No message box of this program shows within ms.
  testing::AssertionResult NoBox(int ms) {
    return NotWithin("a message box", [&] {
      for (HWND box : FindTopLevel("#32770", nullptr, run_.pid()))
        if (IsWindowVisible(box)) return true;
      return false;
    }, ms);
  }

  bool Enabled(int button) const { return IsWindowEnabled(run_.Button(button)) != FALSE; }
  std::string Buttons() const {
    return std::string(Enabled(kRandomiseButton) ? "R" : "-") + (Enabled(kCopyButton) ? "C" : "-") +
           (Enabled(kSaveButton) ? "S" : "-");
  }

  HWND Palette() const {
    const std::string title = Ansi(Pick("Color Palette", "カラーパレット"));
    std::vector<HWND> found = FindTopLevel("pPaletteWindow", title.c_str(), run_.pid());
    return found.empty() || !IsWindowVisible(found[0]) ? nullptr : found[0];
  }
  // The palette window once it shows (the open sets the title before it makes it).
  testing::AssertionResult AwaitPalette(HWND* palette) const {
    return Await("the palette window", [&] { return (*palette = Palette()) != nullptr; },
                 [] { return std::string("none visible"); });
  }
  testing::AssertionResult AwaitButtons(const std::string& want) const {
    return Await("the buttons " + want, [&] { return Buttons() == want; }, [&] { return Buttons(); });
  }

  // The pointer off both windows, so the palette window's tip is not in a shot.
  static void PointerAway() { MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); }
  // The picture area of the client, w x h from (0, 21).
  Image Picture(int w, int h) const {
    PointerAway();
    POINT at = ClientToScreenPoint(main(), 0, kPictureTop);
    return CaptureScreen(at.x, at.y, w, h);
  }
  // Waits for the picture area to show `want` (a reference rendering at 1:1).
  testing::AssertionResult Shows(const Image& want) const {
    Image got;
    return Await("the picture drawn as its reference", [&] {
      got = Picture(want.width, want.height);
      return DifferentPixels(got, want) == 0;
    }, [&] { return std::to_string(DifferentPixels(got, want)) + " pixels different"; });
  }
  // The palette window's client once it shows these colours (or after the patience).
  Image PaletteShowing(const std::vector<uint32_t>& colours, size_t cells = 16) const {
    Image shot;
    WaitUntil([&] { shot = PaletteClient(); return CellsShow(shot, colours, cells); }, kPatienceMs);
    return shot;
  }
  // As PaletteShowing, as a result that says, when the cells never showed
  // them, which window lay over the cells' middle (a screenshot is kept).
  testing::AssertionResult ShowsCells(const std::vector<uint32_t>& colours, size_t cells, const std::string& shot) const {
    if (CellsShow(PaletteShowing(colours, cells), colours, cells)) return testing::AssertionSuccess();
    HWND palette = Palette();
    if (palette == nullptr) return testing::AssertionFailure() << "no palette window";
    const POINT middle = ClientToScreenPoint(palette, 132, 132);
    HWND there = GetAncestor(WindowFromPoint(middle), GA_ROOT);
    CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)).SaveBmp(ShotPath(shot));
    return testing::AssertionFailure() << "the cells' middle shows " << ClassOf(there) << " \"" << WindowText(there)
                                       << "\", \"" << WindowText(GetForegroundWindow()) << "\" in front";
  }
  Image PaletteClient() const {
    HWND palette = Palette();
    if (palette == nullptr) return Image();
    PointerAway();
    POINT at = ClientToScreenPoint(palette, 0, 0);
    return CaptureScreen(at.x, at.y, 264, 264);
  }

  bool Randomise() {
    PostMessageA(main(), WM_COMMAND, kRandomise, 0);
    return WaitUntil([&] { return !Enabled(kRandomiseButton) && Enabled(kSaveButton); }, kPatienceMs);
  }

 private:
  Running run_;
};
inline std::string ExpectedTitle(const std::string& file, int factor) {
  return Ansi(Pick("Mirtav - ", "ミルタヴ - ")) + file + " [1:" + std::to_string(factor) + "]";
}

// Whether the cells show these colours (see ExpectCells).
inline bool CellsShow(const Image& shot, const std::vector<uint32_t>& colours, size_t cells) {
  if (shot.width != 264) return false;
  for (size_t i = 0; i < cells; ++i) {
    const int x = 16 * static_cast<int>(i % 16) + 12, y = 16 * static_cast<int>(i / 16) + 12;
    if (shot.At(x, y) != (i < colours.size() ? colours[i] : 0)) return false;
  }
  return true;
}

// Each palette entry's colour at the middle of its cell, its frame black.
inline void ExpectCells(const Image& shot, const std::vector<uint32_t>& colours, const std::string& label,
                 int bits = 0) {
  ASSERT_EQ(shot.width, 264) << label;
  const size_t cells = CellsOf(colours, bits);
  for (size_t i = 0; i < cells; ++i) {
    const int x = 16 * static_cast<int>(i % 16) + 6, y = 16 * static_cast<int>(i / 16) + 6;
    const uint32_t want = i < colours.size() ? colours[i] : 0;
    EXPECT_EQ(shot.At(x + 6, y + 6), want) << label << " cell " << i;
    EXPECT_EQ(shot.At(x, y), 0u) << label << " frame of cell " << i;
    EXPECT_EQ(shot.At(x + 11, y + 11), 0u) << label << " frame of cell " << i;
  }
  if (cells == 16) {
    EXPECT_EQ(shot.At(100, 100), 0xFFFFFFu) << label << ": white below one row";
  }
}


}  // namespace shuffler
}  // namespace e2e
