// Arrange pictures to palette and /arrange. Each file goes the one-picture
// way: the path's checks and the reader (load_bitmap's ReadPictureFile into
// the reader's candidate, which is then taken over rather than adopted),
// ArrangeOrder and ReorderPicture on that block, DecideSave's drive, room and
// extension steps, and save_command's writers, which write beside the target
// and replace it only when complete. Their messages are caught (CaughtMessage)
// and become the file's reason in the summary. Nothing of the shown picture
// (its block, table, order, title, state) is read or written here.
#include "mirtav00/batch_arrange.h"

#include <cstdint>
#include <memory>
#include <new>

#include "common/base/core/path_text.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
#include "common/bitmap/global_memory.h"
#include "common/ui/app_shell.h"
#include "common/ui/file_dialog.h"
#include "common/ui/palette_file_commands.h"
#include "mirtav00/core/arrange.h"
#include "mirtav00/core/randomise.h"
#include "mirtav00/core/save_rules.h"
#include "mirtav00/load_bitmap.h"
#include "mirtav00/save_command.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

void (*arrangeFileDone)(HWND progress, size_t done) = nullptr;

namespace {

constexpr BilingualText kTitle = {"Arrange pictures to palette", "画像をパレットの順に並べる"};
// The summary box lists this many refused files; the command line all.
constexpr size_t kFilesListedInBox = 20;
// Room for the names of a few hundred pictures chosen at once.
constexpr size_t kSelectionBytes = 256 * 1024;

const Message kMsgWhere = {
    {"Write each arranged picture over its own file?\n\n"
     "Yes: over the files themselves.\nNo: into a folder you choose next, under the same names.",
     "並べ替えた画像をそれぞれ元のファイルに上書きしますか？\n\n"
     "はい: 元のファイルに上書きします.\nいいえ: 次に選ぶフォルダーに同じ名前で書きます."},
    kTitle, MessageIcon::kQuestionOrCancel};
const Message kMsgReplaceInFolder = {
    {"%lu of the pictures' names are in that folder already.\nReplace those files?",
     "そのフォルダーには同じ名前のファイルが %lu 個あります.\n置き換えますか？"},
    kTitle, MessageIcon::kQuestion};
const Message kMsgSummary = {{"%s", "%s"}, kTitle, MessageIcon::kInformation};
const Message kMsgSummaryRefused = {{"%s", "%s"}, kTitle, MessageIcon::kWarning};

const FileDialog kPicturesDialog = {false,
                                    {"Select the pictures to arrange.", "並べる画像の選択"},
                                    kPictureFilter,
                                    0,
                                    &kMsgOpenDialogFailed,
                                    nullptr,
                                    0,
                                    0,
                                    OFN_ALLOWMULTISELECT};
const FileDialog kFolderDialog = {true,
                                  {"Choose the folder for the arranged pictures (the name is not used).",
                                   "並べた画像を書くフォルダーの選択 (ファイル名は使いません)"},
                                  kPictureFilter,
                                  0,
                                  &kMsgSaveDialogFailed};

bool ShiftJis() { return GetACP() == 932; }

// The drive type of each root, asked of the platform once a run (Wine takes
// a millisecond or more a question on a drive mapped to a Unix folder).
struct KnownDrive {
  std::string root;
  bool fixed;
};
std::vector<KnownDrive> knownDrives;

bool FixedDiskOnce(const char* root) {
  for (const KnownDrive& known : knownDrives) {
    if (lstrcmpiA(known.root.c_str(), root) == 0) return known.fixed;
  }
  knownDrives.push_back({root, ::IsFixedDisk(root)});
  return knownDrives.back().fixed;
}

// The writers' target is the source itself or beside other files the user
// agreed to replace: the overwrite question and the opened-file refusal of
// Save do not apply; the drive, the room and the extension do.
class BatchQuestions final : public SaveQuestions {
 public:
  bool TargetExists(const char*) override { return false; }
  bool OverwriteConfirmed() override { return true; }
  bool IsFixedDisk(const char* root) override { return FixedDiskOnce(root); }
  bool HasFreeSpace(const char* root, int32_t bytes) override {
    return ::HasFreeSpace(root, static_cast<uint64_t>(bytes));
  }
};

// A block taken from the reader, freed when it goes.
class TakenBlock {
 public:
  explicit TakenBlock(HGLOBAL handle) : handle_(handle) {}
  ~TakenBlock() {
    if (handle_ != nullptr) GlobalFree(handle_);
  }
  TakenBlock(const TakenBlock&) = delete;
  TakenBlock& operator=(const TakenBlock&) = delete;
  HGLOBAL Get() const { return handle_; }

 private:
  HGLOBAL handle_;
};

// The work of ArrangeFile; every refusal has shown (to the catcher) its message.
batch::Outcome ArrangeShowingRefusal(const std::vector<palette_file::Colour>& palette, const std::string& source,
                                     const std::string& target) {
  const Message* refusal = PathRefusal(source, FixedDiskOnce);
  if (refusal != nullptr) {
    ShowMessage(nullptr, *refusal);
    return batch::Outcome::kRefused;
  }
  std::unique_ptr<ReadPicture> read(new ReadPicture());
  if (!ReadPictureFile(nullptr, source.c_str(), read.get())) return batch::Outcome::kRefused;
  bmp::BlockLayout layout;
  size_t blockSize = 0;
  TakenBlock block(TakeCandidateBlock(&layout, &blockSize));
  if (block.Get() == nullptr) {
    ShowMessage(nullptr, kMsgNoMemory);
    return batch::Outcome::kRefused;
  }
  const int32_t count = read->colourCount;
  int32_t order[shuffle::kMaxColours] = {};
  const int32_t missing = ArrangeOrder(read->table, count, palette.data(), palette.size(), order);
  if (missing != 0) {
    ShowMessage(nullptr, kMsgColoursMissing, static_cast<unsigned long>(missing));
    return batch::Outcome::kRefused;
  }
  bool same = true;
  for (int32_t i = 0; i < count; ++i) same = same && order[i] == i;
  if (same) return batch::Outcome::kInOrder;

  GlobalMemoryData memory(block.Get());
  uint8_t* start = static_cast<uint8_t*>(memory.Lock());
  if (start == nullptr) {
    ShowMessage(nullptr, kMsgNoMemory);
    return batch::Outcome::kRefused;
  }
  if (!ReorderPicture(read->table, count, start, blockSize, layout, order)) {
    ShowMessage(nullptr, kMsgNotFourOrEightBit);
    return batch::Outcome::kRefused;
  }
  int32_t sourceOrder[shuffle::kMaxColours];
  for (int32_t i = 0; i < shuffle::kMaxColours; ++i) sourceOrder[i] = i;
  shuffle::ComposeOrder(sourceOrder, order, count);
  const PictureToWrite picture = {start, blockSize, layout, read->table, count, &read->png, sourceOrder};

  SaveRequest request;
  request.savePath = target.c_str();
  request.openPath = "";
  request.shiftJis = ShiftJis();
  request.openedFileSize = read->facts.fileSize;
  request.plannedSize = PlannedSizeOf(picture);
  BatchQuestions questions;
  const SaveVerdict verdict = DecideSave(request, questions);
  const Message* failure = nullptr;
  switch (verdict) {
    case SaveVerdict::kWriteBmp: failure = WriteBmpPicture(picture, target.c_str()); break;
    case SaveVerdict::kWritePng: failure = WritePngPicture(picture, target.c_str()); break;
    default: failure = MessageOf(verdict) != nullptr ? MessageOf(verdict) : &kMsgSaveExtension; break;
  }
  if (failure != nullptr) {
    ShowMessage(nullptr, *failure);
    return batch::Outcome::kRefused;
  }
  return batch::Outcome::kArranged;
}

// The modeless progress window, with its owner disabled meanwhile as under a
// modal dialog; none without an owner.
class Progress {
 public:
  explicit Progress(HWND owner) : owner_(owner) {
    if (owner_ == nullptr) return;
    cancelled = false;
    EnableWindow(owner_, FALSE);
    window_ = CreateDialogParamA(appInstance, IsJapanese() ? RES_NAME_ARRANGING_J : RES_NAME_ARRANGING, owner_,
                                 NoBadAlloc<INT_PTR, Procedure>, 0);
  }
  ~Progress() {
    if (owner_ == nullptr) return;
    // The owner enabled first, so it takes the activation back.
    EnableWindow(owner_, TRUE);
    if (window_ != nullptr) DestroyWindow(window_);
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  HWND Window() const { return window_; }

  // Shows "Arranging n of total...", then lets the waiting messages run
  // (paints, the Cancel button); true when Cancel has been pressed.
  bool ShowAndAskCancelled(size_t n, size_t total) {
    if (owner_ == nullptr) return false;
    if (window_ != nullptr) {
      const std::string text = batch::ProgressText(n, total, IsJapanese(), ToAnsi);
      SetDlgItemTextA(window_, IDC_ARRANGING_TEXT, text.c_str());
    }
    MSG message;
    while (!cancelled && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {  // the session or the program is ending: stop, and end later
        PostQuitMessage(static_cast<int>(message.wParam));
        cancelled = true;
        break;
      }
      if (window_ != nullptr && IsDialogMessageA(window_, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    return cancelled;
  }

 private:
  static bool cancelled;
  static INT_PTR CALLBACK Procedure(HWND, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
      case WM_INITDIALOG: return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) cancelled = true;
        return TRUE;
      default: return FALSE;
    }
  }
  HWND owner_;
  HWND window_ = nullptr;
};
bool Progress::cancelled = false;

bool ChoosePictures(HWND window, std::vector<std::string>* sources) {
  std::vector<char> buffer(kSelectionBytes, '\0');
  if (!RunFileDialog(window, kPicturesDialog, buffer.data(), buffer.size())) return false;
  *sources = batch::SplitMultiSelection(buffer.data(), buffer.size());
  return !sources->empty();
}

// In place (folder empty) or a folder chosen through a save dialog whose name
// is not used; files of the pictures' names there are replaced only after a Yes.
bool ChooseWhere(HWND window, const std::vector<std::string>& sources, std::string* folder) {
  folder->clear();
  const int answer = ShowMessage(window, kMsgWhere);
  if (answer == IDYES) return true;
  if (answer != IDNO) return false;
  char path[MAX_PATH] = {};
  lstrcpynA(path, path_text::FileNameOf(sources[0].c_str(), ShiftJis()), MAX_PATH);
  if (!RunFileDialog(window, kFolderDialog, path, sizeof path)) return false;
  *folder = batch::FolderOf(path, ShiftJis());
  unsigned long existing = 0;
  for (const std::string& source : sources) {
    const std::string target = batch::SameNameIn(*folder, source, ShiftJis());
    if (lstrcmpiA(target.c_str(), source.c_str()) != 0 && GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ++existing;
    }
  }
  return existing == 0 || ShowMessage(window, kMsgReplaceInFolder, existing) == IDYES;
}

// A command line's name made full (against the folder the program was
// started in); its short names are kept, as looking up long ones costs more
// than reading a small picture.
std::string FullPath(const std::string& name) {
  char full[MAX_PATH] = {};
  const DWORD n = GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr);
  return n == 0 || n >= MAX_PATH ? name : std::string(full);
}

// The summary's text to the standard output (a file or pipe the caller
// handed over), or to the console the program was started from.
void PrintToStarter(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  bool console = false;
  if (out == nullptr || out == INVALID_HANDLE_VALUE || GetFileType(out) == FILE_TYPE_UNKNOWN) {
    out = INVALID_HANDLE_VALUE;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
      out = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                        nullptr);
      console = out != INVALID_HANDLE_VALUE;
    }
  }
  if (out == INVALID_HANDLE_VALUE) return;
  std::string lines;
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  DWORD written = 0;
  WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
  if (console) CloseHandle(out);
}

}  // namespace

batch::FileResult ArrangeFile(const std::vector<palette_file::Colour>& palette, const std::string& source,
                              const std::string& target) {
  batch::FileResult result = {batch::Outcome::kRefused, source, std::string()};
  CaughtMessage caught;
  try {
    result.outcome = ArrangeShowingRefusal(palette, source, target);
  } catch (const std::bad_alloc&) {
    ShowMessage(nullptr, kMsgNoMemory);
    result.outcome = batch::Outcome::kRefused;
  }
  DiscardCandidateBlock();  // none is held after a refusal; kept so for certain
  if (result.outcome == batch::Outcome::kRefused) result.reason = caught.Text();
  return result;
}

BatchRun ArrangeFiles(HWND owner, const std::vector<palette_file::Colour>& palette,
                      const std::vector<std::string>& sources, const std::string& folder) {
  BatchRun run;
  knownDrives.clear();
  Progress progress(owner);
  for (size_t i = 0; i < sources.size(); ++i) {
    if (progress.ShowAndAskCancelled(i + 1, sources.size())) {
      run.cancelled = true;
      run.notReached = sources.size() - i;
      break;
    }
    const std::string target = folder.empty() ? sources[i] : batch::SameNameIn(folder, sources[i], ShiftJis());
    run.results.push_back(ArrangeFile(palette, sources[i], target));
    if (arrangeFileDone != nullptr) arrangeFileDone(progress.Window(), i + 1);
  }
  return run;
}

void ArrangePictures(HWND window) {
  std::vector<palette_file::Colour> colours;
  if (!ReadPaletteFile(window, {"Select a palette file to arrange the pictures to.", "画像を並べる順のパレットファイルの選択"},
                       &colours)) {
    return;
  }
  std::vector<std::string> sources;
  std::string folder;
  if (!ChoosePictures(window, &sources) || !ChooseWhere(window, sources, &folder)) return;
  const BatchRun run = ArrangeFiles(window, colours, sources, folder);
  const std::string text =
      batch::SummaryText(run.results, run.cancelled, run.notReached, IsJapanese(), ToAnsi, kFilesListedInBox);
  const bool refused = batch::ExitCodeOf(run.results) != batch::kExitAllDone;
  ShowMessage(window, refused ? kMsgSummaryRefused : kMsgSummary, text.c_str());
}

bool NamesArrangeCommand(const char* commandLine) { return batch::ParseArrangeCommandLine(commandLine).named; }

int RunArrangeCommandLine(const char* commandLine) {
  DetectLanguage(nullptr);
  CaughtMessage noBox;  // whatever a step would show is never shown here
  const batch::ArrangeCommand command = batch::ParseArrangeCommandLine(commandLine);
  const std::string usage = ToAnsi(batch::UsageText(IsJapanese())) + "\n";
  if (!command.usable) {
    PrintToStarter(usage);
    return batch::kExitUsage;
  }
  std::vector<palette_file::Colour> colours;
  {
    CaughtMessage caught;
    if (!ReadPaletteFromPath(nullptr, FullPath(command.palette).c_str(), &colours)) {
      PrintToStarter(caught.Text() + "\n" + usage);
      return batch::kExitUsage;
    }
  }
  std::vector<std::string> sources;
  for (const std::string& file : command.files) sources.push_back(FullPath(file));
  const BatchRun run = ArrangeFiles(nullptr, colours, sources, std::string());
  PrintToStarter(batch::SummaryText(run.results, false, 0, IsJapanese(), ToAnsi, run.results.size()));
  return batch::ExitCodeOf(run.results);
}

}  // namespace mirtav
