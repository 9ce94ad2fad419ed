#include "kestro98/bar_tables.h"

#include "resources/kestro98/resource.h"

namespace kestro {

namespace {

using ui_core::ButtonSpec;
using ui_core::CaptionLabel;

const ButtonSpec kButtons[] = {
    {IDC_BAR_GAP, "Gap", 0, 16, false, 0},
    {IDC_BAR_OPEN, "Open", 16, 32, true, IDM_OPEN},
    {IDC_BAR_ZOOM_OUT, "ZmOut", 48, 32, false, IDM_ZOOM_OUT},
    {IDC_BAR_ZOOM_IN, "ZmIn", 80, 32, false, IDM_ZOOM_IN},
    {IDC_BAR_POPUP_WINDOW, "PopupW", 112, 32, false, IDM_POPUP_WINDOW},
    {IDC_BAR_COPY, "Copy", 144, 32, false, IDM_COPY},
    {IDC_BAR_SAVE_IMAGE, "SaveAs", 176, 32, false, IDM_SAVE_IMAGE},
    {IDC_BAR_ABOUT, "About", 208, 32, true, IDM_ABOUT},
    {IDC_BAR_HELP, "Help", 240, 32, true, IDM_HELP},
    {IDC_BAR_EXIT, "Exit", 272, 32, true, IDM_EXIT},
    {IDC_BAR_SPACE, "Space", 304, 0, false, 0},
};

const CaptionLabel kCaptions[] = {
    {1, 16, 47, "Open BMP", "BMP 開く", 17},
    {2, 48, 79, "Zoom Out", "画像縮小", 49},
    {3, 80, 111, "Zoom In", "画像拡大", 81},
    {4, 112, 143, "Popup Window", "ﾎﾟｯﾌﾟｱｯﾌﾟ", 113},
    {5, 144, 175, "Copy", "コピー", 145},
    {6, 176, 207, "Save Image", "画像保存", 177},
    {7, 208, 239, "About", "御案内", 209},
    {8, 240, 271, "Help", "ヘルプ", 241},
    {9, 272, 303, "Exit", "終了", 273},
};

}  // namespace

const ui_core::ProgramLook kLook = {
    {kButtons, sizeof kButtons / sizeof kButtons[0]},
    {kCaptions, sizeof kCaptions / sizeof kCaptions[0]},
    -1,     // buttons one row higher than the shuffler's
    0,      // the caption band starts at SM_CYBORDER
    false,  // no top line
    {253, 221, 20},  // logo centred below the 20-pixel icon bar band
    {5, 5},          // every NT version after 5.2 reads as 5
};

}  // namespace kestro
