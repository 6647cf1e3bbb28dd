#!/usr/bin/python3
"""Pictures for the end-to-end run, and the check of what it saved.

  check_e2e.py make FOLDER    writes the input pictures
  check_e2e.py check FOLDER   compares every saved file with the picture the
                              run must have produced, computed here from the
                              inputs and the settings the run chose
"""
import sys

from PIL import Image

# name: (width, height, colour). Distinct sizes show every placement.
PICTURES = {
    "a.png": (120, 80, (30, 90, 200)),
    "b.bmp": (100, 60, (40, 160, 60)),
    "c.png": (70, 90, (200, 120, 30)),
    "d.jpg": (90, 50, (240, 240, 240)),
}
GAP, GAP_COLOUR, BACKGROUND = 8, (255, 0, 0), (255, 255, 255)


def join(steps):
    """The joined picture of (name, below) pastes: a right paste goes after
    the last cell in its row, a below paste under everything; gaps between
    neighbours, background where no picture is."""
    cells, width, height = [], 0, 0
    last = (0, 0, 0, 0)  # x, y, w, h of the last cell
    for name, below in steps:
        w, h, colour = PICTURES[name]
        if not cells:
            gx = gy = 0
            x = y = 0
        elif below:
            gx, gy = 0, GAP
            x, y = 0, height
        else:
            gx, gy = GAP, (GAP if last[1] != 0 else 0)
            x, y = last[0] + last[2], last[1]
        cell = (x, y, w + gx, h + gy)
        cells.append((cell, gx, gy, colour))
        width = max(width, x + cell[2])
        height = max(height, y + cell[3])
        last = cell
    picture = Image.new("RGB", (width, height), BACKGROUND)
    for (x, y, cw, ch), gx, gy, colour in cells:
        if gx:
            picture.paste(GAP_COLOUR, (x, y, x + gx, y + ch))
        if gy:
            picture.paste(GAP_COLOUR, (x, y, x + cw, y + gy))
        picture.paste(colour, (x + gx, y + gy, x + cw, y + ch))
    return picture


# Every file the run saves, with the pastes that made it and the mean
# difference its format may bring (JPEG smooths colour edges).
EXPECTED = {
    "two.png": ([("a.png", False), ("b.bmp", False)], 0),
    "two.bmp": ([("a.png", False), ("b.bmp", False)], 0),
    "two.jpg": ([("a.png", False), ("b.bmp", False)], 4),
    "list.png": ([("a.png", False), ("c.png", True), ("b.bmp", False), ("d.jpg", False)], 0.5),
    "batch-row.png": ([("a.png", True), ("b.bmp", False), ("c.png", False), ("d.jpg", False)], 0.5),
    "batch-column.png": ([("a.png", True), ("b.bmp", True), ("c.png", True), ("d.jpg", True)], 0.5),
    # Rows wrapped at 300 pixels: a, b (228 wide), then c would end at 306.
    "batch-wrap.png": ([("a.png", True), ("b.bmp", False), ("c.png", True), ("d.jpg", False)], 0.5),
    "batch-grid.png": ([("a.png", True), ("b.bmp", False), ("c.png", False), ("d.jpg", True)], 0.5),
}


# Equal cells of the largest sides (120 x 90), three a row, each centred
# picture above a band of 18 rows (12-pixel captions): only the size and each
# picture's centre are checked, the captions' glyphs being the font's.
CELLS = ("batch-cells.png", (3 * 120 + 2 * GAP, 2 * (90 + 18) + GAP),
         [((60, 45), "a.png"), ((188, 45), "b.bmp"), ((316, 45), "c.png"), ((60, 161), "d.jpg")])


def check_cells(folder):
    name, size, centres = CELLS
    try:
        got = Image.open(f"{folder}/{name}").convert("RGB")
    except OSError as error:
        print(f"{name}: not saved ({error})")
        return 1
    if got.size != size:
        print(f"{name}: {got.size} instead of {size}")
        return 1
    wrong = [p for (xy, p) in centres
             if max(abs(a - b) for a, b in zip(got.getpixel(xy), PICTURES[p][2])) > 8]
    if wrong:
        print(f"{name}: {', '.join(wrong)} not centred in their cells")
    return 1 if wrong else 0


def check(folder):
    failures = check_cells(folder)
    for name, (steps, tolerance) in EXPECTED.items():
        want = join(steps)
        try:
            got = Image.open(f"{folder}/{name}").convert("RGB")
        except OSError as error:
            print(f"{name}: not saved ({error})")
            failures += 1
            continue
        if got.size != want.size:
            print(f"{name}: {got.size} instead of {want.size}")
            failures += 1
            continue
        total = sum(abs(p - q) for a, b in zip(got.getdata(), want.getdata()) for p, q in zip(a, b))
        mean = total / (3 * want.width * want.height)
        if mean > tolerance:
            print(f"{name}: pixels differ by {mean:.2f} on average")
            failures += 1
    print(f"{len(EXPECTED) + 1 - failures} passed, {failures} failed")
    return 1 if failures else 0


def make(folder):
    for name, (w, h, colour) in PICTURES.items():
        Image.new("RGB", (w, h), colour).save(f"{folder}/{name}", quality=95)


if __name__ == "__main__":
    sys.exit(check(sys.argv[2]) if sys.argv[1] == "check" else make(sys.argv[2]))
