#include "kestro98/core/messages.h"

namespace kestro {

// Open, one entry for each refusal, in the order of OpenVerdict.
const Message kOpenMessages[8] = {
    {{"", ""}, {"", ""}, MessageIcon::kError},
    {{"Unable to open a file other than in the fixed disk.",
      "ハードディスク以外のファイルは開けません."},
     {"Warning", "警告"},
     MessageIcon::kWarning},
    {{"Select a file with BMP or PNG extension.",
      "拡張子 BMP か PNG のファイルを選択してください."},
     {"Error", "エラー"},
     MessageIcon::kWarning},
    {{"Unable to open the assigned bitmap file.",
      "指定されたビットマップファイルを開けません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Not a bitmap file with correct format.",
      "正しいビットマップファイルではありません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to process a bitmap with zero width or height.",
      "幅や高さが０のビットマップは処理できません."},
     {"Warning", "警告"},
     MessageIcon::kWarning},
    {{"No color table in a bitmap with more than 256 colors.",
      "２５６色越のビットマップにはカラーテーブルはありません."},
     {"Warning", "警告"},
     MessageIcon::kWarning},
    {{"The assigned file has not the 2/16/256 color array!",
      "このビットマップは２色/１６色/２５６色ではありません！"},
     {"Error", "エラー"},
     MessageIcon::kError},
};

const Message kOpenDialogFailed = {

    {"GetOpenFileName error 0x%lx",

     "GetOpenFileName エラー 0x%lx"},

    {"Error", "エラー"},

    MessageIcon::kError};

// Save, in the order of SaveMessage.
const Message kSaveMessages[12] = {
    {{"GetSaveFileName error 0x%lx",
      "GetSaveFileName エラー 0x%lx"},
     {"Open Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to save a file other than to the fixed disk.",
      "ハードディスク以外へはファイル保存はできません."},
     {"Warning", "警告"},
     MessageIcon::kWarning},
    {{"Free diskspace is not enough.",
      "ディスクの空容量が不足です."},
     {"Warning", "警告"},
     MessageIcon::kWarning},
    {{"Assign a file with BMP, TIF or PNG extension.",
      "ファイルは拡張子 BMP, TIF or PNG を持つ必要があります."},
     {"Error", "エラー"},
     MessageIcon::kWarning},
    {{"File already exists.\nDo you overwrite?",
      "同名ファイルが存在します.\n重ね書きしますか？"},
     {"Confirmation", "確認"},
     MessageIcon::kQuestion},
    {{"Cannot create a file to be saved.",
      "保存するファイルを新規作成できません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Cannot open a file to be saved.",
      "保存するファイルを開けません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Daridev bitmap has been saved in;\n%s.",
      "ケストロのビットマップが保存されました;\n%s"},
     {"Information", "お知らせ"},
     MessageIcon::kInformation},
    {{"Cannot write the file to be saved.",
      "保存するファイルに書き込めません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"The source file has changed since it was opened.",
      "開いた後に元のファイルが変更されました."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to save as PNG: some pixels have a color number\nbeyond the color table.",
      "カラーテーブルにない色番号の画素があるので、\nPNGでは保存できません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Not enough memory to save the image.",
      "画像を保存するメモリが足りません."},
     {"Error", "エラー"},
     MessageIcon::kError},
};

const Message kClipboardNoMemory = {
    {"Unable to allocate clipboard memory.", "クリップボードのメモリを確保できません."},
    {"Error", "エラー"},
    MessageIcon::kError};

// Saving a TIFF (through the shared writer).
const Message kMsgTiffCannotCreate = {
    {"Unable to create a new TIF file for saving the image.", "像保存用のTIFファイルを新規に作成できません."},
    {"Error", "エラー"},
    MessageIcon::kError};
const Message kMsgTiffCannotWrite = {
    {"Unable to write the TIF file. The image was not saved.", "TIFファイルを書き込めません. 画像は保存されていません."},
    {"Error", "エラー"},
    MessageIcon::kError};

// Help and About (shown by the shared framework).
const Message kMsgReadmeMissing = {
    {"Install the readme file (KESTRO9E.PDF)\nin the same directory.",
     "説明書ファイル（KESTRO9J.PDF）を同じ\nフォルダーに入れてください."},
    {"Error", "エラー"},
    MessageIcon::kError};
const Message kMsgNoViewer = {
    {"Unable to open the readme file (KESTRO9E.PDF)\nbecause of being NO software to read PDF documents.",
     "PDF 文書の閲覧ソフトが無いので、\n説明書（KESTRO9J.PDF）を開けません."},
    {"Error", "エラー"},
    MessageIcon::kError};
const Message kMsgDialogNotShown = {
    {"Unable to display dialog", "ダイアログを表示できません"}, {"System Error", "システム・エラー"}, MessageIcon::kError, true};

}  // namespace kestro
