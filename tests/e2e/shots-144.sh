#!/usr/bin/env bash
# The README's screenshots at 150 % display scaling: the real Quiltora.exe on
# its own Xvfb, inside Wine's virtual desktop, in a prefix whose LogPixels is
# 144. Pictures named on the command line are pasted; then the batch dialog
# is opened from the file list. Run by hand, after a build:
#   tests/e2e/shots-144.sh BUILD_DIR
# Writes docs/quiltora-144.png and docs/batch-dialog-144.png.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work="$build/shots-144"
prefix="$build/wine-x144"
rm -rf "$work"
mkdir -p "$work/pictures"
cp "$build/Quiltora.exe" "$work/"
/usr/bin/python3 "$root/tests/e2e/check_e2e.py" make "$work/pictures"
# A 1920 x 1080 screen, as a laptop at 150 % has. Places in the file's units
# (pixels at 96 DPI); the program shows them 1.5 times as far and as large.
printf '[Quiltora]\r\nWinLeft=16\r\nWinTop=16\r\nWinRight=560\r\nWinBottom=440\r\nListLeft=576\r\nListTop=16\r\nListRight=830\r\nListBottom=440\r\nOptX=16\r\nOptY=456\r\nPadSize=6\r\nListDir=%s\r\n' \
  "Z:${work//\//\\}\\pictures" >"$work/Quiltora.ini"

. "$root/tests/e2e/xvfb.sh"
start_xvfb "$work" "$prefix" 1920x1080 shots-144
winpath() { echo "Z:${1//\//\\}"; }

pictures=()
for name in a.png b.bmp a.png; do pictures+=("$(winpath "$work/pictures/$name")"); done
"$root/scripts/winerun" --prefix "$prefix" --dpi 144 explorer /desktop=Shots,1920x1080 \
  "$work/Quiltora.exe" "${pictures[@]}" >/dev/null 2>&1 &
for _ in $(seq 1 60); do
  sleep 1
  xwininfo -root -tree 2>/dev/null | grep -q 'Shots' && break
done
sleep 6
import -window root "$work/main.png"
convert "$work/main.png" -crop 1260x1030+0+0 +repage "$root/docs/quiltora-144.png"
# 자동, the file list toolbar's fourth button.
xdotool mousemove "${AUTO_X:-1180}" "${AUTO_Y:-80}" click 1
sleep 2
import -window root "$work/batch.png"
# The dialog, where it opens over the file list.
convert "$work/batch.png" -crop 872x930+862+22 +repage "$root/docs/batch-dialog-144.png"
echo "wrote docs/quiltora-144.png and docs/batch-dialog-144.png"
