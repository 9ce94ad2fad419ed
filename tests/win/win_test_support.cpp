#include "tests/win/win_test_support.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "common/base/text.h"
#include "common/bitmap/clipboard_offer.h"
#include "common/bitmap/core/bmp_rules.h"

namespace wintest {
namespace {

constexpr UINT kLookMs = 50;            // how often a box to photograph is looked at
constexpr DWORD kSettleLimitMs = 3000;  // a box that never settles is photographed as it is
constexpr UINT kGuardMs = 5000;
constexpr UINT kSweepMs = 1500;
constexpr int kTextStatic = 0xFFFF;
constexpr int kIconStatic = 0x0440;

struct CatcherState {
  HHOOK hook = nullptr;
  bool screenshots = false;
  std::vector<CapturedBox> boxes;
  std::vector<HWND> seen;
  std::vector<uint32_t> baseline;  // whole screen before any box
  int screenW = 0, screenH = 0;
  UINT_PTR sweepTimer = 0;
  int answer = IDOK;
};
CatcherState* state = nullptr;

struct Pending {
  HWND box;
  size_t index;
  UINT_PTR answerTimer;
  UINT_PTR guardTimer;
  DWORD recordedAt;                // GetTickCount
  std::vector<uint32_t> lastLook;  // the box's client on the screen at the last look
};
std::vector<Pending> pending;

bool IsDialogClass(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return std::strcmp(name, "#32770") == 0;
}

// Pixels of a window's DC (the screen for null) at (x, y), w x h.
std::vector<uint32_t> Capture(HWND source, int x, int y, int w, int h) {
  std::vector<uint32_t> pixels;
  if (w <= 0 || h <= 0) return pixels;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(source);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section != nullptr && bits != nullptr) {
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, w, h, screen, x, y, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    pixels.assign(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
    SelectObject(memory, old);
  }
  if (section != nullptr) DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(source, screen);
  return pixels;
}

std::vector<uint32_t> ClientOnScreen(HWND box) {
  RECT client;
  GetClientRect(box, &client);
  POINT origin = {0, 0};
  ClientToScreen(box, &origin);
  return Capture(nullptr, origin.x, origin.y, client.right, client.bottom);
}

// Compares the box's client area on screen with the screen before the box.
void Photograph(HWND box, CapturedBox* record, const std::vector<uint32_t>& now) {
  RECT client;
  GetClientRect(box, &client);
  POINT origin = {0, 0};
  ClientToScreen(box, &origin);
  const int w = client.right, h = client.bottom;
  if (now.empty()) return;
  record->area = w * h;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int sx = origin.x + x, sy = origin.y + y;
      const uint32_t p = now[static_cast<size_t>(y) * w + x];
      if (sx >= 0 && sy >= 0 && sx < state->screenW && sy < state->screenH &&
          state->baseline[static_cast<size_t>(sy) * state->screenW + sx] != p) {
        ++record->changedPixels;
      }
      const int sum = static_cast<int>((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
      if (sum < 200) ++record->darkPixels;
    }
  }
}

// Photographs the box once the screen shows it as it will stay. The timer
// that asks runs after the box's paints (WM_PAINT comes before WM_TIMER),
// but Wine copies a window's pixels to the screen a moment later: the box
// must have changed the screen and look the same twice in a row.
bool PhotographSettled(Pending* p) {
  std::vector<uint32_t> now = ClientOnScreen(p->box);
  CapturedBox look;
  Photograph(p->box, &look, now);
  const bool settled = look.changedPixels > 0 && now == p->lastLook;
  p->lastLook = std::move(now);
  if (!settled && GetTickCount() - p->recordedAt <= kSettleLimitMs) return false;
  CapturedBox& record = state->boxes[p->index];
  record.area = look.area;
  record.changedPixels = look.changedPixels;
  record.darkPixels = look.darkPixels;
  return true;
}

void Finish(size_t slot) {
  KillTimer(nullptr, pending[slot].answerTimer);
  KillTimer(nullptr, pending[slot].guardTimer);
  pending.erase(pending.begin() + static_cast<long>(slot));
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR id, DWORD) {
  for (size_t i = 0; i < pending.size(); ++i) {
    if (pending[i].answerTimer != id) continue;
    HWND box = pending[i].box;
    // Not settled yet: looked at again on the next tick.
    if (state != nullptr && state->screenshots && !PhotographSettled(&pending[i])) return;
    KillTimer(nullptr, id);
    pending[i].answerTimer = 0;
    HWND ok = GetDlgItem(box, state != nullptr ? state->answer : IDOK);
    if (ok == nullptr) ok = GetDlgItem(box, IDOK);
    if (ok != nullptr) {
      PostMessageA(ok, BM_CLICK, 0, 0);
    } else {
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return;
  }
  KillTimer(nullptr, id);
}

void CALLBACK GuardTimer(HWND, UINT, UINT_PTR id, DWORD) {
  for (size_t i = 0; i < pending.size(); ++i) {
    if (pending[i].guardTimer != id) continue;
    if (IsWindow(pending[i].box)) {
      if (state != nullptr) state->boxes[pending[i].index].timedOut = true;
      EndDialog(pending[i].box, IDOK);
    }
    Finish(i);
    return;
  }
  KillTimer(nullptr, id);
}

double Now() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// When the last dialog-class window of this thread began to be made.
double dialogCreatedAt = 0;

void Record(HWND box) {
  for (HWND s : state->seen) {
    if (s == box) return;
  }
  state->seen.push_back(box);
  CapturedBox record;
  char buffer[4096] = {};
  HWND text = GetDlgItem(box, kTextStatic);
  if (text != nullptr) GetWindowTextA(text, buffer, sizeof buffer);
  record.text = buffer;
  std::memset(buffer, 0, sizeof buffer);
  GetWindowTextA(box, buffer, sizeof buffer);
  record.title = buffer;
  record.owner = GetWindow(box, GW_OWNER);
  const HICON icon = reinterpret_cast<HICON>(
      SendDlgItemMessageA(box, kIconStatic, STM_GETICON, 0, 0));
  record.errorIcon = icon != nullptr && icon == LoadIcon(nullptr, IDI_HAND);
  record.shownAt = Now();
  record.createdAt = dialogCreatedAt != 0 ? dialogCreatedAt : record.shownAt;
  dialogCreatedAt = 0;
  state->boxes.push_back(record);
  Pending p;
  p.box = box;
  p.index = state->boxes.size() - 1;
  p.recordedAt = GetTickCount();
  p.answerTimer = SetTimer(nullptr, 0, state->screenshots ? kLookMs : 10, AnswerTimer);
  p.guardTimer = SetTimer(nullptr, 0, kGuardMs, GuardTimer);
  pending.push_back(p);
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && state != nullptr && IsDialogClass(reinterpret_cast<HWND>(wParam))) {
    dialogCreatedAt = Now();
  }
  if (code == HCBT_ACTIVATE && state != nullptr) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (IsDialogClass(window)) Record(window);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK SweepOne(HWND window, LPARAM) {
  if (IsWindowVisible(window) && IsDialogClass(window)) Record(window);
  return TRUE;
}

// A box that was never activated is found and answered all the same.
void CALLBACK SweepTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (state != nullptr) EnumThreadWindows(GetCurrentThreadId(), SweepOne, 0);
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The programs' main windows answer for their clipboard offers; so does this.
  if (AnswerClipboardOwnerMessage(window, message, wParam)) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::vector<uint32_t> CaptureScreen(int x, int y, int w, int h) { return Capture(nullptr, x, y, w, h); }

std::vector<uint32_t> CaptureClient(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  return Capture(window, 0, 0, client.right, client.bottom);
}

HWND TestMainWindow() {
  static HWND window = nullptr;
  if (window != nullptr) return window;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TestWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "WinTestMain";
  RegisterClassA(&wc);
  // A popup has no frame, so its client area is the window's own size.
  window = CreateWindowExA(0, "WinTestMain", "Win tests", WS_POPUP | WS_VISIBLE, 0, 0, 800,
                           600, nullptr, nullptr, wc.hInstance, nullptr);
  return window;
}

BoxCatcher::BoxCatcher(bool screenshots) {
  state = new CatcherState;
  state->screenshots = screenshots;
  if (screenshots) {
    // Earlier boxes may still stand on the screen until the windows under
    // them repaint, and Wine shows what was painted a moment later: the
    // baseline is the screen once it looks the same twice in a row.
    RedrawWindow(nullptr, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    state->screenW = GetSystemMetrics(SM_CXSCREEN);
    state->screenH = GetSystemMetrics(SM_CYSCREEN);
    const DWORD start = GetTickCount();
    std::vector<uint32_t> last;
    MSG message;
    for (;;) {
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      state->baseline = Capture(nullptr, 0, 0, state->screenW, state->screenH);
      if ((!last.empty() && state->baseline == last) || GetTickCount() - start > kSettleLimitMs) break;
      last = state->baseline;
      Sleep(kLookMs);
    }
    if (state->baseline.empty()) state->screenW = state->screenH = 0;
  }
  state->hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
  state->sweepTimer = SetTimer(nullptr, 0, kSweepMs, SweepTimer);
}

BoxCatcher::~BoxCatcher() {
  if (state->hook != nullptr) UnhookWindowsHookEx(state->hook);
  KillTimer(nullptr, state->sweepTimer);
  while (!pending.empty()) Finish(0);
  delete state;
  state = nullptr;
}

const std::vector<CapturedBox>& BoxCatcher::Boxes() const { return state->boxes; }

void BoxCatcher::Answer(int buttonId) { state->answer = buttonId; }

std::string Ansi(const char* utf8) { return ToAnsi(utf8); }

bool JapaneseCodePage() { return GetACP() == 932; }

std::string ScratchFolder() {
  static std::string folder;
  if (!folder.empty()) return folder;
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  char name[MAX_PATH + 64];
  std::snprintf(name, sizeof name, "%swin_tests_%lu\\", temp,
                static_cast<unsigned long>(GetCurrentProcessId()));
  CreateDirectoryA(name, nullptr);
  folder = name;
  return folder;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  bytes->clear();
  uint8_t buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
  std::fclose(f);
  return true;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

unsigned LockCount(HGLOBAL block) { return GlobalFlags(block) & GMEM_LOCKCOUNT; }

namespace {

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x & 0xFF);
  v[at + 1] = static_cast<uint8_t>((x >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  Put16(v, at, x & 0xFFFF);
  Put16(v, at + 2, x >> 16);
}
uint32_t Colours(const BmpShape& s) { return s.clrUsed ? s.clrUsed : (1u << s.bitCount); }

}  // namespace

uint8_t FixturePixel(const BmpShape& shape, int32_t x, int32_t y) {
  return static_cast<uint8_t>((x * 3 + y * 5 + 1) % Colours(shape));
}

BmpShape* AddShape(std::vector<NamedShape>* cases, const char* name, int32_t width, int32_t height,
                   uint16_t bitCount) {
  BmpShape shape;
  shape.width = width;
  shape.height = height;
  shape.bitCount = bitCount;
  cases->push_back({name, shape});
  return &cases->back().shape;
}

std::vector<uint8_t> MakeBmp(const BmpShape& s) {
  const uint32_t colours = Colours(s);
  const uint32_t height = static_cast<uint32_t>(s.height < 0 ? -s.height : s.height);
  const uint32_t stride = ((static_cast<uint32_t>(s.width) * s.bitCount + 31) / 32) * 4;
  const uint32_t tableEnd = 54 + 4 * colours;
  const uint32_t pixelStart = tableEnd + s.gap;
  const uint32_t total = pixelStart + stride * height;
  std::vector<uint8_t> v(total + s.trailing, 0);
  v[0] = 'B';                                               // bfType
  v[1] = 'M';
  Put32(v, 2, static_cast<uint32_t>(total + s.totalSizeDelta));  // bfSize
  Put32(v, 10, s.zeroPixelOffset ? 0 : pixelStart + s.pixelOffsetDelta);  // bfOffBits
  Put32(v, 14, s.infoSize);                                 // biSize
  Put32(v, 18, static_cast<uint32_t>(s.width));             // biWidth
  Put32(v, 22, static_cast<uint32_t>(s.topDown ? -static_cast<int32_t>(height) : static_cast<int32_t>(height)));
  Put16(v, 26, 1);                                          // biPlanes
  Put16(v, 28, s.bitCount);                                 // biBitCount
  Put32(v, 30, 0);                                          // biCompression: none
  Put32(v, 34, 0);                                          // biSizeImage: left to the lock
  Put32(v, 46, s.clrUsed);                                  // biClrUsed
  for (uint32_t i = 0; i < colours; ++i) {                  // blue, green, red, reserved
    v[54 + 4 * i] = static_cast<uint8_t>(i * 37);
    v[55 + 4 * i] = static_cast<uint8_t>(i * 91);
    v[56 + 4 * i] = static_cast<uint8_t>(255 - i);
  }
  for (uint32_t i = tableEnd; i < pixelStart; ++i) v[i] = 0xEE;  // the gap is not pixels
  for (uint32_t row = 0; row < height; ++row) {
    const int32_t y = s.topDown ? static_cast<int32_t>(row) : static_cast<int32_t>(height - 1 - row);
    uint8_t* line = &v[pixelStart + row * stride];
    for (int32_t x = 0; x < s.width; ++x) {
      const uint8_t index = FixturePixel(s, x, y);
      if (s.bitCount == 8) {
        line[x] = index;
      } else if (s.bitCount == 4) {
        line[x / 2] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
      } else {
        line[x / 8] |= static_cast<uint8_t>((index & 1) << (7 - x % 8));
      }
    }
  }
  for (uint32_t i = 0; i < s.trailing; ++i) v[total + i] = 0xAB;
  return v;
}

std::vector<uint8_t> RleBmp(int32_t width, int32_t height, uint16_t bitCount,
                            const std::vector<uint8_t>& stream) {
  BmpShape shape;
  shape.width = width;
  shape.height = height;
  shape.bitCount = bitCount;
  std::vector<uint8_t> v = MakeBmp(shape);
  v.resize(54 + 4 * (size_t{1} << bitCount));
  v.insert(v.end(), stream.begin(), stream.end());
  bmp::PutU32(&v[2], static_cast<uint32_t>(v.size()));
  bmp::PutU32(&v[30], bitCount == 8 ? bmp::kBiRle8 : bmp::kBiRle4);
  bmp::PutU32(&v[34], static_cast<uint32_t>(stream.size()));
  return v;
}

}  // namespace wintest
