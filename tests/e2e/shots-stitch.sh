#!/usr/bin/env bash
# The README's stitching pictures, made as a user makes them: a long chat is
# opened in Quiltora, its window is captured three times while the wheel
# scrolls it down, and the three captures are joined from the file list's
# batch dialog ("종 1열" with "겹치는 부분 이어붙이기"). Run by hand, after a
# build:
#   tests/e2e/shots-stitch.sh BUILD_DIR
# Writes docs/stitch-shots.png (the captures side by side),
# docs/stitch-result.png (the joined picture, saved from the canvas).
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work="$build/shots-stitch"
prefix="$build/wine-stitch"
rm -rf "$work"
mkdir -p "$work/shots"
cp "$build/Quiltora.exe" "$work/"
/usr/bin/python3 "$root/tests/e2e/make_document.py" "$work/chat.png"
winpath() { echo "Z:${1//\//\\}"; }
# The main window at 0,0, 640 x 560; the file list beside it, on the
# captures' folder.
settings() {
  printf '[Quiltora]\r\nWinLeft=0\r\nWinTop=0\r\nWinRight=640\r\nWinBottom=560\r\nViewList=%s\r\nListLeft=650\r\nListTop=0\r\nListRight=950\r\nListBottom=560\r\nViewOpt=0\r\nPadSize=8\r\nPadCol=255\r\nListDir=%s\r\n' \
    "$1" "$(winpath "$work/shots")" >"$work/Quiltora.ini"
}
wait_for_desktop() {
  for _ in $(seq 1 60); do
    sleep 1
    xwininfo -root -tree 2>/dev/null | grep -q "$1" && break
  done
  sleep 5
}

. "$root/tests/e2e/xvfb.sh"
start_xvfb "$work" "$prefix" 1280x800 shots-stitch

# The chat, captured at the top and twice more, each after five notches of
# the wheel over the canvas.
settings 0
"$root/scripts/winerun" --prefix "$prefix" explorer /desktop=Chat,1280x800 \
  "$work/Quiltora.exe" "$(winpath "$work/chat.png")" >/dev/null 2>&1 &
wait_for_desktop Chat
for n in 1 2 3; do
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop 640x560+0+0 +repage "$work/shots/capture$n.png"
  xdotool mousemove 300 300
  for _ in 1 2 3 4 5; do xdotool click 5; sleep 0.2; done
  sleep 1
done
WINEPREFIX="$prefix" wineserver -k || true
sleep 2

# A new start with the file list on the captures: 자동, then 디렉토리내 모든파일,
# 종 1열 and 겹치는 부분 이어붙이기, then 실행.
settings 1
"$root/scripts/winerun" --prefix "$prefix" explorer /desktop=Stitch,1280x800 \
  "$work/Quiltora.exe" >/dev/null 2>&1 &
wait_for_desktop Stitch
import -window root "$work/list.png"
xdotool mousemove "${AUTO_X:-862}" "${AUTO_Y:-37}" click 1
sleep 2
import -window root "$work/dialog.png"
for xy in "776 122" "773 320" "687 443"; do
  xdotool mousemove $xy click 1
  sleep 0.5
done
import -window root "$work/dialog.png"
xdotool mousemove 808 578 click 1
sleep 4
import -window root "$work/stitched.png"
# Saved as PNG (Ctrl+P) from the canvas, as the user would.
xdotool mousemove 300 300 click 1 key --delay 80 ctrl+p
sleep 1.5
xdotool type --delay 30 "$(winpath "$work/result.png")"
xdotool key Return
sleep 2
WINEPREFIX="$prefix" wineserver -k || true
cp "$work/result.png" "$root/docs/stitch-result.png"
convert "$work/shots/capture1.png" "$work/shots/capture2.png" "$work/shots/capture3.png" \
  -bordercolor white -border 6 +append +repage "$root/docs/stitch-shots.png"
echo "wrote docs/stitch-shots.png and docs/stitch-result.png"
