#!/usr/bin/python3
"""Draws the program icon (101), the toolbar strip (112) and the file list's
toolbar strip (107) and entry icons (108).

Run with Debian's python3 (Pillow): resources/images/draw.py
Writes toolbar.bmp (4-bit, 240 x 16, fifteen 16 x 16 images, pure green
background that the toolbar maps to the button face), quiltora.ico
(32 x 32 and 16 x 16, 32-bit with alpha and an AND mask), list_toolbar.bmp
(4-bit, 60 x 15, four 15 x 15 images: find folder, paste right, paste below,
batch) and list_icons.bmp (4-bit, 48 x 16, three 16 x 16 images: parent
folder, folder, picture); both list strips have a pure red background, which
the list maps to the button face or masks out, so they use no pure red.

Every strip is drawn three times, for displays at 100, 150 and 200 %: the
names above, then the same names ending in _150 and _200, their images 1.5
and 2 times as large (24 and 32 pixels for a 16-pixel image). The drawing
code gives coordinates on the 100 % grid; Scaled maps each of its pixels to
a block of the larger grid, so the larger images are drawn, not stretched.
"""
import os
import struct

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of the standard 4-bit palette; the toolbar uses only these.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
K, MAROON, DGREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = VGA
BG = GREEN  # transparent: mapped to the button face

# 3 x 5 capitals for the format tags on the save buttons.
FONT = {
    'B': ["110", "101", "110", "101", "110"],
    'P': ["110", "101", "110", "100", "100"],
    'J': ["011", "001", "001", "101", "010"],
    'W': ["101", "101", "101", "111", "101"],
}


# The scale the strips are being drawn at; set by the main block.
SCALE = 1.0


def scaled(length):
    """A length of the 100 % grid at SCALE, half pixels rounded up."""
    return int(length * SCALE + 0.5)


class Scaled:
    """ImageDraw taking coordinates of the 100 % grid. A pixel (x, y) of that
    grid covers the block from scaled(x) to scaled(x + 1) - 1; line and
    polygon points are pixel centres; strokes are SCALE pixels wide, rounded
    down, so that 150 % keeps one-pixel outlines."""

    def __init__(self, img):
        self.d = ImageDraw.Draw(img)
        self.stroke = max(1, int(SCALE))

    @staticmethod
    def box(xy):
        x0, y0, x1, y1 = xy
        return [scaled(x0), scaled(y0), scaled(x1 + 1) - 1, scaled(y1 + 1) - 1]

    @staticmethod
    def centre(p):
        return ((p[0] + 0.5) * SCALE - 0.5, (p[1] + 0.5) * SCALE - 0.5)

    def point(self, xy, fill):
        self.d.rectangle(self.box((xy[0], xy[1], xy[0], xy[1])), fill=fill)

    def rectangle(self, xy, fill=None, outline=None):
        self.d.rectangle(self.box(xy), fill=fill, outline=outline, width=self.stroke)

    def ellipse(self, xy, fill=None, outline=None):
        self.d.ellipse(self.box(xy), fill=fill, outline=outline, width=self.stroke)

    def arc(self, xy, start, end, fill, width=1):
        self.d.arc(self.box(xy), start, end, fill=fill, width=max(1, int(width * SCALE)))

    def line(self, points, fill, width=1):
        self.d.line([self.centre(p) for p in points], fill=fill, width=max(1, int(width * SCALE)))

    def polygon(self, points, fill=None, outline=None):
        self.d.polygon([self.centre(p) for p in points], fill=fill, outline=outline,
                       width=self.stroke)


def canvas(size=16, background=BG):
    img = Image.new("RGB", (scaled(size), scaled(size)), background)
    return img, Scaled(img)


def strip(images, background):
    """The images side by side, each as wide as it is high."""
    side = images[0].size[1]
    out = Image.new("RGB", (side * len(images), side), background)
    for i, img in enumerate(images):
        out.paste(img, (side * i, 0))
    return out


def text(d, x, y, letter, colour):
    for row, bits in enumerate(FONT[letter]):
        for col, bit in enumerate(bits):
            if bit == "1":
                d.point((x + col, y + row), colour)


def page(d, x0, y0, x1, y1, fold=3):
    """A sheet of paper with a folded top-right corner."""
    d.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], fill=WHITE, outline=K)
    d.line([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], fill=K)


def photo(d, x0, y0, x1, y1):
    """A small picture: sky, sun and a green hill in a dark frame."""
    d.rectangle([x0, y0, x1, y1], fill=CYAN, outline=K)
    d.point((x1 - 2, y0 + 2), YELLOW)
    d.point((x1 - 3, y0 + 2), YELLOW)
    d.point((x1 - 2, y0 + 3), YELLOW)
    d.polygon([(x0 + 1, y1 - 1), (x0 + 3, y1 - 3), (x0 + 5, y1 - 2), (x1 - 1, y1 - 4), (x1 - 1, y1 - 1)], fill=DGREEN)


def arrow_right(d, x, y, colour=BLUE):
    """A 7-wide arrow pointing right, its tip at (x + 6, y)."""
    d.rectangle([x, y - 1, x + 3, y + 1], fill=colour)
    d.polygon([(x + 4, y - 3), (x + 6, y), (x + 4, y + 3)], fill=colour)


def arrow_down(d, x, y, colour=BLUE):
    """A 7-high arrow pointing down, its tip at (x, y + 6)."""
    d.rectangle([x - 1, y, x + 1, y + 3], fill=colour)
    d.polygon([(x - 3, y + 4), (x, y + 6), (x + 3, y + 4)], fill=colour)


def floppy(d, letter, tag):
    d.rectangle([1, 1, 14, 14], fill=NAVY, outline=K)
    d.rectangle([4, 1, 11, 5], fill=SILVER)
    d.rectangle([9, 2, 10, 4], fill=NAVY)
    d.rectangle([3, 8, 12, 14], fill=WHITE)
    text(d, 6, 9, letter, tag)


def clipboard(d, x0, y0, x1, y1):
    d.rectangle([x0, y0 + 1, x1, y1], fill=OLIVE, outline=K)
    d.rectangle([x0 + 2, y0 + 3, x1 - 2, y1 - 2], fill=WHITE)
    d.rectangle([x0 + 3, y0, x1 - 3, y0 + 2], fill=SILVER, outline=K)


def magnifier(d, plus):
    d.ellipse([1, 1, 10, 10], fill=WHITE, outline=K)
    d.ellipse([2, 2, 9, 9], outline=GREY)
    d.line([(3, 5), (8, 5)], fill=K)
    d.line([(3, 6), (8, 6)], fill=K)
    if plus:
        d.line([(5, 3), (5, 8)], fill=K)
        d.line([(6, 3), (6, 8)], fill=K)
    d.line([(9, 9), (14, 14)], fill=MAROON, width=2)
    d.line([(10, 9), (14, 13)], fill=MAROON)


def new_file():
    img, d = canvas()
    page(d, 3, 1, 12, 14, fold=4)
    d.point((13, 1), YELLOW)
    d.line([(12, 0), (14, 2)], fill=YELLOW)
    d.line([(14, 0), (12, 2)], fill=YELLOW)
    return img


def save(letter, tag):
    img, d = canvas()
    floppy(d, letter, tag)
    return img


def undo():
    img, d = canvas()
    d.arc([3, 3, 14, 14], 180, 90, fill=NAVY, width=2)
    d.polygon([(0, 8), (7, 8), (3, 12)], fill=NAVY)
    return img


def copy():
    img, d = canvas()
    page(d, 1, 1, 9, 11)
    page(d, 6, 4, 14, 14)
    for y in (8, 10, 12):
        d.line([(8, y), (12, y)], fill=GREY)
    return img


def paste_file(below):
    img, d = canvas()
    if below:
        photo(d, 2, 0, 13, 7)
        arrow_down(d, 7, 9)
    else:
        photo(d, 0, 2, 7, 13)
        arrow_right(d, 9, 7)
    return img


def paste_clipboard(below):
    img, d = canvas()
    if below:
        clipboard(d, 3, 0, 12, 8)
        arrow_down(d, 7, 9, RED)
    else:
        clipboard(d, 0, 2, 8, 14)
        arrow_right(d, 9, 8, RED)
    return img


def file_list():
    img, d = canvas()
    d.rectangle([1, 1, 14, 14], fill=WHITE, outline=K)
    for i, y in enumerate((3, 6, 9, 12)):
        d.rectangle([3, y - 1, 5, y + 1], fill=[OLIVE, CYAN, CYAN, DGREEN][i])
        d.line([(7, y), (12, y)], fill=NAVY)
    d.rectangle([3, 1, 14, 1], fill=NAVY)
    return img


def settings():
    img, d = canvas()
    d.ellipse([2, 2, 13, 13], fill=GREY, outline=K)
    for x0, y0, x1, y1 in ((6, 0, 9, 3), (6, 12, 9, 15), (0, 6, 3, 9), (12, 6, 15, 9)):
        d.rectangle([x0, y0, x1, y1], fill=GREY, outline=K)
    d.ellipse([2, 2, 13, 13], fill=GREY)
    d.ellipse([1, 1, 14, 14], outline=K)
    d.rectangle([6, 1, 9, 14], fill=GREY)
    d.rectangle([1, 6, 14, 9], fill=GREY)
    d.ellipse([5, 5, 10, 10], fill=WHITE, outline=K)
    return img


def toolbar():
    images = [
        new_file(), save('B', RED), save('P', DGREEN), save('J', BLUE), save('W', PURPLE), undo(), copy(),
        paste_file(False), paste_file(True), paste_clipboard(False), paste_clipboard(True),
        file_list(), settings(), zoom(True), zoom(False),
    ]
    return strip(images, BG)


def zoom(plus):
    img, d = canvas()
    magnifier(d, plus)
    return img


# The file list's strips: pure red is their transparent colour.
LIST_BG = RED


def folder(d, x0, y0, x1, y1, open_front=False):
    """A yellow folder with a tab at the top left."""
    d.polygon([(x0, y0 + 1), (x0 + 1, y0), (x0 + 5, y0), (x0 + 6, y0 + 2), (x1, y0 + 2), (x1, y1), (x0, y1)],
              fill=OLIVE, outline=K)
    if open_front:
        # The front flap, lighter and tilted, so the folder reads as open.
        d.polygon([(x0 + 2, y0 + 5), (x1 + 1, y0 + 5), (x1 - 1, y1), (x0, y1)], fill=YELLOW, outline=K)
    else:
        d.rectangle([x0 + 1, y0 + 4, x1 - 1, y1 - 1], fill=YELLOW)
        d.line([(x0 + 1, y0 + 4), (x1 - 1, y0 + 4)], fill=K)


def find_folder():
    img, d = canvas(15, LIST_BG)
    folder(d, 0, 2, 11, 12, open_front=True)
    # A magnifier over the folder's corner.
    d.ellipse([7, 5, 13, 11], fill=WHITE, outline=K)
    d.ellipse([8, 6, 12, 10], outline=GREY)
    d.line([(12, 11), (14, 13)], fill=K, width=2)
    return img


def list_paste(below):
    img, d = canvas(15, LIST_BG)
    if below:
        photo(d, 2, 0, 12, 7)
        arrow_down(d, 7, 8)
    else:
        photo(d, 0, 2, 7, 12)
        arrow_right(d, 8, 7)
    return img


def batch():
    """Four pictures joined in a grid, with a gear: the automatic job."""
    img, d = canvas(15, LIST_BG)
    for x0, y0, colour in ((0, 0, CYAN), (5, 0, YELLOW), (0, 5, GREEN), (5, 5, MAGENTA)):
        d.rectangle([x0, y0, x0 + 4, y0 + 4], fill=colour, outline=K)
    d.ellipse([7, 7, 14, 14], fill=GREY, outline=K)
    for x, y in ((10, 6), (10, 14), (6, 10), (14, 10)):
        d.point((x, y), K)
        d.point((x + 1, y), K)
    d.ellipse([9, 9, 12, 12], fill=WHITE, outline=K)
    return img


def list_toolbar():
    images = [find_folder(), list_paste(False), list_paste(True), batch()]
    return strip(images, LIST_BG)


def parent_folder_icon():
    img, d = canvas(16, LIST_BG)
    folder(d, 0, 3, 14, 14)
    # A green arrow pointing up and back: one folder up.
    d.polygon([(7, 5), (11, 9), (9, 9), (9, 12), (5, 12), (5, 9), (3, 9)], fill=DGREEN, outline=K)
    return img


def folder_icon():
    img, d = canvas(16, LIST_BG)
    folder(d, 0, 3, 14, 14)
    return img


def picture_icon():
    img, d = canvas(16, LIST_BG)
    page(d, 2, 0, 14, 15, fold=3)
    photo(d, 4, 5, 12, 12)
    return img


def list_icons():
    images = [parent_folder_icon(), folder_icon(), picture_icon()]
    return strip(images, LIST_BG)


def nearest(rgb):
    return min(range(16), key=lambda i: sum((a - b) ** 2 for a, b in zip(rgb, VGA[i])))


def write_bmp4(img, path):
    w, h = img.size
    stride = ((w * 4 + 31) // 32) * 4
    rows = []
    px = img.load()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            idx = nearest(px[x, y])
            row[x // 2] |= idx << 4 if x % 2 == 0 else idx
        rows.append(bytes(row))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)
    offset = 14 + 40 + len(palette)
    size = offset + stride * h
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", size, 0, 0, offset))
        f.write(struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, stride * h, 2835, 2835, 16, 16))
        f.write(palette)
        f.write(b"".join(rows))


def app_icon(size):
    """Four pictures joined with a white gap: the program's whole idea."""
    scale = size / 32.0
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = lambda v: int(round(v * scale))
    d.rounded_rectangle([0, 0, size - 1, size - 1], radius=s(5), fill=(250, 250, 250, 255), outline=(60, 60, 70, 255))
    tiles = [
        ((3, 3, 15, 15), (70, 150, 230)),
        ((17, 3, 28, 15), (240, 170, 40)),
        ((3, 17, 15, 28), (90, 180, 90)),
        ((17, 17, 28, 28), (220, 80, 90)),
    ]
    for (x0, y0, x1, y1), colour in tiles:
        d.rectangle([s(x0), s(y0), s(x1), s(y1)], fill=colour + (255,))
    # A hill and a sun in the first tile, so it reads as a picture.
    d.polygon([(s(3), s(15)), (s(8), s(9)), (s(12), s(13)), (s(15), s(11)), (s(15), s(15))], fill=(40, 110, 60, 255))
    d.ellipse([s(10), s(5), s(13), s(8)], fill=(255, 240, 120, 255))
    return img


def icon_entry(img):
    w, h = img.size
    px = img.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def write_ico(images, path):
    entries = [icon_entry(img) for img in images]
    offset = 6 + 16 * len(images)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for img, data in zip(images, entries):
            w, h = img.size
            f.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset))
            offset += len(data)
        for data in entries:
            f.write(data)


if __name__ == "__main__":
    write_ico([app_icon(32), app_icon(16)], os.path.join(HERE, "quiltora.ico"))
    for percent in (100, 150, 200):
        SCALE = percent / 100.0
        suffix = "" if percent == 100 else "_%d" % percent
        for name, draw in (("toolbar", toolbar), ("list_toolbar", list_toolbar), ("list_icons", list_icons)):
            write_bmp4(draw(), os.path.join(HERE, name + suffix + ".bmp"))
    print("wrote quiltora.ico and toolbar, list_toolbar and list_icons at 100, 150 and 200 %")
