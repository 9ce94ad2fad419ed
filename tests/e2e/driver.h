// The end-to-end driver: starts a real program under Wine and uses it the way
// a person would, from another process: finds its windows by class and title,
// moves and clicks the mouse, reads and answers dialogs and message boxes,
// takes screenshots. Every wait is bounded.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

// Texts are kept as UTF-8 in the tests; the "A" functions speak the ANSI code
// page (1252, or Shift-JIS under 932), so expected texts go through Ansi().
std::string Ansi(const char* utf8);
bool JapaneseSystem();  // GetACP() == 932
inline const char* Pick(const char* english, const char* japanese) {
  return JapaneseSystem() ? japanese : english;
}

std::string ThisDir();     // folder of e2e_tests.exe
std::string ProgramDir();  // build/<arch>/bin, beside the tests' folder
std::string JoinPath(const std::string& dir, const std::string& name);
bool FileExists(const std::string& path);
std::string ReadTextFile(const std::string& path);
// A fresh empty folder under the system's temporary folder.
std::string MakeTempDir(const std::string& name);

// How long a test waits for a state the program reaches by itself: long
// enough for a machine that is also building, and only spent on a failure.
constexpr int kPatienceMs = 20000;

// Polls cond every stepMs until it holds or timeoutMs have passed.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs, int stepMs = 20);
// The same for a test to assert: on a timeout it names what was awaited and
// what `found` reports there was instead.
testing::AssertionResult Await(const std::string& awaited, const std::function<bool()>& cond,
                               const std::function<std::string()>& found, int timeoutMs = kPatienceMs);
// An event that must not happen (a second message, a change after a refused
// command) leaves no state to wait for: watches for it over ms and fails,
// naming it, when it comes.
testing::AssertionResult NotWithin(const std::string& event, const std::function<bool()>& happened, int ms);
// Returns once the thread of `window` has handled a message sent now: the
// command it was running when a test saw its first effect has then ended.
bool Sync(HWND window, int timeoutMs = kPatienceMs);
// Waits for a window's title, then for the command that set it to end.
testing::AssertionResult AwaitTitle(HWND window, const std::string& title, int timeoutMs = kPatienceMs);
// Makes window the foreground window and waits until it is, asking again
// while the program is still activating another of its windows (after a box
// has gone, say); then waits for its thread to have handled the activation.
testing::AssertionResult BringForward(HWND window, int timeoutMs = kPatienceMs);
// Waits until a window and its children have nothing left to paint and the
// screen shows the same pixels of it twice in a row.
testing::AssertionResult AwaitPainted(HWND window, int timeoutMs = kPatienceMs);

// A started program; terminated (and waited for) on destruction if it still runs.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // arguments: the rest of the command line after the quoted program file.
  bool Start(const std::string& exePath, std::string* error, const std::string& arguments = "");
  bool WaitExit(int timeoutMs, DWORD* exitCode = nullptr);
  void Terminate();
  DWORD id() const { return id_; }
  bool running() const;

 private:
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// Top-level windows of a class (any if null) and ANSI title (any if null),
// of one process (any if pid is 0).
std::vector<HWND> FindTopLevel(const char* cls, const char* title, DWORD pid);
HWND WaitForWindow(const char* cls, const char* title, DWORD pid, int timeoutMs);
// A dialog or message box (class #32770) with that ANSI title.
HWND WaitForDialog(const char* title, DWORD pid, int timeoutMs);
bool WaitGone(HWND window, int timeoutMs);

std::string WindowText(HWND window);
std::string ClassOf(HWND window);
std::string ItemText(HWND dialog, int id);
// Texts of every STATIC child, in Z order.
std::vector<std::string> StaticTexts(HWND dialog);
// Presses a dialog button the way the keyboard would, without blocking on
// the modal loop of the other process.
void PressButton(HWND dialog, int id);

// The system menu of another process's window, one "id<TAB>text" line per
// item ("-" for a separator), read by the hook library e2e_menu_probe.dll
// inside that process; empty when it could not be read within timeoutMs.
std::vector<std::string> ReadSystemMenu(HWND window, int timeoutMs);
// Returns once the thread of `window` has handled every message posted to it
// before: the probe answers from the message loop, after them. For a command
// whose effect, if any, is that nothing happens.
bool SyncPosted(HWND window, int timeoutMs = kPatienceMs);

// Mouse, in screen coordinates: one SendInput batch each.
void MoveMouse(int x, int y);
void Click(int x, int y);
// Clicks the screen point (x, y) once it shows `target` (the window itself or
// one of its children there, not a window still in front of it) and the
// target's thread has handled what came before: input goes to whatever window
// is at the point when it arrives, so a click sent while a dialog is going or
// the program is still raising the window lands elsewhere.
testing::AssertionResult ClickOn(HWND target, int x, int y, bool right = false);
// Two left clicks at (x, y), as ClickOn, sent together: a double click.
testing::AssertionResult DoubleClickOn(HWND target, int x, int y);
// Presses the left button at screen point (x, y) once it shows `target` (as
// ClickOn), moves to (toX, toY) and lets go there.
testing::AssertionResult DragOn(HWND target, int x, int y, int toX, int toY);
// Right-clicks the client point (x, y) of window and clicks item (from 0) of
// the menu of `items` items that comes up in process pid.
testing::AssertionResult ChooseFromContextMenu(HWND window, int x, int y, int item, int items, DWORD pid);
// Puts path into a file dialog's name box, first choosing the file type
// `filter` (from 1) when it is not 0, and presses OK; waits for the dialog to go.
testing::AssertionResult FillFileDialog(HWND dialog, const std::string& path, int filter = 0);
POINT ClientToScreenPoint(HWND window, int x, int y);
// The wheel at a screen point: one SendInput of `delta` (120 a notch, positive
// away from the user), vertical or tilted, with these keys held around it.
void Wheel(int x, int y, int delta, bool tilt = false, std::initializer_list<WORD> held = {});

// Drops files on a window of another process as the shell's drag and drop
// does: a DROPFILES block (ANSI names) placed in that process, handed over
// with WM_DROPFILES. False when the block could not be placed or posted.
bool DropFiles(HWND window, const std::vector<std::string>& paths);

// Keys through the real input queue of the foreground window: the held keys
// down, the key down and up, the held keys up, in one SendInput.
void PressKeys(std::initializer_list<WORD> held, WORD key);

// Colours as 0x00RRGGBB.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // top-down rows
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool empty() const { return pixels.empty(); }
  Image Crop(int x, int y, int w, int h) const;
  bool SaveBmp(const std::string& path) const;
};
// Counts the pixels where two images of the same size differ (all if sizes differ).
size_t DifferentPixels(const Image& a, const Image& b);

// The screen contents of a rectangle in screen coordinates.
Image CaptureScreen(int x, int y, int w, int h);
// A 24-bit BMP (a picture's reference rendering) as an Image.
bool LoadReference(const std::string& path, Image* out);
// A bitmap resource of a program file, read without running it.
bool LoadProgramBitmap(const std::string& exePath, const char* name, Image* out);
// Where a test keeps the screenshots it writes (build/<arch>/tests/e2e/shots/).
std::string ShotPath(const std::string& name);

// The CF_DIB on the clipboard, read by this process; empty when there is none.
std::vector<uint8_t> ClipboardDib();
// Replaces the clipboard's contents with a text.
void PutTextOnClipboard(const char* text);

}  // namespace e2e
