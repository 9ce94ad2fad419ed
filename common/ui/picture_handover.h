// The shell's side of a picture handed over by path (the command line, a
// drop, a second start): what the main window's shared cases call.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

// The main window's own message: open the path taken, from the message loop.
constexpr UINT kOpenHandedPath = WM_APP + 0x100;

// A path as the user named it, made full (a second start's working folder
// is not the copy's) and with its long names, which the checks and the
// title take.
std::string FullLongPath(const std::string& path);

// A picture to open is taken only while no dialog or message box of the
// program is up; it is opened from the loop, after the message that brought it.
void TakePath(HWND mainWindow, const std::string& path);

// kOpenHandedPath: the path taken, opened by the program's own Open.
LRESULT OnOpenHandedPath(HWND mainWindow);
// WM_DROPFILES: of several dropped files the first is taken.
LRESULT OnDropFiles(HWND mainWindow, HDROP drop);
// WM_COPYDATA: a second start's picture is taken and the copy comes to the front.
LRESULT OnCopyData(HWND mainWindow, const COPYDATASTRUCT* data);
