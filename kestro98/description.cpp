#include "kestro98/description.h"

#include "kestro98/bar_tables.h"
#include "kestro98/image_view.h"
#include "kestro98/main_window.h"
#include "resources/kestro98/resource.h"

namespace kestro {

namespace {

const TiffWriterMessages kTiffMessages = {
    {{"Unable to create a new TIF file for saving the image.",
      "像保存用のTIFファイルを新規に作成できません."},
     {"Error", "エラー"}, MessageIcon::kError},
    {{"Unable to write the TIF file. The image was not saved.",
      "TIFファイルを書き込めません. 画像は保存されていません."},
     {"Error", "エラー"}, MessageIcon::kError},
};

}  // namespace

const ProgramDescription kDescription = {
    "KESTRO98",
    "Kestro_Main",
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX,  // resizable, no maximise box
    8,
    MainWindowProc,
    ReadImageViewSystemSizes,
    StartUp,
    IDM_ABOUT,
    IDM_HELP,
    IDM_EXIT,
    RunCommand,
    QuitProgram,
    &kLook,
    {{"Install the readme file (KESTRO9E.PDF)\nin the same directory.",
     "説明書ファイル（KESTRO9J.PDF）を同じ\nフォルダーに入れてください."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to open the readme file (KESTRO9E.PDF)\nbecause of being NO software to read PDF documents.",
     "PDF 文書の閲覧ソフトが無いので、\n説明書（KESTRO9J.PDF）を開けません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to display dialog", "ダイアログを表示できません"}, {"System Error", "システム・エラー"}, MessageIcon::kError, true},
    &kTiffMessages,
};

}  // namespace kestro
