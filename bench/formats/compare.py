#!/usr/bin/env python3
"""Runs bench_formats under Wine on a 4000 x 3000 picture and the same work
with ImageMagick and Pillow when they are installed; prints median
milliseconds and our time divided by theirs.

usage: compare.py WINERUN PREFIX BENCH_EXE WORK_DIR [RUNS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import time

winerun, prefix, bench, work = sys.argv[1:5]
runs = int(sys.argv[5]) if len(sys.argv) > 5 else 5
os.makedirs(work, exist_ok=True)
source = os.path.join(work, "source.png")
raw = os.path.join(work, "source.ppm")

try:
    from PIL import Image, ImageFilter
except ImportError:
    Image = None

# A photograph-like picture: smooth gradients with fine grain, made once.
if not os.path.exists(source):
    if Image is None:
        sys.exit("Pillow is needed to make the benchmark picture (apt-get install python3-pil)")
    w, h = 4000, 3000
    red = Image.linear_gradient("L").resize((w, h))
    green = Image.radial_gradient("L").resize((w, h))
    blue = Image.linear_gradient("L").rotate(90).resize((w, h))
    grain = Image.effect_noise((w, h), 24).filter(ImageFilter.GaussianBlur(1))
    picture = Image.merge("RGB", [Image.blend(c, grain, 0.25) for c in (red, green, blue)])
    picture.save(source, compress_level=6)
    picture.save(raw)

print(f"benchmark picture: {source} ({os.path.getsize(source) // 1024} KiB), {runs} runs each")
result = subprocess.run([winerun, "--prefix", prefix, bench, "Z:" + source, "Z:" + work, str(runs)],
                        capture_output=True, text=True)
if result.returncode != 0:
    sys.exit("bench_formats failed:\n" + result.stdout + result.stderr)
ours = {k: float(v) for k, v in (line.split()[:2] for line in result.stdout.splitlines()
                                  if line and not line.startswith("size"))}


def median_ms(task):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        task()
        times.append(1000 * (time.perf_counter() - start))
    return statistics.median(times)


def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


others = {}
convert = shutil.which("convert")
if convert:
    # Each command also starts the program, and the encoders read the
    # uncompressed source: those costs are measured alone and taken off.
    start = median_ms(lambda: run(convert, "-size", "1x1", "xc:white", "null:"))
    read = median_ms(lambda: run(convert, raw, "null:"))
    im = {"png_decode": median_ms(lambda: run(convert, source, "null:")) - start}
    out = os.path.join(work, "magick")
    im["png_encode"] = median_ms(lambda: run(
        convert, raw, "-define", "png:compression-level=6", "-define",
        "png:compression-filter=0", out + ".png")) - read
    im["jpeg_baseline"] = median_ms(lambda: run(convert, raw, "-quality", "85", out + ".jpg")) - read
    im["jpeg_progressive"] = median_ms(lambda: run(
        convert, raw, "-quality", "85", "-interlace", "JPEG", out + "_prog.jpg")) - read
    others["ImageMagick"] = im
if Image is not None:
    pic = Image.open(raw)
    pic.load()
    out = os.path.join(work, "pillow")

    def decode():
        with Image.open(source) as im:
            im.load()

    others["Pillow"] = {
        "png_decode": median_ms(decode),
        # Pillow chooses its own row filters; it offers no way to ask for none.
        "png_encode": median_ms(lambda: pic.save(out + ".png", compress_level=6)),
        "jpeg_baseline": median_ms(lambda: pic.save(out + ".jpg", quality=85)),
        "jpeg_progressive": median_ms(lambda: pic.save(out + "_prog.jpg", quality=85,
                                                       progressive=True)),
    }

names = ["png_decode", "png_encode", "jpeg_baseline", "jpeg_progressive"]
header = f"{'task':<18}{'Quiltora ms':>12}"
for tool in others:
    header += f"{tool + ' ms':>16}{'ratio':>8}"
print(header)
for name in names:
    line = f"{name:<18}{ours[name]:>12.0f}"
    for tool, times in others.items():
        line += f"{times[name]:>16.0f}{ours[name] / max(times[name], 0.1):>8.2f}"
    print(line)
print("ratio = Quiltora time / other tool's time (below 1: Quiltora is faster); "
      "Quiltora runs under Wine")
