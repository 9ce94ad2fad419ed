// The palette window and Copy PLT. Both draw the same 24-bit picture of the
// cells (palette_picture), built on plain memory: the window paints it 1:1
// and Copy PLT hands it to the clipboard, so the copied colours are exact
// whatever the display's depth.
#include "mirtav00/palette_window.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/base/gdi_guards.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/global_memory.h"
#include "common/ui/palette_file_commands.h"
#include "mirtav00/core/palette_picture.h"
#include "mirtav00/picture.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

int showPaletteWindow = kShowPaletteYes;
int paletteWindowOffset = 0;

namespace {

constexpr char kPaletteClass[] = "pPaletteWindow";

const Message kMsgNoClipboardMemory = {
    {"Unable to allocate clipboard memory.", "クリップボードのメモリを確保できません."},
    {"Error", "エラー"},
    MessageIcon::kError};

// Paints the palette picture 1:1 at the client area's origin.
void DrawCells(HDC dc) {
  std::vector<uint8_t> dib(kPaletteDibSize);
  WritePaletteDib(PaletteTable, paletteColourCount, dib.data(), shufflerPicture.bitCount);
  SetDIBitsToDevice(dc, 0, 0, kPaletteSide, kPaletteSide, 0, 0, 0, kPaletteSide, dib.data() + 40,
                    reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS);
}

// Moves the window to the main window's top right, right after it in the
// z-order, without sizing or activating it.
void PlaceBesideMain(HWND palette) {
  RECT main = {};
  GetWindowRect(mainWindow, &main);
  HDWP positions = BeginDeferWindowPos(1);
  if (positions == nullptr) return;
  positions = DeferWindowPos(positions, palette, mainWindow, main.right - 273,
                             main.top + paletteWindowOffset - 1, 0, 0,
                             SWP_NOSIZE | SWP_NOACTIVATE);
  if (positions != nullptr) EndDeferWindowPos(positions);
}

// The right-click menu: the table in its current order to a file, or the
// table put into a file's order. Their dialogs belong to the main window, so
// both windows take no input while they are up.
void OnContextMenu(HWND window, LPARAM point) {
  const PaletteMenuItem items[] = {
      {IDM_SAVE_PALETTE_FILE, {"Save palette...", "パレットの保存..."}, paletteColourCount > 0},
      {IDM_ARRANGE_TO_PALETTE, {"Arrange to palette...", "パレットの順に並べる..."}, paletteColourCount > 0},
      {IDM_ARRANGE_PICTURES, {"Arrange pictures to palette...", "画像をパレットの順に並べる..."}, true},
  };
  switch (ChoosePaletteCommand(window, point, items, sizeof items / sizeof items[0])) {
    case IDM_SAVE_PALETTE_FILE: {
      std::vector<palette_file::Colour> colours;
      for (int32_t i = 0; i < paletteColourCount; ++i) {
        colours.push_back({static_cast<uint8_t>(PaletteTable[i].red), static_cast<uint8_t>(PaletteTable[i].green),
                           static_cast<uint8_t>(PaletteTable[i].blue)});
      }
      WritePaletteFile(mainWindow, colours);
      break;
    }
    case IDM_ARRANGE_TO_PALETTE: PostMessageA(mainWindow, kArrangeToPalette, 0, 0); break;
    case IDM_ARRANGE_PICTURES: PostMessageA(mainWindow, kArrangePictures, 0, 0); break;
    default: break;
  }
}

LRESULT CALLBACK PaletteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      PlaceBesideMain(window);
      ScopedGetDC dc(window);
      DrawCells(dc);
      return 0;
    }
    case WM_PAINT: {
      ScopedPaint dc(window);
      DrawCells(dc);
      return 0;
    }
    case WM_CONTEXTMENU: OnContextMenu(window, lParam); return 0;
    // Shown or hidden by the special setting only: Alt+F4 does not take it away.
    case WM_CLOSE: return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

HWND FindPaletteWindow() {
  const std::string title = ToAnsi(PaletteWindowTitle());
  HWND found = FindWindowExA(nullptr, nullptr, kPaletteClass, title.c_str());
  // Only this process's own palette window; a second copy's is not ours.
  DWORD owner = 0;
  if (found != nullptr) GetWindowThreadProcessId(found, &owner);
  return owner == GetCurrentProcessId() ? found : nullptr;
}

bool RegisterPaletteWindowClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSA paletteClass = {};
  paletteClass.style = CS_HREDRAW | CS_VREDRAW;
  paletteClass.lpfnWndProc = NoBadAlloc<LRESULT, PaletteWindowProc>;
  paletteClass.hInstance = appInstance;
  paletteClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  paletteClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  paletteClass.lpszClassName = kPaletteClass;
  registered = RegisterClassA(&paletteClass) != 0;
  return registered;
}

void CreatePaletteWindow() {
  RECT main = {};
  GetWindowRect(mainWindow, &main);
  const std::string title = ToAnsi(PaletteWindowTitle());
  HWND palette = CreateWindowExA(WS_EX_TOPMOST, kPaletteClass, title.c_str(),
                                 WS_CAPTION | WS_VISIBLE, main.right - 273,
                                 main.top + paletteWindowOffset - 1, 270,
                                 paletteWindowOffset + 245, mainWindow, nullptr, appInstance,
                                 nullptr);
  if (palette == nullptr) return;
  ShowWindow(palette, SW_SHOWNOACTIVATE);
  UpdateWindow(palette);
}

void KeepPaletteWindowInFront() {
  // Windows keeps owned windows in front by itself; only Wine needs this.
  static const bool underWine =
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  if (!underWine) return;
  HWND palette = FindPaletteWindow();
  if (palette == nullptr || !IsWindowVisible(palette)) return;
  const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(palette, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW);
  SetWindowPos(palette, nullptr, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
  // Shown again, the window may come back with a new, empty surface: its
  // cells are drawn now rather than left to a paint that may not come.
  RedrawWindow(palette, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

void EnablePaletteWindow(bool enable) {
  HWND palette = FindPaletteWindow();
  if (palette != nullptr) EnableWindow(palette, enable ? TRUE : FALSE);
}

void DestroyPaletteWindow() {
  HWND palette = FindPaletteWindow();
  if (palette == nullptr) return;
  DestroyWindow(palette);
}

void CopyPalette(HWND window) {
  MyClipboard clipboard;
  if (FindPaletteWindow() == nullptr) return;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, kPaletteDibSize);
  if (block == nullptr) {
    ShowMessage(window, kMsgNoClipboardMemory);
    return;
  }
  bool filled = false;
  {
    GlobalMemoryData data(block);
    uint8_t* bytes = static_cast<uint8_t*>(data.Lock());
    if (bytes != nullptr) {
      WritePaletteDib(PaletteTable, paletteColourCount, bytes, shufflerPicture.bitCount);
      filled = true;
    }
  }
  if (!filled) {
    GlobalFree(block);
    return;
  }
  clipboard.Open(window);
  // A clipboard another program holds takes nothing: the block stays ours.
  if (!clipboard.Empty() || clipboard.SetData(CF_DIB, block) == nullptr) GlobalFree(block);
}

}  // namespace mirtav
