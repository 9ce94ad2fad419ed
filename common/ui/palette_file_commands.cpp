#include "common/ui/palette_file_commands.h"

#include <windowsx.h>

#include <cstring>
#include <string>

#include "common/base/core/path_text.h"
#include "common/base/input_file.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/file_beside.h"
#include "common/ui/file_dialog.h"

namespace {

using palette_file::Format;

// A palette file is a few kilobytes; anything far larger is no palette.
constexpr int64_t kLargestPaletteFile = 1 << 20;

const Message kMsgDialogFailed = {
    {"The file dialog could not be shown (error %lx).", "ファイル・ダイアログを表示できません (エラー %lx)."},
    {"Error", "エラー"},
    MessageIcon::kError};
const Message kMsgPaletteExists = {
    {"File already exists.\nDo you overwrite?", "同名ファイルが存在します.\n重ね書きしますか？"},
    {"Confirmation", "確認"},
    MessageIcon::kQuestion};
const Message kMsgCannotWritePalette = {
    {"Unable to write the palette file '%s'.", "パレットファイル '%s' を書き込めません."},
    {"Error", "エラー"},
    MessageIcon::kError};

const FileDialog kLoadDialog = {false,
                                {"Select a palette file.", "パレットファイルの選択"},
                                "Palette files (*.pal;*.gpl;*.act;*.hex)\0*.pal;*.gpl;*.act;*.hex\0"
                                "All files (*.*)\0*.*\0",
                                0,
                                &kMsgDialogFailed};

// The save dialog's filters, in the order of `kSaveFormats`.
const FileDialog kSaveDialog = {true,
                                {"Assign a palette file to save.", "保存するパレットファイルの指定"},
                                "JASC-PAL palette (*.pal)\0*.pal\0"
                                "RIFF palette (*.pal)\0*.pal\0"
                                "GIMP palette (*.gpl)\0*.gpl\0"
                                "Adobe Color Table (*.act)\0*.act\0"
                                "Hex list (*.hex)\0*.hex\0",
                                0,
                                &kMsgDialogFailed};

struct SaveFormat {
  Format format;
  const char* extension;
};
constexpr SaveFormat kSaveFormats[] = {{Format::kJasc, ".pal"}, {Format::kRiff, ".pal"},
                                       {Format::kGimp, ".gpl"}, {Format::kAct, ".act"},
                                       {Format::kHex, ".hex"}};
constexpr DWORD kSaveFormatCount = sizeof kSaveFormats / sizeof kSaveFormats[0];

// The last format chosen, offered first next time (a filter index, from 1).
DWORD lastSaveFilter = 1;

// The name without folder and extension: a GIMP palette's "Name:".
std::string PaletteName(const char* path) {
  std::string name = path_text::FileNameOf(path, IsJapanese());
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

bool ReadWholeFile(HWND owner, const char* path, std::vector<uint8_t>* bytes) {
  InputFile file(path);
  const int64_t size = file.Length();
  if (!file.Valid() || size < 0) {
    ShowMessage(owner, kMsgCannotOpenFile, path);
    return false;
  }
  if (size > kLargestPaletteFile) {
    ShowMessage(owner, palette_file::ProblemMessage(palette_file::Problem::kUnknownFormat));
    return false;
  }
  bytes->assign(static_cast<size_t>(size), 0);
  if (!file.Read(bytes->data(), bytes->size())) {
    ShowMessage(owner, kMsgCannotOpenFile, path);
    return false;
  }
  return true;
}

}  // namespace

UINT ChoosePaletteCommand(HWND window, LPARAM screenPoint, const PaletteMenuItem* items,
                          size_t count) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return 0;
  for (size_t i = 0; i < count; ++i) {
    const std::string text = ToAnsi(Pick(items[i].text));
    AppendMenuA(menu, MF_STRING | (items[i].enabled ? MF_ENABLED : MF_GRAYED), items[i].command,
                text.c_str());
    if (items[i].checked) {
      CheckMenuRadioItem(menu, static_cast<UINT>(i), static_cast<UINT>(i), static_cast<UINT>(i),
                         MF_BYPOSITION);
    }
  }
  POINT at = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  if (at.x == -1 && at.y == -1) {  // Shift+F10 or the menu key
    at = {0, 0};
    ClientToScreen(window, &at);
  }
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x,
                     at.y, 0, window, nullptr));
  DestroyMenu(menu);
  return chosen;
}

bool ReadPaletteFile(HWND owner, const BilingualText& dialogTitle,
                     std::vector<palette_file::Colour>* colours) {
  FileDialog dialog = kLoadDialog;
  dialog.title = dialogTitle;
  char path[MAX_PATH] = "";
  if (!RunFileDialog(owner, dialog, path, sizeof path)) return false;
  return ReadPaletteFromPath(owner, path, colours);
}

bool ReadPaletteFromPath(HWND owner, const char* path, std::vector<palette_file::Colour>* colours) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(owner, path, &bytes)) return false;
  palette_file::ReadResult read = palette_file::Read(bytes.data(), bytes.size());
  if (read.problem != palette_file::Problem::kNone) {
    ShowMessage(owner, palette_file::ProblemMessage(read.problem), read.line);
    return false;
  }
  *colours = std::move(read.colours);
  return true;
}

bool WritePaletteFile(HWND owner, const std::vector<palette_file::Colour>& colours) {
  char path[MAX_PATH] = "";
  DWORD filter = lastSaveFilter;
  if (!RunFileDialog(owner, kSaveDialog, path, sizeof path, &filter)) return false;
  if (filter < 1 || filter > kSaveFormatCount) filter = 1;
  lastSaveFilter = filter;
  const SaveFormat& chosen = kSaveFormats[filter - 1];
  // A name typed without an extension gets the format's.
  if (std::strchr(path_text::FileNameOf(path, IsJapanese()), '.') == nullptr &&
      std::strlen(path) + std::strlen(chosen.extension) < sizeof path) {
    std::strcat(path, chosen.extension);
  }
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      ShowMessage(owner, kMsgPaletteExists) != IDYES) {
    return false;
  }
  const std::vector<uint8_t> bytes =
      palette_file::Write(chosen.format, colours, PaletteName(path).c_str());
  FileBeside file;
  FILE* out = file.Open(path);
  const bool written = out != nullptr && !bytes.empty() &&
                       std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (out == nullptr || file.Finish(written) != FileBeside::Outcome::kPlaced) {
    ShowMessage(owner, kMsgCannotWritePalette, path);
    return false;
  }
  return true;
}
