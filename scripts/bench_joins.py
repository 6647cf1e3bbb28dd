#!/usr/bin/python3
"""Times Quiltora's command-line joins against ImageMagick, libvips and Pillow doing the same
jobs on the same generated pictures, checks every tool's output against Pillow's, and prints
tables. scripts/bench-joins installs and builds what this needs, then starts it.

`bench_joins.py --pillow ...` is the Pillow contestant itself, so that Pillow, like the
others, is timed as a whole process."""
import argparse, os, random, re, shutil, statistics, struct, subprocess, sys, textwrap
import time, zlib
from PIL import Image, ImageChops, ImageDraw, ImageFont, ImageStat

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOLS = ["Quiltora", "ImageMagick", "libvips", "Pillow"]
# The real ImageMagick, not a wrapper that may stand before it on PATH.
CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
GAP_COLOUR, BACKGROUND = "202020", "c0c0c0"
# Quiltora is started by Wine's loader itself, in the environment scripts/winerun sets up,
# once winerun has prepared the prefix: winerun's own checks would add to every time.
WINE = next((w for w in ("/usr/lib/wine/wine64", shutil.which("wine64"), shutil.which("wine"))
             if w and os.path.exists(w)), "wine")
PREFIX = f"{ROOT}/build/wine"
WINE_ENV = {"WINEPREFIX": PREFIX, "WINEARCH": "win64", "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winedbg.exe=d"}
TIMINGS = re.compile(r"timings: load (\d+) ms, resize (\d+) ms, paste (\d+) ms, "
                     r"save (\d+) ms(?: \(streamed\))?, total (\d+) ms")
PHASES = ["load", "resize", "paste", "save", "total"]
MEMORY_ALLOWANCE_MB = 64
# Input sets: folder -> (count, width, height, extension); a change renews the folder.
INPUTS = {"small": (800, 200, 150, "png"), "photos": (40, 1600, 1200, "jpg"),
          "big": (1, 4000, 3000, "jpg"), "photos200": (200, 4000, 3000, "jpg")}
# Sets made of a few distinct pictures, the rest links to them: big photos are slow to make.
DISTINCT = {"photos200": 5}


def job(inputs, count, ext, about, tol, target, per_row=0, gap=0, scale=100, wrap=0,
        justify=0, tools=None, memory="others"):
    """tol: the largest mean and max absolute difference per channel from Pillow's output;
    target: (tool, the largest Quiltora ÷ tool time that meets it) or None; tools: the
    contestants, when not all of them can do the job (then nothing is checked); memory: what
    Quiltora's peak is held against, with MEMORY_ALLOWANCE_MB on top: the least peak of the
    other tools, or "canvas", the 24-bit canvas of the result (a grid at 100 %), which
    Quiltora keeps whole while tools that never hold the result need far less."""
    return dict(inputs=inputs, count=count, ext=ext, about=about, tol=tol, target=target,
                per_row=per_row, gap=gap, scale=scale, wrap=wrap, justify=justify,
                tools=tools or TOOLS, memory=memory)


def canvas_mb(job):
    """The bytes of a grid's 24-bit canvas at 100 %, in MB."""
    _, width, height, _ = INPUTS[job["inputs"]]
    rows = -(-job["count"] // job["per_row"])
    w = job["per_row"] * width + (job["per_row"] - 1) * job["gap"]
    h = rows * height + (rows - 1) * job["gap"]
    return (w * 3 + 3) // 4 * 4 * h / 2**20


# Lanczos-3 implementations differ in rounding; JPEG decoders in IDCT and chroma
# upsampling; JPEG outputs also in each tool's own encoding error.
JOBS = {
    "row500": job("small", 500, "png", "500 PNGs of 200x150 in one row, saved as PNG",
                  (0, 0), ("ImageMagick", 0.5)),
    "grid500": job("small", 500, "png", "the same 500 in rows of 25, saved as PNG",
                   (0, 0), ("libvips", 0.6), per_row=25),
    "photos-jpg": job("photos", 40, "jpg", "40 JPEGs of 1600x1200 at 25 % (Lanczos-3), 8 a "
                      "row, gap 4, saved as JPEG quality 90", (1.5, 32), ("Pillow", 0.8),
                      per_row=8, gap=4, scale=25),
    "photos-png": job("photos", 40, "png", "the same saved as PNG", (1.0, 8), ("Pillow", 0.8),
                      per_row=8, gap=4, scale=25),
    "photos100": job("photos", 40, "jpg", "the 40 JPEGs at 100 %, 8 a row, gap 4, saved as JPEG "
                     "quality 90", (1.5, 32), ("libvips", 1.0), per_row=8, gap=4, memory="canvas"),
    "png-save": job("big", 1, "png", "one 4000x3000 JPEG saved as PNG", (0.5, 12),
                    ("ImageMagick", 0.6)),
    "jpeg-load": job("big", 1, "bmp", "the same JPEG saved as BMP, to show the cost of "
                     "loading", (0.5, 12), None),
    # Justified rows: each picture stretched to its own size near 300 high. Its time is held
    # against the same photos at a fixed 25 % in the same wrap (JUSTIFY_TARGET).
    "justify200": job("photos200", 200, "jpg", "200 JPEGs of 4000x3000 in justified rows of "
                      "3000 near 300 high, saved as JPEG quality 90", None, None, wrap=3000,
                      justify=300, tools=["Quiltora"]),
    "scale25-200": job("photos200", 200, "jpg", "the same at 25 % wrapped at 3000", None,
                       None, wrap=3000, scale=25, tools=["Quiltora"]),
}
JUSTIFY_TARGET = ("justify200", "scale25-200", 1.0)



# ---- inputs --------------------------------------------------------------------------------

def make_picture(rng, width, height):
    """Photo-like: smooth colour fields through a few random points, and noise of +-8 levels,
    which makes the pictures compress about as badly as photos do."""
    fields = Image.frombytes("RGB", (6, 5), rng.randbytes(6 * 5 * 3))
    picture = fields.resize((width, height), Image.BICUBIC)
    noise = Image.frombytes("RGB", (width, height), rng.randbytes(width * height * 3))
    return ImageChops.add(picture, noise.point(lambda v: v // 16), 1, -8)


def make_inputs(work):
    for folder, (count, width, height, ext) in INPUTS.items():
        path, wanted = os.path.join(work, folder), f"{count} {width} {height} {ext}"
        stamp = os.path.join(path, ".made")
        if os.path.exists(stamp) and open(stamp).read() == wanted:
            continue
        print(f"making {count} pictures of {width}x{height} ({ext}) in {path}", flush=True)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        rng = random.Random(f"{folder}-1")
        distinct = DISTINCT.get(folder, count)
        for i in range(count):
            if i >= distinct:
                os.link(f"{path}/p{i % distinct:03d}.{ext}", f"{path}/p{i:03d}.{ext}")
                continue
            options = {"quality": 90} if ext == "jpg" else {"compress_level": 6}
            make_picture(rng, width, height).save(f"{path}/p{i:03d}.{ext}", **options)
        with open(stamp, "w") as f:
            f.write(wanted)
    # Debian's ImageMagick policy caps a picture at 16K pixels a side and 256 MiB of memory
    # (more goes to a disk cache); row500 is 100000 pixels wide.
    limits = [("memory", "16GiB"), ("map", "16GiB"), ("width", "1MP"), ("height", "1MP"),
              ("area", "16GP"), ("disk", "16GiB")]
    with open(os.path.join(work, "policy.xml"), "w") as f:
        f.write("<policymap>\n" + "".join(f'  <policy domain="resource" name="{n}" '
                                          f'value="{v}"/>\n' for n, v in limits) +
                "</policymap>\n")


def job_files(work, job):
    ext = INPUTS[job["inputs"]][3]
    return [f"{work}/{job['inputs']}/p{i:03d}.{ext}" for i in range(job["count"])]


def job_pattern(work, job):
    """A pattern for Quiltora naming exactly the job's pictures: the input folder's own, or
    one of links to its first pictures."""
    total, _, _, ext = INPUTS[job["inputs"]]
    folder = f"{work}/{job['inputs']}"
    if job["count"] < total:
        folder += f"-{job['count']}"
        if not os.path.isdir(folder):
            os.makedirs(folder)
            for f in job_files(work, job):
                os.symlink(f, os.path.join(folder, os.path.basename(f)))
    return f"{folder}/*.{ext}"


# ---- the contestants -----------------------------------------------------------------------

def rows_of(items, per_row):
    per_row = per_row or len(items)
    return [items[i:i + per_row] for i in range(0, len(items), per_row)]


def quiltora_command(work, job, out, timings=False):
    args = [WINE, f"{ROOT}/build/Quiltora.exe", "--join", out, "--defaults"]
    args += (["--per-row", str(job["per_row"])] if job["per_row"] else
             ["--wrap", str(job["wrap"])] if job["wrap"] else ["--row"])
    args += ["--justify", str(job["justify"])] if job["justify"] else []
    args += ["--gap", str(job["gap"]), "--gap-colour", GAP_COLOUR, "--background", BACKGROUND]
    args += ["--scale", str(job["scale"])] if job["scale"] != 100 else []
    args += ["--quality", "90"] if job["ext"] == "jpg" else []
    return args + (["--timings"] if timings else []) + [job_pattern(work, job)]


def magick_command(work, job, out):
    args, gap = [CONVERT], job["gap"]
    # A gap strip left of each picture and above each row; the first one's is cut off again.
    for row in rows_of(job_files(work, job), job["per_row"]):
        args += ["("] + row
        if job["scale"] != 100:
            args += ["-filter", "Lanczos", "-resize", f"{job['scale']}%"]
        if gap:
            args += ["-background", "#" + GAP_COLOUR, "-splice", f"{gap}x0"]
        args += ["+append"] + (["-chop", f"{gap}x0"] if gap else []) + [")"]
    if gap:
        args += ["-background", "#" + GAP_COLOUR, "-splice", f"0x{gap}"]
    args += ["-append"] + (["-chop", f"0x{gap}"] if gap else [])
    if job["ext"] == "png":
        # Level 6, filter 0. -quality 60 should say that, but this ImageMagick then leaves
        # libpng to filter adaptively; 61 gives filter 0 on every row (see the table).
        args += ["-quality", "61"]
    elif job["ext"] == "jpg":
        args += ["-quality", "90", "-sampling-factor", "2x2",
                 "-define", "jpeg:optimize-coding=false"]
    return args + [out]


def vips_command(work, job, out, scratch):
    files = job_files(work, job)
    out += {"png": "[compression=6,filter=none]", "jpg": "[Q=90,subsample-mode=on]"}.get(
        job["ext"], "")
    if len(files) == 1:
        return ["vips", "copy", files[0], out]
    join = ["vips", "arrayjoin", " ".join(files), out, "--across",
            str(job["per_row"] or len(files))]
    if job["gap"]:
        rgb = " ".join(str(int(GAP_COLOUR[i:i + 2], 16)) for i in (0, 2, 4))
        join += ["--shim", str(job["gap"]), "--background", rgb]
    if job["scale"] == 100:
        return join
    # One resize per picture into libvips's own format, then the join, all in one shell.
    # --gap 0: exact Lanczos-3 with no box shrink first, like the other tools.
    resized = [f"{scratch}/r{i:03d}.v" for i in range(len(files))]
    steps = [["vips", "resize", f, r, str(job["scale"] / 100), "--kernel", "lanczos3",
              "--gap", "0"] for f, r in zip(files, resized)]
    join[2] = " ".join(resized)
    quote = lambda a: "'" + a.replace("'", "'\\''") + "'"
    return ["sh", "-c", "set -e\n" + "\n".join(" ".join(map(quote, s)) for s in steps + [join])]


def output_path(out_dir, name, tool, job):
    # libvips writes BMP only through ImageMagick: PPM is its own cheapest save.
    ext = "ppm" if tool == "libvips" and job["ext"] == "bmp" else job["ext"]
    return f"{out_dir}/{name}-{tool}.{ext}"


def command_for(tool, work, job, out, scratch, timings):
    if tool == "Quiltora":
        return quiltora_command(work, job, out, timings)
    if tool == "ImageMagick":
        return magick_command(work, job, out)
    if tool == "libvips":
        return vips_command(work, job, out, scratch)
    return [sys.executable, os.path.abspath(__file__), "--pillow", out, str(job["per_row"]),
            str(job["gap"]), str(job["scale"])] + job_files(work, job)


def pillow_main(out, per_row, gap, scale, *files):
    """One job with Pillow: each picture loaded, resized and pasted into one canvas."""
    per_row, gap, scale = int(per_row), int(gap), int(scale)
    options = {".png": {"compress_level": 6},  # Pillow's rows are filtered adaptively
               ".jpg": {"quality": 90, "subsampling": "4:2:0"}}.get(out[-4:], {})
    if len(files) == 1 and scale == 100:
        return Image.open(files[0]).save(out, **options)
    sizes = []
    for f in files:
        with Image.open(f) as p:
            sizes.append((round(p.width * scale / 100), round(p.height * scale / 100)))
    rows = rows_of(list(range(len(files))), per_row)
    heights = [max(sizes[i][1] for i in row) for row in rows]
    width = max(sum(sizes[i][0] for i in row) + gap * (len(row) - 1) for row in rows)
    canvas = Image.new("RGB", (width, sum(heights) + gap * (len(rows) - 1)), "#" + BACKGROUND)
    y = 0
    for row, height in zip(rows, heights):
        if y:
            canvas.paste("#" + GAP_COLOUR, (0, y - gap, width, y))
        x = 0
        for i in row:
            if x:
                canvas.paste("#" + GAP_COLOUR, (x - gap, y, x, y + height))
            with Image.open(files[i]) as p:
                p = p.convert("RGB")
                canvas.paste(p if scale == 100 else p.resize(sizes[i], Image.LANCZOS), (x, y))
            x += sizes[i][0] + gap
        y += height + gap
    canvas.save(out, **options)


# ---- running and checking ------------------------------------------------------------------

def run(args, log, timeout, watch=None):
    """(wall seconds, peak MB, exit status, what it printed); `watch` is called while it runs.
    The peak is GNU time's %M, the ru_maxrss of wait4: the largest of the process and of the
    children it waited for. A process's peak counts the process it was forked from, hence a
    small GNU time starts it, not this script."""
    with open(log, "w") as out:
        start = time.perf_counter()
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", log + ".peak"] + args,
                                   stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                   start_new_session=True)
        while process.poll() is None and time.perf_counter() - start < timeout:
            watch and watch(process.pid)
            time.sleep(0.02)
        killed = process.poll() is None
        if killed:
            os.killpg(process.pid, 9)  # the whole group: GNU time, Wine's loader, a shell
            process.wait()
        seconds = time.perf_counter() - start
    status = -1 if killed else process.returncode
    try:
        peak = int(open(log + ".peak").read().split()[-1]) / 1024
    except (OSError, ValueError, IndexError):
        peak = None
    return seconds, peak, status, open(log, errors="replace").read()


def wine_peak_check(work):
    """GNU time's peak for a Quiltora run, and the VmHWM of the process running the program
    itself (GNU time's child), read from /proc while it runs: equal when the peak covers it."""
    seen = [0]

    def watch(parent):
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                status = dict(line.split(":", 1) for line in open(f"/proc/{pid}/status"))
                if status["Name"].strip() == "Quiltora.exe" and int(status["PPid"]) == parent:
                    seen[0] = max(seen[0], int(status["VmHWM"].split()[0]) / 1024)
            except (OSError, ValueError, KeyError):
                pass
    args = quiltora_command(work, JOBS["png-save"], f"{work}/check.png")
    return run(args, f"{work}/check.log", 600, watch)[1], seen[0]


def compare(path, reference, tol):
    """'ok ...' or 'FAIL ...': the reference's size, and pixels within the tolerance."""
    try:
        with Image.open(path) as a, Image.open(reference) as b:
            if a.size != b.size:
                return f"FAIL size {a.width}x{a.height}, Pillow's {b.width}x{b.height}"
            diff = ImageChops.difference(a.convert("RGB"), b.convert("RGB"))
    except OSError as e:
        return f"FAIL {e}"
    mean, worst = max(ImageStat.Stat(diff).mean), max(h for _, h in diff.getextrema())
    return f"{'ok' if mean <= tol[0] and worst <= tol[1] else 'FAIL'} mean {mean:.2f} max {worst}"


def png_filters(path):
    """The filter types of a PNG file's rows, as '0' or '1,2,4'; '-' for another file."""
    data = open(path, "rb").read() if os.path.exists(path) else b""
    if not data.startswith(b"\x89PNG"):
        return "-"
    pos, idat = 8, []
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", data[pos + 8:pos + 18])
        elif kind == b"IDAT":
            idat.append(data[pos + 8:pos + 8 + length])
        pos += 12 + length
    stride = (width * {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour] * depth + 7) // 8 + 1
    rows = zlib.decompress(b"".join(idat))
    return ",".join(str(t) for t in sorted({rows[y * stride] for y in range(height)}))


def check_output(out_dir, name, tool, job):
    """(check against Pillow's output, PNG filters, size in bytes) of one output."""
    path = output_path(out_dir, name, tool, job)
    if not os.path.exists(path):
        return "FAIL no output", "-", "-"
    check = ("reference" if tool == "Pillow" else
             compare(path, output_path(out_dir, name, "Pillow", job), job["tol"]))
    return check, png_filters(path), os.path.getsize(path)


def bench_jobs(jobs, tools, rounds, work, timeout, timings=False):
    """Each round runs every job by each tool in turn; the first round's outputs are checked
    when Pillow is one of the tools. Returns {job: {tool: [run() of each round]}}, checks."""
    out_dir, results, checks = f"{work}/out", {}, {}
    for r in range(rounds):
        for name, job in jobs.items():
            shutil.rmtree(out_dir, ignore_errors=True)
            os.makedirs(f"{out_dir}/scratch")
            for tool in [t for t in tools if t in job["tools"]]:
                args = command_for(tool, work, job, output_path(out_dir, name, tool, job),
                                   f"{out_dir}/scratch", timings)
                result = run(args, f"{out_dir}/{name}-{tool}.log", timeout)
                results.setdefault(name, {}).setdefault(tool, []).append(result)
                print(f"round {r + 1}/{rounds}  {name:10} {tool:11} {result[0]:8.2f} s  "
                      f"exit {result[2]}", flush=True)
                if result[2] != 0:
                    print(textwrap.indent(result[3].strip()[-800:], "    "))
            if r == 0 and "Pillow" in tools and "Pillow" in job["tools"]:
                checks[name] = {t: check_output(out_dir, name, t, job) for t in tools}
    return results, checks


# ---- tables --------------------------------------------------------------------------------

def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def fmt(value, pattern="{:.2f}"):
    return "-" if value is None else pattern.format(value)


def table(header, rows, left):
    """Plain aligned columns; the columns numbered in `left` align left, the others right."""
    widths = [max(len(str(x)) for x in column) for column in zip(header, *rows)]
    for cells in [header] + rows:
        print("  ".join(str(c).ljust(w) if i in left else str(c).rjust(w)
                        for i, (c, w) in enumerate(zip(cells, widths))).rstrip())


def print_job(name, results, checks):
    job = JOBS[name]
    tools = [t for t in TOOLS if t in results]
    times = {t: [s if status == 0 else None for s, _, status, _ in results[t]] for t in tools}
    peaks = {t: median([mb for _, mb, status, _ in results[t] if status == 0]) for t in tools}
    best_other = min([peaks[t] for t in tools[1:] if peaks[t] is not None], default=None)
    tolerance = ("none: Quiltora alone does this job" if job["tol"] is None else
                 "size equal to Pillow's output, " + ("identical pixels" if job["tol"] == (0, 0)
                 else f"per channel, mean absolute difference <= {job['tol'][0]} and max <= "
                 f"{job['tol'][1]}"))
    print(f"\n{name}: {job['about']}\ncheck: {tolerance}")
    rows = []
    for tool in tools:
        ratio = median([q / t for q, t in zip(times["Quiltora"], times[tool]) if q and t])
        target = ""
        if job["target"] and job["target"][0] == tool:
            met = ratio is not None and ratio <= job["target"][1]
            target = f"Quiltora <= {job['target'][1]:.2f}x: {'met' if met else 'NOT MET'}"
        elif tool == "Quiltora" and best_other is not None:
            base = canvas_mb(job) if job["memory"] == "canvas" else best_other
            met = peaks[tool] is not None and peaks[tool] <= base + MEMORY_ALLOWANCE_MB
            what = "canvas " if job["memory"] == "canvas" else ""
            target = (f"peak <= {what}{base:.0f}+{MEMORY_ALLOWANCE_MB} MB: "
                      f"{'met' if met else 'NOT MET'}")
        check, filters, size = checks.get(tool, ("-", "-", "-"))
        failed = times[tool].count(None)
        check += f"; FAIL: {failed} run(s) did not finish well" if failed else ""
        rows.append([tool, fmt(median(times[tool])), fmt(ratio), fmt(peaks[tool], "{:.0f}"),
                     size, filters, check, target])
    table(["tool", "median s", "Quiltora÷tool", "peak MB", "output bytes", "PNG filters",
           "check", "target"], rows, {0, 6, 7})


def print_phases(names, results, timings):
    print("\n" + textwrap.fill("Quiltora's time per phase, median ms (load and resize are "
                               "summed over the pictures on a loading thread that runs beside "
                               "the pasting, so the phases may add up to more than the total)",
                               100))
    if not timings:
        return print("  none: this Quiltora's --help does not list --timings")
    rows = []
    for name in names:
        found = [TIMINGS.search(text) for _, _, _, text in results[name]["Quiltora"]]
        found = [[int(x) for x in m.groups()] for m in found if m]
        rows.append([name] + [fmt(median(c), "{:.0f}") for c in zip(*found)] if found else
                    [name] + ["-"] * len(PHASES))
    table(["job"] + PHASES, rows, {0})


# ---- stitching -----------------------------------------------------------------------------

SHOTS, SHOT_W, SHOT_H, SHOT_BARS, SHOT_STEP = 20, 1080, 2400, (128, 144), 688


def make_screenshots(work):
    """Screenshots of one long page of text lines and pictures, under a header and above an
    input bar, each 688 page rows below the one before: 1440 of each shot's 2128 page rows
    (60 % of its height) are the previous shot's. The bars and the
    step are whole JPEG blocks, as a phone's bars are; a bar's last rows otherwise take
    ringing from the page below them. Returns {ext: pattern} and the page."""
    folder = os.path.join(work, "shots")
    view = SHOT_H - sum(SHOT_BARS)
    height = SHOT_STEP * (SHOTS - 1) + view
    rng = random.Random("shots-1")
    page = Image.new("RGB", (SHOT_W, height), "white")
    draw = ImageDraw.Draw(page)
    font = ImageFont.truetype("/usr/share/fonts/truetype/nanum/NanumGothic.ttf", 26)
    y = 0
    while y < height:
        if rng.random() < 0.1:  # a picture, smooth as a phone shows one
            h = rng.randrange(200, 500)
            fields = Image.frombytes("RGB", (6, 5), rng.randbytes(6 * 5 * 3))
            page.paste(fields.resize((SHOT_W - 80, h), Image.BICUBIC), (40, y))
            y += h + 20
            continue
        words = [("".join(chr(0xAC00 + rng.randrange(11172)) for _ in range(rng.randrange(1, 6))))
                 for _ in range(12)]  # a line of Hangul text
        draw.text((40, y + 8), " ".join(words), font=font, fill=(rng.randrange(80),) * 3)
        y += 40
    # Grey bars: a coloured bar's chroma, spread by JPEG's upsampling, changes the page's
    # first row from shot to shot by more than 16.
    header = Image.new("RGB", (SHOT_W, SHOT_BARS[0]), (238, 238, 238))
    ImageDraw.Draw(header).text((40, 48), "대화 — 개발팀", font=font, fill=(30, 30, 30))
    footer = Image.new("RGB", (SHOT_W, SHOT_BARS[1]), (230, 230, 230))
    footer.paste((255, 255, 255), (30, 30, SHOT_W - 30, SHOT_BARS[1] - 30))
    stamp = os.path.join(folder, ".made")
    if not os.path.exists(stamp) or open(stamp).read() != "5":
        print(f"making {SHOTS} screenshots of {SHOT_W}x{SHOT_H} in {folder}", flush=True)
        shutil.rmtree(folder, ignore_errors=True)
        for ext in ("png", "jpg"):
            os.makedirs(f"{folder}/{ext}")
        for i in range(SHOTS):
            shot = Image.new("RGB", (SHOT_W, SHOT_H))
            shot.paste(header, (0, 0))
            shot.paste(page.crop((0, SHOT_STEP * i, SHOT_W, SHOT_STEP * i + view)),
                       (0, SHOT_BARS[0]))
            shot.paste(footer, (0, SHOT_H - SHOT_BARS[1]))
            shot.save(f"{folder}/png/s{i:02d}.png", compress_level=6)
            shot.save(f"{folder}/jpg/s{i:02d}.jpg", quality=90)
        open(stamp, "w").write("5")
    whole = Image.new("RGB", (SHOT_W, height + sum(SHOT_BARS)))
    whole.paste(header, (0, 0))
    whole.paste(page, (0, SHOT_BARS[0]))
    whole.paste(footer, (0, SHOT_BARS[0] + height))
    return {ext: f"{folder}/{ext}/*.{ext}" for ext in ("png", "jpg")}, whole


def bench_stitch(work, rounds, timeout):
    """The same column job of overlapping screenshots, stitched and not, saved as PNG; the
    stitched output is checked against the page the shots were cut from."""
    patterns, whole = make_screenshots(work)
    results = {}
    for r in range(rounds):
        for ext, tolerance in (("png", "4"), ("jpg", "16")):
            for stitched in (False, True):
                out = f"{work}/out/stitch-{ext}-{int(stitched)}.png"
                os.makedirs(f"{work}/out", exist_ok=True)
                args = [WINE, f"{ROOT}/build/Quiltora.exe", "--join", out, "--defaults",
                        "--column", "--timings", patterns[ext]]
                args += ["--stitch=" + tolerance] if stitched else []
                result = run(args, out + ".log", timeout)
                results.setdefault((ext, stitched), []).append(result)
                print(f"round {r + 1}/{rounds}  stitch {ext} {'on ' if stitched else 'off'} "
                      f"{result[0]:8.2f} s  exit {result[2]}", flush=True)
                if r == 0 and stitched:
                    with Image.open(out) as got:
                        same = got.size == whole.size
                        diff = ImageStat.Stat(ImageChops.difference(got.convert("RGB"), whole))
                        check = (f"size {got.size}, page {whole.size}; mean difference "
                                 f"{max(diff.mean) if same else '-'}")
                    results[(ext, "check")] = check
    return results


def print_stitch(results):
    print(f"\nstitch: {SHOTS} screenshots of {SHOT_W}x{SHOT_H}, 60 % overlap, one column "
          "saved as PNG, stitched (PNG --stitch=4, JPEG quality 90 --stitch=16) and not")
    rows = []
    for ext in ("png", "jpg"):
        off = [s for s, _, status, _ in results[(ext, False)] if status == 0]
        on = [s for s, _, status, _ in results[(ext, True)] if status == 0]
        ratio = median([a / b for a, b in zip(on, off)])
        met = ratio is not None and ratio <= 1.5
        peak = median([mb for _, mb, status, _ in results[(ext, True)] if status == 0])
        rows.append([ext, fmt(median(off)), fmt(median(on)), fmt(ratio),
                     fmt(peak, "{:.0f}"), f"<= 1.50x: {'met' if met else 'NOT MET'}",
                     results[(ext, "check")]])
    table(["inputs", "column s", "stitched s", "stitched÷column", "peak MB", "target",
           "check against the page"], rows, {0, 5, 6})


def print_series(counts, series, start):
    """Quiltora's time per picture as N grows; 'net' without its start-up (a --help run)."""
    start = median(start)
    print("\n" + textwrap.fill("One row of N 200x150 PNGs saved as PNG; 'net' takes off "
                               "Quiltora's start-up, the median time of a --help run "
                               f"({start:.2f} s)", 100))
    net, rows = {}, []
    for n in counts:
        q, m = (median([s if status == 0 else None for s, _, status, _ in series[f"row{n}"][t]])
                for t in ("Quiltora", "ImageMagick"))
        net[n] = None if q is None else (q - start) * 1000 / n
        rows.append([n, fmt(q), fmt(q and q * 1000 / n), fmt(net[n]), fmt(m),
                     fmt(m and m * 1000 / n)])
    table(["N", "Quiltora s", "ms/picture", "net ms/picture", "ImageMagick s", "ms/picture"],
          rows, set())
    low, high = (100 if 100 in counts else counts[0]), counts[-1]
    if net[low] and net[high]:
        ratio = net[high] / net[low]
        print(f"Quiltora's net cost per picture, N={high} ÷ N={low}: {ratio:.2f}  "
              f"(target <= 1.50: {'met' if ratio <= 1.5 else 'NOT MET'})")


def main():
    if sys.argv[1:2] == ["--pillow"]:
        return pillow_main(*sys.argv[2:])
    parser = argparse.ArgumentParser(description="Quiltora's joins against ImageMagick, "
                                     "libvips and Pillow")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--jobs", default=",".join(list(JOBS) + ["series", "stitch"]),
                        help="comma-separated, of: %(default)s")
    parser.add_argument("--quick", action="store_true", help="1 round, a smaller N series")
    parser.add_argument("--work", default=os.path.join(os.environ.get("TMPDIR", "/tmp"),
                                                       "quiltora-bench-joins"))
    parser.add_argument("--timeout", type=float, default=900, help="seconds one run may take")
    options = parser.parse_args()
    rounds = 1 if options.quick else options.rounds
    wanted = [n for n in options.jobs.split(",") if n]
    unknown = [n for n in wanted if n not in JOBS and n not in ("series", "stitch")]
    if unknown:
        parser.error("unknown jobs: " + ", ".join(unknown))
    names = [n for n in JOBS if n in wanted]
    counts = [50, 100, 200, 400] if options.quick else [100, 200, 400, 800]
    work = os.path.abspath(options.work)
    os.makedirs(work, exist_ok=True)
    make_inputs(work)
    os.environ["MAGICK_CONFIGURE_PATH"] = work

    # The first start, through scripts/winerun, prepares the prefix and brings up Wine's
    # server and services, which winerun keeps for five idle minutes: every timed start is a
    # steady one.
    warm = subprocess.run([f"{ROOT}/scripts/winerun", "--prefix", PREFIX,
                           f"{ROOT}/build/Quiltora.exe", "--help"], capture_output=True,
                          text=True, stdin=subprocess.DEVNULL)
    if warm.returncode != 0:
        sys.exit("Quiltora.exe --help failed:\n" + warm.stdout + warm.stderr)
    os.environ.update(WINE_ENV)
    help_run = quiltora_command(work, JOBS["row500"], "x.png")[:2] + ["--help"]
    timings = "--timings" in warm.stdout
    # Without a process on Wine's desktop, every start of a windowed program starts
    # explorer.exe anew to serve it; on Windows the desktop is always there. A program kept
    # on the desktop (Wine's Notepad, shown nowhere with the null driver) stands for it.
    # Wine closes an unused desktop after a few seconds; each of these starts finds none.
    alone = [time.sleep(4) or run(help_run, f"{work}/help.log", 600)[0] for _ in range(3)]
    holder = subprocess.Popen([WINE, "notepad.exe"], stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              start_new_session=True)
    try:
        time.sleep(3)
        held = [run(help_run, f"{work}/help.log", 600)[0] for _ in range(3)]
        wine_peak, own_peak = wine_peak_check(work)
        results, checks = bench_jobs({n: JOBS[n] for n in names}, TOOLS, rounds, work,
                                     options.timeout, timings)
        if "series" in wanted:
            start = [run(help_run, f"{work}/help.log", 600)[0] for _ in range(rounds)]
            series, _ = bench_jobs({f"row{n}": dict(JOBS["row500"], count=n) for n in counts},
                                   ["Quiltora", "ImageMagick"], rounds, work, options.timeout)
        if "stitch" in wanted:
            stitch = bench_stitch(work, rounds, options.timeout)
    finally:
        os.killpg(holder.pid, 9)
        holder.wait()

    magick = subprocess.run([CONVERT, "-version"], capture_output=True, text=True).stdout
    vips = subprocess.run(["vips", "--version"], capture_output=True, text=True).stdout
    header = [
        f"Quiltora ({ROOT}/build/Quiltora.exe) under Wine against ImageMagick "
        f"{(magick.split() + ['?'] * 3)[2]}, libvips {vips.strip()[5:]} and Pillow "
        f"{Image.__version__}; inputs in {work}. {rounds} round(s), the tools taking turns "
        "within each; medians over the rounds; Quiltora÷tool is the median of the ratios "
        "within a round (below 1: Quiltora is faster). Outputs are checked in the first round.",
        "time: wall time of the whole process. Quiltora is started by Wine's loader in the "
        "prefix scripts/winerun prepared; Wine's server and services are started before the "
        "first timed run and kept, so each time holds the steady cost of starting a Wine "
        "process, not the first start. Wine's desktop is held by a program kept open, as "
        "Windows always has its desktop: Quiltora --help takes "
        f"{median(held):.2f} s so, {median(alone):.2f} s when each start must also start "
        "Wine's explorer.exe.",
        "peak MB: GNU time's %M (wait4's ru_maxrss), the largest resident set of the process "
        "and of the children it waited for. Wine's loader execs into the Windows program, so "
        "for Quiltora it is the program's own process; the wineserver and Wine's services live "
        f"apart and are not counted. Checked now: GNU time {wine_peak:.0f} MB, the "
        f"Quiltora.exe process's own VmHWM {own_peak:.0f} MB.",
        "ImageMagick: a policy lifts Debian's caps (16K pixels a side, 256 MiB) so that row500 "
        "is made in memory; PNG at -quality 61 (level 6, filter 0). libvips: its command line; "
        "pngsave compression 6, filter none; the photo jobs run 'vips resize --kernel lanczos3 "
        "--gap 0' (exact Lanczos-3) per picture, then arrayjoin; jpeg-load saves PPM. Pillow: "
        "compress_level 6, with its adaptive row filters (it has no filter 0). JPEG output: "
        "quality 90, 4:2:0, no optimised Huffman tables. The tolerance of jobs with JPEG "
        "inputs allows decoders' differences in IDCT rounding and chroma upsampling."]
    print("\n" + "=" * 100)
    for paragraph in header:
        print(textwrap.fill(paragraph, 100, subsequent_indent="  "))
    for name in names:
        print_job(name, results[name], checks.get(name, {}))
    justified, fixed, most = JUSTIFY_TARGET
    if justified in names and fixed in names:
        pairs = zip(results[justified]["Quiltora"], results[fixed]["Quiltora"])
        ratio = median([j[0] / f[0] for j, f in pairs if j[2] == 0 and f[2] == 0])
        print(f"\n{justified} ÷ {fixed} (the same round): {fmt(ratio)}  (target <= "
              f"{most:.2f}: {'met' if ratio is not None and ratio <= most else 'NOT MET'})")
    if names:
        print_phases(names, results, timings)
    if "series" in wanted:
        print_series(counts, series, start)
    if "stitch" in wanted:
        print_stitch(stitch)


if __name__ == "__main__":
    main()
