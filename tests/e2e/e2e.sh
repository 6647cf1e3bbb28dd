#!/usr/bin/env bash
# Drives the real Quiltora.exe as a user would: on its own Xvfb, inside
# Wine's virtual desktop, with xdotool's mouse and keys; then checks every
# saved picture with Pillow against the picture the run must have made.
#   tests/e2e/e2e.sh BUILD_DIR
# Screenshots of each step stay in BUILD_DIR/e2e/shots.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work="$build/e2e"
prefix="$build/wine-e2e"
rm -rf "$work"
mkdir -p "$work/shots" "$work/pictures" "$work/saved"
cp "$build/Quiltora.exe" "$work/"
/usr/bin/python3 "$root/tests/e2e/check_e2e.py" make "$work/pictures"
# A fixed layout, so that every control is where the steps click.
printf '[Quiltora]\r\nWinLeft=40\r\nWinTop=40\r\nWinRight=840\r\nWinBottom=560\r\nListLeft=860\r\nListTop=40\r\nListRight=1240\r\nListBottom=560\r\nOptX=40\r\nOptY=580\r\nListDir=%s\r\n' \
  "Z:${work//\//\\}\\pictures" >"$work/Quiltora.ini"

. "$root/tests/e2e/xvfb.sh"
start_xvfb "$work" "$prefix" 1280x800 e2e

step=0
shot() { step=$((step + 1)); import -window root "$work/shots/$(printf %02d "$step")-$1.png"; }
pause() { sleep "${1:-1}"; }
click() { xdotool mousemove "$1" "$2" click "${3:-1}"; pause 0.5; }
keys() { xdotool key --delay 80 "$@"; pause 0.7; }
typed() { xdotool type --delay 30 "$1"; pause 0.3; }
winpath() { echo "Z:${1//\//\\}"; }
# A file dialog has the focus on its name box: type the path and confirm.
answer_file() { pause 1.5; typed "$(winpath "$1")"; keys Return; pause 1; }

"$root/scripts/winerun" --prefix "$prefix" explorer /desktop=E2E,1280x800 "$work/Quiltora.exe" \
  >/dev/null 2>&1 &
for _ in $(seq 1 60); do
  sleep 1
  xwininfo -root -tree 2>/dev/null | grep -q 'E2E' && break
done
pause 5
shot start

# The settings window: gap 8 (typed), gap colour red (chooser, first basic colour).
click 108 744; keys ctrl+a; typed 8
click 210 749; pause 1.5
shot colour-chooser
click 131 472; click 162 770

# Two pictures side by side through the open dialog (accelerator Ctrl+R).
click 440 330
keys ctrl+r; answer_file "$work/pictures/a.png"
keys ctrl+r; answer_file "$work/pictures/b.bmp"
shot two-pasted
# Saved three ways: the File menu by mouse, by Alt and its letter, and by
# the accelerator.
click 68 75; pause 1
shot file-menu
click 100 149; answer_file "$work/saved/two.png"
keys alt+f b; answer_file "$work/saved/two.bmp"
keys ctrl+j; answer_file "$work/saved/two.jpg"

# Undo from the Edit menu by its letters, then New: No keeps the picture,
# Yes clears it.
keys alt+e z
shot undone
keys ctrl+n; pause 1; shot new-question; keys n
keys ctrl+n; pause 1; keys y
shot new

# The file list: a double click pastes to the right, a right double click
# below; away to the parent folder and back by double clicks.
xdotool mousemove 900 121 click --repeat 2 --delay 80 1; pause 1
xdotool mousemove 900 157 click --repeat 2 --delay 80 3; pause 1
shot list-pastes
xdotool mousemove 930 103 click --repeat 2 --delay 80 1; pause 1
shot parent-folder
xdotool mousemove 900 121 click --repeat 2 --delay 80 1; pause 1
# Two pictures selected, pasted to the right as a job.
click 900 139; xdotool keydown ctrl; click 900 175; xdotool keyup ctrl
click 958 77; pause 2
shot selected-pasted
click 440 330; keys ctrl+p; answer_file "$work/saved/list.png"
keys ctrl+n; pause 1; keys y

# Batch jobs over the whole folder, one per arrangement, each from New.
batch() { # name, arrangement x y, then optionally the number box x y and its text
  click 1078 77; pause 1.5
  click 796 162; click "$2" "$3"
  if [ $# -gt 3 ]; then click "$4" "$5"; keys ctrl+a; typed "$6"; fi
  shot "batch-$1"
  click 1127 618; pause 3
  shot "batch-$1-done"
  click 440 330; keys ctrl+p; answer_file "$work/saved/batch-$1.png"
  keys ctrl+n; pause 1; keys y
}
batch row 708 360
batch column 793 360
batch wrap 708 400 879 401 300
batch grid 708 443 840 444 3
# The grid again, in equal cells with numbered captions ("같은 크기 칸", "캡션":
# 번호, the list's third word).
click 1078 77; pause 1.5
click 1005 207; click 1155 343; click 1140 400
shot batch-cells
click 1127 618; pause 3
shot batch-cells-done
click 440 330; keys ctrl+p; answer_file "$work/saved/batch-cells.png"
keys ctrl+n; pause 1; keys y

# Alt+F4 closes the program and writes its settings.
click 440 330; keys alt+F4; pause 2
shot closed
grep -q $'^PadSize=8\r$' "$work/Quiltora.ini" && grep -q $'^PadCol=255\r$' "$work/Quiltora.ini" \
  && grep -q $'^All_Arrange=3\r$' "$work/Quiltora.ini" || { echo "e2e: settings not saved"; exit 1; }
/usr/bin/python3 "$root/tests/e2e/check_e2e.py" check "$work/saved"
