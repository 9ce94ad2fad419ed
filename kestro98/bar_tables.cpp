#include "kestro98/bar_tables.h"

#include "resources/kestro98/resource.h"

namespace kestro {

namespace {

using ui_core::ButtonSpec;

const ButtonSpec kButtons[] = {
    {IDC_BAR_GAP, "Gap", 0, 16, false, 0},
    {IDC_BAR_OPEN, "Open", 16, 32, true, IDM_OPEN, {"Open BMP", "BMP 開く"}},
    {IDC_BAR_ZOOM_OUT, "ZmOut", 48, 32, false, IDM_ZOOM_OUT, {"Zoom Out", "画像縮小"}},
    {IDC_BAR_ZOOM_IN, "ZmIn", 80, 32, false, IDM_ZOOM_IN, {"Zoom In", "画像拡大"}},
    {IDC_BAR_POPUP_WINDOW, "PopupW", 112, 32, false, IDM_POPUP_WINDOW, {"Popup Window", "ﾎﾟｯﾌﾟｱｯﾌﾟ"}},
    {IDC_BAR_COPY, "Copy", 144, 32, false, IDM_COPY, {"Copy", "コピー"}},
    {IDC_BAR_SAVE_IMAGE, "SaveAs", 176, 32, false, IDM_SAVE_IMAGE, {"Save Image", "画像保存"}},
    {IDC_BAR_ABOUT, "About", 208, 32, true, IDM_ABOUT, {"About", "御案内"}},
    {IDC_BAR_HELP, "Help", 240, 32, true, IDM_HELP, {"Help", "ヘルプ"}},
    {IDC_BAR_EXIT, "Exit", 272, 32, true, IDM_EXIT, {"Exit", "終了"}},
    {IDC_BAR_SPACE, "Space", 304, 0, false, 0},
};

}  // namespace

const ui_core::ProgramLook kLook = {
    {kButtons, sizeof kButtons / sizeof kButtons[0]},
    -1,     // buttons one row higher than the shuffler's
    0,      // the caption band starts at SM_CYBORDER
    false,  // no top line
    {253, 221, 20},  // logo centred below the 20-pixel icon bar band
    {5, 5},          // every NT version after 5.2 reads as 5
};

}  // namespace kestro
