// The Open command: the open dialog with its "Image information:" line, the
// command's own checks on the chosen file, then the file read and checked
// in full into a candidate block; only a file that passed everything
// replaces the shown picture, its palette window, history, source path and
// title. Any refusal leaves all of them as they were.
#pragma once

#include <windows.h>

#include <string>

namespace kestro {

// Asked once a new picture has passed every check, before it replaces the
// shown one; true: go on (the main window's question about unsaved colours).
using LeaveQuestion = bool (*)(HWND mainWindow);


// Open BMP: the dialog, then OpenPicturePath with the chosen path.
void OpenCommand(HWND mainWindow, LeaveQuestion mayLeave);

// Every way of opening (the dialog, the command line, a drop, a second
// start) ends here: the checks with their messages, the picture read and
// checked, the question, then the picture shown.
void OpenPicturePath(HWND mainWindow, const std::string& path, LeaveQuestion mayLeave);

// The command's steps after the dialog. CheckChosenFile: the path and the
// header checks, false after the refusal's message. OpenCheckedFile: the
// file read into a candidate block, the header checks made again on those
// very bytes (the file may have changed in between), and only then the
// picture replaced once mayLeave (when given) agrees; false after a message
// or a "Cancel", with everything shown unchanged.
bool CheckChosenFile(HWND mainWindow, const std::string& path);
bool OpenCheckedFile(HWND mainWindow, const std::string& path, LeaveQuestion mayLeave = nullptr);

// The image-information text for a path selected in the dialog: 0 (path not
// taken), 1 (not a BMP) or 2 with *text set.
int ImageInformationOfPath(const char* path, std::string* text);

}  // namespace kestro
