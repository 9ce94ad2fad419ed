#!/usr/bin/python3
"""Test pictures made by tools that are not ours.

Writes indexed BMP files in every depth and layout the programs meet, made by
ImageMagick and Pillow, plus the layouts neither writes (a gap after the
colour table, trailing bytes, an 8-bit file listing 16 colours, RLE4, top-down,
non-zero reserved bytes, a palette holding one colour twice, the larger
headers and short tables GIMP and others write) made by plain
byte surgery on their output here. Beside each picture goes ImageMagick's own
rendering of it (NAME.ref.png, 24-bit), the reference the programs' screens and
outputs are compared with, and one line per picture in manifest.tsv:

    name  bits  width  height  colours  compression  top_down  maker  note

Usage: make_pictures.py OUTDIR [--large]   (--large adds the 16384 x 8192
8-bit picture of the benchmarks and a 70000 x 3 picture for 16-bit thumb
positions; they are big, so only the benchmarks and the view tests ask.)
Indexed PNG pictures for the PNG codec go beside them (make_png_pictures),
and those the shuffler opens and saves (make_shuffler_png_pictures).
       make_pictures.py --check-png FOLDER   (Pillow reads the PNGs the Win32
tests encoded there; see check_pngs.)
"""

import os
import struct
import subprocess
import sys
import zlib

from PIL import Image, ImageDraw, PngImagePlugin


def run(*args):
    subprocess.run(args, check=True)


def im_make(path, size, colours, extra=("-compress", "None"), fmt="bmp3", seed=7):
    """A plasma with shapes, quantised by ImageMagick to `colours` and written as BMP3."""
    w, h = size
    run("convert", "-seed", str(seed), "-size", f"{w}x{h}", "plasma:red-blue",
        "-fill", "white", "-draw", f"circle {w // 2},{h // 2} {w // 2},{h // 4}",
        "-fill", "black", "-draw", f"line 0,0 {w - 1},{h - 1}",
        "+dither", "-colors", str(colours), "-type", "Palette", *extra, f"{fmt}:{path}")


def pil_make(path, size, mode, colours):
    """A Pillow drawing: bands of every index plus diagonal marks."""
    w, h = size
    img = Image.new("P" if mode != "1" else "1", (w, h))
    if mode != "1":
        pal = []
        for i in range(colours):
            pal += [(i * 37) % 256, (i * 91 + 40) % 256, (255 - i * 13) % 256]
        img.putpalette(pal)
    d = ImageDraw.Draw(img)
    for x in range(w):
        d.line([(x, 0), (x, h - 1)], fill=(x * colours // max(w, 1)) % colours if mode != "1" else (x // 3) % 2)
    for k in range(0, w + h, 7):
        d.line([(k, 0), (k - h, h)], fill=(k // 7) % colours if mode != "1" else 1)
    img.save(path, "BMP")


def read(path):
    with open(path, "rb") as f:
        return bytearray(f.read())


def write(path, data):
    with open(path, "wb") as f:
        f.write(bytes(data))


def fields(b):
    off = struct.unpack_from("<I", b, 10)[0]
    if struct.unpack_from("<I", b, 14)[0] == 12:  # OS/2: 16-bit sizes, no compression field
        w, h, _, bits = struct.unpack_from("<HHHH", b, 18)
        return off, w, h, bits, 0, 0, 1 << bits
    w, h = struct.unpack_from("<ii", b, 18)
    bits = struct.unpack_from("<H", b, 28)[0]
    comp, size_img = struct.unpack_from("<II", b, 30)
    used = struct.unpack_from("<I", b, 46)[0]
    colours = used or (1 << bits if bits <= 8 else 0)
    return off, w, h, bits, comp, size_img, colours


def set_u32(b, pos, v):
    struct.pack_into("<I", b, pos, v)


def with_gap(src, dst, gap=12):
    """Moves the pixels `gap` bytes further: bfOffBits points past the gap."""
    b = read(src)
    off = fields(b)[0]
    out = b[:off] + bytearray([0xA5] * gap) + b[off:]
    set_u32(out, 2, len(out))
    set_u32(out, 10, off + gap)
    write(dst, out)


def with_trailing(src, dst, extra=40):
    """Bytes after the pixels that the image-size field counts."""
    b = read(src)
    off, w, h, bits, comp, size_img, colours = fields(b)
    out = b + bytearray([0x5A] * extra)
    set_u32(out, 2, len(out))
    set_u32(out, 34, len(out) - off)
    write(dst, out)


def os2_total_26(src, dst):
    """A core-header file whose total size is the two headers' size, 26, as
    some OS/2 descriptions of the format have it, with a hot spot set."""
    b = read(src)
    set_u32(b, 2, 26)
    struct.pack_into("<HH", b, 6, 3, 5)
    write(dst, b)


def top_down(src, dst):
    b = read(src)
    off, w, h, bits, comp, size_img, colours = fields(b)
    stride = ((w * bits + 31) // 32) * 4
    rows = [b[off + r * stride: off + (r + 1) * stride] for r in range(abs(h))]
    out = b[:off] + b"".join(reversed(rows)) + b[off + abs(h) * stride:]
    struct.pack_into("<i", out, 22, -abs(h))
    write(dst, out)


def reserved_bytes(src, dst):
    """Every colour-table entry's fourth byte set to a non-zero value."""
    b = read(src)
    off, w, h, bits, comp, size_img, colours = fields(b)
    for i in range(colours):
        b[54 + 4 * i + 3] = (0x11 * (i + 1)) & 0xFF or 1
    write(dst, b)


def unfilled_fields(src, dst):
    """biSizeImage and biClrUsed 0, as many writers leave them (0 means: work it out)."""
    b = read(src)
    b[34:38] = bytes(4)
    b[46:50] = bytes(4)
    write(dst, b)


def duplicate_colour(src, dst):
    """Entries 1 and 2 hold the same colour (palette-cycling art does this)."""
    b = read(src)
    b[54 + 8: 54 + 12] = b[54 + 4: 54 + 8]
    write(dst, b)


def eight_bit_listing(src, dst, listed=16):
    """An 8-bit file whose biClrUsed lists only `listed` entries, every pixel below it."""
    b = read(src)
    off, w, h, bits, comp, size_img, colours = fields(b)
    stride = ((w * bits + 31) // 32) * 4
    table = b[54:54 + 4 * listed]
    pixels = bytearray(b[off:off + abs(h) * stride])
    for i in range(len(pixels)):
        pixels[i] %= listed
    out = b[:54] + table + pixels
    set_u32(out, 2, len(out))
    set_u32(out, 10, 54 + 4 * listed)
    set_u32(out, 46, listed)
    set_u32(out, 50, 0)
    write(dst, out)


def rle4_encode_row(idx):
    out = bytearray()
    i = 0
    while i < len(idx):
        n = 1
        while i + n < len(idx) and n < 255 and idx[i + n] == idx[i]:
            n += 1
        out += bytes([n, (idx[i] << 4) | idx[i]])
        i += n
    return out + b"\x00\x00"


def rle4_from(src, dst):
    """A 4-bit RLE file from an uncompressed 4-bit one (encoded runs, end of bitmap)."""
    b = read(src)
    off, w, h, bits, comp, size_img, colours = fields(b)
    assert bits == 4 and h > 0
    stride = ((w * 4 + 31) // 32) * 4
    data = bytearray()
    for r in range(h):
        row = b[off + r * stride: off + (r + 1) * stride]
        idx = [(row[x // 2] >> (4 if x % 2 == 0 else 0)) & 15 for x in range(w)]
        data += rle4_encode_row(idx)
    data[-2:] = b"\x00\x01"
    out = b[:off] + data
    set_u32(out, 2, len(out))
    set_u32(out, 30, 2)
    set_u32(out, 34, len(data))
    write(dst, out)


def relayout(src, dst, info_size, listed=None):
    """The picture of a 40-byte-header file behind another header: the core
    header (12: 16-bit sizes, 3-byte colours), 52 or 56 bytes (masks), version
    4 (108) or 5 (124, sRGB, as GIMP writes); with `listed`, a table of only
    that many entries, every pixel's index brought below it."""
    b = read(src)
    off, w, h, bits, comp, size_img, colours = fields(b)
    assert struct.unpack_from("<I", b, 14)[0] == 40
    n = listed or colours
    stride = ((w * bits + 31) // 32) * 4
    pixels = bytearray(b[off:off + (size_img if comp else abs(h) * stride)])
    if listed:
        assert comp == 0
        for i in range(len(pixels)):
            v = pixels[i]
            pixels[i] = v % n if bits == 8 else ((v >> 4) % n) << 4 | (v & 15) % n
    table = b[54:54 + 4 * n]
    if info_size == 12:
        assert comp == 0 and h > 0
        header = struct.pack("<IHHHH", 12, w, h, 1, bits)
        table = b"".join(table[4 * i:4 * i + 3] for i in range(n))
    else:
        header = bytearray(b[14:54]) + bytearray(info_size - 40)
        set_u32(header, 0, info_size)
        set_u32(header, 20, len(pixels))
        set_u32(header, 32, n if listed else struct.unpack_from("<I", b, 46)[0])
        if info_size >= 108:
            set_u32(header, 56, 0x73524742)  # colour space "sRGB"
        if info_size == 124:
            set_u32(header, 108, 4)  # rendering intent: pictures
    offset = 14 + len(header) + len(table)
    out = bytearray(b"BM") + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    write(dst, out + header + table + pixels)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    if sys.argv[1] == "--check-png" and len(sys.argv) == 3:
        sys.exit(0 if check_pngs(sys.argv[2]) else 1)
    out = sys.argv[1]
    large = "--large" in sys.argv[2:]
    os.makedirs(out, exist_ok=True)
    made = []  # (name, maker, note)

    def p(name):
        return os.path.join(out, name)

    # ImageMagick in each depth, with even and odd widths.
    im_make(p("im1_33x20.bmp"), (33, 20), 2)
    im_make(p("im4_320x200.bmp"), (320, 200), 16)
    im_make(p("im4_101x67.bmp"), (101, 67), 16)
    im_make(p("im8_320x200.bmp"), (320, 200), 256)
    im_make(p("im8_257x131.bmp"), (257, 131), 256)
    im_make(p("im8rle_150x90.bmp"), (150, 90), 256, extra=("-compress", "RLE"))
    run("convert", "-seed", "3", "-size", "64x48", "plasma:", "-type", "TrueColor", "bmp3:" + p("im24_64x48.bmp"))
    for n in ("im1_33x20", "im4_320x200", "im4_101x67", "im8_320x200", "im8_257x131", "im8rle_150x90",
              "im24_64x48"):
        made.append((n + ".bmp", "imagemagick", ""))

    # ImageMagick's other BMP headers: its default (a 124-byte version 5
    # header, RLE8 when asked) and OS/2's 12-byte core header.
    im_make(p("imv5_8_64x40.bmp"), (64, 40), 256, fmt="bmp")
    im_make(p("imv5_4_101x67.bmp"), (101, 67), 16, fmt="bmp")
    im_make(p("imv5rle8_150x90.bmp"), (150, 90), 256, extra=("-compress", "RLE"), fmt="bmp")
    im_make(p("os2_8_64x40.bmp"), (64, 40), 256, fmt="bmp2")
    im_make(p("os2_4_101x67.bmp"), (101, 67), 16, fmt="bmp2")
    for name, size in (("imv5_8_64x40.bmp", 124), ("imv5_4_101x67.bmp", 124),
                       ("imv5rle8_150x90.bmp", 124), ("os2_8_64x40.bmp", 12), ("os2_4_101x67.bmp", 12)):
        got = struct.unpack_from("<I", read(p(name)), 14)[0]
        if got != size:
            sys.exit(f"{name}: ImageMagick wrote a {got}-byte header, not {size}")
    if fields(read(p("imv5rle8_150x90.bmp")))[4] != 1:
        sys.exit("imv5rle8_150x90.bmp: ImageMagick wrote no RLE8")
    made += [("imv5_8_64x40.bmp", "imagemagick", "version 5 header"),
             ("imv5_4_101x67.bmp", "imagemagick", "version 5 header"),
             ("imv5rle8_150x90.bmp", "imagemagick", "version 5 header, RLE8"),
             ("os2_8_64x40.bmp", "imagemagick", "core header"),
             ("os2_4_101x67.bmp", "imagemagick", "core header")]

    # Pillow: 1-bit and 8-bit (it writes no 4-bit BMP).
    pil_make(p("pil1_97x40.bmp"), (97, 40), "1", 2)
    pil_make(p("pil8_203x77.bmp"), (203, 77), "P", 256)
    # What Pillow reads back from it, for the editor's pick from the picture:
    # its 256 colours (RGB) and then every pixel's index, top row first.
    with Image.open(p("pil8_203x77.bmp")) as back:
        write(p("pil8_203x77.pillow"), bytes(back.getpalette()[:768]) + back.tobytes())
    made += [("pil1_97x40.bmp", "pillow", ""), ("pil8_203x77.bmp", "pillow", "")]

    # Layouts neither tool writes, by byte surgery on their output.
    top_down(p("im8_257x131.bmp"), p("td8_257x131.bmp"))
    top_down(p("im4_101x67.bmp"), p("td4_101x67.bmp"))
    with_gap(p("im8_257x131.bmp"), p("gap8_257x131.bmp"))
    with_gap(p("im4_101x67.bmp"), p("gap4_101x67.bmp"))
    with_trailing(p("im8_257x131.bmp"), p("trail8_257x131.bmp"))
    with_trailing(p("im4_101x67.bmp"), p("trail4_101x67.bmp"))
    reserved_bytes(p("im4_320x200.bmp"), p("resv4_320x200.bmp"))
    unfilled_fields(p("im4_101x67.bmp"), p("zero4_101x67.bmp"))
    duplicate_colour(p("im8_320x200.bmp"), p("dup8_320x200.bmp"))
    eight_bit_listing(p("im8_320x200.bmp"), p("list16_8bit_320x200.bmp"))
    rle4_from(p("im4_101x67.bmp"), p("rle4_101x67.bmp"))
    os2_total_26(p("os2_4_101x67.bmp"), p("os2t26_4_101x67.bmp"))
    # Headers and short tables as GIMP and other encoders write them.
    im_make(p("im8_100c_120x80.bmp"), (120, 80), 100)
    relayout(p("im8_100c_120x80.bmp"), p("gimp8_100_120x80.bmp"), 124, listed=100)
    relayout(p("im4_101x67.bmp"), p("v4_4_101x67.bmp"), 108)
    relayout(p("im8_257x131.bmp"), p("h52_8_257x131.bmp"), 52)
    relayout(p("im4_101x67.bmp"), p("h56_4_101x67.bmp"), 56)
    relayout(p("im8_320x200.bmp"), p("list252_8_320x200.bmp"), 40, listed=252)
    relayout(p("im4_101x67.bmp"), p("list12_4_101x67.bmp"), 40, listed=12)
    relayout(p("rle4_101x67.bmp"), p("v5rle4_101x67.bmp"), 124)
    relayout(p("im8rle_150x90.bmp"), p("v4rle8_150x90.bmp"), 108)
    made += [("td8_257x131.bmp", "surgery", "top-down"), ("td4_101x67.bmp", "surgery", "top-down"),
             ("gap8_257x131.bmp", "surgery", "gap after colour table"),
             ("gap4_101x67.bmp", "surgery", "gap after colour table"),
             ("trail8_257x131.bmp", "surgery", "trailing bytes"),
             ("trail4_101x67.bmp", "surgery", "trailing bytes"),
             ("resv4_320x200.bmp", "surgery", "reserved bytes set"),
             ("zero4_101x67.bmp", "surgery", "image size and colours used 0"),
             ("dup8_320x200.bmp", "surgery", "entries 1 and 2 equal"),
             ("list16_8bit_320x200.bmp", "surgery", "8-bit listing 16 colours"),
             ("rle4_101x67.bmp", "surgery", "RLE4"),
             ("os2t26_4_101x67.bmp", "surgery", "core header, total size 26, hot spot"),
             ("gimp8_100_120x80.bmp", "surgery", "version 5, 100 entries"),
             ("v4_4_101x67.bmp", "surgery", "version 4 header"),
             ("h52_8_257x131.bmp", "surgery", "52-byte header"),
             ("h56_4_101x67.bmp", "surgery", "56-byte header"),
             ("list252_8_320x200.bmp", "surgery", "252 entries"),
             ("list12_4_101x67.bmp", "surgery", "4-bit listing 12 colours"),
             ("v5rle4_101x67.bmp", "surgery", "version 5, RLE4"),
             ("v4rle8_150x90.bmp", "surgery", "version 4, RLE8")]

    if large:
        # ImageMagick's resource policy refuses pictures this large: Pillow draws them.
        pil_make(p("big8_16384x8192.bmp"), (16384, 8192), "P", 256)
        pil_make(p("small8_640x480.bmp"), (640, 480), "P", 256)
        pil_make(p("wide1_70000x3.bmp"), (70000, 3), "1", 2)
        made += [("big8_16384x8192.bmp", "pillow", "benchmark"),
                 ("small8_640x480.bmp", "pillow", "benchmark"),
                 ("wide1_70000x3.bmp", "pillow", "wider than 65535")]

    make_png_pictures(out, large)
    make_shuffler_png_pictures(out, large)

    with open(p("manifest.tsv"), "w") as m:
        for name, maker, note in made:
            b = read(p(name))
            off, w, h, bits, comp, size_img, colours = fields(b)
            if w <= 16000 and abs(h) <= 16000 and w * abs(h) <= 4_000_000:  # within ImageMagick's policy
                # The pixel values as ImageMagick reads them, without the gamma
                # it reads into the 52- and 56-byte headers' extra fields.
                rgb = p(name[:-4] + ".rgb")
                # ImageMagick reads a file whose total size is not its length
                # but warns, and ends with status 1: the pixels decide.
                lenient = len(b) != struct.unpack_from("<I", b, 2)[0]
                subprocess.run(["convert", p(name), "-alpha", "off", "-depth", "8", "rgb:" + rgb], check=not lenient)
                if os.path.getsize(rgb) != 3 * w * abs(h):
                    sys.exit(f"{name}: ImageMagick read no picture")
                run("convert", "-size", f"{w}x{abs(h)}", "-depth", "8", "rgb:" + rgb,
                    "png24:" + p(name[:-4] + ".ref.png"))
                os.remove(rgb)
            m.write(f"{name}\t{bits}\t{w}\t{abs(h)}\t{colours}\t{comp}\t{int(h < 0)}\t{maker}\t{note}\n")


# --- Indexed PNG pictures for the WIC codec's tests -------------------------
#
# png_manifest.tsv lists one picture a line: name and kind (indexed,
# notindexed, damaged). Beside each indexed one goes NAME.truth, the picture as
# Pillow reads it: width, height, bit depth, palette length and the palette
# (0xAARRGGBB), each a 32-bit little-endian word, then one byte per pixel, the
# top row first. `make_pictures.py --check-png FOLDER` reads every
# png_rt_*.png there with Pillow and compares it with the .truth the Win32
# tests wrote beside it.

def png_fields(path):
    """Bit depth, colour type and interlace method from IHDR."""
    b = read(path)
    return b[24], b[25], b[28]


def png_truth(path):
    """The truth of an indexed PNG as Pillow reads it."""
    img = Image.open(path)
    assert img.mode == "P", (path, img.mode)
    pal = img.getpalette()
    trns = img.info.get("transparency")
    argb = []
    for i in range(len(pal) // 3):
        if isinstance(trns, int):  # Pillow's form of a tRNS with one clear entry, the rest opaque
            alpha = 0 if i == trns else 255
        else:
            alpha = trns[i] if trns is not None and i < len(trns) else 255
        argb.append(alpha << 24 | pal[3 * i] << 16 | pal[3 * i + 1] << 8 | pal[3 * i + 2])
    w, h = img.size
    return struct.pack(f"<{4 + len(argb)}I", w, h, png_fields(path)[0], len(argb), *argb) + bytes(img.getdata())


def pil_png(path, size, colours, **save):
    """Bands of every index plus diagonal marks, saved by Pillow as PNG."""
    w, h = size
    img = Image.new("P", (w, h))
    img.putpalette(sum(([(i * 37) % 256, (i * 91 + 40) % 256, (255 - i * 13) % 256] for i in range(colours)), []))
    d = ImageDraw.Draw(img)
    for x in range(w):
        d.line([(x, 0), (x, h - 1)], fill=x * colours // w)
    for k in range(0, w + h, 5):
        d.line([(k, 0), (k - h, h)], fill=(k // 5) % colours)
    img.save(path, "PNG", **save)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def broken_idat(src, dst, keep_crc):
    """The first IDAT's deflate blocks after the zlib header made invalid (all
    ones: block type 3); its CRC made to fit, or left from the old data."""
    b = read(src)
    pos = b.index(b"IDAT") - 4
    n = struct.unpack_from(">I", b, pos)[0]
    data = b[pos + 8:pos + 10] + b"\xff" * (n - 2)
    chunk = png_chunk(b"IDAT", bytes(data))
    if keep_crc:
        chunk = chunk[:-4] + b[pos + 8 + n:pos + 12 + n]
    write(dst, b[:pos] + chunk + b[pos + 12 + n:])


def with_chunks_around(src, dst):
    """A Pillow PNG with ancillary chunks of every kind around its pixels:
    known ones (gAMA, pHYs, text) and a private safe-to-copy one before IDAT,
    a tEXt and a private unsafe-to-copy one between IDAT and IEND."""
    b = read(src)
    iend = b.rindex(b"IEND") - 4
    after = png_chunk(b"tEXt", b"Comment\0after the pixels") + png_chunk(b"prVT", b"\x01\x02")
    write(dst, b[:iend] + after + b[iend:])


def make_png_pictures(out, large=False):
    def p(name):
        return os.path.join(out, name)

    indexed = [  # name, bits and interlace the file must have
        ("png_pil1_37x9.png", 1, 0), ("png_pil2_29x7.png", 2, 0), ("png_pil4_33x10.png", 4, 0),
        ("png_pil8_41x13.png", 8, 0), ("png_pil8_trns_23x8.png", 8, 0), ("png_pil2_trns_19x5.png", 2, 0),
        ("png_im8_short5_20x10.png", 8, 0), ("png_im8_interlaced_45x31.png", 8, 1),
        ("png_im2_interlaced_13x11.png", 2, 1), ("png_im1_interlaced_9x7.png", 1, 1),
        ("png_pil4_chunks_33x10.png", 4, 0)]
    # Pillow picks the depth from the palette's length, and writes it short.
    pil_png(p("png_pil1_37x9.png"), (37, 9), 2)
    pil_png(p("png_pil2_29x7.png"), (29, 7), 3)
    pil_png(p("png_pil4_33x10.png"), (33, 10), 9)
    pil_png(p("png_pil8_41x13.png"), (41, 13), 200)
    pil_png(p("png_pil8_trns_23x8.png"), (23, 8), 40, transparency=bytes([0, 128, 255, 64]))
    pil_png(p("png_pil2_trns_19x5.png"), (19, 5), 4, transparency=bytes([200]))
    info = PngImagePlugin.PngInfo()
    info.add(b"gAMA", struct.pack(">I", 45455))
    info.add_text("Title", "chunks kept")
    info.add_itxt("Description", "\u8272\u306e\u8868", lang="ja")
    info.add(b"prVt", b"private, safe to copy")
    pil_png(p("png_pil4_plain_33x10.png"), (33, 10), 11, pnginfo=info, dpi=(96, 96))
    with_chunks_around(p("png_pil4_plain_33x10.png"), p("png_pil4_chunks_33x10.png"))
    os.remove(p("png_pil4_plain_33x10.png"))
    im_png = ("convert", "-seed", "5", "-size")
    run(*im_png, "20x10", "plasma:", "+dither", "-colors", "5", "png8:" + p("png_im8_short5_20x10.png"))
    run(*im_png, "45x31", "plasma:", "+dither", "-colors", "60", "-interlace", "PNG",
        "png8:" + p("png_im8_interlaced_45x31.png"))
    run(*im_png, "13x11", "plasma:", "+dither", "-colors", "4", "-define", "png:bit-depth=2",
        "-interlace", "PNG", "png8:" + p("png_im2_interlaced_13x11.png"))
    run(*im_png, "9x7", "plasma:", "+dither", "-colors", "2", "-define", "png:bit-depth=1",
        "-interlace", "PNG", "png8:" + p("png_im1_interlaced_9x7.png"))
    kinds = []
    for name, bits, interlace in indexed:
        got = png_fields(p(name))
        if got != (bits, 3, interlace):
            sys.exit(f"{name}: depth, colour type, interlace {got}, not {(bits, 3, interlace)}")
        write(p(name[:-4] + ".truth"), png_truth(p(name)))
        kinds.append((name, "indexed"))

    Image.new("RGB", (16, 8), (10, 200, 30)).save(p("png_rgb_16x8.png"))
    Image.new("L", (16, 8), 77).save(p("png_grey_16x8.png"))
    broken_idat(p("png_pil8_41x13.png"), p("png_bad_inflate.png"), keep_crc=False)
    broken_idat(p("png_pil8_41x13.png"), p("png_bad_crc.png"), keep_crc=True)
    kinds += [("png_rgb_16x8.png", "notindexed"), ("png_grey_16x8.png", "notindexed"),
              ("png_bad_inflate.png", "damaged"), ("png_bad_crc.png", "damaged")]
    # About 1 KB claiming 65535 x 65535 at 8 bits: its IDAT cannot hold the
    # rows. Not in the manifest: it is for the programs' refusal, not a decoder.
    ihdr = struct.pack(">IIBBBBB", 65535, 65535, 8, 3, 0, 0, 0)
    write(p("png_bomb_65535x65535.png"), b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) +
          png_chunk(b"PLTE", b"\x01\x02\x03") + png_chunk(b"IDAT", b"\x78\x9c" + bytes(998)) +
          png_chunk(b"IEND", b""))
    if large:
        # The benchmark's picture: Pillow's default compression.
        pil_png(p("big8_16384x8192.png"), (16384, 8192), 256)
    with open(p("png_manifest.tsv"), "w") as m:
        for name, kind in kinds:
            m.write(f"{name}\t{kind}\n")


# --- Indexed PNG pictures the shuffler opens, reorders and saves -------------
#
# spng_*.png, each with its ImageMagick rendering NAME.ref.png (alpha left
# out: the programs show a palette's colours), the reference its screen and
# the BMP and TIFF saved from it are compared with. The PNGs saved from them
# are judged by tests/e2e/check_shuffled_png.py.

def make_shuffler_png_pictures(out, large=False):
    from PIL.PngImagePlugin import PngInfo

    def p(name):
        return os.path.join(out, name)

    # Pillow, 8 bits: tRNS shorter than PLTE, bKGD, hIST, text, and two private
    # chunks, one safe to copy (prIv) and one not (prIV).
    info = PngInfo()
    info.add_text("Comment", "made for the shuffler")
    info.add(b"bKGD", bytes([7]))
    info.add(b"hIST", b"".join(struct.pack(">H", (i * 97) % 1000) for i in range(200)))
    info.add(b"prIv", b"carried")
    info.add(b"prIV", b"left out")
    pil_png(p("spng_pil8_chunks_64x40.png"), (64, 40), 200, pnginfo=info, transparency=bytes([0, 128, 255, 64]))
    pil_png(p("spng_pil4_12c_45x21.png"), (45, 21), 12, transparency=bytes([255, 0, 90]))
    # ImageMagick's png8: one clear entry, gAMA, cHRM, tIME and text after IDAT.
    clear = ("-alpha", "set", "-region", "10x10+0+0", "-alpha", "transparent", "+region", "+dither")
    run("convert", "-seed", "5", "-size", "50x30", "plasma:", *clear, "-colors", "60",
        "png8:" + p("spng_im8_trns_50x30.png"))
    run("convert", "-seed", "6", "-size", "77x43", "plasma:", *clear, "-colors", "150", "-interlace", "PNG",
        "png8:" + p("spng_im8_interlaced_77x43.png"))
    run("convert", "-seed", "7", "-size", "47x29", "plasma:", "+dither", "-colors", "12", "-define",
        "png:bit-depth=4", "-interlace", "PNG", "png8:" + p("spng_im4_interlaced_47x29.png"))
    # Pillow, 8 bits, 40 entries for Remove unused and Merge duplicates: the
    # pixels use the even entries but 30, and 3, 5, 17 and 21; 17 repeats 3
    # (colour and alpha), 21 repeats 5's colour at another alpha, 30 repeats
    # 6 and is what bKGD names.
    colours = [((i * 6) % 256, 255 - i * 5, (i * 37) % 256) for i in range(40)]
    colours[17], colours[21], colours[30] = colours[3], colours[5], colours[6]
    alpha = [255] * 18
    alpha[3] = alpha[17] = 128
    alpha[5] = 0
    used = [i for i in range(0, 40, 2) if i != 30] + [3, 5, 17, 21]
    tidy = Image.new("P", (40, 24))
    tidy.putpalette([c for rgb in colours for c in rgb])
    tidy.putdata([used[(x + 3 * y) % len(used)] for y in range(24) for x in range(40)])
    info = PngInfo()
    info.add(b"bKGD", bytes([30]))
    tidy.save(p("spng_pil8_tidy_40x24.png"), "PNG", pnginfo=info, transparency=bytes(alpha))
    for name, bits, interlace in (("spng_pil8_chunks_64x40.png", 8, 0), ("spng_pil4_12c_45x21.png", 4, 0),
                                  ("spng_pil8_tidy_40x24.png", 8, 0),
                                  ("spng_im8_trns_50x30.png", 8, 0), ("spng_im8_interlaced_77x43.png", 8, 1),
                                  ("spng_im4_interlaced_47x29.png", 4, 1)):
        if png_fields(p(name)) != (bits, 3, interlace):
            sys.exit(f"{name}: depth, colour type, interlace {png_fields(p(name))}")
        run("convert", p(name), "-alpha", "off", "png24:" + p(name[:-4] + ".ref.png"))
    # Refused: 1 and 2 bits, full colours, a damaged IDAT (its CRC made to fit, or not).
    pil_png(p("spng_pil2_21x9.png"), (21, 9), 4)
    pil_png(p("spng_pil1_19x7.png"), (19, 7), 2)
    Image.new("RGBA", (16, 8), (10, 200, 30, 99)).save(p("spng_rgba_16x8.png"))
    broken_idat(p("spng_pil8_chunks_64x40.png"), p("spng_bad_idat.png"), keep_crc=False)
    broken_idat(p("spng_pil4_12c_45x21.png"), p("spng_bad_crc.png"), keep_crc=True)
    if large:
        pil_png(p("big8_16384x8192.png"), (16384, 8192), 256)


def check_pngs(folder):
    """Every png_rt_*.png read by Pillow against its .truth; a RESULT line; True when all agree."""
    passed = failed = 0
    names = sorted(n for n in os.listdir(folder) if n.startswith("png_rt_") and n.endswith(".png"))
    for name in names:
        try:
            want = read(os.path.join(folder, name[:-4] + ".truth"))
            got = png_truth(os.path.join(folder, name))
        except Exception as e:  # a file Pillow cannot read is a failure like any other
            got, want = repr(e), "readable"
        if got == want:
            print(f"ok   {name}")
            passed += 1
        else:
            print(f"FAIL {name}: Pillow reads other indices or palette than the test wrote")
            failed += 1
    if not names:
        print(f"FAIL: the tests left no png_rt_*.png in {folder}")
        failed += 1
    print(f"RESULT: {passed} passed, {failed} failed")
    return failed == 0


if __name__ == "__main__":
    main()
