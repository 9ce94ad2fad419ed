// The colour editor's image view: the main window's client area below the
// icon bar, where the open picture is shown at one of 19 zoom steps with its
// two scroll bars, or the start-up logo while no picture is open. Its state
// is process-wide, as the other windows and commands of the editor read it.
// The rules (zoom, layout, clamping, buttons, smallest size) are the core's
// (kestro98/core/view_rules.h); the paint goes through the shared sampled
// paint, so a repaint costs what the window shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kestro {


// System sizes read at start: the horizontal bar's height (SM_CYHSCROLL), the
// vertical bar's width (SM_CXVSCROLL) and the smallest client height
// (SM_CYMIN + 20).
extern int horzScrollHeight;
extern int vertScrollWidth;
extern int minimumClientHeight;

// The scroll bars, created hidden at start, the size grip (null unless both
// bars show), and the view's offsets in source pixels with the last applied ones.
extern HWND horzScrollBar;
extern HWND vertScrollBar;
extern HWND sizeGrip;
extern int64_t horzScrollOffset;
extern int64_t vertScrollOffset;
extern int64_t lastHorzOffset;
extern int64_t lastVertOffset;
extern bool horzShown;
extern bool vertShown;
extern bool mainMinimised;

// Reads the system sizes above; before the main window exists.
void ReadImageViewSystemSizes();

// Creates both scroll bars hidden at their start-up places and sets the
// offsets to 0.
void CreateImageViewScrollBars(HWND mainWindow);

// WM_PAINT of the main window: the logo while no picture is open (and the
// picture commands disabled), else the picture; then the five buttons.
LRESULT PaintImageView(HWND mainWindow);

// Zoom Out / Zoom In (nothing at -9 / 9).
void ZoomOut(HWND mainWindow);
void ZoomIn(HWND mainWindow);

// The four cases of the scroll-bar layout for the current client size.
void LayOutViewScrollBars(HWND mainWindow);

// Invalidates the picture area, with or without erasing, and updates at once.
void InvalidatePictureArea(HWND mainWindow, bool erase);

// WM_HSCROLL / WM_VSCROLL from the view's bars (thumb positions taken 32-bit).
void ScrollView(HWND mainWindow, bool vertical, WPARAM wParam);

// WM_MOUSEWHEEL and WM_MOUSEHWHEEL: the system's wheel setting in line steps
// of the bars (Shift: sideways); with Ctrl a zoom step at the cursor.
void WheelView(HWND mainWindow, bool sideways, WPARAM wParam, LPARAM lParam);

// WM_KEYDOWN: arrows, Page Up and Down, Home and End as the bars' line, page
// and end steps. False for any other key.
bool KeyScrollView(HWND mainWindow, WPARAM key);

// WM_MOUSEMOVE over the main window: the pixel under the cursor (position,
// entry, colour) to the palette window's status line, off the picture
// nothing; WM_MOUSELEAVE clears it. O(1): what the last paint showed is read.
void PointAtView(HWND mainWindow, LPARAM clientPoint);
void LeaveView();

// WM_LBUTTONDOWN on the picture: its pixel's entry becomes the palette
// window's selected entry.
void PickFromView(HWND mainWindow, LPARAM clientPoint);

// The view shows only `entry`'s pixels in colour (others dimmed), or every
// entry for -1; repaints when that changes (no repaint with a null window).
void ShowOnlyEntry(HWND mainWindow, int32_t entry);

// WM_SIZE after the layout: minimise / restore of the palette window, the
// smallest size.
void SizeView(HWND mainWindow, WPARAM sizeType);

// Before a new picture is shown: offsets and flags to 0, grip destroyed, bars
// hidden, the kept samples dropped, the picture area invalidated with erasing.
void ResetImageView(HWND mainWindow);

// The title: the picture's title base followed by the zoom text.
void ShowViewTitle(HWND mainWindow);

// The fit and zoom levels of a newly adopted picture (dibLayout): the step at
// which it fits the client area, the scroll bars' room kept whether they
// show or not.
void FitNewPicture(HWND mainWindow);

// A newly adopted picture shown: fitted, the view reset and laid out, the
// picture area repainted and the title set from the picture's title base.
void ShowNewPictureView(HWND mainWindow);

}  // namespace kestro
