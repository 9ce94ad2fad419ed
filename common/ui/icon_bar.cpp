#include "common/ui/icon_bar.h"

#include <vector>

#include "common/base/gdi_guards.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/platform_style.h"
#include "common/base/shell_state.h"
#include "common/ui/core/button_tables.h"
#include "common/ui/program_description.h"

namespace {

using ui_core::ButtonSpec;
using ui_core::ButtonTable;

std::vector<ButtonEntry> entries;
// The look the bar was built from; the entries are read against it even if
// another program is adopted later (in-process tests run both programs).
const ui_core::ProgramLook* barLook = nullptr;

LRESULT OnCreate(HWND bar) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(bar, GWLP_HINSTANCE));
  barLook = runningProgram->look;
  if (!styleDetected) DetectPlatformStyle(barLook->ntStyles);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int top = GetSystemMetrics(SM_CYBORDER) + barLook->buttonTopFromBorder;
  const ButtonTable& table = barLook->buttons;
  entries.assign(table.count, ButtonEntry());
  iconBarButtons = entries.data();
  iconBarButtonCount = static_cast<int>(entries.size());
  const char* variant = BitmapVariant();
  for (int i = 0; i < iconBarButtonCount; ++i) {
    const ButtonSpec& row = table.rows[i];
    ButtonEntry& entry = iconBarButtons[i];
    ui_core::ComposeBitmapName(entry.upName, row.baseName, variant, "Up");
    ui_core::ComposeBitmapName(entry.dnName, row.baseName, variant, "Dn");
    ui_core::ComposeBitmapName(entry.inName, row.baseName, variant, "In");
    entry.window = CreateWindowA("BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, row.x, top,
                                 ui_core::ButtonWidth(row, width), ui_core::kButtonHeight, bar,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.controlId)),
                                 instance, nullptr);
    if (entry.window != nullptr && !row.initiallyEnabled) EnableWindow(entry.window, FALSE);
  }
  return 0;
}

// Copies the bitmap onto the item rectangle from its top-left corner. A
// rectangle wider than the bitmap (the space on a screen wider than the
// bitmap) is filled by repeating the bitmap side by side.
void BlitBitmap(const DRAWITEMSTRUCT& item, HBITMAP bitmap) {
  ScopedMemoryDC memory(item.hDC);
  if (memory == nullptr) return;
  ScopedSelectObject selected(memory, bitmap);
  if (selected.Selected()) {
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    BITMAP info = {};
    int tile = width;
    if (GetObjectA(bitmap, sizeof(info), &info) == sizeof(info) && info.bmWidth > 0) {
      tile = info.bmWidth;
    }
    for (int x = 0; x < width; x += tile) {
      const int part = width - x < tile ? width - x : tile;
      BitBlt(item.hDC, item.rcItem.left + x, item.rcItem.top, part, height, memory, 0, 0, SRCCOPY);
    }
  }
}

// The bar's top pixel row above the buttons, in the button face colour.
void DrawTopLine(HWND bar) {
  if (!faceColourKnown) buttonFaceColour = GetSysColor(COLOR_BTNFACE);
  RECT client = {};
  GetClientRect(bar, &client);
  ScopedGetDC dc(bar);
  if (dc == nullptr) return;
  ScopedPen pen(CreatePen(PS_SOLID, 1, buttonFaceColour));
  ScopedSelectObject selected(dc, pen);
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, client.right, 0);
}

LRESULT OnDrawItem(HWND bar, const DRAWITEMSTRUCT* item) {
  if (item == nullptr || item->CtlType != ODT_BUTTON) return 0;
  if (barLook == nullptr || barLook->buttons.count == 0) return 0;
  const ButtonTable& table = barLook->buttons;
  const int index = static_cast<int>(item->CtlID) - table.rows[0].controlId;
  if (index < 0 || index >= iconBarButtonCount) return 0;
  const ButtonEntry& entry = iconBarButtons[index];
  const char* name = entry.upName;
  if (!IsWindowEnabled(item->hwndItem)) {
    name = entry.inName;
  } else if (item->itemState & ODS_SELECTED) {
    name = entry.dnName;
  }
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(bar, GWLP_HINSTANCE));
  ScopedBitmap bitmap(LoadBitmapA(instance, name));
  if (bitmap != nullptr && (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
    BlitBitmap(*item, bitmap);
  }
  if (barLook->barTopLine) DrawTopLine(bar);
  return 0;
}

LRESULT OnCommand(HWND bar, WPARAM wParam) {
  if (barLook == nullptr) return 0;
  const ui_core::ButtonSpec* row = ui_core::FindButton(barLook->buttons, LOWORD(wParam));
  if (row == nullptr || row->command == 0) return 0;
  // A disabled button can still be made to click (BM_CLICK); its command
  // must not run without the picture it needs.
  HWND button = IconBarButton(row->controlId);
  if (button == nullptr || !IsWindowEnabled(button)) return 0;
  SendMessageA(GetParent(bar), WM_COMMAND, MAKEWPARAM(row->command, 0), 0);
  InvalidateRect(button, nullptr, TRUE);
  return 0;
}

}  // namespace

ButtonEntry* iconBarButtons = nullptr;
int iconBarButtonCount = 0;

HWND IconBarButton(int controlId) {
  if (iconBarButtons == nullptr || barLook == nullptr) return nullptr;
  const ButtonTable& table = barLook->buttons;
  for (int i = 0; i < iconBarButtonCount; ++i) {
    if (table.rows[i].controlId == controlId) return iconBarButtons[i].window;
  }
  return nullptr;
}

LRESULT CALLBACK IconBarWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DRAWITEM: return OnDrawItem(window, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnCommand(window, wParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterIconBarClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = NoBadAlloc<LRESULT, IconBarWindowProc>;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = "IconBarWindow";
  return RegisterClassA(&wc) != 0;
}

HWND CreateIconBar(HWND mainWindow) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
  HWND bar = CreateWindowA("IconBarWindow", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, mainWindow,
                           nullptr, instance, nullptr);
  if (bar == nullptr) return nullptr;
  SetWindowPos(bar, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYBORDER) + 19, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(bar, SW_SHOW);
  UpdateWindow(bar);
  return bar;
}
