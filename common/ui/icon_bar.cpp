#include "common/ui/icon_bar.h"

#include "common/ui/core/button_tables.h"
#include "common/ui/platform_style.h"
#include "common/ui/shell_state.h"

namespace {

using ui_core::ButtonSpec;
using ui_core::ButtonTable;

ButtonEntry kestroEntries[11];
ButtonEntry mirtavEntries[9];
// The table the bar was built from; the entries are read against it even if
// currentProgram changes later (in-process tests run both programs).
ui_core::ProgramKind barKind = ui_core::ProgramKind::kKestro98;

ui_core::ProgramKind Kind() {
  return currentProgram == Program::kMirtav00 ? ui_core::ProgramKind::kMirtav00
                                              : ui_core::ProgramKind::kKestro98;
}

// The entry array of the current program, sized like its table.
ButtonEntry* EntriesOf(ui_core::ProgramKind kind, int* count) {
  const ButtonTable table = ui_core::ButtonsOf(kind);
  ButtonEntry* entries = kind == ui_core::ProgramKind::kMirtav00 ? mirtavEntries : kestroEntries;
  const size_t capacity = kind == ui_core::ProgramKind::kMirtav00
                              ? sizeof(mirtavEntries) / sizeof(mirtavEntries[0])
                              : sizeof(kestroEntries) / sizeof(kestroEntries[0]);
  *count = static_cast<int>(table.count < capacity ? table.count : capacity);
  return entries;
}

int ButtonTop() {
  const int border = GetSystemMetrics(SM_CYBORDER);
  return currentProgram == Program::kMirtav00 ? border : border - 1;
}

LRESULT OnCreate(HWND bar) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(bar, GWLP_HINSTANCE));
  if (!styleDetected) DetectPlatformStyle();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int top = ButtonTop();
  const ui_core::ProgramKind kind = Kind();
  const ButtonTable table = ui_core::ButtonsOf(kind);
  barKind = kind;
  iconBarButtons = EntriesOf(kind, &iconBarButtonCount);
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
  HDC memory = CreateCompatibleDC(item.hDC);
  if (memory == nullptr) return;
  HGDIOBJ previous = SelectObject(memory, bitmap);
  if (previous != nullptr && previous != HGDI_ERROR) {
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
    SelectObject(memory, previous);
  }
  DeleteDC(memory);
}

// The shuffler paints the bar's top pixel row above its buttons.
void DrawTopLine(HWND bar) {
  if (!faceColourKnown) buttonFaceColour = GetSysColor(COLOR_BTNFACE);
  RECT client = {};
  GetClientRect(bar, &client);
  HDC dc = GetDC(bar);
  if (dc == nullptr) return;
  HPEN pen = CreatePen(PS_SOLID, 1, buttonFaceColour);
  HGDIOBJ previous = pen != nullptr ? SelectObject(dc, pen) : nullptr;
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, client.right, 0);
  if (previous != nullptr) SelectObject(dc, previous);
  if (pen != nullptr) DeleteObject(pen);
  ReleaseDC(bar, dc);
}

LRESULT OnDrawItem(HWND bar, const DRAWITEMSTRUCT* item) {
  if (item == nullptr || item->CtlType != ODT_BUTTON) return 0;
  const ButtonTable table = ui_core::ButtonsOf(barKind);
  if (iconBarButtons == nullptr || table.count == 0) return 0;
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
  HBITMAP bitmap = LoadBitmapA(instance, name);
  if (bitmap != nullptr) {
    if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) BlitBitmap(*item, bitmap);
    DeleteObject(bitmap);
  }
  if (barKind == ui_core::ProgramKind::kMirtav00) DrawTopLine(bar);
  return 0;
}

LRESULT OnCommand(HWND bar, WPARAM wParam) {
  const ui_core::ButtonSpec* row = ui_core::FindButton(barKind, LOWORD(wParam));
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
  if (iconBarButtons == nullptr) return nullptr;
  const ButtonTable table = ui_core::ButtonsOf(barKind);
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
  wc.lpfnWndProc = IconBarWindowProc;
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
