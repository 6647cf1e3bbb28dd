#!/usr/bin/env python3
"""Runs bench_formats under Wine on a 4000 x 3000 picture and the same work
with ImageMagick and Pillow when they are installed; prints median
milliseconds and our time divided by theirs. Then our PNG decode and encode
times of 200 x 150 pictures, the size of every PNG we wrote against zlib
level 6 of the same filtered rows, and our load of JPEG photos of 4000 x 3000
and 1600 x 1200 pixels (quality 90, colour at half resolution both ways)
against a plain libjpeg-turbo decode in the same process. Last, WebP: our
save at quality 85 (lossy and lossless, method 4) against libwebp's encoder
called directly in the same process, cwebp's own encode time and Pillow's, and
our load of a 4000 x 3000 WebP photo against libwebp's plain decode in the
same process, dwebp's own decode time and Pillow's.

usage: compare.py WINERUN PREFIX BENCH_EXE WORK_DIR [RUNS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import struct
import time
import zlib

winerun, prefix, bench, work = sys.argv[1:5]
runs = int(sys.argv[5]) if len(sys.argv) > 5 else 5
os.makedirs(work, exist_ok=True)
source = os.path.join(work, "source.png")
raw = os.path.join(work, "source.ppm")

try:
    from PIL import Image, ImageFilter
except ImportError:
    Image = None


def photo(w, h):
    """A photograph-like picture: smooth gradients with fine grain. Pillow's
    noise comes from the C library's rand(), never seeded: the same on every run."""
    red = Image.linear_gradient("L").resize((w, h))
    green = Image.radial_gradient("L").resize((w, h))
    blue = Image.linear_gradient("L").rotate(90).resize((w, h))
    grain = Image.effect_noise((w, h), 24).filter(ImageFilter.GaussianBlur(1))
    return Image.merge("RGB", [Image.blend(c, grain, 0.25) for c in (red, green, blue)])


# The pictures are made once.
photos = [os.path.join(work, f"photo_{w}x{h}.jpg") for w, h in ((4000, 3000), (1600, 1200))]
webp_photo = os.path.join(work, "photo_4000x3000.webp")
if not all(os.path.exists(path) for path in [source, webp_photo] + photos):
    if Image is None:
        sys.exit("Pillow is needed to make the benchmark pictures (apt-get install python3-pil)")
    picture = photo(4000, 3000)
    picture.save(source, compress_level=6)
    picture.save(raw)
    picture.save(photos[0], quality=90, subsampling=2)
    photo(1600, 1200).save(photos[1], quality=90, subsampling=2)
    picture.save(webp_photo, quality=90, method=4)

# Small pictures as a join collects them: a photograph, flat graphics (a
# palette file) and noise, 200 x 150 each.
smalls = [os.path.join(work, f"small_{kind}.png") for kind in ("photo", "flat", "noise")]
if not all(os.path.exists(path) for path in smalls):
    from PIL import ImageDraw
    Image.open(source).resize((200, 150), Image.LANCZOS).save(smalls[0])
    flat = Image.new("RGB", (200, 150), (250, 250, 245))
    draw = ImageDraw.Draw(flat)
    for i in range(12):
        draw.rectangle((i * 16, 20 + i * 7, i * 16 + 40, 60 + i * 5), fill=(i * 20, 90, 200 - i * 9))
    draw.ellipse((60, 40, 180, 140), outline=(20, 20, 20), width=3)
    draw.text((10, 5), "Quiltora 200 x 150", fill=(0, 0, 0))
    flat.save(smalls[1])
    Image.frombytes("RGB", (200, 150), os.urandom(200 * 150 * 3)).save(smalls[2])

print(f"benchmark picture: {source} ({os.path.getsize(source) // 1024} KiB), {runs} runs each")
command = [winerun, "--prefix", prefix, bench, "Z:" + source, "Z:" + work, str(runs)]
result = subprocess.run(command + ["Z:" + path for path in smalls + photos + [webp_photo]],
                        capture_output=True, text=True)
if result.returncode != 0:
    sys.exit("bench_formats failed:\n" + result.stdout + result.stderr)
lines = [line.split() for line in result.stdout.splitlines() if line.strip()]
ours = {" ".join(w[:-1]): float(w[-1]) for w in lines if w[0] not in ("size", "file")}
written = [w[1][2:] for w in lines if w[0] == "file"]


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
print(f"PNG save of 4000 x 3000: peak working set {ours['png_encode_peak_mb']:.0f} MiB "
      "above the picture's")

print(f"\n{'200 x 150 picture':<18}{'decode ms':>12}{'encode ms':>12}")
for path in smalls:
    name = os.path.basename(path)
    print(f"{name:<18}{ours['png_decode ' + name]:>12.3f}{ours['png_encode ' + name]:>12.3f}")


def idat_and_rows(path):
    """The IDAT data of a PNG file and the filtered rows it inflates to."""
    data, pos, idat = open(path, "rb").read(), 8, b""
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    return idat, zlib.decompress(idat)


print(f"\n{'PNG written':<22}{'IDAT bytes':>12}{'zlib 6 bytes':>14}{'ratio':>8}")
for path in written:
    idat, rows = idat_and_rows(path)
    reference = len(zlib.compress(rows, 6))
    print(f"{os.path.basename(path):<22}{len(idat):>12}{reference:>14}{len(idat) / reference:>8.3f}")

print(f"\n{'JPEG or WebP photo':<27}{'load ms':>10}{'plain decode ms':>17}{'ratio':>7}")
for name in ours:
    if name.startswith("jpeg_load_") or name.startswith("webp_load_"):
        case, kind = name[len("jpeg_load_"):], name[:4]
        memory, size = case.split("_")
        print(f"{kind.upper() + ' ' + size + ', ' + memory + ' memory':<27}{ours[name]:>10.1f}"
              f"{ours[f'lib{kind}_decode_' + case]:>17.1f}{ours[f'{kind}_ratio_' + case]:>7.2f}")
print("load: LoadImageFile on the file; plain decode: the library's defaults, from memory into a\n"
      "buffer, in the same process; kept: into the picture or buffer of the run before, new: into\n"
      "new memory, whose first writes cost what the system takes to clear and map each page;\n"
      "the two run by turns, ratio: the median of each turn's")


def tool_seconds(command, label):
    """The time a libwebp tool reports for its own work (-v), in ms."""
    err = subprocess.run(command + ["-v"], capture_output=True, text=True, check=True).stderr
    return 1000 * float(next(line for line in err.splitlines() if line.startswith(label))
                        .split(":")[1].split()[0].rstrip("s"))


print(f"\n{'WebP, 4000 x 3000':<20}{'Quiltora ms':>12}{'libwebp ms':>12}{'ratio':>7}"
      f"{'cwebp/dwebp':>13}{'Pillow ms':>11}")
webp_out = os.path.join(work, "tool.webp")
rows = [("encode q85 m4", "webp_lossy", "libwebp_lossy", ["-q", "85", "-m", "4"]),
        ("encode lossless", "webp_lossless", "libwebp_lossless", ["-lossless", "-q", "75", "-m", "4"])]
for label, name, library, options in rows:
    tool = (statistics.median(tool_seconds(["cwebp", *options, raw, "-o", webp_out],
                                           "Time to encode picture") for _ in range(runs))
            if shutil.which("cwebp") else float("nan"))
    lossless = "lossless" in name
    pillow = (median_ms(lambda: pic.save(webp_out, lossless=lossless, quality=75 if lossless else 85,
                                         method=4)) if Image is not None else float("nan"))
    print(f"{label:<20}{ours[name]:>12.0f}{ours[library]:>12.0f}{ours[name] / ours[library]:>7.2f}"
          f"{tool:>13.0f}{pillow:>11.0f}")
case = "new_4000x3000"
tool = (statistics.median(tool_seconds(["dwebp", webp_photo, "-ppm", "-o", os.path.join(
    work, "tool.ppm")], "Time to decode picture") for _ in range(runs))
    if shutil.which("dwebp") else float("nan"))


def webp_decode():
    with Image.open(webp_photo) as im:
        im.load()


pillow = median_ms(webp_decode) if Image is not None else float("nan")
print(f"{'decode (load)':<20}{ours['webp_load_' + case]:>12.0f}{ours['libwebp_decode_' + case]:>12.0f}"
      f"{ours['webp_ratio_' + case]:>7.2f}{tool:>13.0f}{pillow:>11.0f}")
print("libwebp: the same library called directly in the benchmark process (under Wine), with the\n"
      "same settings; ratio: Quiltora / libwebp (target at most 1.2); cwebp and dwebp: the time they\n"
      "report for the work alone (-v), natively; Pillow: natively, save or open and load")
