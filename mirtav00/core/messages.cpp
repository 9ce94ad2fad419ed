#include "mirtav00/core/messages.h"

namespace mirtav {

namespace {
constexpr BilingualText kError = {"Error", "エラー"};
constexpr BilingualText kWarning = {"Warning", "警告"};
constexpr BilingualText kConfirmation = {"Confirmation", "確認"};
constexpr BilingualText kInformation = {"Information", "お知らせ"};
}  // namespace

const Message kMsgOpenDialogFailed = {
    {"GetOpenFileName error 0x%lx", "GetOpenFileName エラー 0x%lx"}, kError, MessageIcon::kError};
const Message kMsgOpenNotFixedDisk = {
    {"Unable to open a file other than in the fixed disk.",
     "ハードディスク以外のファイルは開けません."},
    kWarning, MessageIcon::kWarning};
const Message kMsgOpenNotBmp = {
    {"Select a file with BMP or PNG extension.", "拡張子 BMP か PNG のファイルを選択してください."}, kError,
    MessageIcon::kWarning};
const Message kMsgCannotOpenBitmap = {
    {"Unable to open the assigned bitmap file.", "指定されたビットマップファイルを開けません."},
    kError, MessageIcon::kError};
const Message kMsgNotBitmap = {
    {"Not a bitmap file with correct format.", "正しいビットマップファイルではありません."},
    kError, MessageIcon::kError};
const Message kMsgZeroSize = {
    {"Unable to process a bitmap with zero width or height.",
     "幅や高さが０のビットマップは処理できません."},
    kWarning, MessageIcon::kWarning};
const Message kMsgNotFourOrEightBit = {
    {"Select a 4bit or 8bit bitmap file.", "16色・256色のビットマップを選定してください."},
    kWarning, MessageIcon::kWarning};
const Message kMsgSaveDialogFailed = {
    {"GetSaveFileName error 0x%lx", "GetSaveFileName エラー 0x%lx"}, kError, MessageIcon::kError};
const Message kMsgSaveOntoOpened = {
    {"Assign a file other than the opened file.",
     "開いたファイルと異なるファイルを指定してください."},
    kWarning, MessageIcon::kWarning};
const Message kMsgOverwrite = {
    {"File already exists.\nDo you overwrite?", "同名ファイルが存在します.\n重ね書きしますか？"},
    kConfirmation, MessageIcon::kQuestion};
const Message kMsgSaveNotFixedDisk = {
    {"Unable to save a file other than to the fixed disk.",
     "ハードディスク以外へはファイル保存はできません."},
    kWarning, MessageIcon::kWarning};
const Message kMsgNoSpace = {
    {"Not enough free diskspace to save a converted file.",
     "変換したファイルを保存するディスクの空容量が不足です."},
    kError, MessageIcon::kError};
const Message kMsgBmpSaved = {
    {"A bitmap file (BMP)\n%s\nhas been successfully saved.",
     "ビットマップファイル (BMP)\n%s\nが保存されました."},
    kInformation, MessageIcon::kInformation};
const Message kMsgTiffSaved = {
    {"A tiff file (TIF)\n%s\nhas been successfully saved.", "ティフファイル (TIF)\n%s\nが保存されました."},
    kInformation, MessageIcon::kInformation};
const Message kMsgPngSaved = {
    {"A png file (PNG)\n%s\nhas been successfully saved.", "ピングファイル (PNG)\n%s\nが保存されました."},
    kInformation, MessageIcon::kInformation};
const Message kMsgSaveExtension = {
    {"Assign a file with BMP, TIF or PNG extension.",
     "ファイルは拡張子 BMP, TIF or PNG を持つ必要があります."},
    kError, MessageIcon::kError};
const Message kMsgCannotCreateBmp = {
    {"Unable to create a new BMP file for saving the image.",
     "像保存用の BMP ファイルを新規に作成できません."},
    kError, MessageIcon::kError};
const Message kMsgPngIndexPastTable = {
    {"The picture uses an index past its color table, which a PNG file cannot hold.",
     "カラーテーブルにない番号を使う画像は PNG ファイルに保存できません."},
    kError, MessageIcon::kError};
const Message kMsgCannotCreatePng = {
    {"Unable to create a new PNG file for saving the image.",
     "像保存用の PNG ファイルを新規に作成できません."},
    kError, MessageIcon::kError};
const Message kMsgNothingUnused = {
    {"Every entry of the color table is used by some pixel, so none was removed.",
     "カラーテーブルの色はどれも画素に使われています. 削除する色はありません."},
    kInformation, MessageIcon::kInformation};
const Message kMsgNoDuplicates = {
    {"No two entries of the color table have the same color, so none was merged.",
     "カラーテーブルに同じ色の組はありません. まとめる色はありません."},
    kInformation, MessageIcon::kInformation};
const Message kMsgDuplicatesMerged = {
    {"Entries merged into an earlier entry of the same color: %lu.",
     "前にある同じ色のエントリにまとめた色: %lu 色."},
    kInformation, MessageIcon::kInformation};
const Message kMsgColoursMissing = {
    {"The palette file lacks %lu of the picture's colours, so the order stays as it is.",
     "パレットファイルには画像の色のうち %lu 色がありません. 順序は変わりません."},
    kError, MessageIcon::kError};

const Message kMsgSettingsNotShown = {{"Unable to display dialog", "ダイアログを表示できません"},
                                     {"System Error", "システム・エラー"},
                                     MessageIcon::kError,
                                     true};

}  // namespace mirtav
