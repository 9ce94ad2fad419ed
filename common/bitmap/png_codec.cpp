// Indexed PNG through WIC: the PNG decoder reads the caller's bytes from an
// IWICStream over memory and its frame hands out the indices in the file's
// own 1/2/4/8bppIndexed format; the PNG encoder writes into a stream on a
// global memory block that is copied out at the end. Rows travel in bands of
// about a megabyte, so a bottom-up picture or one whose depth changes on the
// way is never held twice in full.
#include "common/bitmap/png_codec.h"

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "common/bitmap/global_memory.h"

namespace {

constexpr uint64_t kBandBytes = 1 << 20;

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return pointer; }
  T* Get() const { return pointer; }
  // For a call that hands out a new reference.
  T** Out() {
    Reset();
    return &pointer;
  }

 private:
  void Reset() {
    if (pointer != nullptr) pointer->Release();
    pointer = nullptr;
  }
  T* pointer = nullptr;
};

// COM on this thread while alive; declared before any ComPtr it serves.
class ComApartment {
 public:
  ComApartment() : started(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (started == S_OK || started == S_FALSE) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  // A thread already in the multithreaded apartment can use WIC as it is.
  bool Usable() const { return started == S_OK || started == S_FALSE || started == RPC_E_CHANGED_MODE; }

 private:
  HRESULT started;
};

struct IndexedFormat {
  const GUID* format;
  uint32_t depth;
};
const IndexedFormat kIndexedFormats[] = {
    {&GUID_WICPixelFormat1bppIndexed, 1},
    {&GUID_WICPixelFormat2bppIndexed, 2},
    {&GUID_WICPixelFormat4bppIndexed, 4},
    {&GUID_WICPixelFormat8bppIndexed, 8},
};

const GUID* FormatOfDepth(uint32_t depth) {
  for (const IndexedFormat& f : kIndexedFormats)
    if (f.depth == depth) return f.format;
  return nullptr;
}

PngResult Failure(HRESULT hr, PngResult otherwise) {
  return hr == E_OUTOFMEMORY ? PngResult::kNoMemory : otherwise;
}

HRESULT CreateFactory(ComPtr<IWICImagingFactory>* factory) {
  return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(factory->Out()));
}

uint64_t RowBytes(uint32_t width, uint32_t depth) { return (uint64_t(width) * depth + 7) / 8; }

// Whether `height` rows of rowBytes, `stride` apart, lie within `size` bytes.
bool RowsFit(size_t size, size_t stride, uint32_t height, uint64_t rowBytes) {
  if (stride < rowBytes) return false;
  if (height > 1 && uint64_t(stride) > (UINT64_MAX - rowBytes) / (height - 1)) return false;
  return uint64_t(stride) * (height - 1) + rowBytes <= size;
}

uint32_t BandRows(uint64_t bytesPerRow, uint32_t height) {
  const uint64_t rows = kBandBytes / std::max<uint64_t>(bytesPerRow, 1);
  return uint32_t(std::max<uint64_t>(1, std::min<uint64_t>(rows, height)));
}

// Where the picture's row y (from the top) starts in memory.
size_t RowOffset(uint32_t y, uint32_t height, size_t stride, bool bottomUp) {
  return size_t(bottomUp ? height - 1 - y : y) * stride;
}

uint32_t IndexAt(const uint8_t* row, uint32_t x, uint32_t depth) {
  const uint32_t perByte = 8 / depth;
  const uint32_t shift = 8 - depth * (x % perByte + 1);
  return (row[x / perByte] >> shift) & ((1u << depth) - 1);
}

// One row of `width` indices from srcDepth to dstDepth; false at the first
// index of `limit` or more. A changed depth writes whole bytes, unused bits 0.
bool RepackRow(const uint8_t* src, uint32_t srcDepth, uint8_t* dst, uint32_t dstDepth,
               uint32_t width, uint32_t limit) {
  const size_t dstBytes = size_t(RowBytes(width, dstDepth));
  if (srcDepth == dstDepth) {
    std::memcpy(dst, src, dstBytes);
    if (limit >= (1u << srcDepth)) return true;
    if (srcDepth == 8) return std::all_of(src, src + width, [limit](uint8_t i) { return i < limit; });
    for (uint32_t x = 0; x < width; ++x)
      if (IndexAt(src, x, srcDepth) >= limit) return false;
    return true;
  }
  std::memset(dst, 0, dstBytes);
  const uint32_t perByte = 8 / dstDepth;
  for (uint32_t x = 0; x < width; ++x) {
    const uint32_t index = IndexAt(src, x, srcDepth);
    if (index >= limit) return false;
    dst[x / perByte] |= uint8_t(index << (8 - dstDepth * (x % perByte + 1)));
  }
  return true;
}

}  // namespace

struct IndexedPngFrame::Objects {
  ComApartment com;  // first, so it ends after every pointer below is released
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
};

IndexedPngFrame::IndexedPngFrame() = default;
IndexedPngFrame::~IndexedPngFrame() = default;

PngResult IndexedPngFrame::Open(const uint8_t* bytes, size_t size) {
  objects.reset();
  width = height = depth = 0;
  palette.clear();
  if (bytes == nullptr || size == 0 || size > MAXDWORD) return PngResult::kBadArguments;
  try {
    std::unique_ptr<Objects> o(new Objects);
    if (!o->com.Usable()) return PngResult::kWicFailed;
    HRESULT hr = CreateFactory(&o->factory);
    if (SUCCEEDED(hr)) hr = o->factory->CreateStream(o->stream.Out());
    // The stream only reads the bytes; its signature wants them writable.
    if (SUCCEEDED(hr)) hr = o->stream->InitializeFromMemory(const_cast<BYTE*>(bytes), DWORD(size));
    if (SUCCEEDED(hr)) hr = o->factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, o->decoder.Out());
    if (FAILED(hr)) return Failure(hr, PngResult::kWicFailed);

    hr = o->decoder->Initialize(o->stream.Get(), WICDecodeMetadataCacheOnDemand);
    if (SUCCEEDED(hr)) hr = o->decoder->GetFrame(0, o->frame.Out());
    WICPixelFormatGUID format;
    if (SUCCEEDED(hr)) hr = o->frame->GetPixelFormat(&format);
    UINT w = 0, h = 0;
    if (SUCCEEDED(hr)) hr = o->frame->GetSize(&w, &h);
    if (FAILED(hr)) return Failure(hr, PngResult::kDamaged);
    if (w == 0 || h == 0 || w > INT_MAX || h > INT_MAX) return PngResult::kDamaged;
    uint32_t bits = 0;
    for (const IndexedFormat& f : kIndexedFormats)
      if (IsEqualGUID(format, *f.format)) bits = f.depth;
    if (bits == 0) return PngResult::kNotIndexed;

    // The decoder itself answers WINCODEC_ERR_PALETTEUNAVAILABLE: the frame has it.
    ComPtr<IWICPalette> table;
    hr = o->factory->CreatePalette(table.Out());
    if (FAILED(hr)) return Failure(hr, PngResult::kWicFailed);
    UINT count = 0;
    hr = o->frame->CopyPalette(table.Get());
    if (SUCCEEDED(hr)) hr = table->GetColorCount(&count);
    if (FAILED(hr)) return Failure(hr, PngResult::kDamaged);
    if (count == 0) return PngResult::kDamaged;
    std::vector<uint32_t> colours(count);
    UINT got = 0;
    hr = table->GetColors(count, colours.data(), &got);
    if (FAILED(hr) || got != count) return Failure(hr, PngResult::kDamaged);
    // Entries past 2^depth cannot be addressed by any pixel.
    colours.resize(std::min<size_t>(count, size_t(1) << bits));

    objects = std::move(o);
    width = w;
    height = h;
    depth = bits;
    palette = std::move(colours);
    return PngResult::kOk;
  } catch (const std::bad_alloc&) {
    return PngResult::kNoMemory;
  }
}

PngResult IndexedPngFrame::CopyIndexRows(uint8_t* dest, size_t size, size_t stride,
                                         uint32_t destDepth, bool bottomUp) const {
  if (!objects || dest == nullptr) return PngResult::kBadArguments;
  if (destDepth != depth && !(destDepth > depth && (destDepth == 4 || destDepth == 8)))
    return PngResult::kBadArguments;
  const uint64_t fileRow = RowBytes(width, depth);
  if (!RowsFit(size, stride, height, RowBytes(width, destDepth)) || stride > UINT_MAX)
    return PngResult::kBadArguments;
  // Rows of the file's own depth go straight into a top-down destination.
  const bool direct = destDepth == depth && !bottomUp;
  const uint32_t bandRows = BandRows(direct ? stride : fileRow, height);
  try {
    std::vector<uint8_t> band(direct ? 0 : size_t(fileRow) * bandRows);
    for (uint32_t y = 0; y < height; y += bandRows) {
      const uint32_t rows = std::min(bandRows, height - y);
      const WICRect rect = {0, INT(y), INT(width), INT(rows)};
      HRESULT hr;
      if (direct) {
        const size_t at = size_t(y) * stride;
        hr = objects->frame->CopyPixels(&rect, UINT(stride), UINT(std::min<size_t>(size - at, UINT_MAX)),
                                        dest + at);
      } else {
        hr = objects->frame->CopyPixels(&rect, UINT(fileRow), UINT(band.size()), band.data());
        for (uint32_t r = 0; SUCCEEDED(hr) && r < rows; ++r)
          RepackRow(band.data() + size_t(r) * fileRow, depth,
                    dest + RowOffset(y + r, height, stride, bottomUp), destDepth, width, 256);
      }
      if (FAILED(hr)) return Failure(hr, PngResult::kDamaged);
    }
    return PngResult::kOk;
  } catch (const std::bad_alloc&) {
    return PngResult::kNoMemory;
  }
}

PngResult EncodeIndexedPng(const IndexRows& source, uint32_t pngDepth, const uint32_t* argb,
                           uint32_t paletteCount, bool interlace, std::vector<uint8_t>* out) {
  if (out == nullptr) return PngResult::kBadArguments;
  out->clear();
  const GUID* pngFormat = FormatOfDepth(pngDepth);
  if (pngFormat == nullptr || FormatOfDepth(source.depth) == nullptr || source.rows == nullptr ||
      argb == nullptr || source.width == 0 || source.height == 0 || source.width > INT_MAX ||
      source.height > INT_MAX)
    return PngResult::kBadArguments;
  // WIC would cut a longer palette without a word.
  if (paletteCount == 0 || paletteCount > (1u << pngDepth)) return PngResult::kBadArguments;
  const uint64_t pngRow = RowBytes(source.width, pngDepth);
  if (!RowsFit(source.size, source.stride, source.height, RowBytes(source.width, source.depth)) ||
      pngRow > UINT_MAX)
    return PngResult::kBadArguments;

  try {
    ComApartment com;
    if (!com.Usable()) return PngResult::kWicFailed;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    ComPtr<IWICPalette> palette;
    HRESULT hr = CreateFactory(&factory);
    if (SUCCEEDED(hr)) hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.Out());
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out());
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(frame.Out(), options.Out());
    wchar_t interlaceName[] = L"InterlaceOption";
    PROPBAG2 option = {};
    option.pstrName = interlaceName;
    VARIANT value;
    std::memset(&value, 0, sizeof value);
    value.vt = VT_BOOL;
    value.boolVal = interlace ? VARIANT_TRUE : VARIANT_FALSE;
    if (SUCCEEDED(hr)) hr = options->Write(1, &option, &value);
    if (SUCCEEDED(hr)) hr = frame->Initialize(options.Get());
    if (SUCCEEDED(hr)) hr = frame->SetSize(source.width, source.height);
    WICPixelFormatGUID format = *pngFormat;
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, *pngFormat)) hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    std::vector<WICColor> colours(argb, argb + paletteCount);
    if (SUCCEEDED(hr)) hr = factory->CreatePalette(palette.Out());
    if (SUCCEEDED(hr)) hr = palette->InitializeCustom(colours.data(), paletteCount);
    // On the frame, before any pixels: the encoder-level SetPalette is not supported.
    if (SUCCEEDED(hr)) hr = frame->SetPalette(palette.Get());
    if (FAILED(hr)) return Failure(hr, PngResult::kWicFailed);

    const uint32_t bandRows = BandRows(pngRow, source.height);
    std::vector<uint8_t> band(size_t(pngRow) * bandRows);
    for (uint32_t y = 0; y < source.height; y += bandRows) {
      const uint32_t rows = std::min(bandRows, source.height - y);
      for (uint32_t r = 0; r < rows; ++r) {
        const uint8_t* row = source.rows + RowOffset(y + r, source.height, source.stride, source.bottomUp);
        uint8_t* packed = band.data() + size_t(r) * pngRow;
        if (!RepackRow(row, source.depth, packed, pngDepth, source.width, paletteCount))
          return PngResult::kIndexPastPalette;
      }
      hr = frame->WritePixels(rows, UINT(pngRow), UINT(size_t(pngRow) * rows), band.data());
      if (FAILED(hr)) return Failure(hr, PngResult::kWicFailed);
    }
    // Wine fails both commits (and leaves no IEND) when an index has no entry.
    hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    STATSTG stat;
    if (SUCCEEDED(hr)) hr = stream->Stat(&stat, STATFLAG_NONAME);
    HGLOBAL memory = nullptr;
    if (SUCCEEDED(hr)) hr = GetHGlobalFromStream(stream.Get(), &memory);
    if (FAILED(hr)) return Failure(hr, PngResult::kWicFailed);
    GlobalMemoryData data(memory);
    const uint8_t* bytes = static_cast<const uint8_t*>(data.Lock());
    if (bytes == nullptr || stat.cbSize.QuadPart > data.Size()) return PngResult::kWicFailed;
    out->assign(bytes, bytes + size_t(stat.cbSize.QuadPart));
    return PngResult::kOk;
  } catch (const std::bad_alloc&) {
    out->clear();
    return PngResult::kNoMemory;
  }
}
