// Arrange pictures to palette: many pictures put into one palette file's
// order at once, each through the checks and writers of Open, Arrange to
// palette and Save, without touching the picture on the screen. From the
// palette window's menu (the palette file, the pictures, where they go, a
// progress window with Cancel, one summary box) and from the command line
// (MIRTAV00.EXE /arrange PALETTE FILE..., no window, the summary printed).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "common/bitmap/core/palette_file.h"
#include "mirtav00/core/batch_rules.h"

namespace mirtav {

// The palette window's "Arrange pictures to palette...", run by the main window.
void ArrangePictures(HWND mainWindow);

// One picture: read and checked as Open does, its table put in the palette's
// order (mirtav::ArrangeOrder, then ReorderPicture) and written to target
// (the source itself, or its name in another folder) as Save writes it, the
// source's format kept by its name. A picture already in the order is not
// written; a refused one is left as it was, the reason the text of the
// message the one-picture commands show. No box is shown.
batch::FileResult ArrangeFile(const std::vector<palette_file::Colour>& palette, const std::string& source,
                              const std::string& target);

struct BatchRun {
  std::vector<batch::FileResult> results;  // of the files reached, in order
  bool cancelled = false;
  size_t notReached = 0;
};

// Each source in turn into folder under its own name (in place when folder
// is empty). With an owner, the owner is disabled and the progress window
// shows meanwhile ("Arranging 3 of 200..."), its Cancel taken between files.
BatchRun ArrangeFiles(HWND owner, const std::vector<palette_file::Colour>& palette,
                      const std::vector<std::string>& sources, const std::string& folder);

// Whether a command line asks for /arrange (decided before anything of the
// window program runs: no window, no logo, no second-copy hand-over).
bool NamesArrangeCommand(const char* commandLine);

// Runs /arrange: the summary printed to the standard output handle or the
// starting console; returns the exit code (batch::kExit...).
int RunArrangeCommandLine(const char* commandLine);

// Called, when set, after each file with the progress window (null without
// one) and the count of files done; the in-process tests press Cancel there.
extern void (*arrangeFileDone)(HWND progress, size_t done);

}  // namespace mirtav
