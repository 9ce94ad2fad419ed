// An indexed PNG as the picture both programs work on: its file read once
// and kept as read (the saves patch or rebuild it), its chunks checked, and
// its pixels decoded through the imaging component into the reader's
// candidate block, laid out as the BMP the block would hold: a 40-byte
// header, PLTE as the colour table at its length, the rows bottom-up at 1, 4
// or 8 bits (a 2-bit picture widened to 4 bits, the indices the same). The
// windows and commands then see a picture like any other; only opening and
// saving know the container.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "common/base/core/message.h"
#include "common/bitmap/core/png_chunks.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/png_codec.h"

// The PNG a picture came from, as Open read it.
struct PngSource {
  std::vector<uint8_t> bytes;  // the whole file
  png::PngLayout layout;       // its chunks
  void Clear() {
    bytes.clear();
    bytes.shrink_to_fit();
    layout = png::PngLayout();
  }
};

enum class PngRead {
  kOk,
  kNotIndexed,  // a sound PNG of grey or full colours: no colour table
  kDamaged,     // a chunk refused (signature, CRC, IHDR, PLTE, IDAT...), or the decoder failed
  kNoMemory,
  kUnreadable,  // the file could not be read to its end
};

// Whether a file's first bytes are the PNG signature.
bool IsPngFront(const FileFront& front);

// Reads the rest of the file (its front read already, the file positioned
// after it) into *source, checks the chunks (the compressed data must be able
// to hold the rows before anything is decoded), decodes it into the
// reader's candidate block, and checks that the decoder's size, depth and
// palette are the chunks' and every index lies within the palette. On
// anything but kOk no candidate is held and *source is cleared. Shows no
// message: PngReadMessage gives each refusal's.
PngRead ReadCandidatePng(HFILE file, const FileFront& front, PngSource* source);

// The message of a refusal (not of kOk).
const Message& PngReadMessage(PngRead read);

// The locked block's picture (dibLayout) as an indexed PNG of pngDepth bits
// in *encoded, its palette argb[0, count): the rows as they stand, an RLE
// picture's decoded first as it is shown. Call it between a lock and its
// unlock; kNoMemory when the decoded rows find no room.
PngResult EncodeLockedBlock(uint32_t pngDepth, const uint32_t* argb, uint32_t count, bool interlace,
                            std::vector<uint8_t>* encoded);
// The same for a block of another picture: its lock rules' layout and its
// pixels (the block's start + layout.pixelOffset), layout.pixelBytes of them.
PngResult EncodeBlockPicture(const bmp::BlockLayout& layout, const uint8_t* pixels, uint32_t pngDepth,
                             const uint32_t* argb, uint32_t count, bool interlace, std::vector<uint8_t>* encoded);

// The bits per pixel a PNG's depth is held at in the block: 2 becomes 4.
inline uint16_t BlockDepthOfPng(uint32_t pngDepth) { return static_cast<uint16_t>(pngDepth == 2 ? 4 : pngDepth); }
