#!/usr/bin/env python3
"""Checks the BMP, PNG and JPEG files formats_tests wrote with decoders that
share nothing with the program: Pillow, pngcheck, djpeg and zlib.

usage: check_outputs.py DATA_DIR
Each FILE in DATA_DIR/out/ comes with FILE.rgb, the pixels it was made from
(see make_inputs.py). Exits 1 listing every failure, 77 when Pillow is missing.
"""
import io
import math
import os
import shutil
import struct
import subprocess
import sys
import zlib

try:
    from PIL import Image
except ImportError:
    print("Pillow is not installed: the written files are not checked")
    sys.exit(77)

out = os.path.join(sys.argv[1], "out")
failures = []


def require(names):
    missing = [n for n in names for f in (n, n + ".rgb") if not os.path.exists(os.path.join(out, f))]
    if missing:
        print("not written by formats_tests: " + ", ".join(missing))
        sys.exit(1)


def check(condition, name, message):
    if not condition:
        failures.append(f"{name}: {message}")
    return condition


def source(name):
    data = open(os.path.join(out, name + ".rgb"), "rb").read()
    w, h = struct.unpack("<II", data[:8])
    return w, h, data[8:]


def decoded(name):
    im = Image.open(os.path.join(out, name))
    im.load()
    return im


def psnr(a, b):
    if len(a) != len(b):
        return 0
    err = sum((x - y) ** 2 for x, y in zip(a, b))
    return 999 if err == 0 else 10 * math.log10(255 * 255 * len(a) / err)


def png_chunks(name):
    data = open(os.path.join(out, name), "rb").read()
    pos, chunks = 8, []
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunks.append((kind, data[pos + 8:pos + 8 + n]))
        pos += 12 + n
    return chunks


def raw_rows(chunks, row_bytes):
    raw = zlib.decompress(b"".join(d for k, d in chunks if k == b"IDAT"))
    return [raw[i:i + row_bytes] for i in range(0, len(raw), row_bytes)]


def exact(name):
    w, h, rgb = source(name)
    im = decoded(name)
    check(im.size == (w, h), name, f"size {im.size}, expected {(w, h)}")
    check(im.convert("RGB").tobytes() == rgb, name, "pixels differ from the source")
    return w, h, rgb, im


bmp_names = ["bmp_odd.bmp", "bmp_1x1.bmp"]
png_names = ["png_rgb.png", "png_one.png", "png_256.png", "png_257.png", "png_2x2.png",
             "png_large.png", "png_trns_rgb.png", "png_trns_pal.png"] + [
             f"png_filter{n}{s}.png" for n in range(1, 5) for s in ("", "_pal")]
# Least PSNR in dB against the source (the red/blue halves have a sharp edge).
bounds = {"jpeg_q85.jpg": 38, "jpeg_q85_prog.jpg": 38, "jpeg_q100.jpg": 45, "jpeg_q1.jpg": 15,
          "jpeg_odd_prog.jpg": 38, "jpeg_1x1.jpg": 38, "jpeg_redblue.jpg": 22}
require(bmp_names + png_names + list(bounds))

for name in bmp_names:
    w, h, _, im = exact(name)
    check(os.path.getsize(os.path.join(out, name)) == 54 + ((w * 3 + 3) & ~3) * h, name,
          "file size is not the headers plus the padded rows")

pngcheck = shutil.which("pngcheck")
for name in png_names:
    w, h, rgb, im = exact(name)
    if pngcheck:
        result = subprocess.run([pngcheck, "-q", os.path.join(out, name)],
                                capture_output=True, text=True)
        check(result.returncode == 0, name, "pngcheck: " + result.stdout.strip())
    chunks = png_chunks(name)
    kinds = [k for k, _ in chunks]
    check(kinds.count(b"IDAT") == 1, name, f"{kinds.count(b'IDAT')} IDAT chunks, expected one")
    check(kinds[0] == b"IHDR" and kinds[-1] == b"IEND", name, f"chunk order {kinds}")
    head = chunks[0][1]
    depth, colour, interlace = head[8], head[9], head[12]
    check(depth == 8 and interlace == 0, name, f"bit depth {depth}, interlace {interlace}")
    plte = next((d for k, d in chunks if k == b"PLTE"), None)
    row_bytes = 1 + w * (1 if colour == 3 else 3)
    rows = raw_rows(chunks, row_bytes)
    wanted = int(name[10]) if name.startswith("png_filter") else 0
    check(all(r[0] == wanted for r in rows), name, f"rows not all of filter type {wanted}")

    # Palette when the picture has at most 256 colours, in order of first
    # appearance counting from the bottom-left pixel upwards.
    pixels = [rgb[i:i + 3] for i in range(0, len(rgb), 3)]
    order, seen = [], set()
    for y in reversed(range(h)):
        for p in pixels[y * w:(y + 1) * w]:
            if p not in seen:
                seen.add(p)
                order.append(p)
    if len(order) > 256:
        check(colour == 2 and plte is None, name, f"colour type {colour}, expected RGB")
    else:
        check(colour == 3 and plte == b"".join(order), name,
              f"colour type {colour}, palette not the {len(order)} colours in first-appearance order")
    if name == "png_256.png":
        check(len(plte) == 768, name, f"PLTE length {len(plte)}")
    if name == "png_one.png":
        check(plte is not None and len(plte) == 3 and all(b == 0 for r in rows for b in r), name,
              "a one-colour picture needs a 3-byte PLTE and all indices 0")
    if name == "png_2x2.png":
        check(plte == bytes.fromhex("ff000000ff000000ff"), name, f"PLTE {plte.hex()}")
        check(rows == [b"\0\2\0", b"\0\0\1"], name, f"raw rows {[r.hex() for r in rows]}")
    if name == "png_large.png":
        size = len(next(d for k, d in chunks if k == b"IDAT"))
        check(size > 32768, name, f"compressed data only {size} bytes")
    trns = next((d for k, d in chunks if k == b"tRNS"), None)
    if name == "png_trns_rgb.png":
        check(trns == bytes([0, rgb[0], 0, rgb[1], 0, rgb[2]]), name,
              f"tRNS {trns and trns.hex()} is not the top-left colour")
    elif name == "png_trns_pal.png":
        check(trns == b"\xff\xff\x00", name, f"tRNS {trns and trns.hex()} should mark entry 2")
    else:
        check(trns is None, name, "unexpected tRNS chunk")

djpeg = shutil.which("djpeg")
for name, bound in bounds.items():
    w, h, rgb = source(name)
    im = decoded(name)
    check(im.format == "JPEG" and im.size == (w, h), name, f"{im.format} {im.size}")
    got = psnr(im.convert("RGB").tobytes(), rgb)
    check(got >= bound, name, f"PSNR {got:.1f} dB below {bound}")
    progressive = bool(im.info.get("progressive") or im.info.get("progression"))
    check(progressive == name.endswith("_prog.jpg"), name, f"progressive is {progressive}")
    data = open(os.path.join(out, name), "rb").read()
    sof = b"\xff\xc2" if progressive else b"\xff\xc0"
    check(sof in data, name, "no start-of-frame marker of its kind")
    check(im.info.get("jfif") is not None, name, "no JFIF header")
    tables = [v for t in im.quantization.values() for v in t]
    if name == "jpeg_q100.jpg":
        check(set(tables) == {1}, name, "quality 100 tables are not all 1")
    if name == "jpeg_q1.jpg":
        check(max(tables) == 255, name, f"quality 1 tables peak at {max(tables)}, expected 255")
    if djpeg:
        result = subprocess.run([djpeg, os.path.join(out, name)], capture_output=True)
        check(result.returncode == 0 and not result.stderr, name,
              "djpeg: " + result.stderr.decode(errors="replace").strip())

left = decoded("jpeg_redblue.jpg").convert("RGB").getpixel((8, 8))
right = decoded("jpeg_redblue.jpg").convert("RGB").getpixel((24, 8))
check(left[0] > 200 and left[2] < 60 and right[2] > 200 and right[0] < 60, "jpeg_redblue.jpg",
      f"left {left}, right {right}: expected red on the left, blue on the right")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"check_outputs: every written file verified in {out}")
