#!/usr/bin/python3
"""Checks the pictures app_tests saved through the main window's Save
commands with Pillow, which shares nothing with the program's writers.

usage: check_saves.py DATA_DIR
saved.rgb holds the document's pixels (top-down RGB), saved.size its size.
Exits 1 on a mismatch, 77 when Pillow is missing.
"""
import math
import os
import sys

try:
    from PIL import Image
except ImportError:
    print("Pillow is not installed: the saved files are not checked")
    sys.exit(77)

folder = sys.argv[1]
width, height = map(int, open(os.path.join(folder, "saved.size")).read().split())
expected = open(os.path.join(folder, "saved.rgb"), "rb").read()
failures = []
for name, exact in (("saved.bmp", True), ("saved.png", True), ("saved.jpg", False),
                    ("saved.webp", False), ("saved_lossless.webp", True)):
    with Image.open(os.path.join(folder, name)) as img:
        if img.size != (width, height):
            failures.append(f"{name}: size {img.size}, expected {(width, height)}")
            continue
        pixels = img.convert("RGB").tobytes()
    if exact:
        if pixels != expected:
            failures.append(f"{name}: pixels differ from the document")
    else:
        mse = sum((a - b) ** 2 for a, b in zip(pixels, expected)) / len(expected)
        psnr = 99.0 if mse == 0 else 10 * math.log10(255 * 255 / mse)
        if psnr < 30:
            failures.append(f"{name}: PSNR {psnr:.1f} dB below 30")
        else:
            print(f"{name}: PSNR {psnr:.1f} dB")
for f in failures:
    print(f)
print(f"{3 - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
