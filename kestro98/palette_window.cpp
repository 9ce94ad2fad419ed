#include "kestro98/palette_window.h"

#include <windowsx.h>

#include <cstdio>
#include <vector>

#include "common/base/gdi_guards.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/platform_style.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/app_shell.h"
#include "common/ui/palette_file_commands.h"
#include "kestro98/core/chip_grid.h"
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
constexpr RECT kSwatch = {22, 128, 267, 176};
const ChipArea kChips;

// The window's state: the composed colour, the scroll guard, its controls and font.
int currentColour[3] = {255, 255, 255};
bool scrollGuard = true;
HFONT windowFont = nullptr;
HWND prompt = nullptr, statusLine = nullptr, undoButton = nullptr, hideButton = nullptr;
HWND values[3] = {}, labels[3] = {}, bars[3] = {};

const char* const kLabels[3] = {"R", "G", "B"};

void SetText(HWND control, const char* utf8) { SetWindowTextA(control, ToAnsi(utf8).c_str()); }

void ShowValue(int component) {
  char text[8];
  std::snprintf(text, sizeof text, "%d", currentColour[component]);
  SetWindowTextA(values[component], text);
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
  for (int i = 0; i < 3; ++i) {
    SetWindowTextA(labels[i], kLabels[i]);
    ShowValue(i);
  }
}

// The Undo button and the status line as the history stands: the one place
// that sets them.
void ShowHistoryState(HWND window) {
  SetText(statusLine, StatusText(paletteHistory, IsJapanese()));
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

  windowFont = MakeFont();
  HWND texts[] = {prompt,    values[0], values[1], values[2], labels[0],
                  labels[1], labels[2], undoButton, hideButton, statusLine};
  for (HWND control : texts) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), TRUE);
  for (int i = 0; i < 3; ++i) {
    SetScrollRange(bars[i], SB_CTL, 0, 255, FALSE);
    SetScrollPos(bars[i], SB_CTL, currentColour[i], FALSE);
  }
  ShowTexts();
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

void OnScroll(HWND window, WPARAM wParam, LPARAM lParam) {
  if (scrollGuard) return;
  HWND bar = reinterpret_cast<HWND>(lParam);
  const int component = GetDlgCtrlID(bar) - IDC_PALETTE_RED;
  if (component < 0 || component > 2) return;
  scrollGuard = true;
  const int code = LOWORD(wParam);
  currentColour[component] = ColourScroll(currentColour[component], code, HIWORD(wParam));
  SetScrollPos(bar, SB_CTL, currentColour[component], TRUE);
  ShowValue(component);
  {
    ScopedGetDC dc(window);
    FillRect(dc, RECT{kSwatch.left + 2, kSwatch.top + 2, kSwatch.right - 1, kSwatch.bottom - 1},
             CurrentColour());
  }
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

// The press's own point: under load the cursor may have moved on by the
// time the message is handled.
void OnPress(HWND window, LPARAM point) {
  const int32_t chip =
      HitChip(GET_X_LPARAM(point), GET_Y_LPARAM(point), paletteHistory.ColourCount(), kChips);
  if (chip < 0) return;
  WaitCursor wait;
  const Rgb colour = {static_cast<uint8_t>(currentColour[0]), static_cast<uint8_t>(currentColour[1]),
                      static_cast<uint8_t>(currentColour[2])};
  if (paletteHistory.Press(chip, colour)) ShowNewLevel(window);
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

void OnContextMenu(HWND window, LPARAM point) {
  const bool picture = paletteHistory.ColourCount() > 0;
  const PaletteMenuItem items[] = {
      {IDM_LOAD_PALETTE_FILE, {"Load palette...", "パレットの読み込み..."},
       picture && !paletteHistory.LimitReached()},
      {IDM_SAVE_PALETTE_FILE, {"Save palette...", "パレットの保存..."}, picture},
  };
  switch (ChoosePaletteCommand(window, point, items, sizeof items / sizeof items[0])) {
    case IDM_LOAD_PALETTE_FILE: LoadPalette(window); break;
    case IDM_SAVE_PALETTE_FILE: SavePalette(); break;
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

void HidePaletteWindow(HWND window) {
  if (paletteWindow == nullptr) return;
  ShowWindow(paletteWindow, SW_HIDE);
  paletteHidden = true;
  SetActiveWindow(window);
}

}  // namespace kestro
