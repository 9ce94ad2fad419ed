// What a program hands the shared framework at start: its main window, its
// start-up, command and quit steps, its icon bar, captions and logo (the
// portable ProgramLook), and its wording of the shared messages. The shared
// code reads these and never asks which program it runs in.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "common/base/text.h"
#include "common/bitmap/tiff_writer.h"
#include "common/ui/core/program_look.h"

struct ProgramDescription {
  const char* className;      // "KESTRO98", "MIR_TAV_00"
  const char* creationTitle;  // must not match the single-copy test
  DWORD style;
  int tenths;                 // main window size in tenths of the screen
  // The program's main window procedure: its own cases, everything else
  // passed to ShellMainWindowProc.
  WNDPROC procedure;
  void (*readSystemSizes)();  // program-specific metrics read before creation
  // WM_CREATE, after the steps both programs take (face colour, language,
  // platform style); may close the window.
  void (*startUp)(HWND mainWindow);
  // The icon-bar commands both programs have, which the shell runs itself:
  // About, Help and Exit (Exit closes the main window as its close box does).
  int aboutCommand;
  int helpCommand;
  int exitCommand;
  // Any other icon-bar command, with the hover caption already removed.
  void (*runCommand)(HWND mainWindow, int command);
  // WM_DESTROY: releases what the program holds and posts the quit message.
  void (*quit)();
  // Opens a picture by its full path as Open does with the path its dialog
  // chose, same checks and messages: the command line's picture, a file
  // dropped on the main window, a path a second start handed over.
  void (*openPath)(HWND mainWindow, const std::string& path);
  // Before the picture is left (Exit, the close box, the session's end):
  // asks about changes not yet saved; true when the program may go on.
  bool (*mayLeavePicture)(HWND mainWindow);
  const ui_core::ProgramLook* look;
  Message readmeMissing;   // Help: no document beside the program
  Message noViewer;        // Help: no program opens it
  Message dialogNotShown;  // About: the dialog could not be shown (system modal)
  const TiffWriterMessages* tiffMessages;
  // A key for one of the program's own windows, before the accelerator
  // table's keys; true when taken. Null: none.
  bool (*takeKey)(const MSG& message);
};

// The description of the running program; null until AdoptProgram.
extern const ProgramDescription* runningProgram;

// Makes `program` the running program for the whole framework, the bitmap
// layer's messages included. RunProgram does this first; tests call it to
// switch programs.
void AdoptProgram(const ProgramDescription& program);
