#!/usr/bin/python3
"""check-png.py OUT: judges the PNGs the colour editor's end-to-end cases
left in OUT, with Pillow and ImageMagick.

pngsave-LANG-NAME.png, saved from pngsrc-NAME.png after entries 1 and 0 were
recoloured: Pillow reads the source's indices and transparency and the
source's palette with those two colours; every chunk but PLTE (and the bytes
after IEND) is byte for byte the source's, in its order, and PLTE keeps its
length. pngsave-LANG-NAME.bmp and .tif show ImageMagick the PNG's pixels.
bmppng-LANG-NAME.png, saved from a BMP: indexed at the BMP's depth with a
palette of its colour count, and the pixels of bmppng-LANG-NAME.bmp saved
beside it. Prints one line per failed check and "RESULT: N passed, M failed".
"""
import glob
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image

ENTRY1 = (255, 0, 128)
ENTRY0 = (10, 200, 30)


def chunks(data):
    """(type, data, crc) of every chunk through IEND, and the bytes after it."""
    out, i = [], 8
    while i + 12 <= len(data):
        n = struct.unpack(">I", data[i:i + 4])[0]
        kind = data[i + 4:i + 8]
        out.append((kind, data[i + 8:i + 8 + n], data[i + 8 + n:i + 12 + n]))
        i += 12 + n
        if kind == b"IEND":
            break
    return out, data[i:]


def rgb(path, tmp):
    """Size and RGB bytes as ImageMagick renders the file, alpha left out."""
    raw = os.path.join(tmp, "p.rgb")
    size = subprocess.run(["convert", path, "-alpha", "off", "-format", "%wx%h", "info:"],
                          capture_output=True, text=True).stdout
    subprocess.run(["convert", path, "-alpha", "off", "-depth", "8", "rgb:" + raw], check=True)
    with open(raw, "rb") as f:
        return size, f.read()


def same_pixels(a, b, tmp):
    ra, rb = rgb(a, tmp), rgb(b, tmp)
    if ra != rb:
        return f"{os.path.basename(a)} and {os.path.basename(b)} show other pixels ({ra[0]} / {rb[0]})"
    return None


def check_recoloured(saved, source):
    with open(saved, "rb") as f:
        got = f.read()
    with open(source, "rb") as f:
        src = f.read()
    if got[:8] != src[:8]:
        return "another signature"
    (gc, gtail), (sc, stail) = chunks(got), chunks(src)
    if [c[0] for c in gc] != [c[0] for c in sc] or gtail != stail:
        return "another chunk list or other bytes after IEND"
    for g, s in zip(gc, sc):
        if g[0] == b"PLTE":
            if len(g[1]) != len(s[1]):
                return "PLTE of another length"
        elif g != s:
            return f"{g[0].decode()} differs from the source's"
    a, b = Image.open(saved), Image.open(source)
    if a.mode != "P" or list(a.getdata()) != list(b.getdata()):
        return "Pillow reads other indices"
    want = b.getpalette()
    want[0:3], want[3:6] = ENTRY0, ENTRY1
    if a.getpalette() != want:
        return "Pillow reads another palette"
    if a.info.get("transparency") != b.info.get("transparency"):
        return "Pillow reads another transparency"
    return None


def check_from_bmp(png, bmp):
    with open(bmp, "rb") as f:
        head = f.read(54)
    bits, used = head[28], struct.unpack_from("<I", head, 46)[0]
    img = Image.open(png)
    with open(png, "rb") as f:
        depth = f.read(26)[24]
    if img.mode != "P" or depth != bits:
        return f"mode {img.mode} depth {depth}, not an indexed picture of {bits} bits"
    colours = used if used else 1 << bits
    if len(img.getpalette()) != 3 * colours:
        return f"{len(img.getpalette()) // 3} palette entries, not {colours}"
    return None


def main():
    out = sys.argv[1]
    passed = failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        checks = []
        for saved in sorted(glob.glob(os.path.join(out, "pngsave-*.png"))):
            name = os.path.basename(saved)[len("pngsave-"):].split("-", 1)[1]
            checks.append((os.path.basename(saved), lambda s=saved, n=name: check_recoloured(
                s, os.path.join(out, "pngsrc-" + n))))
            for ext in (".bmp", ".tif"):
                other = saved[:-4] + ext
                checks.append((os.path.basename(other), lambda a=other, b=saved: same_pixels(a, b, tmp)))
        for png in sorted(glob.glob(os.path.join(out, "bmppng-*.png"))):
            bmp = png[:-4] + ".bmp"
            checks.append((os.path.basename(png), lambda a=png, b=bmp: check_from_bmp(a, b)))
            checks.append((os.path.basename(png) + " pixels", lambda a=png, b=bmp: same_pixels(a, b, tmp)))
        if not checks:
            print(f"FAIL e2e png: the cases left no PNG in {out}")
            failed += 1
        for label, check in checks:
            try:
                problem = check()
            except Exception as e:  # a file that cannot be read fails like any other
                problem = repr(e)
            if problem:
                print(f"FAIL e2e png: {label}: {problem}")
                failed += 1
            else:
                passed += 1
    print(f"RESULT: {passed} passed, {failed} failed")
    return failed == 0


if __name__ == "__main__":
    sys.exit(0 if main() else 1)
