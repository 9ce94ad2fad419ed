#include "kestro98/core/view_rules.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace kestro {

int64_t ZoomFactor(int32_t level) {
  return level >= 0 ? int64_t{level} + 1 : 1 - int64_t{level};
}

int64_t DisplayedLength(int64_t size, int32_t level) {
  const int64_t k = ZoomFactor(level);
  return level >= 0 ? size * k : size / k;
}

int64_t SourceLength(int64_t screenLength, int32_t level) {
  const int64_t k = ZoomFactor(level);
  return level >= 0 ? screenLength / k : screenLength * k;
}

int32_t Clamp32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int32_t ZoomedOut(int32_t level) { return level > kMinZoomLevel ? level - 1 : level; }
int32_t ZoomedIn(int32_t level) { return level < kMaxZoomLevel ? level + 1 : level; }

std::string ZoomText(int32_t level) {
  char text[32];
  const long long k = ZoomFactor(level);
  std::snprintf(text, sizeof text, level >= 0 ? "%lld:1]" : "1:%lld]", k);
  return text;
}

std::string TitleText(const std::string& titleBase, int32_t level) {
  return titleBase + ZoomText(level);
}

ScrollLayout LayOutScrollBars(int32_t width, int32_t height, int32_t level, int32_t cw, int32_t ch,
                              int32_t a, int32_t b) {
  ScrollLayout l;
  const int64_t dw = DisplayedLength(width, level);
  const int64_t dh = DisplayedLength(height, level);
  const bool needH = dw > cw;
  const bool needV = dh + kIconBand > ch;
  l.horizontal = {0, ch - a, cw - b, a};
  l.vertical = {cw - b, kIconBand, b, ch - kIconBand - a};
  if (needH && needV) {
    l.horizontalMax = Clamp32(SourceLength(dw - cw + b, level));
    l.verticalMax = Clamp32(SourceLength(dh + kIconBand - ch + a, level));
    l.grip = true;
    l.gripRect = {cw - b, ch - a, b, a};
  } else if (needV) {
    l.vertical.height = ch - kIconBand;
    l.verticalMax = Clamp32(SourceLength(dh + kIconBand - ch, level));
  } else if (needH) {
    l.horizontal.width = cw;
    l.horizontalMax = Clamp32(SourceLength(dw - cw, level));
  }
  l.horizontalShown = needH;
  l.verticalShown = needV;
  return l;
}

int64_t ScrollMaximum(int64_t size, int32_t level, int64_t visible, int32_t band) {
  const int64_t k = ZoomFactor(level);
  const int64_t m = level >= 0 ? (size * k + band - visible) / k : (size / k + band - visible) * k;
  return m > 0 ? m : 0;
}

int64_t ScrollOffset(int64_t offset, int32_t code, int64_t thumbPos, int64_t maximum) {
  switch (code) {
    case 0: offset -= 1; break;
    case 1: offset += 1; break;
    case 2: offset -= 10; break;
    case 3: offset += 10; break;
    case 4: case 5: offset = thumbPos; break;
    case 6: offset = 0; break;
    case 7: offset = maximum; break;
    default: break;
  }
  if (offset > maximum) offset = maximum;
  return offset < 0 ? 0 : offset;
}

ViewSteps StepsOfView(int64_t visible, int32_t level) {
  ViewSteps steps;
  if (visible < 0) visible = 0;
  steps.line = std::max<int64_t>(1, SourceLength(visible / 10, level));
  steps.page = std::max<int64_t>(1, SourceLength(visible - visible / 10, level));
  return steps;
}

int64_t WheelOffset(int64_t offset, int32_t notches, uint32_t linesPerNotch, const ViewSteps& steps,
                    int64_t maximum) {
  const int64_t step = linesPerNotch == kWheelPage ? steps.page : steps.line * static_cast<int64_t>(linesPerNotch);
  offset -= step * notches;
  if (offset > maximum) offset = maximum;
  return offset < 0 ? 0 : offset;
}

int32_t TakeNotches(int32_t* rest, int32_t delta) {
  const int64_t total = static_cast<int64_t>(*rest) + delta;
  const int64_t notches = total / 120;  // toward zero: the rest keeps its sign
  *rest = static_cast<int32_t>(total - notches * 120);
  return static_cast<int32_t>(notches);
}

int64_t OffsetKeepingPoint(int64_t offset, int32_t level, int32_t newLevel, int64_t cursor) {
  if (cursor < 0) cursor = 0;
  const int64_t source = offset + SourceLength(cursor, level);
  const int64_t moved = source - SourceLength(cursor, newLevel);
  return moved < 0 ? 0 : moved;
}

sampling::Stretch ViewStretch(int32_t width, int32_t height, int32_t level, int64_t hOffset,
                              int64_t vOffset, int32_t visibleRight, int32_t visibleBottom) {
  const int64_t k = ZoomFactor(level);
  sampling::Stretch s;
  s.srcWidth = width;
  s.srcHeight = height;
  s.dstX = level >= 0 ? -(hOffset * k) : -(hOffset / k);
  s.dstY = kIconBand - (level >= 0 ? vOffset * k : vOffset / k);
  s.dstWidth = DisplayedLength(width, level);
  s.dstHeight = DisplayedLength(height, level);
  s.visLeft = 0;
  s.visTop = kIconBand;
  s.visRight = visibleRight;
  s.visBottom = visibleBottom;
  return s;
}

ButtonStates PaintButtons(bool pictureOpen, int32_t level, int32_t fitLevel, int32_t width,
                          int32_t height, const FreeScreen& sc, int32_t changeCounter) {
  ButtonStates b;
  if (!pictureOpen) return b;
  b.zoomOut = level > kMinZoomLevel && level > fitLevel;
  if (level >= kMaxZoomLevel) {
    b.zoomIn = false;
  } else if (level < 0) {
    b.zoomIn = true;
  } else {
    const int64_t k = int64_t{level} + 1;
    b.zoomIn = k * width < 2 * (int64_t{sc.width} - sc.left - sc.right) &&
               k * height < 2 * (int64_t{sc.height} - sc.top - sc.bottom);
  }
  b.popup = b.copy = true;
  b.save = changeCounter != 0;
  return b;
}

bool SmallestWindowSize(int32_t* w, int32_t* h, int32_t minClientValue, bool horizontalShown,
                        bool verticalShown, int32_t barHeight) {
  const int64_t minHeight =
      int64_t{minClientValue} + (int64_t{horizontalShown} + 2 * int64_t{verticalShown}) * barHeight;
  bool grow = false;
  if (*w < kSmallestWidth) { *w = kSmallestWidth; grow = true; }
  if (*h < minHeight) { *h = Clamp32(minHeight); grow = true; }
  return grow;
}

}  // namespace kestro
