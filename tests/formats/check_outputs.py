#!/usr/bin/env python3
"""Checks the BMP, PNG, JPEG and WebP files formats_tests wrote with decoders
that share nothing with the program: Pillow, pngcheck, djpeg, dwebp and zlib.

usage: check_outputs.py DATA_DIR
Each FILE in DATA_DIR/out/ comes with FILE.rgb, the pixels it was made from
(see make_inputs.py). Exits 1 listing every failure, 77 when Pillow is missing.
"""
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


def check(condition, name, message):
    if not condition:
        failures.append(f"{name}: {message}")


def opened(name):
    """The source pixels (width, height, RGB bytes), the file and Pillow's picture."""
    data = open(os.path.join(out, name + ".rgb"), "rb").read()
    im = Image.open(os.path.join(out, name))
    im.load()
    check(im.size == struct.unpack("<II", data[:8]), name, f"size {im.size}")
    return *struct.unpack("<II", data[:8]), data[8:], open(os.path.join(out, name), "rb").read(), im


def run(command, name):
    """Runs a checking tool, where it is installed: it must succeed, silently."""
    if shutil.which(command[0]):
        result = subprocess.run(command + [os.path.join(out, name)], capture_output=True)
        check(result.returncode == 0 and not result.stderr, name, command[0] + ": " +
              (result.stderr or result.stdout[:300]).decode(errors="replace").strip())


w, h, rgb, data, im = opened("bmp_odd.bmp")
check(im.convert("RGB").tobytes() == rgb, "bmp_odd.bmp", "pixels differ from the source")
check(len(data) == 54 + ((w * 3 + 3) & ~3) * h, "bmp_odd.bmp", "not the headers and padded rows")

# The save command's image data are, all together, no larger than zlib's level 6 makes the same rows, and
# none is more than 2 % larger (rows of up to 27 bytes are stored as they are).
# clipboard.png is what Copy put on the clipboard as "PNG".
saved = ["png_rgb.png", "png_one.png", "png_256.png", "png_257.png", "png_large.png",
         "png_photo.png", "png_chart.png", "png_flat.png", "png_canvas.png", "png_big.png",
         "png_thin.png", "png_big_chart.png", "clipboard.png"]
sizes = {}
for name in saved:
    w, h, rgb, data, im = opened(name)
    check(im.convert("RGB").tobytes() == rgb, name, "pixels differ from the source")
    run(["pngcheck", "-q"], name)
    pos, chunks, idats = 8, {}, 0
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunks[kind] = chunks.get(kind, b"") + data[pos + 8:pos + 8 + n]
        idats += kind == b"IDAT"
        pos += 12 + n
    check(idats == 1, name, f"{idats} IDAT chunks")
    colour, plte, trns = chunks[b"IHDR"][9], chunks.get(b"PLTE"), chunks.get(b"tRNS")
    raw, row_bytes = zlib.decompress(chunks[b"IDAT"]), 1 + w * (1 if colour == 3 else 3)
    check(all(raw[i] == 0 for i in range(0, len(raw), row_bytes)), name,
          "rows not all of filter type 0")
    sizes[name] = len(chunks[b"IDAT"]), len(zlib.compress(raw, 6))
    check(sizes[name][0] <= sizes[name][1] * 1.02 + 32, name,
          "{} bytes of image data, zlib level 6 makes {}".format(*sizes[name]))
    # A palette when the picture has at most 256 colours, in order of first
    # appearance counting from the bottom-left pixel upwards.
    order = dict.fromkeys(rgb[i:i + 3] for y in reversed(range(h))
                          for i in range(3 * w * y, 3 * w * (y + 1), 3))
    if len(order) > 256:
        check(colour == 2 and plte is None, name, f"colour type {colour}, expected RGB")
    else:
        check(colour == 3 and plte == b"".join(order), name,
              f"colour type {colour}, palette not the colours in first-appearance order")
    check(trns is None, name, f"tRNS {trns and trns.hex()} in a saved picture")

ours, reference = (sum(size[i] for size in sizes.values()) for i in (0, 1))
check(ours <= reference, "PNG files", f"{ours} bytes of image data, zlib level 6 makes {reference}")

# Least PSNR in dB against the source.
for name, bound in {"jpeg_q85.jpg": 38, "jpeg_q85_prog.jpg": 38, "jpeg_q100.jpg": 45,
                    "jpeg_q1.jpg": 15, "jpeg_odd_prog.jpg": 38}.items():
    w, h, rgb, data, im = opened(name)
    got = im.convert("RGB").tobytes()
    err = sum((x - y) ** 2 for x, y in zip(got, rgb))
    check(err == 0 or 10 * math.log10(255 * 255 * len(rgb) / err) >= bound, name,
          f"PSNR below {bound} dB")
    progressive = bool(im.info.get("progressive") or im.info.get("progression"))
    check(progressive == name.endswith("_prog.jpg"), name, f"progressive is {progressive}")
    tables = [v for t in im.quantization.values() for v in t]
    check({"jpeg_q100.jpg": set(tables) == {1}, "jpeg_q1.jpg": max(tables) == 255}.get(name, True),
          name, "quantization tables do not follow the quality")
    run(["djpeg"], name)



def psnr(a, b):
    err = sum((x - y) ** 2 for x, y in zip(a, b))
    return 999 if err == 0 else 10 * math.log10(255 * 255 * len(a) / err)


# WebP: exact when lossless (a VP8L frame), close when lossy (VP8), in Pillow
# and in dwebp; no extended header, as the pictures are opaque.
for name, bound in {"webp_q90.webp": 30, "webp_q50_odd.webp": 25, "webp_lossless.webp": 999,
                    "webp_lossless_noise.webp": 999, "webp_longest.webp": 999}.items():
    w, h, rgb, data, im = opened(name)
    kind = b"VP8L" if bound == 999 else b"VP8 "
    check(data[:4] == b"RIFF" and data[8:12] == b"WEBP" and data[12:16] == kind and
          struct.unpack("<I", data[4:8])[0] == len(data) - 8, name, f"not a RIFF file of {kind}")
    check(psnr(im.convert("RGB").tobytes(), rgb) >= bound, name, f"Pillow: PSNR below {bound} dB")
    if shutil.which("dwebp"):
        ppm = subprocess.run(["dwebp", "-quiet", "-ppm", "-o", "-", os.path.join(out, name)],
                             capture_output=True).stdout
        decoded = ppm[len(b"P6\n%d %d\n255\n" % (w, h)):]
        check(len(decoded) == len(rgb) and psnr(decoded, rgb) >= bound, name,
              f"dwebp: PSNR below {bound} dB")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"check_outputs: every written file verified in {out}")
