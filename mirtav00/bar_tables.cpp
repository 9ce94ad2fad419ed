#include "mirtav00/bar_tables.h"

#include "resources/mirtav00/resource.h"

namespace mirtav {

namespace {

using ui_core::ButtonSpec;
using ui_core::CaptionLabel;

const ButtonSpec kButtons[] = {
    {IDC_BAR_GAP, "Gap", 0, 16, false, 0},
    {IDC_BAR_OPEN, "Open", 16, 32, true, IDM_OPEN},
    {IDC_BAR_RANDOMISE_PLT, "PalRd", 48, 32, false, IDM_RANDOMISE_PLT},
    {IDC_BAR_COPY_PLT, "Copy", 80, 32, false, IDM_COPY_PLT},
    {IDC_BAR_SAVE_IMAGE, "SaveAs", 112, 32, false, IDM_SAVE_IMAGE},
    {IDC_BAR_ABOUT, "About", 144, 32, true, IDM_ABOUT},
    {IDC_BAR_HELP, "Help", 176, 32, true, IDM_HELP},
    {IDC_BAR_EXIT, "Exit", 208, 32, true, IDM_EXIT},
    {IDC_BAR_SPACE, "Space", 240, 0, false, 0},
};

const CaptionLabel kCaptions[] = {
    {1, 16, 47, "Open BMP", "BMP開く", 17},
    {2, 48, 79, "Randomize PLT", "PLTランダム", 49},
    {3, 80, 111, "Copy PLT", "PLTコピー", 81},
    {4, 112, 143, "Save Image", "画像保存", 113},
    {5, 144, 175, "About", "御案内", 145},
    {6, 176, 207, "Help", "ヘルプ", 177},
    {7, 208, 239, "Exit", "終了", 209},
};

}  // namespace

const ui_core::ProgramLook kLook = {
    {kButtons, sizeof kButtons / sizeof kButtons[0]},
    {kCaptions, sizeof kCaptions / sizeof kCaptions[0]},
    0,     // buttons at SM_CYBORDER
    1,     // the caption band starts one row below SM_CYBORDER
    true,  // the bar paints its top pixel row
    {306, 232, 0},  // logo centred in the whole client area
    {6, 7},         // 6.0 and 6.1 read as 6, later versions as 7
};

}  // namespace mirtav
