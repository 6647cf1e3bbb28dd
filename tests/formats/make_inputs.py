#!/usr/bin/env python3
"""usage: make_inputs.py DATA_DIR [PNGSUITE_DIR [LIBWEBP_TESTS_DIR]]
Makes in DATA_DIR/in/ the pictures formats_tests reads, with independent
encoders (Pillow, zlib, hand-built structures), a dump of the pixels each must
load as (width and height as 32-bit little-endian numbers, then red, green,
blue, top row first), and cases.txt (suite.txt for the PNG suite,
webp_suite.txt for libwebp's own test pictures), a line each:
"pixels FILE DUMP", "similar FILE DUMP PSNR" (within PSNR dB), "near FILE DUMP
MAX" (no sample further than MAX from the dump's), "over FILE DUMP COLORREF"
(loaded over that background, in hex; otherwise white), "damaged FILE DUMP
ROWS" (loaded from a damaged file, the top ROWS rows as in the dump) or
"refuse FILE". Every picture but the damaged ones loads from a whole file.
Exits 77 without Pillow.
"""
import io
import os
import random
import shutil
import struct
import subprocess
import sys
import warnings
import zlib

try:
    from PIL import Image, ImageOps
except ImportError:
    print("Pillow is not installed: the picture-file tests are skipped")
    sys.exit(77)

# Pillow warns about palette transparency it is not asked to apply.
warnings.filterwarnings("ignore")
out_dir = os.path.join(sys.argv[1], "in")
suite_dir = sys.argv[2] if len(sys.argv) > 2 else ""
for folder in (out_dir, os.path.join(sys.argv[1], "out")):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
cases = []


def put(name, data):
    with open(os.path.join(out_dir, name), "wb") as f:
        f.write(data)
    return io.BytesIO(data)


def dump(name, width, height, rgb):
    put(name, struct.pack("<II", width, height) + bytes(rgb))
    return name


WHITE = (255, 255, 255)


def over(rgba, back):
    """RGBA bytes blended over the colour back (r, g, b) as the loader blends."""
    return bytes((rgba[i + c] * rgba[i + 3] + back[c] * (255 - rgba[i + 3]) + 127) // 255
                 for i in range(0, len(rgba), 4) for c in range(3))


def expect_over(name, w, h, rgba, back):
    colorref = back[0] | back[1] << 8 | back[2] << 16
    cases.append(f"over {name} {dump(f'{name}.{colorref:06x}.rgb', w, h, over(rgba, back))} "
                 f"{colorref:x}")


def expect(name, im, psnr=None):
    rgb = im.convert("RGB")
    d = dump(name + ".rgb", rgb.width, rgb.height, rgb.tobytes())
    cases.append(f"pixels {name} {d}" if psnr is None else f"similar {name} {d} {psnr}")


def refuse(name, data=None):
    if data is not None:
        put(name, data)
    cases.append(f"refuse {name}")


# --- PNG built by hand: chunks, zlib and the five row filters --------------

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def ihdr(w, h, depth, colour, interlace=0):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, colour, 0, 0, interlace))


SIG = b"\x89PNG\r\n\x1a\n"


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def filtered(rows, bpp, types):
    """Raw rows (bytes each) filtered with types[i % len(types)]."""
    out, prev = bytearray(), bytes(len(rows[0]))
    for i, row in enumerate(rows):
        t = types[i % len(types)]
        line = bytearray([t])
        for x, v in enumerate(row):
            a = row[x - bpp] if x >= bpp else 0
            b, c = prev[x], (prev[x - bpp] if x >= bpp else 0)
            pred = [0, a, b, (a + b) // 2, paeth(a, b, c)][t]
            line.append((v - pred) & 255)
        out += line
        prev = row
    return bytes(out)


def pack_bits(values, depth):
    per = 8 // depth
    return bytes(sum(v << (8 - depth * (j + 1)) for j, v in enumerate(values[i:i + per]))
                 for i in range(0, len(values), per))


rnd = random.Random(4242)


def crafted_palette(name, w, h, depth, plte_entries, max_index, types=(0,), extra=b""):
    """A palette PNG whose pixels use indices up to max_index; indices beyond
    the PLTE read as black."""
    pal = [tuple(rnd.randrange(256) for _ in range(3)) for _ in range(plte_entries)]
    idx = [[rnd.randrange(max_index + 1) for _ in range(w)] for _ in range(h)]
    rows = [pack_bits(r, depth) for r in idx]
    data = zlib.compress(filtered(rows, 1, types))
    put(name, SIG + ihdr(w, h, depth, 3) + chunk(b"PLTE", bytes(sum(pal, ()))) + extra +
        chunk(b"IDAT", data) + chunk(b"IEND", b""))
    rgb = bytearray()
    for r in idx:
        for i in r:
            rgb += bytes(pal[i]) if i < min(plte_entries, 256) else b"\0\0\0"
    cases.append(f"pixels {name} {dump(name + '.rgb', w, h, rgb)}")


def noise_rows(w, h, channels):
    return [bytes(rnd.randrange(256) for _ in range(w * channels)) for _ in range(h)]


def rgb_png(rows, w, channels, types=(0,), idat_pieces=None, before=b"", raw_extra=b""):
    data = zlib.compress(filtered(rows, channels, types) + raw_extra)
    pieces = [data] if idat_pieces is None else idat_pieces(data)
    colour = 2 if channels == 3 else 6
    return (SIG + before + ihdr(w, len(rows), 8, colour) +
            b"".join(chunk(b"IDAT", p) for p in pieces) + chunk(b"IEND", b""))


def expect_rows(name, rows, w, channels, data=None, damaged=False):
    """Writes data (or rows as a PNG file) expecting rows blended over white."""
    put(name, data or rgb_png(rows, w, channels))
    rgb = b"".join(r if channels == 3 else over(r, WHITE) for r in rows)
    d = dump(name + '.rgb', w, len(rows), rgb)
    cases.append(f"damaged {name} {d} {len(rows)}" if damaged else f"pixels {name} {d}")


rows = noise_rows(9, 10, 4)
expect_rows("rgba_filters.png", rows, 9, 4, rgb_png(rows, 9, 4, types=(0, 1, 2, 3, 4)))
rows = noise_rows(1, 12, 3)
expect_rows("width1_filters.png", rows, 1, 3, rgb_png(rows, 1, 3, types=(1, 3, 4, 2, 3, 1)))
rows = noise_rows(11, 7, 3)
expect_rows("text_first.png", rows, 11, 3,
            rgb_png(rows, 11, 3, before=chunk(b"tEXt", b"Title\0first")))
expect_rows("many_idat.png", rows, 11, 3, rgb_png(rows, 11, 3, types=(4,), idat_pieces=lambda d: [
    d[i:i + 7] for i in range(0, len(d), 7)] + [b""]))
big = noise_rows(120, 100, 3)
expect_rows("big_idat.png", big, 120, 3, rgb_png(big, 120, 3, types=(1,)))
refuse("too_much_data.png", rgb_png(rows, 11, 3, raw_extra=b"\0" * 40))
good = rgb_png(rows, 11, 3)
refuse("corrupt_data.png", good[:60] + bytes(b ^ 0x55 for b in good[60:90]) + good[90:])
# A damaged IDAT chunk (its CRC wrong) refuses the file while the stream still
# runs through it; after the stream's end it is never looked at.
stream = zlib.compress(filtered(rows, 3, (0,)))
idat = SIG + ihdr(11, 7, 8, 2) + chunk(b"IDAT", stream[:20]) + chunk(b"IDAT", stream[20:])
refuse("damaged_in_stream.png", idat[:-1] + bytes([idat[-1] ^ 1]) + chunk(b"IEND", b""))
expect_rows("damaged_after_end.png", rows, 11, 3,
            idat + chunk(b"IDAT", b"x")[:-1] + b"?" + chunk(b"IEND", b""))
# An IDAT whose length runs past the end of the file offers what is there.
cut = good.index(b"IDAT")
expect_rows("long_idat.png", rows, 11, 3,
            good[:cut - 4] + struct.pack(">I", 0x7FFFFF00) + good[cut:], damaged=True)

crafted_palette("short_plte.png", 13, 6, 4, 3, 15, types=(0, 1, 2, 3, 4))
crafted_palette("long_plte.png", 17, 9, 8, 300, 255, types=(2,))
crafted_palette("pal2.png", 10, 5, 2, 4, 3, types=(3, 4))
# Files that end inside the palette or right after the header, or whose
# chunk scan stops at a length beyond 2^31 - 1, hold no image data: refused.
pal2 = open(os.path.join(out_dir, "pal2.png"), "rb").read()
plte = pal2.index(b"PLTE")
refuse("cut_in_plte.png", pal2[:plte + 4 + 5])
refuse("cut_in_ihdr_crc.png", pal2[:8 + 8 + 13 + 2].replace(b"\x02\x03", b"\x02\x00", 1))

# Grey 8-bit, the stream cut after the first of two IDAT chunks: the rows the
# data reach load, the others stay zero (black).
grey = [bytes(rnd.randrange(256) for _ in range(16)) for _ in range(12)]
data = zlib.compress(filtered(grey, 1, (0,)))
half = len(data) // 2
put("truncated.png", SIG + ihdr(16, 12, 8, 0) + chunk(b"IDAT", data[:half]))
partial = zlib.decompressobj().decompress(data[:half])
partial = (partial + bytes(17 * 12))[:17 * 12]
rgb = b"".join(bytes(3 * [v]) for y in range(12) for v in partial[y * 17 + 1:y * 17 + 17])
cases.append(f"damaged truncated.png {dump('truncated.png.rgb', 16, 12, rgb)} 12")

# 16-bit grey with a transparent value: keyed pixels show the background.
grey16 = [[rnd.choice((0x1234, 0x12FF, 0xABCD, 0xFFFF)) for _ in range(6)] for _ in range(5)]
put("grey16_trns.png", SIG + ihdr(6, 5, 16, 0) + chunk(b"tRNS", struct.pack(">H", 0x1234)) +
    chunk(b"IDAT", zlib.compress(b"".join(b"\0" + struct.pack(">6H", *r) for r in grey16))) +
    chunk(b"IEND", b""))
rgb = b"".join(bytes(3 * [255 if v == 0x1234 else v >> 8]) for r in grey16 for v in r)
cases.append(f"pixels grey16_trns.png {dump('grey16_trns.png.rgb', 6, 5, rgb)}")

# An unknown filter type leaves its row as stored.
raw = b"".join(bytes([7]) + r for r in grey)
put("unknown_filter.png",
    SIG + ihdr(16, 12, 8, 0) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
rgb = b"".join(bytes(3 * [v]) for r in grey for v in r)
cases.append(f"pixels unknown_filter.png {dump('unknown_filter.png.rgb', 16, 12, rgb)}")

tail = chunk(b"IDAT", zlib.compress(b"\0" * 8)) + chunk(b"IEND", b"")
for name, head in [
        ("short_ihdr.png", chunk(b"IHDR", struct.pack(">IIBBBB", 1, 1, 8, 0, 0, 0))),
        ("huge_width.png", ihdr(0x7FFFFFFF, 2, 8, 2)),
        ("huge_area.png", ihdr(40000, 40000, 8, 2)),
        ("huge_rows.png", ihdr(0xFFFFFFFF, 1, 1, 0)),
        ("zero_height.png", ihdr(5, 0, 8, 0)),
        ("no_plte.png", ihdr(2, 2, 8, 3)),
        ("no_ihdr.png", b"")]:
    refuse(name, SIG + head + tail)
# Rows the file could not fill even at deflate's best ratio: refused. A real
# picture compressed that well still loads.
refuse("bomb.png", SIG + ihdr(20000, 20000, 8, 0) + tail)
put("uniform.png", SIG + ihdr(1000, 600, 8, 0) +
    chunk(b"IDAT", zlib.compress(bytes(1001 * 600), 9)) + chunk(b"IEND", b""))
cases.append(f"pixels uniform.png {dump('uniform.png.rgb', 1000, 600, bytes(1800000))}")
refuse("huge_chunk.png", SIG + ihdr(2, 2, 8, 0) + struct.pack(">I", 0x80000000) + b"tEXt" + tail)

# --- the PNG conformance suite, decoded by ImageMagick -----------------------

def magick_rgba(data, w, h):
    """ImageMagick's pixels at 16 bits a sample, reduced to their high bytes
    (Pillow reduces 16-bit samples otherwise and drops 16-bit tRNS colours).
    It sees only the chunks that make the pixels: it would apply gAMA and the
    like, which this program ignores."""
    pos, kept = 8, [data[:8]]
    while pos + 8 <= len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind in (b"IHDR", b"PLTE", b"tRNS", b"IDAT", b"IEND"):
            kept.append(data[pos:pos + 12 + n])
        pos += 12 + n
    data = b"".join(kept)
    out = subprocess.run(["/usr/bin/convert", "png:-", "-depth", "16", "-endian", "MSB", "rgba:-"],
                         input=data, capture_output=True, check=True).stdout
    assert len(out) == 8 * w * h
    return out[::2]


# The suite's cases go to suite.txt: formats_tests skips them, saying so,
# where the suite is absent. Files whose names start with "x" are corrupt.
main_cases, cases = cases, []
if suite_dir and os.path.isdir(suite_dir) and os.path.exists("/usr/bin/convert"):
    for name in sorted(os.listdir(suite_dir)):
        if not name.endswith(".png"):
            continue
        data = open(os.path.join(suite_dir, name), "rb").read()
        if name.startswith("x"):
            refuse("suite_" + name, data)
            continue
        put("suite_" + name, data)
        w, h = struct.unpack(">II", data[16:24])
        expect_over("suite_" + name, w, h, magick_rgba(data, w, h), (32, 128, 192))
    put("suite.txt", ("\n".join(cases) + "\n").encode())
cases = main_cases

# --- pictures from Pillow: BMP, JPEG, GIF -----------------------------------

pal = [rnd.randrange(256) for _ in range(3 * 200)]
indexed = Image.new("P", (37, 23))
indexed.putpalette(pal + [0] * (768 - len(pal)))
indexed.putdata([(x * 7 + y * 11) % 200 for y in range(23) for x in range(37)])
source = indexed.convert("RGB")


def save(im, name, **options):
    buf = io.BytesIO()
    im.save(buf, **options)
    return put(name, buf.getvalue()).getvalue()


save(source, "bmp24.bmp", format="BMP")
expect("bmp24.bmp", source)
save(indexed, "bmp8.bmp", format="BMP")
expect("bmp8.bmp", source)


def bmp(name, w, h, bits, data, table=b"", comp=0, head=40, masks=b"", gap=b""):
    """Writes a BMP built by hand and returns it as a stream. Colour masks
    follow a 40-byte header or lie inside a longer one."""
    if head == 12:
        info = struct.pack("<IHHHH", 12, w, h, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", head, w, h, 1, bits, comp, len(data), 0, 0,
                           len(table) // 4, 0) + masks.ljust(head - 40, b"\0")
    off = 14 + len(info) + len(table) + len(gap)
    return put(name, b"BM" + struct.pack("<IHHI", off + len(data), 0, 0, off) + info + table + gap +
               data)


def noise(n):
    return bytes(rnd.randrange(256) for _ in range(n))


def opaque32(data):
    """32-bit rows whose fourth bytes are all zero: an unused byte, not alpha."""
    return bytes(0 if i % 4 == 3 else b for i, b in enumerate(data))


# Every depth and header kind, rows either way up, bit fields; 16-bit colours
# may round either way. The 32-bit bit fields name no alpha mask: the fourth
# byte is not looked at.
for bits, head, h, masks in [
        (1, 40, 7, b""), (4, 40, 7, b""), (1, 12, 7, b""), (8, 12, 7, b""), (24, 12, 7, b""),
        (16, 40, 7, b""), (32, 40, 7, b""), (1, 40, -7, b""), (4, 40, -7, b""),
        (16, 40, -7, b""), (24, 40, -7, b""), (16, 40, 7, struct.pack("<III", 0xF800, 0x7E0, 0x1F)),
        (32, 108, -7, struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0))]:
    name = f"bmp{bits}_{head}{'_down' if h < 0 else ''}{'_fields' if masks else ''}.bmp"
    table = noise((3 if head == 12 else 4) << bits) if bits <= 8 else b""
    data = noise((13 * bits + 31) // 32 * 4 * 7)
    expect(name, Image.open(bmp(name, 13, h, bits, data if masks else opaque32(data), table,
                                3 if masks else 0, head, masks, b"gap" * (bits == 4))),
           45 if bits == 16 else None)
# Runs, literal runs, line ends, a jump (3 right, 1 up) and an early end: the
# pixels skipped show colour table entry 0. Pillow 9.4 misreads such files, so
# the indices are written out, bottom row first.
for bits, data, rows in [
        (8, [5, 7, 0, 8, *range(30, 38), 0, 0, 13, 200, 0, 0, 0, 2, 3, 1, 4, 9, 0, 0, 0, 3, 40,
             41, 42, 0, 0, 0, 0, 1],
         [[7] * 5 + list(range(30, 38)), [200] * 13, [], [0, 0, 0, 9, 9, 9, 9], [40, 41, 42]]),
        (4, [5, 0x12, 0, 8, 0x34, 0x56, 0x78, 0x9A, 0, 0, 13, 0x3C, 0, 0, 0, 2, 3, 1, 4, 0x56, 0,
             0, 0, 3, 0xDE, 0xF0, 0, 0, 0, 1],
         [[1, 2, 1, 2, 1, *range(3, 11)], [3, 12] * 6 + [3], [], [0, 0, 0, 5, 6, 5, 6],
          [13, 14, 15]])]:
    name, table = f"bmp{bits}_rle.bmp", noise(4 << bits)
    bmp(name, 13, 7, bits, bytes(data), table, comp=1 if bits == 8 else 2)
    rows = [(r + [0] * 13)[:13] for r in rows + [[]] * (7 - len(rows))]
    rgb = b"".join(table[4 * i:4 * i + 3][::-1] for r in reversed(rows) for i in r)
    cases.append(f"pixels {name} {dump(name + '.rgb', 13, 7, rgb)}")

# Alpha channels, blended over a light grey as PNG's are: the fourth byte of
# Pillow's uncompressed 32-bit files (which Pillow itself ignores, so the
# expected blend comes from the pixels saved), ImageMagick's v5 files with an
# alpha mask, and a top-down 16-bit v4 file with a one-bit mask (its colours
# full or none, which every decoder scales alike).
LIGHT_GREY = (200, 200, 200)
glass = Image.new("RGBA", (19, 9))
glass.putdata([(*(rnd.randrange(256) for _ in range(3)), rnd.choice((0, 1, 90, 128, 254, 255)))
               for _ in range(19 * 9)])
save(glass, "bmp32_alpha.bmp", format="BMP")
expect_over("bmp32_alpha.bmp", 19, 9, glass.tobytes(), LIGHT_GREY)
glass_png = io.BytesIO()
glass.save(glass_png, format="PNG")
magick = subprocess.run(["/usr/bin/convert", "png:-", "bmp:-"], input=glass_png.getvalue(),
                        capture_output=True, check=True).stdout
put("bmp32_magick_alpha.bmp", magick)
expect_over("bmp32_magick_alpha.bmp", 19, 9,
            Image.open(io.BytesIO(magick)).convert("RGBA").tobytes(), LIGHT_GREY)
# Each pixel: alpha bit, and red, green, blue each all ones or zero.
argb = [[[rnd.randrange(2) for _ in range(4)] for _ in range(7)] for _ in range(5)]
argb_masks = (0x8000, 0x7C00, 0x3E0, 0x1F)
rows = b"".join(struct.pack("<7H", *(sum(m * b for m, b in zip(argb_masks, p)) for p in r)) +
                b"\0\0" for r in argb)
bmp("bmp16_v4_alpha.bmp", 7, -5, 16, rows, comp=3, head=108,
    masks=struct.pack("<IIII", *argb_masks[1:], argb_masks[0]))
expect_over("bmp16_v4_alpha.bmp", 7, 5,
            bytes(255 * b for r in argb for p in r for b in p[1:] + p[:1]), LIGHT_GREY)

# A smooth picture for the lossy decoder, with a red and a blue block.
smooth = Image.new("RGB", (64, 48))
smooth.putdata([(x * 4, y * 5, 128 + (x - y)) for y in range(48) for x in range(64)])
smooth.paste((255, 0, 0), (4, 4, 20, 20))
smooth.paste((0, 0, 255), (40, 24, 60, 44))


# Decoders differ in how they upsample colour (about 30 dB on this picture with
# its sharp colour blocks); a flipped or channel-swapped picture is far below.
jfif = save(smooth, "jfif.jpg", format="JPEG", quality=90)
expect("jfif.jpg", Image.open(io.BytesIO(jfif)), 28)
jfif_end = 4 + struct.unpack(">H", jfif[4:6])[0]
tiff = b"II*\0" + struct.pack("<IH", 8, 0) + b"\0\0\0\0"
exif = b"\xff\xd8\xff\xe1" + struct.pack(">H", 2 + 6 + len(tiff)) + b"Exif\0\0" + tiff
expect("exif.jpg", Image.open(put("exif.jpg", exif + jfif[jfif_end:])), 28)
# Exif orientations 1 to 8, in both TIFF byte orders, after the JFIF segment
# and an entry before the orientation's: loaded upright, as Pillow turns them.
blocks = Image.new("RGB", (48, 32))
for i, colour in enumerate([(255, 0, 0), (0, 200, 0), (0, 0, 255), (255, 255, 0), (0, 0, 0),
                            (255, 255, 255)]):
    blocks.paste(colour, (16 * (i % 3), 16 * (i // 3), 16 * (i % 3) + 16, 16 * (i // 3) + 16))


def exif_data(o):
    """Exif data of an APP1 segment with orientation o, big-endian for odd o."""
    e = ">" if o % 2 else "<"
    ifd = struct.pack(e + "HHHI4sHHIHH", 2, 0x010F, 2, 4, b"Cam\0", 0x0112, 3, 1, o, 0)
    return b"Exif\0\0" + (b"MM" if o % 2 else b"II") + struct.pack(e + "HI", 42, 8) + ifd + bytes(4)


def with_exif(jpeg, o):
    """The JPEG file with an Exif segment of orientation o first."""
    data = exif_data(o)
    return jpeg[:2] + b"\xff\xe1" + struct.pack(">H", 2 + len(data)) + data + jpeg[2:]


for o in range(1, 9):
    # Colour at full resolution: decoders differ in how they upsample it.
    im = Image.open(io.BytesIO(save(blocks, f"exif{o}.jpg", format="JPEG", quality=95,
                                    subsampling=0, exif=exif_data(o))))
    expect(f"exif{o}.jpg", ImageOps.exif_transpose(im), 30)
expect("progressive.jpg", Image.open(io.BytesIO(
    save(smooth, "progressive.jpg", format="JPEG", progressive=True))), 28)

# cjpeg's codings, samplings and restart intervals load exactly as djpeg
# decodes them (the same library's defaults), whatever segment comes first.
grainy = Image.new("RGB", (61, 43))
grainy.putdata([tuple(min(255, max(0, v + rnd.randrange(-24, 25)))
                      for v in (x * 4, y * 5, 128 + 2 * (x - y)))
                for y in range(43) for x in range(61)])
grainy.paste((255, 0, 0), (5, 5, 22, 20))


def ppm(im):
    buf = io.BytesIO()
    im.save(buf, format="PPM")
    return buf.getvalue()


def cjpeg(im, *options):
    return subprocess.run(["cjpeg", "-quality", "90", *options], input=ppm(im),
                          capture_output=True, check=True).stdout


def expect_djpeg(name, data, turn=None):
    put(name, data)
    im = Image.open(io.BytesIO(subprocess.run(["djpeg", "-ppm"], input=data, capture_output=True,
                                              check=True).stdout))
    expect(name, im.transpose(turn) if turn is not None else im)


for name, options in [("420", []), ("422", ["-sample", "2x1"]), ("440", ["-sample", "1x2"]),
                      ("444", ["-sample", "1x1"]), ("grey", ["-grayscale"]),
                      ("progressive", ["-progressive"]), ("arithmetic", ["-arithmetic"]),
                      ("arithmetic_progressive", ["-arithmetic", "-progressive"]),
                      ("restart_rows", ["-restart", "1"]), ("restart_mcus", ["-restart", "3B"])]:
    expect_djpeg(f"cjpeg_{name}.jpg", cjpeg(grainy, *options))
expect_djpeg("cjpeg_rgb.jpg", cjpeg(grainy, "-rgb"))
# The JFIF segment replaced by what other writers put first: Photoshop's
# "Save for Web" (APP12), an ICC profile (APP2), a comment, or nothing (the
# quantisation tables first).
plain_jfif = cjpeg(grainy)
after_jfif = 4 + struct.unpack(">H", plain_jfif[4:6])[0]
for name, segment in [("app12", b"\xff\xec\x00\x11Ducky\x00\x01\x00\x04\x00\x00\x00\x50\x00\x00"),
                      ("icc", b"\xff\xe2\x00\x14ICC_PROFILE\x00\x01\x01prof"),
                      ("comment", b"\xff\xfe\x00\x07hello"), ("dqt", b"")]:
    expect_djpeg(f"{name}_first.jpg", plain_jfif[:2] + segment + plain_jfif[after_jfif:])
# A zero after FF D8 FF is no marker.
refuse("no_marker.jpg", plain_jfif[:3] + b"\x00" + plain_jfif[3:])
odd = grainy.crop((3, 2, 20, 11))
expect_djpeg("cjpeg_17x9.jpg", cjpeg(odd))
expect_djpeg("cjpeg_17x9_progressive.jpg", cjpeg(odd, "-progressive", "-sample", "2x1"))
# Orientation 6: the stored picture turned a quarter clockwise.
expect_djpeg("cjpeg_exif6.jpg", with_exif(cjpeg(grainy), 6), Image.Transpose.ROTATE_270)


def djpeg_rgb(data):
    """djpeg's pixels; it decodes a damaged file as far as it goes, warning."""
    ppm_data = subprocess.run(["djpeg", "-ppm"], input=data, capture_output=True).stdout
    return Image.open(io.BytesIO(ppm_data)).tobytes()


def equal_rows(a, b, w):
    rows = 0
    while rows * w * 3 < len(a) and a[rows * w * 3:(rows + 1) * w * 3] == \
            b[rows * w * 3:(rows + 1) * w * 3]:
        rows += 1
    return rows


# Files cut short load as far as djpeg decodes them, the rows before the cut
# as in the whole file. A progressive file cut inside a scan's header loads as
# djpeg decodes it cut before that header. A file cut before its first scan
# holds no picture.
tall = Image.new("RGB", (48, 160))
tall.putdata([tuple(min(255, max(0, v + rnd.randrange(-30, 31)))
                    for v in (x * 5, y, 200 - y)) for y in range(160) for x in range(48)])
whole = cjpeg(tall)
whole_rgb = djpeg_rgb(whole)
dump("cut_whole.jpg.rgb", 48, 160, whole_rgb)
for percent in (50, 90):
    name = f"cut{percent}.jpg"
    cut_rgb = djpeg_rgb(put(name, whole[:len(whole) * percent // 100]).getvalue())
    rows = equal_rows(cut_rgb, whole_rgb, 48)
    assert 160 * percent // 200 < rows < 160, f"{name}: {rows} rows as in the whole file"
    cases.append(f"damaged {name} cut_whole.jpg.rgb {rows}")
    cases.append(f"damaged {name} {dump(name + '.rgb', 48, 160, cut_rgb)} 160")
steps = cjpeg(tall, "-progressive")
third_scan = [i for i in range(len(steps)) if steps[i:i + 2] == b"\xff\xda"][2]
put("cut_in_scan_header.jpg", steps[:third_scan + 6])
cases.append(f"damaged cut_in_scan_header.jpg "
             f"{dump('cut_in_scan_header.jpg.rgb', 48, 160, djpeg_rgb(steps[:third_scan]))} 160")
refuse("cut_before_scan.jpg", whole[:whole.index(b"\xff\xda") + 4])

# CMYK as Photoshop stores it (inverted, after an Adobe marker), as CMYK
# (Pillow) and as YCCK (ImageMagick), and plain CMYK (no marker, not
# inverted): within 1 of ImageMagick's conversion to RGB, which rounds its own
# way (Pillow's agrees with it within 1 too). ImageMagick takes every CMYK
# file as inverted; for the plain one it is told to undo that.
inks = Image.new("CMYK", (40, 24))
inks.putdata([(x * 6, y * 10, (x + y) * 4, (x * y) % 256) for y in range(24) for x in range(40)])
adobe = save(inks, "cmyk_adobe.jpg", format="JPEG", quality=95, subsampling=0)
ycck = subprocess.run(["/usr/bin/convert", "ppm:-", "-colorspace", "CMYK", "-quality", "95",
                       "jpg:-"], input=ppm(grainy), capture_output=True, check=True).stdout
# The Adobe segment: marker, length, "Adobe", version, two flag words, transform.
assert ycck[ycck.index(b"\xff\xee") + 15] == 2, "ImageMagick no longer writes YCCK"
app14 = adobe.index(b"\xff\xee")
plain = adobe[:app14] + adobe[app14 + 2 + struct.unpack(">H", adobe[app14 + 2:app14 + 4])[0]:]
uninvert = ["-channel", "CMYK", "-negate", "+channel"]
for name, data, options in [("cmyk_adobe.jpg", adobe, []), ("ycck_adobe.jpg", ycck, []),
                            ("cmyk_plain.jpg", plain, uninvert)]:
    put(name, data)
    rgb = subprocess.run(["/usr/bin/convert", "jpg:-", *options, "-colorspace", "sRGB", "-depth",
                          "8", "rgb:-"], input=data, capture_output=True, check=True).stdout
    w, h = Image.open(io.BytesIO(data)).size
    cases.append(f"near {name} {dump(name + '.rgb', w, h, rgb)} 1")

# Formats are told by content, not by name.
png = save(source, "png_named.jpg", format="PNG")
expect("png_named.jpg", source)
refuse("bad_png_tail.png", png[:4] + b"\r\n\x1a\x00" + png[8:])
refuse("unknown.bin", b"RIFF\0\0\0\0WEBPVP8 " + bytes(40))

gif_pic = Image.new("P", (20, 16))
gif_pic.putpalette([0, 0, 0, 200, 30, 30, 30, 200, 30, 10, 60, 250] + [90] * (768 - 12))
gif_pic.putdata([(x // 5 + y // 4) % 4 for y in range(16) for x in range(20)])


def gif(name, **options):
    data = save(gif_pic, name, format="GIF", **options)
    im = Image.open(io.BytesIO(data))
    # Transparent pixels show the background.
    expect_over(name, 20, 16, im.convert("RGBA").tobytes(), (17, 34, 51))
    return data


gif("gif_plain.gif")
trans = gif("gif_trans.gif", transparency=2)
looped = gif("gif_app_first.gif", transparency=2, loop=0)
assert looped.index(b"\x21\xff") < looped.index(b"\x21\xf9")
# A comment between the control extension and the image: no transparent colour.
gce = trans.index(b"\x21\xf9")
put("gif_gce_comment.gif", trans[:gce + 8] + b"\x21\xfe\x02hi\x00" + trans[gce + 8:])
# The decoder still honours the index: those pixels show the background.
expect_over("gif_gce_comment.gif", 20, 16, Image.open(io.BytesIO(trans)).convert("RGBA").tobytes(),
            WHITE)

# Half-transparent pixels over two backgrounds.
half = Image.new("RGBA", (24, 8))
half.putdata([(x * 10, 255 - x * 10, y * 30, (0, 1, 64, 128, 200, 254, 255, 128)[y])
              for y in range(8) for x in range(24)])
save(half, "half.png", format="PNG")
for back in ((255, 0, 0), WHITE):
    expect_over("half.png", 24, 8, half.tobytes(), back)

# Seeds of the robustness test.
save(source, "seed_rgb.png", format="PNG", optimize=True)
save(indexed, "seed_pal.png", format="PNG")
save(smooth.convert("L"), "seed_grey.png", format="PNG")
save(source.convert("RGBA"), "seed_rgba.png", format="PNG")
save(smooth.resize((24, 18)), "seed.jpg", format="JPEG", quality=80)

# --- WebP from cwebp, img2webp and webpmux, decoded by dwebp ----------------

def dwebp_rgba(data):
    """dwebp's RGBA samples of a still WebP file, with its size."""
    pam = subprocess.run(["dwebp", "-pam", "-quiet", "-o", "-", "--", "-"], input=data,
                         capture_output=True, check=True).stdout
    head, rgba = pam.split(b"ENDHDR\n", 1)
    fields = dict(line.split(b" ", 1) for line in head.split(b"\n")[1:] if b" " in line)
    assert fields[b"DEPTH"] == b"4" and fields[b"MAXVAL"] == b"255"
    return int(fields[b"WIDTH"]), int(fields[b"HEIGHT"]), rgba


def webp_tool(*command, data=None):
    return subprocess.run(command, input=data, capture_output=True, check=True).stdout


def cwebp(im, *options):
    """cwebp's file for a picture (RGBA pictures go through PNG)."""
    fmt = "PNG" if im.mode == "RGBA" else "PPM"
    buf = io.BytesIO()
    im.save(buf, format=fmt)
    return webp_tool("cwebp", "-quiet", *options, "-o", "-", "--", "-", data=buf.getvalue())


def expect_webp(name, data, back=(17, 34, 51), first=None):
    """A WebP file loads as dwebp decodes it (an animation as dwebp decodes its
    first frame, at its place on a canvas of the background colour)."""
    put(name, data)
    w, h, rgba = dwebp_rgba(first[0] if first else data)
    if first:
        _, cw, ch, x0, y0 = first
        canvas = bytearray(bytes(back) + b"\xff") * (cw * ch)
        for y in range(h):
            at = 4 * ((y0 + y) * cw + x0)
            canvas[at:at + 4 * w] = over_rgba(rgba[4 * w * y:4 * w * (y + 1)], back)
        w, h, rgba = cw, ch, bytes(canvas)
    expect_over(name, w, h, rgba, back)


def over_rgba(rgba, back):
    return b"".join(bytes(over(rgba[i:i + 4], back)) + b"\xff" for i in range(0, len(rgba), 4))


if shutil.which("cwebp") and shutil.which("dwebp"):
    photo = Image.new("RGB", (64, 48))
    photo.putdata([tuple(min(255, max(0, v + rnd.randrange(-25, 26)))
                         for v in (x * 4, 120 + y, 255 - x * 3)) for y in range(48) for x in range(64)])
    clear = photo.convert("RGBA")
    clear.putalpha(Image.linear_gradient("L").transpose(Image.Transpose.ROTATE_90).resize((64, 48)))
    for name, im, options in [
            ("q75", photo, []), ("q10_m0", photo, ["-q", "10", "-m", "0"]),
            ("q95_m6_sharp", photo, ["-q", "95", "-m", "6", "-sharp_yuv"]),
            ("nofilter_seg1", photo, ["-f", "0", "-segments", "1", "-sns", "0"]),
            ("lossless", photo, ["-lossless"]), ("lossless_z9", photo, ["-z", "9"]),
            ("near_lossless", photo, ["-near_lossless", "40"]),
            ("alpha_lossy", clear, ["-q", "80", "-alpha_q", "50", "-alpha_filter", "best"]),
            ("alpha_raw", clear, ["-alpha_method", "0"]),
            ("alpha_lossless", clear, ["-lossless", "-exact"]),
            ("1x1", photo.crop((5, 5, 6, 6)), []), ("17x5", photo.crop((0, 0, 17, 5)), []),
            ("1001x3", photo.resize((1001, 3)), []),
            ("17x5_lossless", clear.crop((3, 9, 20, 14)), ["-lossless"]),
            ("1001x3_alpha", clear.resize((1001, 3)), ["-q", "60"])]:
        expect_webp(f"cwebp_{name}.webp", cwebp(im, *options))
    # Still files the robustness test starts from, and files named otherwise.
    for name in ("q75", "lossless", "alpha_lossy"):
        shutil.copy(os.path.join(out_dir, f"cwebp_{name}.webp"),
                    os.path.join(out_dir, f"seed_{name}.webp"))
    expect_webp("webp_named.png", cwebp(photo, "-q", "50"))
    refuse("webp_cut.webp", cwebp(photo)[:-40])
    if shutil.which("webpmux"):
        lossy, small = cwebp(photo, "-q", "70"), cwebp(clear.crop((0, 0, 18, 10)), "-lossless")
        frames = os.path.join(out_dir, "frame1.webp"), os.path.join(out_dir, "frame2.webp")
        put("frame1.webp", small)
        put("frame2.webp", lossy)
        # The first frame at (10, 6) on a 64 x 48 canvas, then a whole one.
        anim = webp_tool("webpmux", "-frame", frames[0], "+100+10+6", "-frame", frames[1], "+100",
                         "-loop", "0", "-bgcolor", "255,255,0,0", "-o", "-")
        expect_webp("anim_offset.webp", anim, first=(small, 64, 48, 10, 6))
        expect_webp("anim_whole.webp", webp_tool(
            "webpmux", "-frame", frames[1], "+80", "-frame", frames[0], "+80+2+2", "-o", "-"),
            back=WHITE, first=(lossy, 64, 48, 0, 0))
        shutil.copy(os.path.join(out_dir, "anim_offset.webp"), os.path.join(out_dir, "seed_anim.webp"))

# libwebp's own test pictures (kept by scripts/bootstrap) go to webp_suite.txt:
# formats_tests skips them, saying so, where they are absent.
webp_dir = sys.argv[3] if len(sys.argv) > 3 else ""
main_cases, cases = cases, []
if webp_dir and os.path.isdir(webp_dir) and shutil.which("dwebp"):
    for folder, _, names in sorted(os.walk(webp_dir)):
        for name in sorted(n for n in names if n.endswith(".webp")):
            data = open(os.path.join(folder, name), "rb").read()
            expect_webp("libwebp_" + name, data, back=(200, 100, 50))
    if cases:
        put("webp_suite.txt", ("\n".join(cases) + "\n").encode())
cases = main_cases

put("cases.txt", ("\n".join(cases) + "\n").encode())
print(f"make_inputs: {len(cases)} cases in {out_dir}")
