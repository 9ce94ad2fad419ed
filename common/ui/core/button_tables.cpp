#include "common/ui/core/button_tables.h"

#include <cstring>

namespace ui_core {

namespace {

const ButtonSpec kKestroButtons[] = {
    {kKestroGapId, "Gap", 0, 16, false, 0},
    {kKestroOpenId, "Open", 16, 32, true, 101},
    {kKestroZoomOutId, "ZmOut", 48, 32, false, 102},
    {kKestroZoomInId, "ZmIn", 80, 32, false, 103},
    {kKestroPopupId, "PopupW", 112, 32, false, 104},
    {kKestroCopyId, "Copy", 144, 32, false, 105},
    {kKestroSaveId, "SaveAs", 176, 32, false, 106},
    {kKestroAboutId, "About", 208, 32, true, 107},
    {kKestroHelpId, "Help", 240, 32, true, 108},
    {kKestroExitId, "Exit", 272, 32, true, 109},
    {kKestroSpaceId, "Space", 304, 0, false, 0},
};

const ButtonSpec kMirtavButtons[] = {
    {kMirtavGapId, "Gap", 0, 16, false, 0},
    {kMirtavOpenId, "Open", 16, 32, true, 101},
    {kMirtavRandomizeId, "PalRd", 48, 32, false, 102},
    {kMirtavCopyId, "Copy", 80, 32, false, 103},
    {kMirtavSaveId, "SaveAs", 112, 32, false, 104},
    {kMirtavAboutId, "About", 144, 32, true, 105},
    {kMirtavHelpId, "Help", 176, 32, true, 106},
    {kMirtavExitId, "Exit", 208, 32, true, 107},
    {kMirtavSpaceId, "Space", 240, 0, false, 0},
};

const CaptionLabel kKestroCaptions[] = {
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

const CaptionLabel kMirtavCaptions[] = {
    {1, 16, 47, "Open BMP", "BMP開く", 17},
    {2, 48, 79, "Randomize PLT", "PLTランダム", 49},
    {3, 80, 111, "Copy PLT", "PLTコピー", 81},
    {4, 112, 143, "Save Image", "画像保存", 113},
    {5, 144, 175, "About", "御案内", 145},
    {6, 176, 207, "Help", "ヘルプ", 177},
    {7, 208, 239, "Exit", "終了", 209},
};

template <typename T, size_t N>
constexpr size_t CountOf(const T (&)[N]) { return N; }

}  // namespace

ButtonTable ButtonsOf(ProgramKind program) {
  if (program == ProgramKind::kMirtav00) return {kMirtavButtons, CountOf(kMirtavButtons)};
  return {kKestroButtons, CountOf(kKestroButtons)};
}

int ButtonWidth(const ButtonSpec& row, int screenWidth) {
  if (row.width != 0) return row.width;
  const int rest = screenWidth - row.x;
  return rest > 0 ? rest : 0;
}

const ButtonSpec* FindButton(ProgramKind program, int controlId) {
  const ButtonTable table = ButtonsOf(program);
  for (size_t i = 0; i < table.count; ++i) {
    if (table.rows[i].controlId == controlId) return &table.rows[i];
  }
  return nullptr;
}

bool ComposeBitmapName(char (&out)[kBitmapNameSize], const char* base, const char* variant,
                       const char* state) {
  out[0] = '\0';
  if (base == nullptr || variant == nullptr || state == nullptr) return false;
  const size_t a = std::strlen(base);
  const size_t b = std::strlen(variant);
  const size_t c = std::strlen(state);
  if (a + b + c >= kBitmapNameSize) return false;
  std::memcpy(out, base, a);
  std::memcpy(out + a, variant, b);
  std::memcpy(out + a + b, state, c);
  out[a + b + c] = '\0';
  return true;
}

CaptionTable CaptionsOf(ProgramKind program) {
  if (program == ProgramKind::kMirtav00) return {kMirtavCaptions, CountOf(kMirtavCaptions)};
  return {kKestroCaptions, CountOf(kKestroCaptions)};
}

}  // namespace ui_core
