#include "mirtav00/core/order_tools.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "common/bitmap/core/rle.h"

namespace mirtav {

namespace {

constexpr double kPi = 3.14159265358979323846;

// CIELAB (D65 white) of an sRGB colour.
struct Lab {
  double l = 0, a = 0, b = 0;
};

double Linear(int32_t channel) {
  const double c = static_cast<double>(channel & 0xFF) / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LabF(double t) {
  constexpr double d = 6.0 / 29.0;
  return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29.0;
}

// The CIELAB hue angle in degrees, 0..360.
double HueOf(const Lab& lab) {
  const double degrees = std::atan2(lab.b, lab.a) * 180.0 / kPi;
  return degrees < 0 ? degrees + 360.0 : degrees;
}

Lab LabOf(const shuffle::PaletteEntry& colour) {
  const double r = Linear(colour.red), g = Linear(colour.green), b = Linear(colour.blue);
  const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
  const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
  const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
  const double fx = LabF(x), fy = LabF(y), fz = LabF(z);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// Counts the indices of `width` pixels of one packed row.
// Counts kept in four tables of 32 bits, pixel x going to table x % 4, so
// neighbouring pixels of one colour do not wait on each other's increment;
// poured into the 64-bit counts before any table could overflow.
struct Tally {
  uint32_t counts[4][256] = {};
  uint64_t pending = 0;
  void Pour(uint64_t uses[256]) {
    for (int i = 0; i < 256; ++i) {
      uses[i] += uint64_t{counts[0][i]} + counts[1][i] + counts[2][i] + counts[3][i];
    }
    std::memset(counts, 0, sizeof counts);
    pending = 0;
  }
};

void CountRow(const uint8_t* row, uint64_t width, uint16_t bitCount, Tally& tally, uint64_t uses[256]) {
  if (tally.pending + width > (uint64_t{1} << 31)) tally.Pour(uses);
  tally.pending += width;
  if (bitCount == 8) {
    uint64_t x = 0;
    for (; x + 4 <= width; x += 4) {
      ++tally.counts[0][row[x]];
      ++tally.counts[1][row[x + 1]];
      ++tally.counts[2][row[x + 2]];
      ++tally.counts[3][row[x + 3]];
    }
    for (; x < width; ++x) ++tally.counts[0][row[x]];
    return;
  }
  for (uint64_t x = 0; x + 1 < width; x += 2) {
    ++tally.counts[0][row[x / 2] >> 4];
    ++tally.counts[1][row[x / 2] & 0x0F];
  }
  if (width % 2 != 0) ++tally.counts[2][row[width / 2] >> 4];
}

// An order from a list of entries in their new order: order[sorted[k]] = k.
void OrderOfSorted(const std::vector<int32_t>& sorted, int32_t* order) {
  for (size_t k = 0; k < sorted.size(); ++k) order[sorted[k]] = static_cast<int32_t>(k);
}

}  // namespace

bool CountUses(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout, uint64_t uses[256]) {
  std::fill(uses, uses + 256, uint64_t{0});
  if (block == nullptr || (layout.bitCount != 4 && layout.bitCount != 8) || layout.width < 0 || layout.height < 0 ||
      layout.pixelOffset > blockSize) {
    return false;
  }
  const uint64_t room = blockSize - layout.pixelOffset;
  const uint8_t* pixels = block + layout.pixelOffset;
  bool counted = false;
  if (layout.compression == bmp::kBiRle8 || layout.compression == bmp::kBiRle4) {
    counted = layout.pixelBytes <= room &&
              rle::CountIndices(pixels, static_cast<size_t>(layout.pixelBytes), layout.bitCount, layout.width,
                                layout.height, uses);
  } else if (layout.compression == bmp::kBiRgb) {
    const uint64_t width = static_cast<uint64_t>(layout.width), rows = static_cast<uint64_t>(layout.height);
    const uint64_t packed = (width * layout.bitCount + 7) / 8;
    counted = packed <= layout.rowBytes && layout.rowBytes <= layout.rowStride &&
              (rows == 0 || (layout.rowStride != 0 && rows <= room / layout.rowStride));
    Tally tally;
    for (uint64_t y = 0; counted && y < rows; ++y) CountRow(pixels + y * layout.rowStride, width, layout.bitCount, tally, uses);
    tally.Pour(uses);
  }
  if (!counted) std::fill(uses, uses + 256, uint64_t{0});
  return counted;
}

double Lightness(const shuffle::PaletteEntry& colour) { return LabOf(colour).l; }

bool SortOrder(const shuffle::PaletteEntry* table, int32_t count, SortKey key, const uint64_t* uses,
               int32_t* order) {
  if (table == nullptr || order == nullptr || count < 1 || count > shuffle::kMaxColours) return false;
  if (key == SortKey::kUse && uses == nullptr) return false;
  struct Keys {
    bool colour;   // not a grey
    int32_t sector;
    double lightness;
  };
  std::vector<Keys> keys(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const Lab lab = LabOf(table[i]);
    const double hue = HueOf(lab);
    keys[i].colour = std::hypot(lab.a, lab.b) >= kGreyChroma;
    keys[i].sector = static_cast<int32_t>(hue / kHueSector) % static_cast<int32_t>(360.0 / kHueSector);
    keys[i].lightness = lab.l;
  }
  std::vector<int32_t> sorted(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) sorted[i] = i;
  switch (key) {
    case SortKey::kHue:
      std::stable_sort(sorted.begin(), sorted.end(), [&](int32_t p, int32_t q) {
        const Keys& a = keys[p];
        const Keys& b = keys[q];
        if (a.colour != b.colour) return !a.colour;
        if (a.colour && a.sector != b.sector) return a.sector < b.sector;
        return a.lightness < b.lightness;
      });
      break;
    case SortKey::kLightness:
      std::stable_sort(sorted.begin(), sorted.end(),
                       [&](int32_t p, int32_t q) { return keys[p].lightness < keys[q].lightness; });
      break;
    case SortKey::kUse:
      std::stable_sort(sorted.begin(), sorted.end(), [&](int32_t p, int32_t q) { return uses[p] > uses[q]; });
      break;
  }
  OrderOfSorted(sorted, order);
  return true;
}

bool MoveOrder(int32_t count, int32_t from, int32_t to, int32_t* order) {
  if (order == nullptr || count < 1 || count > shuffle::kMaxColours || from < 0 || from >= count || to < 0 ||
      to >= count) {
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    order[i] = i;
    if (from < to && i > from && i <= to) order[i] = i - 1;
    if (to < from && i >= to && i < from) order[i] = i + 1;
  }
  order[from] = to;
  return true;
}

namespace {

// Kept entries to the front and the others after them, each in its order;
// the number kept.
int32_t KeptFirst(const bool* keep, int32_t count, int32_t* order) {
  int32_t kept = 0;
  for (int32_t i = 0; i < count; ++i) kept += keep[i] ? 1 : 0;
  int32_t front = 0, back = kept;
  for (int32_t i = 0; i < count; ++i) order[i] = keep[i] ? front++ : back++;
  return kept;
}

}  // namespace

int32_t UnusedRemovalOrder(const uint64_t uses[256], int32_t count, int32_t* order) {
  if (uses == nullptr || order == nullptr || count < 1 || count > shuffle::kMaxColours) return -1;
  bool keep[shuffle::kMaxColours] = {};
  bool any = false;
  for (int32_t i = 0; i < count; ++i) any |= keep[i] = uses[i] > 0;
  if (!any) keep[0] = true;
  return KeptFirst(keep, count, order);
}

int32_t DuplicateMergeOrder(const shuffle::PaletteEntry* table, const uint8_t* alpha, int32_t count,
                            int32_t* order, int32_t* pixelMap) {
  if (table == nullptr || order == nullptr || pixelMap == nullptr || count < 1 || count > shuffle::kMaxColours) {
    return -1;
  }
  auto same = [&](int32_t p, int32_t q) {
    return table[p].red == table[q].red && table[p].green == table[q].green && table[p].blue == table[q].blue &&
           (alpha == nullptr || alpha[p] == alpha[q]);
  };
  int32_t first[shuffle::kMaxColours];
  bool keep[shuffle::kMaxColours];
  for (int32_t i = 0; i < count; ++i) {
    first[i] = i;
    for (int32_t j = 0; j < i; ++j) {
      if (keep[j] && same(i, j)) {
        first[i] = j;
        break;
      }
    }
    keep[i] = first[i] == i;
  }
  const int32_t kept = KeptFirst(keep, count, order);
  for (int32_t i = 0; i < count; ++i) pixelMap[i] = order[first[i]];
  return kept;
}

bool IsIdentity(const int32_t* order, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    if (order[i] != i) return false;
  }
  return true;
}

}  // namespace mirtav
