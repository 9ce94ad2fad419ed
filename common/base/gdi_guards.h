// Small scoped guards for GDI, each owning one thing: a window's device
// context, a paint's, a memory device context, an object selected into a
// device context, a created pen, brush, font or bitmap, or the wait cursor.
// Each gives its resource back when it goes out of scope; none can be copied.
#pragma once

#include <windows.h>

// GetDC / ReleaseDC of a window's client area.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedGetDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// GetWindowDC / ReleaseDC: the whole window, caption and frame included.
class ScopedGetWindowDC {
 public:
  explicit ScopedGetWindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
  ~ScopedGetWindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  ScopedGetWindowDC(const ScopedGetWindowDC&) = delete;
  ScopedGetWindowDC& operator=(const ScopedGetWindowDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint, for a WM_PAINT handler.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~ScopedPaint() { EndPaint(window_, &paint_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  operator HDC() const { return dc_; }
  const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_ = {};
  HDC dc_;
};

// CreateCompatibleDC / DeleteDC.
class ScopedMemoryDC {
 public:
  explicit ScopedMemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~ScopedMemoryDC() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  ScopedMemoryDC(const ScopedMemoryDC&) = delete;
  ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
};

// SelectObject, and the previous object selected back at the end. A null
// object or a failed selection selects nothing and restores nothing.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {
    if (previous_ == HGDI_ERROR) previous_ = nullptr;
  }
  ~ScopedSelectObject() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  bool Selected() const { return previous_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A created GDI object (pen, brush, font, bitmap), deleted at the end. Select
// it through a ScopedSelectObject declared after this guard, so that it is
// selected out before it is deleted.
template <typename Handle>
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(Handle object) : object_(object) {}
  ~ScopedGdiObject() {
    if (object_ != nullptr) DeleteObject(object_);
  }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  operator Handle() const { return object_; }

 private:
  Handle object_;
};

using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;

// The wait cursor for the length of a piece of work, the arrow again after it.
class WaitCursor {
 public:
  WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }
  ~WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};
