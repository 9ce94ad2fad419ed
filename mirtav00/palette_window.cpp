// The palette window and Copy PLT. Both draw the same 24-bit picture of the
// cells (palette_picture), built on plain memory: the window paints it 1:1
// and Copy PLT hands it to the clipboard, so the copied colours are exact
// whatever the display's depth.
#include "mirtav00/palette_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cinttypes>
#include <cstdio>
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

// While the menu is up, a restack waits for it to end: hiding the window
// that owns a menu ends the menu.
bool menuUp = false;
bool restackWaiting = false;

// The right-click menu: Undo and Redo of the order, the sorts, the table's
// tidying (unused entries out, duplicates merged), the table in
// its current order to a file, or the table put into a file's order. Each
// runs in the main window, after the menu has gone; the dialogs belong to the
// main window, so both windows take no input while they are up.

void OnContextMenu(HWND window, LPARAM point) {
  const bool picture = paletteColourCount > 0;
  const PaletteMenuItem items[] = {
      {IDM_UNDO_ORDER, {"Undo\tCtrl+Z", "元に戻す\tCtrl+Z"}, picture && orderHistory.CanUndo()},
      {IDM_REDO_ORDER, {"Redo\tCtrl+Y", "やり直し\tCtrl+Y"}, picture && orderHistory.CanRedo()},
      {IDM_SORT_BY_HUE, {"Sort by hue", "色相で並べ替え"}, picture},
      {IDM_SORT_BY_LIGHTNESS, {"Sort by lightness", "明るさで並べ替え"}, picture},
      {IDM_SORT_BY_USE, {"Sort by use", "使用数で並べ替え"}, picture},
      {IDM_REMOVE_UNUSED, {"Remove unused entries", "使われていない色の削除"}, picture},
      {IDM_MERGE_DUPLICATES, {"Merge duplicate colors", "同じ色をまとめる"}, picture},
      {IDM_SAVE_PALETTE_FILE, {"Save palette...", "パレットの保存..."}, picture},
      {IDM_ARRANGE_TO_PALETTE, {"Arrange to palette...", "パレットの順に並べる..."}, picture},
      {IDM_ARRANGE_PICTURES, {"Arrange pictures to palette...", "画像をパレットの順に並べる..."}, true},
  };
  menuUp = true;
  const UINT chosen = ChoosePaletteCommand(window, point, items, sizeof items / sizeof items[0]);
  menuUp = false;
  if (restackWaiting) PostMessageA(mainWindow, kRestackPalette, 0, 0);
  switch (chosen) {
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
    case 0: break;
    default: PostMessageA(mainWindow, WM_COMMAND, chosen, 0); break;
  }
}

// ---- a cell under the mouse: its facts in a tip; a drag moves its entry ----

HWND tip = nullptr;
int32_t tipEntry = -1;   // the entry the tip describes, -1 when hidden
// While the tip shows, a timer checks that the cursor is still over the
// cells: a leave that never comes (the window disabled by a message box as
// the cursor went, or the cursor moved by another program) must not leave
// the tip standing over them.
constexpr UINT_PTR kTipCheck = 1;
int32_t dragFrom = -1;   // the entry pressed, while the button is down

TTTOOLINFOA TipTool(HWND window) {
  TTTOOLINFOA tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = window;
  tool.uId = 1;
  return tool;
}

void MakeTip(HWND window) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                        window, nullptr, appInstance, nullptr);
  if (tip == nullptr) return;
  TTTOOLINFOA tool = TipTool(window);
  tool.lpszText = const_cast<char*>("");
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void HideTip(HWND window) {
  if (tip == nullptr || tipEntry < 0) return;
  TTTOOLINFOA tool = TipTool(window);
  SendMessageA(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  KillTimer(window, kTipCheck);
  tipEntry = -1;
}

void CheckTip(HWND window) {
  POINT at = {};
  if (IsWindowEnabled(window) && GetCursorPos(&at) && WindowFromPoint(at) == window) {
    ScreenToClient(window, &at);
    if (EntryAt(at.x, at.y, paletteColourCount) == tipEntry) return;
  }
  HideTip(window);
}

// "Entry 37: 120 64 200, 1234 pixels" beside the cursor, for the cell there.
void ShowTip(HWND window, int32_t entry, POINT client) {
  if (tip == nullptr) return;
  if (entry < 0) {
    HideTip(window);
    return;
  }
  TTTOOLINFOA tool = TipTool(window);
  if (entry != tipEntry) {
    const shuffle::PaletteEntry& c = PaletteTable[entry];
    const uint64_t* uses = EntryUses(mainWindow);
    char line[160];
    if (uses != nullptr) {
      std::snprintf(line, sizeof line, Pick("Entry %d: %d %d %d, %" PRIu64 " pixels", "%d番: %d %d %d, %" PRIu64 " ピクセル"),
                    static_cast<int>(entry), static_cast<int>(c.red), static_cast<int>(c.green),
                    static_cast<int>(c.blue), uses[entry]);
    } else {
      std::snprintf(line, sizeof line, Pick("Entry %d: %d %d %d", "%d番: %d %d %d"), static_cast<int>(entry),
                    static_cast<int>(c.red), static_cast<int>(c.green), static_cast<int>(c.blue));
    }
    const std::string text = ToAnsi(line);
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    tipEntry = entry;
  }
  POINT at = client;
  ClientToScreen(window, &at);
  SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x + 12, at.y + 18));
  SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  SetTimer(window, kTipCheck, 250, nullptr);
}

void OnMouseMove(HWND window, LPARAM lParam) {
  const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  TRACKMOUSEEVENT leave = {sizeof leave, TME_LEAVE, window, 0};
  TrackMouseEvent(&leave);
  ShowTip(window, EntryAt(at.x, at.y, paletteColourCount), at);
}

void OnButtonDown(HWND window, LPARAM lParam) {
  dragFrom = EntryAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), paletteColourCount);
  if (dragFrom >= 0) SetCapture(window);
}

// Dropped on another cell: that entry's place is the dragged entry's now.
void OnButtonUp(HWND window, LPARAM lParam) {
  const int32_t from = dragFrom;
  dragFrom = -1;
  if (GetCapture() == window) ReleaseCapture();
  const int32_t to = EntryAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), paletteColourCount);
  if (from < 0 || to < 0 || from == to) return;
  HideTip(window);
  PostMessageA(mainWindow, kMovePaletteEntry, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
}

LRESULT CALLBACK PaletteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      MakeTip(window);
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
    case WM_CONTEXTMENU: HideTip(window); OnContextMenu(window, lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window, lParam); return 0;
    case WM_MOUSELEAVE: HideTip(window); return 0;
    case WM_TIMER:
      if (wParam == kTipCheck) CheckTip(window);
      return 0;
    case WM_LBUTTONDOWN: OnButtonDown(window, lParam); return 0;
    case WM_LBUTTONUP: OnButtonUp(window, lParam); return 0;
    case WM_CAPTURECHANGED: dragFrom = -1; return 0;
    case WM_DESTROY:
      tip = nullptr;  // destroyed with the window that owns it
      tipEntry = dragFrom = -1;
      return 0;
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
  // Only while the main window is still the active one: by the time the
  // posted restack runs, the user may have activated the palette window (or
  // another program), and hiding the active window would take the front from it.
  if (GetActiveWindow() != mainWindow) return;
  restackWaiting = menuUp;
  if (menuUp) return;
  // A tip shown across the hide and show keeps the window from coming back
  // on the screen.
  HideTip(palette);
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
