// The chunk layer of indexed PNG files: the checks made before a picture is
// handed to the decoder, the editor's save (only the PLTE chunk changes) and
// the shuffler's save (the source's chunks around the pixels the encoder
// wrote in the new order). Pixels are never inflated or deflated here; the
// compressed data is only counted and moved. Plain memory only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace png {

constexpr size_t kSignatureSize = 8;
extern const uint8_t kSignature[kSignatureSize];
constexpr uint32_t kMaxLength = 0x7FFFFFFFu;  // largest chunk length, width and height

// A chunk type read big-endian: ChunkType("PLTE") == 0x504C5445.
constexpr uint32_t ChunkType(const char (&name)[5]) {
  return (uint32_t{static_cast<uint8_t>(name[0])} << 24) |
         (uint32_t{static_cast<uint8_t>(name[1])} << 16) |
         (uint32_t{static_cast<uint8_t>(name[2])} << 8) | static_cast<uint8_t>(name[3]);
}
constexpr uint32_t kIHDR = ChunkType("IHDR");
constexpr uint32_t kPLTE = ChunkType("PLTE");
constexpr uint32_t kIDAT = ChunkType("IDAT");
constexpr uint32_t kIEND = ChunkType("IEND");
constexpr uint32_t kTRNS = ChunkType("tRNS");
constexpr uint32_t kBKGD = ChunkType("bKGD");
constexpr uint32_t kHIST = ChunkType("hIST");

// The CRC of PNG and zlib. The running form starts from 0 and takes the
// previous result: Crc32Update(Crc32Update(0, a, n), b, m) == CRC of a then b.
uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t size);
inline uint32_t Crc32(const uint8_t* data, size_t size) { return Crc32Update(0, data, size); }

// What ReadPng found. Every refusal has its own value; the programs map them
// to their messages.
enum class Verdict {
  kOk,
  kBadSignature,       // the first 8 bytes are not the PNG signature
  kBadChunkLength,     // a length field above 2^31-1
  kChunkPastEnd,       // a chunk (or its length, type or CRC) runs past the end of the file
  kBadCrc,             // a chunk's CRC does not match its type and data
  kBadChunkType,       // a type byte that is not an ASCII letter
  kUnknownCritical,    // a critical chunk other than IHDR, PLTE, IDAT, IEND
  kBadIhdr,            // IHDR not first, not 13 bytes, a size of 0 or above 2^31-1, an invalid
                       // depth / colour type pair, compression or filter not 0, interlace not 0/1
  kNotIndexed,         // a sound IHDR of colour type 0, 2, 4 or 6 (any 16-bit picture too)
  kChunkMisplaced,     // a second IHDR, PLTE or tRNS; PLTE or tRNS after IDAT; tRNS before PLTE
  kPlteMissing,        // IDAT or IEND reached without PLTE
  kPlteBadLength,      // PLTE empty or its length not a multiple of 3
  kPlteTooLong,        // more than 2^depth entries
  kTrnsTooLong,        // more alpha values than PLTE has entries
  kIdatMissing,        // IEND reached without IDAT
  kIdatEmpty,          // every IDAT is empty
  kIdatNotConsecutive, // another chunk between two IDAT chunks
  kIendMissing,        // the file ends (after a whole chunk) without IEND
  kBadIend,            // IEND with data
  kTooLittleData,      // the IDAT bytes cannot inflate to the picture's rows (see MayHoldRows)
};

// An English name of the verdict, for logs and test output ("kBadCrc").
const char* VerdictName(Verdict v);

struct Chunk {
  uint32_t type = 0;
  size_t offset = 0;   // of its length field; the data starts 8 bytes later
  uint32_t length = 0; // of its data; the whole chunk is length + 12 bytes
};

// A file ReadPng accepted (kOk), or the IHDR of one it refused as kNotIndexed.
struct PngLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bitDepth = 0;
  uint8_t colourType = 0;
  uint8_t interlace = 0;        // 1: Adam7
  uint32_t paletteCount = 0;    // PLTE entries, 1..2^bitDepth
  size_t plteOffset = 0;        // PLTE's length field
  std::vector<uint8_t> alpha;   // the tRNS bytes (entries past them are opaque); empty: none
  std::vector<Chunk> chunks;    // IHDR ... IEND in file order
  uint64_t idatBytes = 0;       // data bytes of all IDAT chunks
  size_t end = 0;               // just past IEND; bytes from here on are kept as they are
};

// Checks an indexed PNG file chunk by chunk without decoding it. Bytes after
// IEND are accepted (as common readers do) and the saves below keep them.
// Ancillary chunks other than tRNS are checked for their CRC only. A file
// whose IHDR is sound but not of colour type 3 is kNotIndexed at once,
// whatever follows, with its IHDR fields filled in. On any other refusal the
// layout's content is unspecified.
Verdict ReadPng(const uint8_t* file, size_t size, PngLayout* out);

// The filtered (uncompressed) data of a picture of `depth` bits per pixel
// (an indexed picture's bit depth): for each of the 7 Adam7 passes, or the
// one pass, rows x (1 filter byte + ceil(pass width x depth / 8)); an empty
// pass has no rows.
uint64_t RawDataBytes(uint32_t width, uint32_t height, uint32_t depth, uint32_t interlace);

// Deflate cannot expand by more than about 1032:1 (a 258-byte match in under
// 2 bits), so compressed bytes x 1032 plus 64 KiB of slack (the zlib header
// and Adler-32 are in the count; the slack lets small pictures through
// without any arithmetic at the edge) is the most any IDAT data can hold.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 64 * 1024;
bool MayHoldRows(uint64_t compressedBytes, uint64_t rawBytes);

// True when every pixel of height rows, stride bytes apart (rows packed
// most significant bits first, as the decoder hands indices back), has an
// index below paletteCount; padding bits after width pixels are not looked
// at. False also when the rows do not fit in size, stride is shorter than a
// row, or depth is not 1, 2, 4 or 8. A palette of 2^depth entries holds every
// index: true at once.
bool IndicesWithinPalette(const uint8_t* rows, size_t size, size_t stride, uint32_t width,
                          uint32_t height, uint32_t depth, uint32_t paletteCount);

// The palette as r, g, b, a quads (alpha from tRNS, 255 past it), one per
// PLTE entry. False when the layout does not describe the file.
bool PaletteEntries(const uint8_t* file, size_t size, const PngLayout& layout,
                    std::vector<uint8_t>* rgba);

// The editor's save: the file with only PLTE's data replaced by rgb (count
// r, g, b triples, count equal to the layout's palette count) and its CRC
// recomputed; every other byte, those after IEND too, stays. False, with the
// file untouched, when count differs or the layout does not describe the file.
bool PatchPaletteInPlace(uint8_t* file, size_t size, const PngLayout& layout, const uint8_t* rgb,
                         uint32_t count);
// The same into *out, a copy of the file; *out is left empty on failure.
bool PatchPalette(const uint8_t* file, size_t size, const PngLayout& layout, const uint8_t* rgb,
                  uint32_t count, std::vector<uint8_t>* out);

// Whether an ancillary chunk of this type may be carried into a file whose
// critical chunks changed: the PNG rule (the 4th type byte is lowercase) ...
bool SafeToCopy(uint32_t type);
// ... or a known chunk whose meaning does not depend on the palette's order
// (gAMA, cHRM, sRGB, iCCP, sBIT, sPLT, pHYs, tIME, cICP, mDCV, cLLI, eXIf,
// tEXt, zTXt, iTXt, oFFs, pCAL, sCAL, sTER). tRNS, bKGD and hIST are
// rewritten by AssembleReordered, not carried, so they are not listed.
bool KeepAfterReorder(uint32_t type);

// The shuffler's save. The shuffler moved palette entry i to orderMap[i] (its
// OrderMap; orderMap[oldIndex] = newIndex, for every one of the source's
// paletteCount entries), kept the first keptCount places of its table (the
// entries sent past them were removed: unused, or merged into an entry of
// the same colour) and had the encoder write the remapped pixels as
// `encoded`, a whole PNG (IHDR PLTE [tRNS] IDAT... IEND) of keptCount
// entries. Out comes the signature, then the source's chunks in the
// source's order with:
//   PLTE  the source's entries moved through orderMap, keptCount of them;
//   tRNS  the source's alpha moved the same way, cut after the last entry
//         that is not opaque (left out when every entry is opaque), in the
//         source's place; a source without tRNS gets none;
//   IDAT  the first of the source's IDAT chunks replaced by all of the
//         encoded file's IDAT chunks, the others left out;
//   bKGD  its index moved through orderMap (a removed entry's to the first
//         kept entry of the same colour and alpha); hIST its counts moved
//         likewise; either is left out when it does not fit the palette (a
//         bKGD not 1 byte, past the palette or with no such entry, a hIST
//         not 2 bytes per entry, or any hIST of a shortened palette);
//   other ancillary chunks carried byte for byte when KeepAfterReorder,
//         left out otherwise;
// and the source's bytes after IEND. IHDR, IEND and every carried chunk are
// copied byte for byte; rewritten chunks get their CRC recomputed. False,
// with *out empty, when the encoded file is refused by ReadPng, its width,
// height, depth, colour type or interlace differ from the source's, its
// palette count from keptCount, orderMap is no permutation of
// 0..paletteCount-1, keptCount is outside 1..paletteCount, or the layout
// does not describe the source.
bool AssembleReordered(const uint8_t* source, size_t sourceSize, const PngLayout& sourceLayout,
                       const uint8_t* encoded, size_t encodedSize, const int32_t* orderMap,
                       uint32_t keptCount, std::vector<uint8_t>* out);

}  // namespace png
