// What the end-to-end tests know about each program from the outside (its
// file, window class, start-up title, buttons), and a running copy of it that
// is always closed again, so no test leaves a window behind for the next.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace e2e {

struct Caption {
  int x;             // the button's x in the icon bar; the cursor range is x..x+31
  const char* english;
  const char* japanese;
};

struct ProgramFacts {
  const char* name;         // for test names: kestro98, mirtav00
  const char* exe;          // KESTRO98.EXE
  const char* windowClass;  // KESTRO98
  const char* titleEnglish;
  const char* titleJapanese;
  const char* readmeStem;   // KESTRO9 (+ E.PDF / J.PDF)
  int firstButtonId;        // the gap
  int lastButtonId;         // the space
  std::set<int> enabledAtStart;
  int aboutButtonId;
  int helpButtonId;
  int logoWidth;
  int logoHeight;
  int logoBandOffset;       // 20: the logo is centred below the 20-pixel bar band
  std::vector<Caption> captions;
  std::vector<const char*> baseNames;  // the bitmaps' base names, by control id order

  std::string Title() const { return Ansi(Pick(titleEnglish, titleJapanese)); }
  std::string Readme() const { return std::string(readmeStem) + (JapaneseSystem() ? "J.PDF" : "E.PDF"); }
  std::string Path() const { return JoinPath(ProgramDir(), exe); }
};

const ProgramFacts& Kestro();
const ProgramFacts& Mirtav();

// A started copy of a program with its main window found.
class Running {
 public:
  Running() = default;
  ~Running() { Close(); }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

  // Starts exePath (the program's own file unless given) and waits for its
  // main window; false with *error filled when it does not come.
  bool Start(const ProgramFacts& facts, std::string* error, const std::string& exePath = "",
             const std::string& arguments = "");
  // Closes the main window and waits for the process, answering No when it
  // asks about unsaved changes; terminates it if it hangs.
  void Close();

  HWND main() const { return main_; }
  HWND iconBar() const;
  HWND Button(int id) const;
  DWORD pid() const { return process_.id(); }
  Process& process() { return process_; }
  // Presses an icon-bar button with the mouse at its middle.
  void ClickButton(int id) const;

 private:
  Process process_;
  HWND main_ = nullptr;
};

// The question before unsaved changes are left ("Confirmation"), of this
// process: the box, or null when none is up.
HWND QuestionBox(DWORD pid);
// "Save changes to NAME?" in the language of the system, ANSI.
std::string SaveChangesText(const std::string& name);

// The whole-window rectangle of a window in screen coordinates.
RECT ScreenRect(HWND window);

}  // namespace e2e
