// Throughput of the core's heavy paths on pictures of 16384 x 8192 pixels at
// 8 and 4 bits, beside memcpy and one fwrite of the same bytes measured in the
// same run: the shuffler's pixel remap (and of the 8-bit picture RLE8-encoded),
// the header checks and lock rules, and
// the TIFF writer to a file in /dev/shm. Ends with the ratios that matter:
// remap against memcpy, TIFF writer against one fwrite.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/tiff_layout.h"
#include "mirtav00/core/shuffle.h"
#include "tests/bench/figure.h"

namespace {

constexpr int32_t kWidth = 16384;
constexpr int32_t kHeight = 8192;

struct Picture {
  std::vector<uint8_t> block;
  bmp::FileHeader fh;
  bmp::BlockLayout layout;
  int32_t order[256] = {};
  shuffle::PaletteEntry palette[256];
};

// A bottom-up picture with its full colour table, pixels of every index.
Picture* MakePicture(uint16_t bits) {
  auto* p = new Picture;
  const uint32_t colours = 1u << bits;
  const uint64_t stride = bmp::PaddedRowBytes(kWidth, bits);
  const uint64_t pixelOffset = bmp::kInfoHeaderSize + 4 * colours;
  p->block.assign(pixelOffset + stride * kHeight, 0);
  uint8_t* h = p->block.data();
  bmp::PutU32(h + bmp::kBiSize, bmp::kInfoHeaderSize);
  bmp::PutU32(h + bmp::kBiWidth, kWidth);
  bmp::PutU32(h + bmp::kBiHeight, kHeight);
  bmp::PutU16(h + bmp::kBiPlanes, 1);
  bmp::PutU16(h + bmp::kBiBitCount, bits);
  for (uint32_t i = 0; i < colours; ++i) {
    h[40 + 4 * i] = static_cast<uint8_t>(i);
    h[41 + 4 * i] = static_cast<uint8_t>(255 - i);
    h[42 + 4 * i] = static_cast<uint8_t>(i * 5);
  }
  uint32_t x = 12345;
  for (uint64_t i = pixelOffset; i < p->block.size(); ++i) {
    x = x * 1664525u + 1013904223u;
    h[i] = static_cast<uint8_t>(x >> 24);
  }
  p->fh.type = bmp::kMagicBM;
  p->fh.totalSize = static_cast<uint32_t>(bmp::kFileHeaderSize + p->block.size());
  p->fh.pixelOffset = static_cast<uint32_t>(bmp::kFileHeaderSize + pixelOffset);
  if (bmp::ApplyLockRules(p->block.data(), p->block.size(), p->fh, &p->layout) !=
      bmp::BlockCheck::kOk) {
    std::fprintf(stderr, "the benchmark picture was refused by the lock rules\n");
    std::exit(1);
  }
  auto s = std::make_unique<shuffle::Shuffler>();
  s->BuildOrder(static_cast<int>(colours), 25, 30);
  std::memcpy(p->order, s->OrderMap, sizeof p->order);
  return p;
}

Picture& PictureOf(int bits) {
  static Picture* eight = MakePicture(8);
  static Picture* four = MakePicture(4);
  return bits == 8 ? *eight : *four;
}

// The 8-bit picture RLE8-encoded row by row: runs of 3 or more equal bytes
// as encoded runs, the rest as absolute runs (single bytes as runs of 1),
// each row ended by end of line, the last by end of bitmap.
Picture* MakeRle8Picture() {
  const Picture& raw = PictureOf(8);
  auto* p = new Picture;
  const uint64_t tableEnd = bmp::kInfoHeaderSize + 4 * 256;
  p->block.assign(raw.block.begin(), raw.block.begin() + tableEnd);
  const uint8_t* rows = raw.block.data() + raw.layout.pixelOffset;
  for (int32_t y = 0; y < kHeight; ++y) {
    const uint8_t* r = rows + static_cast<uint64_t>(y) * raw.layout.rowStride;
    int32_t x = 0;
    while (x < kWidth) {
      int32_t same = 1;
      while (x + same < kWidth && same < 255 && r[x + same] == r[x]) ++same;
      if (same >= 3) {
        p->block.insert(p->block.end(), {static_cast<uint8_t>(same), r[x]});
        x += same;
        continue;
      }
      int32_t n = 0;
      while (x + n < kWidth && n < 254 &&
             !(x + n + 2 < kWidth && r[x + n] == r[x + n + 1] && r[x + n] == r[x + n + 2])) {
        ++n;
      }
      if (n < 3) {
        for (int32_t i = 0; i < n; ++i) p->block.insert(p->block.end(), {1, r[x + i]});
      } else {
        p->block.insert(p->block.end(), {0, static_cast<uint8_t>(n)});
        p->block.insert(p->block.end(), r + x, r + x + n);
        if (n & 1) p->block.push_back(0);
      }
      x += n;
    }
    p->block.insert(p->block.end(), {0, static_cast<uint8_t>(y + 1 == kHeight ? 1 : 0)});
  }
  uint8_t* h = p->block.data();
  bmp::PutU32(h + bmp::kBiCompression, bmp::kBiRle8);
  bmp::PutU32(h + bmp::kBiSizeImage, static_cast<uint32_t>(p->block.size() - tableEnd));
  p->fh.type = bmp::kMagicBM;
  p->fh.totalSize = static_cast<uint32_t>(bmp::kFileHeaderSize + p->block.size());
  p->fh.pixelOffset = static_cast<uint32_t>(bmp::kFileHeaderSize + tableEnd);
  if (bmp::ApplyLockRules(p->block.data(), p->block.size(), p->fh, &p->layout) !=
      bmp::BlockCheck::kOk) {
    std::fprintf(stderr, "the RLE8 benchmark picture was refused by the lock rules\n");
    std::exit(1);
  }
  std::memcpy(p->order, raw.order, sizeof p->order);
  return p;
}

std::string ShmPath(const char* what) {
  return "/dev/shm/bench_core_" + std::to_string(getpid()) + "_" + what;
}

class FileSink final : public tiff::ByteSink {
 public:
  explicit FileSink(std::FILE* f) : f_(f) {}
  bool Put(const uint8_t* data, size_t n) override { return std::fwrite(data, 1, n, f_) == n; }

 private:
  std::FILE* f_;
};

void BM_Memcpy(benchmark::State& state) {
  Picture& p = PictureOf(static_cast<int>(state.range(0)));
  const size_t n = static_cast<size_t>(p.layout.pixelBytes);
  std::vector<uint8_t> dst(n, 1);
  for (auto _ : state) {
    std::memcpy(dst.data(), p.block.data() + p.layout.pixelOffset, n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
}

void BM_Fwrite(benchmark::State& state) {
  Picture& p = PictureOf(static_cast<int>(state.range(0)));
  const size_t n = static_cast<size_t>(p.layout.pixelBytes);
  const std::string path = ShmPath("raw");
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) { state.SkipWithError("cannot create the file in /dev/shm"); break; }
    const bool ok = std::fwrite(p.block.data() + p.layout.pixelOffset, 1, n, f) == n;
    if (std::fclose(f) != 0 || !ok) { state.SkipWithError("fwrite failed"); break; }
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
}

void BM_Remap(benchmark::State& state) {
  Picture& p = PictureOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    // The order is a permutation, so remapping again and again stays valid.
    if (!shuffle::ApplyToPicture(p.block.data(), p.block.size(), p.layout, p.palette, p.order)) {
      state.SkipWithError("remap refused the picture");
      break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.layout.pixelBytes));
}

// Randomize PLT's remap of the same picture RLE8-compressed: a walk over its
// codes that checks the stream whole, then one that remaps it.
void BM_RemapRle8(benchmark::State& state) {
  static Picture* rle = MakeRle8Picture();
  Picture& p = *rle;
  for (auto _ : state) {
    if (!shuffle::ApplyToPicture(p.block.data(), p.block.size(), p.layout, p.palette, p.order)) {
      state.SkipWithError("remap refused the RLE8 picture");
      break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.layout.pixelBytes));
}

void BM_HeaderChecksAndLockRules(benchmark::State& state) {
  Picture& p = PictureOf(static_cast<int>(state.range(0)));
  uint8_t fileHeader[bmp::kFileHeaderSize] = {};
  bmp::PutU16(fileHeader, p.fh.type);
  bmp::PutU32(fileHeader + 2, p.fh.totalSize);
  bmp::PutU32(fileHeader + 10, p.fh.pixelOffset);
  for (auto _ : state) {
    benchmark::DoNotOptimize(fileHeader);
    const bmp::FileHeader fh = bmp::ParseFileHeader(fileHeader);
    bmp::BlockLayout layout;
    const bool ok = bmp::FileHeaderSizeIsSound(fh) &&
                    bmp::ApplyLockRules(p.block.data(), p.block.size(), fh, &layout) ==
                        bmp::BlockCheck::kOk;
    benchmark::DoNotOptimize(layout);
    if (!ok) { state.SkipWithError("the picture was refused"); break; }
  }
  // Bytes of the block the checks vouch for: the rate shows they never walk the pixels.
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.block.size()));
}

void BM_WriteTiff(benchmark::State& state) {
  Picture& p = PictureOf(static_cast<int>(state.range(0)));
  const std::string path = ShmPath("tif");
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) { state.SkipWithError("cannot create the file in /dev/shm"); break; }
    FileSink sink(f);
    const bool ok = tiff::WriteTiff(p.block.data(), p.block.size(), p.layout, sink) ==
                    tiff::TiffResult::kOk;
    if (std::fclose(f) != 0 || !ok) { state.SkipWithError("the TIFF was not written"); break; }
  }
  std::remove(path.c_str());
  // The pixel bytes, as for fwrite: the front part and colour map add under 2 KiB.
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * p.layout.pixelBytes));
}

BENCHMARK(BM_Memcpy)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
// Every file write starts from an empty file, as a save does; the first ones
// also fault in tmpfs pages, so these two run longer to settle.
BENCHMARK(BM_Fwrite)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_Remap)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RemapRle8)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HeaderChecksAndLockRules)->Arg(8)->Arg(4)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_WriteTiff)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// Console output as usual; the time per iteration of each run is kept for the
// ratios. Both members of a pair move the same bytes, so the ratio of their
// times is the ratio of their rates. CPU time is shown beside wall time
// because the machine is shared and wall time suffers from other load.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Times { double real = 0, cpu = 0; };
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With --benchmark_repetitions the median stands for the benchmark.
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (r.run_type == Run::RT_Aggregate && !median) continue;
      const std::string key = r.run_name.function_name + "/" + r.run_name.args;
      if (median || medianSeen.count(key) == 0)
        times[key] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
      if (median) medianSeen.insert(key);
    }
  }
  std::map<std::string, Times> times;
  std::set<std::string> medianSeen;
};

void PrintRatio(const RatioReporter& r, const std::string& slow, const std::string& fast,
                double target) {
  const auto s = r.times.find(slow), f = r.times.find(fast);
  if (s == r.times.end() || f == r.times.end() || f->second.real <= 0 || f->second.cpu <= 0) {
    std::printf("%-18s no figures against %s\n", slow.c_str(), fast.c_str());
    return;
  }
  const double wall = s->second.real / f->second.real;
  const double cpu = s->second.cpu / f->second.cpu;
  std::printf("%-18s %5.2fx the time of %-12s (cpu %5.2fx); target %.0fx: %s\n", slow.c_str(),
              wall, fast.c_str(), cpu, target, wall <= target ? "met" : "MISSED");
  bench::PrintFigure(("core " + slow).c_str(), s->second.real, fast.c_str(),
                     f->second.real, "ms", target);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  for (const char* bits : {"8", "4"}) {
    const std::string b = bits;
    PrintRatio(reporter, "BM_Remap/" + b, "BM_Memcpy/" + b, 5);
    PrintRatio(reporter, "BM_WriteTiff/" + b, "BM_Fwrite/" + b, 2);
  }
  // Randomize PLT of the same picture, RLE8 against uncompressed.
  PrintRatio(reporter, "BM_RemapRle8/8", "BM_Remap/8", 2);
  benchmark::Shutdown();
  return 0;
}
