// The Open command: the open dialog with its "Image information:" line, the
// command's own checks on the chosen file, then the file read and checked
// in full into a candidate block (a BMP by the BMP reader, a PNG by its
// signature through the PNG reader, which keeps the whole file for Save); only a file that passed everything
// replaces the shown picture, its palette window, history, source path and
// title. Any refusal leaves all of them as they were.
#pragma once

#include <windows.h>

#include <string>

#include "kestro98/core/open_rules.h"

namespace kestro {

// Asked once a new picture has passed every check, before it replaces the
// shown one; true: go on (the main window's question about unsaved colours).
using LeaveQuestion = bool (*)(HWND mainWindow);


// Open: the dialog (BMP and PNG), then OpenPicturePath with the chosen path.
void OpenCommand(HWND mainWindow, LeaveQuestion mayLeave);

// Every way of opening (the dialog, the command line, a drop, a second
// start) ends here, one straight path: the path's checks, then the file read
// once through one handle (the header checks on its front, the reader's
// checks on the whole of it, into a candidate block), the question, then the
// picture adopted in one call (block, layout, facts, history, title, fit,
// palette window). False after a message or a "Cancel", with the shown
// picture, its changes and the title exactly as they were.
bool OpenPicturePath(HWND mainWindow, const std::string& path, LeaveQuestion mayLeave = nullptr);

// The image-information text for a path selected in the dialog.
InfoVerdict ImageInformationOfPath(const char* path, std::string* text);

}  // namespace kestro
