#include "kestro98/palette_window.h"

#include <windowsx.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/base/gdi_guards.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/platform_style.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/global_memory.h"
#include "common/ui/app_shell.h"
#include "common/ui/palette_file_commands.h"
#include "kestro98/core/chip_grid.h"
#include "kestro98/core/colour_tools.h"
#include "kestro98/image_view.h"
#include "kestro98/picture.h"
#include "resources/kestro98/resource.h"

namespace kestro {

HWND paletteWindow = nullptr;
bool paletteHidden = false;
POINT savedPalettePosition = {-100, -100};

namespace {

const char kClassName[] = "PaletteWindow";
constexpr int kWidth = 296;
constexpr int kHeight = 423;
constexpr RECT kSwatch = {22, 128, 150, 176};
const ChipArea kChips;

// The window's state: the composed colour (always a colour of the depth), the
// selected entry, what the status line knows, the scroll guard, its controls
// and font. The depth is kept for the run, across pictures.
int currentColour[3] = {255, 255, 255};
int32_t selectedEntry = 0;
int32_t depthBits = 8;
StatusFacts status;
bool scrollGuard = true;
HFONT windowFont = nullptr;
HWND prompt = nullptr, statusLine = nullptr, undoButton = nullptr, hideButton = nullptr;
HWND colourField = nullptr, showOnlyBox = nullptr;
HWND values[3] = {}, labels[3] = {}, bars[3] = {};

const char* const kLabels[3] = {"R", "G", "B"};

void SetText(HWND control, const char* utf8) { SetWindowTextA(control, ToAnsi(utf8).c_str()); }

std::string WindowText(HWND control) {
  char text[64] = "";
  GetWindowTextA(control, text, sizeof text);
  return text;
}

void ShowValue(int component) {
  char text[8];
  std::snprintf(text, sizeof text, "%d", currentColour[component]);
  SetWindowTextA(values[component], text);
}

Rgb CurrentRgb() {
  return Rgb{static_cast<uint8_t>(currentColour[0]), static_cast<uint8_t>(currentColour[1]),
             static_cast<uint8_t>(currentColour[2])};
}

// The bars over the depth's levels at the composed colour, its values and
// its text in the field.
void ShowBarsForDepth() {
  for (int i = 0; i < 3; ++i) {
    SetScrollRange(bars[i], SB_CTL, 0, (1 << depthBits) - 1, FALSE);
    SetScrollPos(bars[i], SB_CTL, NearestLevel(depthBits, static_cast<uint8_t>(currentColour[i])), TRUE);
    ShowValue(i);
  }
  SetWindowTextA(colourField, ColourText(CurrentRgb()).c_str());
}

HWND Child(HWND parent, const char* cls, DWORD style, int x, int y, int w, int h, int id) {
  return CreateWindowA(cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), appInstance, nullptr);
}

HFONT MakeFont() {
  const bool japanese = IsJapanese();
  const int height = japanese ? 12 : (platformStyle <= 2 && platformStyle >= 0 ? 12 : 15);
  const std::string face = ToAnsi(japanese ? "ＭＳ Ｐゴシック" : "Helv");
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     japanese ? SHIFTJIS_CHARSET : OEM_CHARSET, 0, 0, 0, 0, face.c_str());
}

// The texts of the controls, set once when the window is made.
void ShowTexts() {
  SetText(prompt, Pick("Adjust scroll bars and press a palette chip.",
                       "ｽｸﾛｰﾙ･ﾊﾞｰを調整しﾊﾟﾚｯﾄ･ﾁｯﾌﾟを押してください."));
  SetText(undoButton, Pick("Undo change", "変更を戻す"));
  SetText(hideButton, Pick("Hide window", "Windowを隠す"));
  SetText(showOnlyBox, Pick("This entry only", "この色だけ表示"));
  for (int i = 0; i < 3; ++i) {
    SetWindowTextA(labels[i], kLabels[i]);
    ShowValue(i);
  }
}

void ShowStatus() { SetText(statusLine, StatusLine(status, IsJapanese()).c_str()); }

// The Undo button and the status line as the history stands: the one place
// that sets them.
void ShowHistoryState(HWND window) {
  status.limitReached = paletteHistory.LimitReached();
  status.depthBits = depthBits;
  status.outsideDepth = EntriesOutsideDepth(paletteHistory, depthBits);
  ShowStatus();
  const bool undo = paletteHistory.UndoEnabled();
  if ((IsWindowEnabled(undoButton) != FALSE) == undo) return;
  // Disabling the focused button would leave the window without focus.
  if (!undo && GetFocus() == undoButton) SetFocus(window);
  EnableWindow(undoButton, undo ? TRUE : FALSE);
}


void OnCreate(HWND window) {
  prompt = Child(window, "STATIC", SS_CENTER, 0, 15, 289, 21, 0);
  for (int i = 0; i < 3; ++i) values[i] = Child(window, "STATIC", SS_RIGHT, 20, 55 + 24 * i, 23, 21, 0);
  for (int i = 0; i < 3; ++i) labels[i] = Child(window, "STATIC", SS_LEFT, 254, 55 + 24 * i, 15, 21, 0);
  for (int i = 0; i < 3; ++i) {
    bars[i] = Child(window, "SCROLLBAR", SBS_HORZ, 52, 50 + 24 * i, 194, 21, IDC_PALETTE_RED + i);
  }
  undoButton = Child(window, "BUTTON", BS_PUSHBUTTON, 22, 185, 110, 23, IDC_PALETTE_UNDO);
  hideButton = Child(window, "BUTTON", BS_PUSHBUTTON, 157, 185, 110, 23, IDC_PALETTE_HIDE);
  statusLine = Child(window, "STATIC", SS_CENTER, 0, 220, 289, 21, 0);
  colourField = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                160, 128, 107, 22, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PALETTE_COLOUR_TEXT)),
                                appInstance, nullptr);
  SendMessageA(colourField, EM_LIMITTEXT, 40, 0);
  showOnlyBox = Child(window, "BUTTON", BS_AUTOCHECKBOX, 160, 154, 120, 22, IDC_PALETTE_SHOW_ONLY);

  windowFont = MakeFont();
  HWND texts[] = {prompt,     values[0],  values[1],   values[2],  labels[0],   labels[1],
                  labels[2],  undoButton, hideButton, statusLine, colourField, showOnlyBox};
  for (HWND control : texts) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), TRUE);
  ShowTexts();
  ShowBarsForDepth();
  ShowHistoryState(window);
}

void FillRect(HDC dc, const RECT& r, COLORREF colour) {
  ScopedBrush brush(CreateSolidBrush(colour));
  ScopedPen pen(CreatePen(PS_SOLID, 1, colour));
  ScopedSelectObject b(dc, brush);
  ScopedSelectObject p(dc, pen);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

COLORREF CurrentColour() { return RGB(currentColour[0], currentColour[1], currentColour[2]); }

void DrawChips(HDC dc) {
  FillRect(dc, RECT{kChips.left, kChips.top, kChips.right - 1, kChips.bottom - 1}, buttonFaceColour);
  const int32_t count = paletteHistory.ColourCount();
  ScopedSelectObject pen(dc, GetStockObject(BLACK_PEN));
  for (int32_t row = 0; row < 16; ++row) {
    for (int32_t column = 0; column < 16; ++column) {
      const int32_t index = 16 * row + column;
      if (index >= count) continue;
      const Rgb c = paletteHistory.Entry(index);
      const CellRect cell = ChipCell(row, column, kChips);
      ScopedBrush brush(CreateSolidBrush(RGB(c.red, c.green, c.blue)));
      ScopedSelectObject b(dc, brush);
      Rectangle(dc, cell.x0, cell.y0, cell.x1, cell.y1);  // right and bottom edges excluded
    }
  }
  if (selectedEntry < 0 || selectedEntry >= count) return;
  // The selected chip: its own edge white, a frame in the highlight colour
  // around it in the gaps, which belong to no chip.
  const CellRect cell = ChipCell(selectedEntry / 16, selectedEntry % 16, kChips);
  ScopedSelectObject hollow(dc, GetStockObject(NULL_BRUSH));
  {
    ScopedSelectObject white(dc, GetStockObject(WHITE_PEN));
    Rectangle(dc, cell.x0, cell.y0, cell.x1, cell.y1);
  }
  ScopedPen frame(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_HIGHLIGHT)));
  ScopedSelectObject f(dc, frame);
  Rectangle(dc, cell.x0 - 1, cell.y0 - 1, cell.x1 + 1, cell.y1 + 1);
}

void RedrawChips(HWND window) {
  ScopedGetDC dc(window);
  DrawChips(dc);
}

void Line(HDC dc, COLORREF colour, const POINT (&points)[3]) {
  ScopedPen pen(CreatePen(PS_SOLID, 1, colour));
  ScopedSelectObject p(dc, pen);
  Polyline(dc, points, 3);
}

void PaintSwatch(HDC dc) {
  const int L = kSwatch.left, T = kSwatch.top, R = kSwatch.right, B = kSwatch.bottom;
  FillRect(dc, kSwatch, CurrentColour());
  Line(dc, RGB(0, 0, 0), {{R - 2, T + 1}, {L + 1, T + 1}, {L + 1, B - 1}});
  Line(dc, buttonFaceColour, {{L + 1, B - 1}, {R - 1, B - 1}, {R - 1, T + 1}});
  Line(dc, RGB(128, 128, 128), {{R - 1, T}, {L, T}, {L, B}});
  Line(dc, RGB(255, 255, 255), {{L, B}, {R, B}, {R, T - 1}});
}

void OnPaint(HWND window) {
  ScopedPaint dc(window);
  PaintSwatch(dc);
  DrawChips(dc);
}

void RepaintSwatch(HWND window) {
  ScopedGetDC dc(window);
  FillRect(dc, RECT{kSwatch.left + 2, kSwatch.top + 2, kSwatch.right - 1, kSwatch.bottom - 1},
           CurrentColour());
}

// The bars, their values, the field and the swatch take a colour, at the
// nearest colour of the depth.
void Compose(HWND window, Rgb colour) {
  const Rgb c = SnapColour(depthBits, colour);
  currentColour[0] = c.red;
  currentColour[1] = c.green;
  currentColour[2] = c.blue;
  ShowBarsForDepth();
  RepaintSwatch(window);
  if (status.wrongColour) {
    status.wrongColour = false;
    ShowStatus();
  }
}

void OnScroll(HWND window, WPARAM wParam, LPARAM lParam) {
  if (scrollGuard) return;
  HWND bar = reinterpret_cast<HWND>(lParam);
  const int component = GetDlgCtrlID(bar) - IDC_PALETTE_RED;
  if (component < 0 || component > 2) return;
  scrollGuard = true;
  const int code = LOWORD(wParam);
  const int32_t level = LevelScroll(NearestLevel(depthBits, static_cast<uint8_t>(currentColour[component])),
                                    code, HIWORD(wParam), (1 << depthBits) - 1);
  currentColour[component] = ExpandLevel(depthBits, level);
  SetScrollPos(bar, SB_CTL, level, TRUE);
  ShowValue(component);
  SetWindowTextA(colourField, ColourText(CurrentRgb()).c_str());
  RepaintSwatch(window);
  scrollGuard = false;
}

// The current level into the picture's colour table, then the repaint.
void WriteLevelAndTell() {
  WriteCurrentColours(mainWindow);
  PostMessageA(mainWindow, kRepaintPicture, 0, 0);
}

// After a change, an Undo or a Redo: the chips, the picture's table and the
// picture, the Undo button and the status line.
void ShowNewLevel(HWND window) {
  RedrawChips(window);
  WriteLevelAndTell();
  ShowHistoryState(window);
}

// The view shows the selected entry alone while the box is checked.
void FollowShowOnly() {
  const bool only = showOnlyBox != nullptr && IsDlgButtonChecked(paletteWindow, IDC_PALETTE_SHOW_ONLY) == BST_CHECKED;
  ShowOnlyEntry(mainWindow, only ? selectedEntry : -1);
}

// A new selected entry: framed, and the view follows it when it shows one entry.
void Select(HWND window, int32_t entry) {
  const int32_t count = paletteHistory.ColourCount();
  if (count <= 0) return;
  entry = entry < 0 ? 0 : (entry >= count ? count - 1 : entry);
  if (entry == selectedEntry) return;
  selectedEntry = entry;
  RedrawChips(window);
  FollowShowOnly();
}

// Enter, Space or a press: the composed colour into the selected entry, one change.
void ApplyToSelected(HWND window) {
  WaitCursor wait;
  if (paletteHistory.Press(selectedEntry, CurrentRgb())) ShowNewLevel(window);
}

// The field's text as the composed colour; a wrong text changes nothing
// and the status line shows how a colour is written.
bool TakeColourText(HWND window, const std::string& text) {
  Rgb colour;
  if (!ParseColourText(text.c_str(), &colour)) {
    status.wrongColour = true;
    ShowStatus();
    MessageBeep(MB_OK);
    return false;
  }
  Compose(window, colour);
  return true;
}

// Ctrl+V: the clipboard's text as the composed colour (no text is a wrong one).
void PasteColour(HWND window) {
  std::string text;
  {
    MyClipboard clipboard;
    if (clipboard.Open(window) != 0) {
      HANDLE data = clipboard.GetData(CF_TEXT);
      if (data != nullptr) {
        GlobalMemoryData memory(data);
        const char* locked = static_cast<const char*>(memory.Lock());
        if (locked != nullptr) text.assign(locked, strnlen(locked, memory.Size()));
      }
    }
  }
  TakeColourText(window, text);
}

// The press's own point: under load the cursor may have moved on by the
// time the message is handled.
void OnPress(HWND window, LPARAM point) {
  const int32_t chip =
      HitChip(GET_X_LPARAM(point), GET_Y_LPARAM(point), paletteHistory.ColourCount(), kChips);
  if (chip < 0) return;
  Select(window, chip);
  ApplyToSelected(window);
}

// Load palette...: the file's colours into the first entries, one change.
void LoadPalette(HWND window) {
  std::vector<palette_file::Colour> colours;
  if (!ReadPaletteFile(mainWindow, {"Select a palette file to load.", "読み込むパレットファイルの選択"},
                       &colours)) {
    return;
  }
  std::vector<Rgb> levelColours;
  for (const palette_file::Colour& c : colours) levelColours.push_back(Rgb{c.red, c.green, c.blue});
  if (paletteHistory.Load(levelColours.data(), static_cast<int32_t>(levelColours.size()))) {
    ShowNewLevel(window);
  }
}

// Save palette...: the current colours of the table.
void SavePalette() {
  std::vector<palette_file::Colour> colours;
  for (int32_t i = 0; i < paletteHistory.ColourCount(); ++i) {
    const Rgb c = paletteHistory.Entry(i);
    colours.push_back({c.red, c.green, c.blue});
  }
  WritePaletteFile(mainWindow, colours);
}

// A colour depth from the menu: the bars step through its levels and the
// composed colour moves to its nearest colour of the depth.
void SetDepth(HWND window, int32_t bits) {
  depthBits = bits;
  Compose(window, CurrentRgb());
  ShowHistoryState(window);
}

// Snap palette to depth: every entry at its nearest colour of the depth, one change.
void SnapToDepth(HWND window) {
  std::vector<Rgb> snapped;
  for (int32_t i = 0; i < paletteHistory.ColourCount(); ++i) {
    snapped.push_back(SnapColour(depthBits, paletteHistory.Entry(i)));
  }
  WaitCursor wait;
  if (paletteHistory.Load(snapped.data(), static_cast<int32_t>(snapped.size()))) ShowNewLevel(window);
}

void OnContextMenu(HWND window, LPARAM point) {
  const bool picture = paletteHistory.ColourCount() > 0;
  const bool free = picture && !paletteHistory.LimitReached();
  const PaletteMenuItem items[] = {
      {IDM_LOAD_PALETTE_FILE, {"Load palette...", "パレットの読み込み..."}, free},
      {IDM_SAVE_PALETTE_FILE, {"Save palette...", "パレットの保存..."}, picture},
      {IDM_DEPTH_24, {"24-bit color", "24ビット色"}, true, depthBits == 8},
      {IDM_DEPTH_15, {"15-bit color (5 bits a channel)", "15ビット色 (各5ビット)"}, true, depthBits == 5},
      {IDM_DEPTH_12, {"12-bit color (4 bits a channel)", "12ビット色 (各4ビット)"}, true, depthBits == 4},
      {IDM_DEPTH_9, {"9-bit color (3 bits a channel)", "9ビット色 (各3ビット)"}, true, depthBits == 3},
      {IDM_SNAP_TO_DEPTH, {"Snap palette to depth", "パレットを色深度に合わせる"},
       free && EntriesOutsideDepth(paletteHistory, depthBits) > 0},
  };
  const UINT chosen = ChoosePaletteCommand(window, point, items, sizeof items / sizeof items[0]);
  switch (chosen) {
    case IDM_LOAD_PALETTE_FILE: LoadPalette(window); break;
    case IDM_SAVE_PALETTE_FILE: SavePalette(); break;
    case IDM_DEPTH_24: case IDM_DEPTH_15: case IDM_DEPTH_12: case IDM_DEPTH_9:
      SetDepth(window, kDepthBits[chosen - IDM_DEPTH_24]);
      return;
    case IDM_SNAP_TO_DEPTH: SnapToDepth(window); return;
    default: return;
  }
  // The dialog gave the front to the main window; the palette window the
  // user was working in comes back in front of it.
  SetActiveWindow(window);
}

void OnUndo(HWND window) {
  WaitCursor wait;
  if (paletteHistory.Undo()) ShowNewLevel(window);
}

// Ctrl+Y: the change the last Undo took away comes back, the limit message
// with it when that change was the 299th.
void OnRedo(HWND window) {
  WaitCursor wait;
  if (paletteHistory.Redo()) ShowNewLevel(window);
}

void OnDestroy(HWND window) {
  RECT box = {};
  if (GetWindowRect(window, &box)) savedPalettePosition = {box.left, box.top};
  if (windowFont != nullptr) {
    DeleteObject(windowFont);
    windowFont = nullptr;
  }
  paletteWindow = nullptr;
}

LRESULT CALLBACK PaletteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_HSCROLL: OnScroll(window, wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnPress(window, lParam); return 0;
    case WM_CONTEXTMENU: OnContextMenu(window, lParam); return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_PALETTE_UNDO) OnUndo(window);
      if (LOWORD(wParam) == IDC_PALETTE_HIDE) PostMessageA(mainWindow, kHidePalette, 0, 0);
      if (LOWORD(wParam) == IDC_PALETTE_SHOW_ONLY) FollowShowOnly();
      return 0;
    // The close box and Alt+F4 hide the window as its Hide button does.
    case WM_CLOSE: PostMessageA(mainWindow, kHidePalette, 0, 0); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterPaletteWindowClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = NoBadAlloc<LRESULT, PaletteWindowProc>;
  wc.hInstance = appInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kClassName;
  registered = RegisterClassA(&wc) != 0;
  return registered;
}

void CreatePaletteWindow() {
  currentColour[0] = currentColour[1] = currentColour[2] = 255;
  selectedEntry = 0;
  status = StatusFacts();
  scrollGuard = true;
  paletteHidden = false;
  POINT at = savedPalettePosition;
  if (at.x == -100 && at.y == -100) {
    at = {screenWidth - taskbarMargins.right - kWidth, taskbarMargins.top};
  }
  const std::string title = ToAnsi(PaletteWindowTitle());
  paletteWindow = CreateWindowExA(WS_EX_WINDOWEDGE, kClassName, title.c_str(),
                                  WS_POPUP | WS_VISIBLE | WS_CAPTION, at.x, at.y, kWidth,
                                  kHeight + GetSystemMetrics(SM_CYCAPTION), nullptr, nullptr,
                                  appInstance, nullptr);
  if (paletteWindow == nullptr) return;
  ShowWindow(paletteWindow, SW_SHOW);
  UpdateWindow(paletteWindow);
  // The bars take no scroll until the window has been drawn once.
  scrollGuard = false;
}

void DestroyPaletteWindow() {
  // The view shows every entry again; the next picture's (or no) paint shows it.
  ShowOnlyEntry(nullptr, -1);
  if (paletteWindow != nullptr) {
    ShowWindow(paletteWindow, SW_HIDE);
    DestroyWindow(paletteWindow);
  }
  paletteWindow = nullptr;
}

void BringPaletteWindowForward() {
  if (paletteWindow == nullptr) return;
  if (paletteHidden) {
    ShowWindow(paletteWindow, SW_RESTORE);
    paletteHidden = false;
  } else if (GetActiveWindow() != paletteWindow) {
    SetActiveWindow(paletteWindow);
  }
}

void UndoChange() {
  if (paletteWindow != nullptr) OnUndo(paletteWindow);
}

void RedoChange() {
  if (paletteWindow != nullptr) OnRedo(paletteWindow);
}

void EnablePaletteWindow(bool enable) {
  if (paletteWindow != nullptr) EnableWindow(paletteWindow, enable ? TRUE : FALSE);
}

void PickEntry(int32_t entry) {
  if (paletteWindow == nullptr || entry < 0 || entry >= paletteHistory.ColourCount()) return;
  Select(paletteWindow, entry);
  Compose(paletteWindow, paletteHistory.Entry(entry));
}

void ShowPixelLine(const std::string& line) {
  if (paletteWindow == nullptr || line == status.pixel) return;
  status.pixel = line;
  ShowStatus();
}

bool TakePaletteKey(const MSG& message) {
  if (paletteWindow == nullptr || message.message != WM_KEYDOWN || !IsWindowEnabled(paletteWindow)) {
    return false;
  }
  HWND at = message.hwnd;
  const bool inField = at == colourField;
  const bool inWindow = at == paletteWindow || (IsChild(paletteWindow, at) && !inField);
  const bool inMain = at == mainWindow || IsChild(mainWindow, at);
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const WPARAM key = message.wParam;
  if (inField) {
    if (key == VK_RETURN) {
      // The typed colour to the bars; the keyboard goes back to the chips.
      if (TakeColourText(paletteWindow, WindowText(colourField))) SetFocus(paletteWindow);
      return true;
    }
    if (key == VK_TAB || key == VK_ESCAPE) {
      if (key == VK_ESCAPE) SetWindowTextA(colourField, ColourText(CurrentRgb()).c_str());
      SetFocus(paletteWindow);
      return true;
    }
    return false;
  }
  // Space on the check box is the check box's.
  if ((key == VK_RETURN || (key == VK_SPACE && at != showOnlyBox)) && (inWindow || inMain) && !control) {
    ApplyToSelected(paletteWindow);
    return true;
  }
  if (!inWindow) return false;
  const int32_t count = paletteHistory.ColourCount();
  switch (key) {
    case VK_LEFT: Select(paletteWindow, selectedEntry - 1); return true;
    case VK_RIGHT: Select(paletteWindow, selectedEntry + 1); return true;
    case VK_UP: Select(paletteWindow, selectedEntry - 16 >= 0 ? selectedEntry - 16 : selectedEntry); return true;
    case VK_DOWN: Select(paletteWindow, selectedEntry + 16 < count ? selectedEntry + 16 : selectedEntry); return true;
    case VK_HOME: Select(paletteWindow, 0); return true;
    case VK_END: Select(paletteWindow, count - 1); return true;
    case VK_TAB:
      SetFocus(colourField);
      SendMessageA(colourField, EM_SETSEL, 0, -1);
      return true;
    case 'V':
      if (!control) return false;
      PasteColour(paletteWindow);
      return true;
    default: return false;
  }
}

void HidePaletteWindow(HWND window) {
  if (paletteWindow == nullptr) return;
  ShowWindow(paletteWindow, SW_HIDE);
  paletteHidden = true;
  SetActiveWindow(window);
}

}  // namespace kestro
