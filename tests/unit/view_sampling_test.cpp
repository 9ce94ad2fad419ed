// The sampling maps against a port of the DIB engine's own stretch: the
// Bresenham set-up with its line clipper, the visible-rectangle mapping and
// the row loops of COLORONCOLOR. The port is the reference; the closed forms
// must agree with it for every visible pixel, whatever part is clipped.
#include "common/bitmap/core/view_sampling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace {

using sampling::Axis;

// ---- Reference: the engine's one-dimensional stretch, positive lengths ----
struct Pt { int64_t x, y; };  // x on the source axis, y on the destination axis
struct Box { int64_t left, top, right, bottom; };

int Outcode(Pt p, const Box& c) {
  int out = 0;
  if (p.x < c.left) out |= 1; else if (p.x >= c.right) out |= 2;
  if (p.y < c.top) out |= 4; else if (p.y >= c.bottom) out |= 8;
  return out;
}

// clip_line for a line whose coordinates both increase.
bool ClipLine(Pt start, Pt end, const Box& clip, int64_t dx, int64_t dy, int64_t bias,
              bool xmajor, Pt* p1, Pt* p2) {
  *p1 = start;
  *p2 = end;
  int so = Outcode(start, clip), eo = Outcode(end, clip);
  for (;;) {
    if (so == 0 && eo == 0) return true;
    if (so & eo) return false;
    int64_t m, n;
    if (so & 1) {
      m = clip.left - start.x;
      n = xmajor ? (m * 2 * dy + bias + dx - 1) / (2 * dx) : (m * 2 * dy - bias - dy) / (2 * dx) + 1;
      *p1 = {clip.left, start.y + n};
      so = Outcode(*p1, clip);
    } else if (so & 4) {
      n = clip.top - start.y;
      m = xmajor ? (n * 2 * dx - bias - dx) / (2 * dy) + 1 : (n * 2 * dx + bias + dy - 1) / (2 * dy);
      *p1 = {start.x + m, clip.top};
      so = Outcode(*p1, clip);
    } else if (so != 0) {
      return false;  // start beyond the right or bottom edge: not met for these lines
    } else if (eo & 2) {
      m = end.x - clip.right + 1;
      n = xmajor ? (m * 2 * dy - bias + dx) / (2 * dx) : (m * 2 * dy + bias - dy - 1) / (2 * dx) + 1;
      *p2 = {clip.right - 1, end.y - n};
      eo = Outcode(*p2, clip);
    } else if (eo & 8) {
      n = end.y - clip.bottom + 1;
      m = xmajor ? (n * 2 * dx + bias - dx - 1) / (2 * dy) + 1 : (n * 2 * dx - bias + dy) / (2 * dy);
      *p2 = {end.x - m, clip.bottom - 1};
      eo = Outcode(*p2, clip);
    } else {
      return false;
    }
  }
}

// calc_1d_stretch_params and the row loop: destination pixel -> source pixel.
std::map<int64_t, int64_t> EngineStretch(Axis axis, int64_t dstStart, int64_t dstLen,
                                         int64_t dstVisStart, int64_t dstVisEnd,
                                         int64_t srcStart, int64_t srcLen, int64_t srcVisStart,
                                         int64_t srcVisEnd) {
  std::map<int64_t, int64_t> shown;
  const int64_t dy = dstLen, dx = srcLen;
  const bool xmajor = dx > dy;
  const int64_t bias = xmajor ? dy - dx : dx - dy;
  const Pt start{srcStart, dstStart}, end{srcStart + srcLen, dstStart + dstLen};
  Pt a, b;
  if (!ClipLine(start, end, {srcVisStart, dstVisStart, srcVisEnd, dstVisEnd}, dx, dy, bias,
                xmajor, &a, &b)) {
    return shown;
  }
  const int64_t m = a.x - start.x, n = a.y - start.y;
  int64_t err, add1, add2, length;
  if (xmajor) {
    err = 3 * dy - 2 * dx + m * 2 * dy - n * 2 * dx;
    add1 = 2 * dy - 2 * dx;
    add2 = 2 * dy;
    length = b.x - a.x;
  } else {
    err = 3 * dx - 2 * dy + n * 2 * dx - m * 2 * dy;
    add1 = 2 * dx - 2 * dy;
    add2 = 2 * dx;
    length = b.y - a.y;
  }
  if (end.x != b.x || end.y != b.y) ++length;
  int64_t s = a.x, d = a.y;
  bool newRun = true;
  while (length-- > 0) {
    if (!xmajor) {  // stretch_row, or a new or copied destination row
      shown[d] = s;
      ++d;
      if (err > 0) { ++s; err += add1; } else err += add2;
    } else {  // shrink_row writes every source pixel; rows draw only the first of a run
      if (axis == Axis::kColumns || newRun) shown[d] = s;
      newRun = false;
      ++s;
      if (err > 0) { ++d; newRun = true; err += add1; } else err += add2;
    }
  }
  return shown;
}

// The whole StretchDIBits path on one axis: the source visible range is the
// picture, the destination's is the clip box; both are narrowed as
// intersect_vis_rectangles does before the stretch.
std::map<int64_t, int64_t> EnginePaint(Axis axis, int64_t picture, int64_t srcStart,
                                       int64_t srcLen, int64_t dstStart, int64_t dstLen,
                                       int64_t clipStart, int64_t clipEnd) {
  int64_t sv0 = std::max<int64_t>(0, srcStart), sv1 = std::min(picture, srcStart + srcLen);
  int64_t dv0 = std::max(clipStart, dstStart), dv1 = std::min(clipEnd, dstStart + dstLen);
  if (sv1 <= sv0 || dv1 <= dv0) return {};
  if (srcLen != dstLen) {
    int64_t l = (sv0 - srcStart) * dstLen / srcLen + dstStart - 1;
    int64_t r = (sv1 - srcStart) * dstLen / srcLen + dstStart + 1;
    dv0 = std::max(dv0, l);
    dv1 = std::min(dv1, r);
    if (dv1 <= dv0) return {};
    l = srcStart + (dv0 - dstStart) * srcLen / dstLen - 1;
    r = srcStart + (dv1 - dstStart) * srcLen / dstLen + 1;
    sv0 = std::max(sv0, l);
    sv1 = std::min(sv1, r);
    if (sv1 <= sv0) return {};
  }
  return EngineStretch(axis, dstStart, dstLen, dv0, dv1, srcStart, srcLen, sv0, sv1);
}

uint32_t Lcg(uint32_t* x) {
  *x = *x * 1664525u + 1013904223u;
  return *x >> 8;
}

TEST(StretchMap, ClosedFormAgreesWithTheEngineForEveryClip) {
  uint32_t seed = 12345;
  for (int round = 0; round < 40000; ++round) {
    const Axis axis = (round & 1) ? Axis::kRows : Axis::kColumns;
    const int64_t srcLen = 1 + Lcg(&seed) % 120;
    const int64_t dstLen = 1 + Lcg(&seed) % ((round % 3 == 0) ? 1200 : 120);
    const int64_t srcStart = Lcg(&seed) % 4;
    const int64_t picture = srcStart + srcLen + Lcg(&seed) % 3;
    const int64_t dstStart = static_cast<int64_t>(Lcg(&seed) % 600) - 300;
    const int64_t clipStart = static_cast<int64_t>(Lcg(&seed) % 400) - 100;
    const int64_t clipEnd = clipStart + 1 + Lcg(&seed) % 400;
    const auto engine =
        EnginePaint(axis, picture, srcStart, srcLen, dstStart, dstLen, clipStart, clipEnd);
    const int64_t first = std::max(clipStart, dstStart);
    const int64_t last = std::min(clipEnd, dstStart + dstLen);
    for (int64_t d = first; d < last; ++d) {
      const auto it = engine.find(d);
      ASSERT_NE(it, engine.end()) << "pixel " << d << " left unpainted";
      ASSERT_EQ(sampling::SourceFor(axis, srcStart, srcLen, dstStart, dstLen, d), it->second)
          << (axis == Axis::kRows ? "rows " : "columns ") << srcLen << " -> " << dstLen
          << " from " << srcStart << " at " << dstStart << ", pixel " << d << ", clip "
          << clipStart << ".." << clipEnd;
    }
  }
}

TEST(StretchMap, KnownReductionsAndEnlargements) {
  struct Case { Axis axis; int64_t s, d; std::vector<int64_t> want; const char* what; };
  const Case cases[] = {
      {Axis::kColumns, 10, 3, {2, 6, 9}, "1:3 of 10 columns: the last of each run"},
      {Axis::kRows, 10, 3, {0, 3, 7}, "1:3 of 10 rows: the first of each run"},
      {Axis::kColumns, 9, 3, {2, 5, 8}, "exact 1:3 columns"},
      {Axis::kRows, 9, 3, {0, 3, 6}, "exact 1:3 rows"},
      {Axis::kColumns, 5, 1, {4}, "a single destination column"},
      {Axis::kRows, 5, 1, {0}, "a single destination row"},
      {Axis::kColumns, 2, 6, {0, 0, 0, 1, 1, 1}, "3:1 replicates"},
      {Axis::kRows, 3, 10, {0, 0, 0, 1, 1, 1, 1, 2, 2, 2}, "3 onto 10"},
      {Axis::kColumns, 4, 4, {0, 1, 2, 3}, "1:1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sampling::AxisMap(c.axis, 0, c.s, 0, c.d, 0, c.d), c.want) << c.what;
  }
  // Translation: a source origin and a destination origin shift the map.
  EXPECT_EQ(sampling::AxisMap(Axis::kColumns, 7, 10, -5, 3, -5, -2),
            (std::vector<int64_t>{9, 13, 16}));
  // Outside the destination, or no length: no source.
  EXPECT_EQ(sampling::SourceFor(Axis::kColumns, 0, 10, 0, 3, 3), -1);
  EXPECT_EQ(sampling::SourceFor(Axis::kColumns, 0, 10, 0, 3, -1), -1);
  EXPECT_EQ(sampling::SourceFor(Axis::kRows, 0, 0, 0, 3, 0), -1);
  // The largest stretch GDI takes stays exact in 64 bits.
  const int64_t big = (int64_t{1} << 31) - 1;
  EXPECT_EQ(sampling::SourceFor(Axis::kColumns, 0, big, 0, 1, 0), big - 1);
  EXPECT_EQ(sampling::SourceFor(Axis::kRows, 0, 1, 0, big, big - 1), 0);
}

// ---- The sampler against a whole-picture stretch ----
struct Picture {
  int32_t w, h;
  uint16_t bits;
  bool topDown;
  uint64_t stride;
  std::vector<uint8_t> bytes;
  uint32_t Index(int64_t x, int64_t topRow) const {
    const uint64_t stored = topDown ? topRow : h - 1 - topRow;
    const uint8_t* row = bytes.data() + stored * stride;
    if (bits == 8) return row[x];
    if (bits == 4) return (x & 1) ? row[x / 2] & 15 : row[x / 2] >> 4;
    return (row[x / 8] >> (7 - x % 8)) & 1;
  }
};

Picture MakePicture(int32_t w, int32_t h, uint16_t bits, bool topDown) {
  Picture p{w, h, bits, topDown, bmp::PaddedRowBytes(w, bits), {}};
  p.bytes.resize(p.stride * h);
  uint32_t seed = static_cast<uint32_t>(w * 31 + h * 7 + bits);
  for (auto& b : p.bytes) b = static_cast<uint8_t>(Lcg(&seed));
  return p;
}

uint32_t SampledIndex(const sampling::Sampled& s, uint16_t bits, int64_t x, int64_t y) {
  const uint8_t* row = s.pixels.data() + (s.height - 1 - y) * s.rowStride;
  if (bits == 8) return row[x];
  if (bits == 4) return (x & 1) ? row[x / 2] & 15 : row[x / 2] >> 4;
  return (row[x / 8] >> (7 - x % 8)) & 1;
}

TEST(Sampler, VisiblePartEqualsTheEnginesWholePicture) {
  for (uint16_t bits : {1, 4, 8}) {
    for (bool topDown : {false, true}) {
      const Picture p = MakePicture(37, 23, bits, topDown);
      sampling::SourceRows rows{p.bytes.data(), p.bytes.size(), p.w, p.h, bits, p.stride, topDown};
      for (int k : {-7, -3, -2, 2, 5}) {  // negative: reduced k times
        const int64_t dw = k < 0 ? p.w / -k : p.w * k, dh = k < 0 ? p.h / -k : p.h * k;
        sampling::Stretch st{0, 0, p.w, p.h, -3, 11, dw, dh, 0, 12, 9 + dw / 2, 15 + dh};
        sampling::Sampled out;
        ASSERT_TRUE(sampling::Sample(rows, st, 1 << 20, &out));
        const auto cols = EnginePaint(Axis::kColumns, p.w, 0, p.w, st.dstX, dw, -1000, 1000);
        const auto lines = EnginePaint(Axis::kRows, p.h, 0, p.h, st.dstY, dh, -1000, 1000);
        const int64_t left = std::max(st.visLeft, st.dstX), top = std::max(st.visTop, st.dstY);
        ASSERT_EQ(out.width, std::min(st.visRight, st.dstX + dw) - left);
        ASSERT_EQ(out.height, std::min(st.visBottom, st.dstY + dh) - top);
        for (int64_t y = 0; y < out.height; ++y) {
          for (int64_t x = 0; x < out.width; ++x) {
            ASSERT_EQ(SampledIndex(out, bits, x, y),
                      p.Index(cols.at(left + x), lines.at(top + y)))
                << bits << " bits, top-down " << topDown << ", zoom " << k << " at " << x
                << "," << y;
          }
        }
      }
    }
  }
}

TEST(Sampler, RefusesRowsThatDoNotHoldThePicture) {
  const Picture p = MakePicture(16, 8, 8, false);
  sampling::SourceRows rows{p.bytes.data(), p.bytes.size() - 1, 16, 8, 8, p.stride, false};
  sampling::Stretch st{0, 0, 16, 8, 0, 0, 8, 4, 0, 0, 8, 4};
  sampling::Sampled out;
  EXPECT_FALSE(sampling::Sample(rows, st, 1 << 20, &out));
  rows.size = p.bytes.size();
  st.srcWidth = 17;  // a source rectangle wider than the picture
  EXPECT_FALSE(sampling::Sample(rows, st, 1 << 20, &out));
  st.srcWidth = 16;
  EXPECT_FALSE(sampling::Sample(rows, st, 8, &out)) << "result beyond the byte limit";
  EXPECT_TRUE(sampling::Sample(rows, st, 1 << 20, &out));
  EXPECT_EQ(out.rowStride, 8u);
  st.visLeft = 100;  // nothing of the destination wanted
  EXPECT_TRUE(sampling::Sample(rows, st, 1 << 20, &out));
  EXPECT_TRUE(out.pixels.empty());
}

// RLE rows read through the stream's row index sample exactly as the same
// picture decoded whole, at reductions, 1:1 and enlargements (where rows repeat).
TEST(Sampler, RleRowsThroughTheIndexEqualTheDecodedPicture) {
  uint32_t seed = 99;
  for (int round = 0; round < 60; ++round) {
    const uint16_t bits = round % 2 ? 4 : 8;
    const int32_t w = 5 + Lcg(&seed) % 60, h = 3 + Lcg(&seed) % 40;
    std::vector<uint8_t> src(2 * (20 + Lcg(&seed) % 200));
    for (uint8_t& b : src) b = Lcg(&seed) % 4 == 0 ? static_cast<uint8_t>(Lcg(&seed) % 3) : static_cast<uint8_t>(Lcg(&seed));
    const uint64_t stride = bmp::PaddedRowBytes(w, bits);
    std::vector<uint8_t> decoded(stride * h, 0);
    rle::Decode(src.data(), src.size(), bits, w, h, stride, decoded.data(), decoded.size());
    rle::RowIndex index;
    ASSERT_TRUE(index.Build(src.data(), src.size(), bits, w, h));
    const sampling::SourceRows plain{decoded.data(), decoded.size(), w, h, bits, stride, false};
    const sampling::SourceRows coded{src.data(), src.size(), w, h, bits, stride, false, &index};
    for (int k : {-4, -2, 1, 3}) {
      const int64_t dw = k < 0 ? w / -k + 1 : w * k, dh = k < 0 ? h / -k + 1 : h * k;
      const sampling::Stretch st{0, 0, w, h, -2, 5, dw, dh, 1, 6, 3 + dw / 2, 5 + dh};
      sampling::Sampled want, got;
      ASSERT_TRUE(sampling::Sample(plain, st, 1 << 20, &want));
      ASSERT_TRUE(sampling::Sample(coded, st, 1 << 20, &got));
      ASSERT_EQ(got.pixels, want.pixels) << "round " << round << ", zoom " << k;
    }
    sampling::Sampled none;
    const sampling::SourceRows other{src.data(), src.size() - 2, w, h, bits, stride, false, &index};
    EXPECT_FALSE(sampling::Sample(other, sampling::Stretch{0, 0, w, h, 0, 0, w, h, 0, 0, w, h}, 1 << 20, &none))
        << "an index of another stream";
  }
}

// A reduction of a very wide RLE picture reads each row in parts of at most
// 2^16 source columns; what it samples is still the decoded picture's.
TEST(Sampler, WideRleRowsAreReadInParts) {
  constexpr int32_t w = 300001, h = 3;
  for (uint16_t bits : {4, 8}) {
    std::vector<uint8_t> src;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0, n = 0; x < w; x += 255, ++n) {
        src.insert(src.end(), {255, static_cast<uint8_t>(n * 7 + y * 3 + (n >> 4))});
      }
      src.insert(src.end(), {0, 0});
    }
    const uint64_t stride = bmp::PaddedRowBytes(w, bits);
    std::vector<uint8_t> decoded(stride * h, 0);
    rle::Decode(src.data(), src.size(), bits, w, h, stride, decoded.data(), decoded.size());
    rle::RowIndex index;
    ASSERT_TRUE(index.Build(src.data(), src.size(), bits, w, h));
    const sampling::SourceRows plain{decoded.data(), decoded.size(), w, h, bits, stride, false};
    const sampling::SourceRows coded{src.data(), src.size(), w, h, bits, stride, false, &index};
    for (int64_t reduce : {3, 40, 1000}) {
      const int64_t dw = w / reduce;
      const sampling::Stretch st{0, 0, w, h, -7, 0, dw, h, 0, 0, std::min<int64_t>(dw, 4000), h};
      sampling::Sampled want, got;
      ASSERT_TRUE(sampling::Sample(plain, st, 1 << 20, &want));
      ASSERT_TRUE(sampling::Sample(coded, st, 1 << 20, &got));
      ASSERT_EQ(got.pixels, want.pixels) << bits << " bits, 1:" << reduce;
    }
  }
}

}  // namespace
