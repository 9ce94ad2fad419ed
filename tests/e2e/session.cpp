#include "tests/e2e/session.h"

namespace e2e {

const ProgramFacts& Kestro() {
  static const ProgramFacts facts{
      "kestro98", "KESTRO98.EXE", "KESTRO98", "Kestro - (No title)", "ＢＭＰケストロ - (無題)", "KESTRO9",
      110, 120, {111, 117, 118, 119}, 117, 118, 253, 221, 20,
      {{16, "Open BMP", "BMP 開く"},
       {48, "Zoom Out", "画像縮小"},
       {80, "Zoom In", "画像拡大"},
       {112, "Popup Window", "ﾎﾟｯﾌﾟｱｯﾌﾟ"},
       {144, "Copy", "コピー"},
       {176, "Save Image", "画像保存"},
       {208, "About", "御案内"},
       {240, "Help", "ヘルプ"},
       {272, "Exit", "終了"}},
      {"Gap", "Open", "ZmOut", "ZmIn", "PopupW", "Copy", "SaveAs", "About", "Help", "Exit", "Space"}};
  return facts;
}

const ProgramFacts& Mirtav() {
  static const ProgramFacts facts{
      "mirtav00", "MIRTAV00.EXE", "MIR_TAV_00", "Mirtav", "ミルタヴ", "MIRTAV0",
      108, 116, {109, 113, 114, 115}, 113, 114, 306, 232, 0,
      {{16, "Open BMP", "BMP開く"},
       {48, "Randomize PLT", "PLTランダム"},
       {80, "Copy PLT", "PLTコピー"},
       {112, "Save Image", "画像保存"},
       {144, "About", "御案内"},
       {176, "Help", "ヘルプ"},
       {208, "Exit", "終了"}},
      {"Gap", "Open", "PalRd", "Copy", "SaveAs", "About", "Help", "Exit", "Space"}};
  return facts;
}

bool Running::Start(const ProgramFacts& facts, std::string* error, const std::string& exePath,
                    const std::string& arguments) {
  std::string path = exePath.empty() ? facts.Path() : exePath;
  if (!FileExists(path)) {
    *error = path + " does not exist";
    return false;
  }
  // A mouse resting where the icon bar will appear would draw a hover
  // caption over the first paint.
  MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
  if (!process_.Start(path, error, arguments)) return false;
  main_ = WaitForWindow(facts.windowClass, nullptr, process_.id(), kPatienceMs);
  if (!main_) {
    *error = std::string("no visible window of class ") + facts.windowClass + " within " + std::to_string(kPatienceMs) + " ms";
    return false;
  }
  // The window shows before its icon bar exists; wait for the last button,
  // then for the first paint to reach the screen.
  if (!WaitUntil([&] { return Button(facts.lastButtonId) != nullptr; }, kPatienceMs)) {
    *error = "no icon-bar button " + std::to_string(facts.lastButtonId) + " within " + std::to_string(kPatienceMs) + " ms";
    return false;
  }
  testing::AssertionResult painted = AwaitPainted(main_);
  if (!painted) *error = painted.message();
  return painted;
}

void Running::Close() {
  if (main_ && IsWindow(main_)) PostMessageA(main_, WM_CLOSE, 0, 0);
  main_ = nullptr;
  // A test that left changes unsaved is answered No: they were the test's own.
  const bool ended = WaitUntil([&] {
    if (!process_.running()) return true;
    HWND question = QuestionBox(process_.id());
    if (question != nullptr) PressButton(question, IDNO);
    return false;
  }, kPatienceMs, 50);
  if (!ended) process_.Terminate();
}

HWND QuestionBox(DWORD pid) {
  for (HWND box : FindTopLevel("#32770", Ansi(Pick("Confirmation", "確認")).c_str(), pid)) {
    if (IsWindowVisible(box)) return box;
  }
  return nullptr;
}

std::string SaveChangesText(const std::string& name) {
  return JapaneseSystem() ? name + Ansi(" への変更を保存しますか？") : "Save changes to " + name + "?";
}

HWND Running::iconBar() const { return main_ ? FindWindowExA(main_, nullptr, "IconBarWindow", nullptr) : nullptr; }

HWND Running::Button(int id) const {
  HWND bar = iconBar();
  return bar ? GetDlgItem(bar, id) : nullptr;
}

void Running::ClickButton(int id) const {
  HWND button = Button(id);
  if (!button) return;
  RECT r = ScreenRect(button);
  EXPECT_TRUE(ClickOn(button, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

RECT ScreenRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

}  // namespace e2e
