#!/usr/bin/python3
"""check_shuffled_png.py PICTURES OUT: judges with Pillow the PNGs the
shuffler's end-to-end cases saved in OUT.

pout-LANG-NAME[@TAG].png, saved from PICTURES/NAME.png after reordering:
Pillow renders the same RGBA pixels; IHDR is the source's; PLTE is a
permutation of the source's, and the pixels' indices show it (source entry i
is saved entry m[i]); tRNS moved with its entries and cut after the last
entry that is not opaque; bKGD names the moved entry; hIST moved with its
entries; every other chunk the source had is there in its order, byte for
byte, but those unsafe to copy (left out).

tout-LANG-NAME@removed.png and tout-LANG-NAME@merged.png, saved from
PICTURES/NAME.png after Remove unused entries (and Merge duplicate colours):
Pillow renders the same RGBA pixels; IHDR is the source's; every saved entry
is a source entry some pixel uses, in the order of the source's first such
entry; each source entry's pixels went to one saved entry of its colour and
alpha, two entries to one only when merged (then no colour and alpha is
saved twice); tRNS cut as above; bKGD names an entry of the colour the
source's named; no hIST; the other chunks as above.

bout-LANG-NAME.png, saved from PICTURES/NAME.bmp: Pillow renders the
ImageMagick reference NAME.ref.png; the depth is the BMP's and PLTE has the
BMP table's length.

Prints one line per failed check and "RESULT: N passed, M failed".
"""

import os
import struct
import sys
import zlib

from PIL import Image

REWRITTEN = {b"PLTE", b"tRNS", b"IDAT", b"bKGD", b"hIST"}


def chunks(path):
    """(type, data) of each chunk; an exception for a file that is no PNG."""
    b = open(path, "rb").read()
    assert b[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
    out, at = [], 8
    while at < len(b):
        n = struct.unpack_from(">I", b, at)[0]
        kind, data = b[at + 4:at + 8], b[at + 8:at + 8 + n]
        assert struct.unpack_from(">I", b, at + 8 + n)[0] == zlib.crc32(kind + data), f"{kind} CRC"
        out.append((kind, data))
        at += 12 + n
        if kind == b"IEND":
            break
    return out


def one(cs, kind):
    found = [d for k, d in cs if k == kind]
    return found[0] if found else None


def entries(cs):
    """(r, g, b, alpha) of each PLTE entry."""
    plte, trns = one(cs, b"PLTE"), one(cs, b"tRNS") or b""
    return [(*plte[i:i + 3], trns[i // 3] if i // 3 < len(trns) else 255) for i in range(0, len(plte), 3)]


def opened(source, saved):
    """Both files' chunks and pictures, once the saved one renders as the source with its IHDR."""
    src, out = chunks(source), chunks(saved)
    a, b = Image.open(source), Image.open(saved)
    assert a.size == b.size and b.mode == "P", f"size {b.size}, mode {b.mode}"
    assert a.convert("RGBA").tobytes() == b.convert("RGBA").tobytes(), "the RGBA rendering differs"
    assert one(src, b"IHDR") == one(out, b"IHDR"), "IHDR changed"
    return src, out, a, b


def check_trns_cut(out, oe):
    """tRNS ends at the last entry that is not opaque, and is left out when none is."""
    trns = one(out, b"tRNS")
    clear = [k for k, e in enumerate(oe) if e[3] != 255]
    assert (trns is None) == (not clear) and (trns is None or len(trns) == clear[-1] + 1), "tRNS not cut"


def check_others_carried(src, out):
    """Every chunk not rewritten is the source's, in its order, but those unsafe to copy."""
    expected = [(k, d) for k, d in src if k not in REWRITTEN and (k[:1].isupper() or carried(k))]
    assert expected == [(k, d) for k, d in out if k not in REWRITTEN], "the other chunks differ"


def check_reordered(source, saved):
    src, out, a, b = opened(source, saved)
    se, oe = entries(src), entries(out)
    assert sorted(se) == sorted(oe) and len(se) == len(oe), "PLTE and tRNS are no permutation of the source's"
    moved = {}
    for i, j in zip(a.getdata(), b.getdata()):
        assert moved.setdefault(i, j) == j, f"entry {i} went to {moved[i]} and {j}"
    assert len(set(moved.values())) == len(moved), "two entries went to one"
    for i, j in moved.items():
        assert se[i] == oe[j], f"entry {i} is {se[i]}, saved as entry {j} {oe[j]}"
    check_trns_cut(out, oe)
    if one(src, b"bKGD") is not None:
        assert oe[one(out, b"bKGD")[0]] == se[one(src, b"bKGD")[0]], "bKGD names another colour"
        if one(src, b"bKGD")[0] in moved:
            assert one(out, b"bKGD")[0] == moved[one(src, b"bKGD")[0]], "bKGD not moved with its entry"
    if one(src, b"hIST") is not None:
        sh, oh = one(src, b"hIST"), one(out, b"hIST")
        count = lambda h, k: h[2 * k:2 * k + 2]
        assert sorted((se[k], count(sh, k)) for k in range(len(se))) == \
            sorted((oe[k], count(oh, k)) for k in range(len(oe))), "hIST does not follow its entries"
        for i, j in moved.items():
            assert count(sh, i) == count(oh, j), f"hIST of entry {i}"
    check_others_carried(src, out)


def check_tidied(source, saved, merged):
    src, out, a, b = opened(source, saved)
    se, oe = entries(src), entries(out)
    moved = {}
    for i, j in zip(a.getdata(), b.getdata()):
        assert moved.setdefault(i, j) == j, f"entry {i} went to {moved[i]} and {j}"
    assert sorted(set(moved.values())) == list(range(len(oe))), "a saved entry no pixel uses"
    for i, j in moved.items():
        assert se[i] == oe[j], f"entry {i} is {se[i]}, saved as entry {j} {oe[j]}"
    firsts = [min(i for i, j in moved.items() if j == k) for k in range(len(oe))]
    assert firsts == sorted(firsts), "the kept entries left their order"
    if merged:
        assert len(set(oe)) == len(oe), "a colour and alpha saved twice"
    else:
        assert len(set(moved.values())) == len(moved), "two entries went to one"
    check_trns_cut(out, oe)
    if one(src, b"bKGD") is not None:
        assert oe[one(out, b"bKGD")[0]] == se[one(src, b"bKGD")[0]], "bKGD names another colour"
    assert one(out, b"hIST") is None, "hIST of the longer table"
    check_others_carried(src, out)


def carried(kind):
    """Safe to copy by the PNG rule, or a known chunk that does not name palette entries."""
    return kind[3:4].islower() or kind in (b"gAMA", b"cHRM", b"sRGB", b"iCCP", b"sBIT", b"pHYs", b"tIME",
                                           b"tEXt", b"zTXt", b"iTXt")


def check_from_bmp(source, reference, saved):
    b = Image.open(saved)
    assert b.mode == "P", f"mode {b.mode}"
    assert Image.open(reference).convert("RGB").tobytes() == b.convert("RGB").tobytes(), "pixels differ"
    bmp = open(source, "rb").read()
    bits = struct.unpack_from("<H", bmp, 28)[0]
    used = struct.unpack_from("<I", bmp, 46)[0] or 1 << bits
    out = chunks(saved)
    assert one(out, b"IHDR")[8] == bits, f"depth {one(out, b'IHDR')[8]}, not {bits}"
    assert len(one(out, b"PLTE")) == 3 * used, f"PLTE of {len(one(out, b'PLTE')) // 3}, not {used}"


def main():
    pictures, out = sys.argv[1], sys.argv[2]
    passed = failed = 0
    names = sorted(n for n in os.listdir(out) if n.endswith(".png") and n[:5] in ("pout-", "bout-", "tout-"))
    for n in names:
        name = n[:-4].split("-", 2)[2].split("@")[0]
        try:
            if n.startswith("tout-"):
                check_tidied(os.path.join(pictures, name + ".png"), os.path.join(out, n), n.endswith("@merged.png"))
            elif n.startswith("pout-"):
                check_reordered(os.path.join(pictures, name + ".png"), os.path.join(out, n))
            else:
                check_from_bmp(os.path.join(pictures, name + ".bmp"), os.path.join(pictures, name + ".ref.png"),
                               os.path.join(out, n))
            passed += 1
        except Exception as e:  # a file Pillow cannot read fails like any other
            print(f"FAIL shuffled PNG {n}: {e}")
            failed += 1
    if not names:
        print("FAIL shuffled PNG: the cases left no pout-*.png or bout-*.png")
        failed += 1
    print(f"RESULT: {passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
