#include "mirtav00/bar_tables.h"

#include "resources/mirtav00/resource.h"

namespace mirtav {

namespace {

using ui_core::ButtonSpec;

const ButtonSpec kButtons[] = {
    {IDC_BAR_GAP, "Gap", 0, 16, false, 0},
    {IDC_BAR_OPEN, "Open", 16, 32, true, IDM_OPEN, {"Open BMP", "BMP開く"}},
    {IDC_BAR_RANDOMISE_PLT, "PalRd", 48, 32, false, IDM_RANDOMISE_PLT, {"Randomize PLT", "PLTランダム"}},
    {IDC_BAR_COPY_PLT, "Copy", 80, 32, false, IDM_COPY_PLT, {"Copy PLT", "PLTコピー"}},
    {IDC_BAR_SAVE_IMAGE, "SaveAs", 112, 32, false, IDM_SAVE_IMAGE, {"Save Image", "画像保存"}},
    {IDC_BAR_ABOUT, "About", 144, 32, true, IDM_ABOUT, {"About", "御案内"}},
    {IDC_BAR_HELP, "Help", 176, 32, true, IDM_HELP, {"Help", "ヘルプ"}},
    {IDC_BAR_EXIT, "Exit", 208, 32, true, IDM_EXIT, {"Exit", "終了"}},
    {IDC_BAR_SPACE, "Space", 240, 0, false, 0},
};

}  // namespace

const ui_core::ProgramLook kLook = {
    {kButtons, sizeof kButtons / sizeof kButtons[0]},
    0,     // buttons at SM_CYBORDER
    1,     // the caption band starts one row below SM_CYBORDER
    true,  // the bar paints its top pixel row
    {306, 232, 0},  // logo centred in the whole client area
    {6, 7},         // 6.0 and 6.1 read as 6, later versions as 7
};

}  // namespace mirtav
