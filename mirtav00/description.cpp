#include "mirtav00/description.h"

#include "mirtav00/bar_tables.h"
#include "mirtav00/main_window.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

namespace {

const TiffWriterMessages kTiffMessages = {
    {{"Unable to create a new TIF file for saving the image.",
      "像保存用の TIF ファイルを新規に作成できません."},
     {"Error", "エラー"}, MessageIcon::kError},
    {{"Unable to write the TIF file. The image was not saved.",
      "TIF ファイルを書き込めません. 画像は保存されていません."},
     {"Error", "エラー"}, MessageIcon::kError},
};

// The shuffler keeps no start-up step of its own before InitialiseMainWindow.
void StartUp(HWND window) { InitialiseMainWindow(window); }

}  // namespace

const ProgramDescription kDescription = {
    "MIR_TAV_00",
    "Dravel_Main",
    WS_SYSMENU | WS_MINIMIZEBOX,  // as an overlapped window it still gets a caption; fixed size
    9,
    MainWindowProc,
    ReadSystemSizes,
    StartUp,
    IDM_ABOUT,
    IDM_HELP,
    IDM_EXIT,
    RunCommand,
    QuitProgram,
    &kLook,
    {{"Install the readme file (MIRTAV0E.PDF)\nin the same directory.",
     "説明書ファイル（MIRTAV0J.PDF）を同じ\nフォルダーに入れてください."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to open the readme file (MIRTAV0E.PDF)\nbecause of being NO software to read PDF documents.",
     "PDF 文書の閲覧ソフトが無いので、\n説明書（MIRTAV0J.PDF）を開けません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to display dialog.", "ダイアログを表示できません"}, {"System Error", "システム・エラー"}, MessageIcon::kError, true},
    &kTiffMessages,
};

}  // namespace mirtav
