#include "mirtav00/picture_view.h"

#include "common/bitmap/dib_block.h"
#include "common/bitmap/sampled_paint.h"
#include "mirtav00/core/view_rules.h"
#include "mirtav00/picture.h"

namespace mirtav {

namespace {

SampledPaint sampledPicture;

}  // namespace

void PaintPictureView(HWND window, HDC dc) {
  if (dibBlockHandle == nullptr) return;
  ScopedDibLock lock(window);
  if (!lock.Locked()) return;
  RECT client = {};
  GetClientRect(window, &client);
  const sampling::Stretch stretch =
      PictureStretch(dibLayout.width, dibLayout.height, shufflerPicture.reductionFactor,
                     client.right, client.bottom);
  if (!sampledPicture.Paint(dc, dibBlockStart, dibBlockSize, dibLayout, stretch)) {
    PaintBackground(dc, stretch);
  }
}

void ForgetPictureSamples() { sampledPicture.Forget(); }

void RepaintPicture(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  RECT below = {0, kPictureTop, client.right, client.bottom};
  InvalidateRect(window, &below, TRUE);
  UpdateWindow(window);
}

}  // namespace mirtav
