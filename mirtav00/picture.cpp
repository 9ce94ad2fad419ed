// What is open in the shuffler, program-wide, and its title.
#include "mirtav00/picture.h"

#include <string>

#include "common/base/text.h"
#include "mirtav00/core/view_rules.h"

namespace mirtav {

PictureState pictureState = PictureState::kStarting;
bool changedOrderSaved = false;
ShufflerPicture shufflerPicture;
shuffle::PaletteEntry PaletteTable[256];
int32_t paletteColourCount = 0;
PngSource pngSource;
int32_t sourceOrder[256] = {};

const char* PaletteWindowTitle() { return Pick("Color Palette", "カラーパレット"); }

void SetPictureTitle(HWND window) {
  const std::string prefix = ToAnsi(TitlePrefix(IsJapanese()));
  const std::string title = MainTitle(prefix, shufflerPicture.openPath, IsJapanese(),
                                      shufflerPicture.reductionFactor);
  SetWindowTextA(window, title.c_str());
}

}  // namespace mirtav
