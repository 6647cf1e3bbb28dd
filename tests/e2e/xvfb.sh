# Sourced by the scripts that drive the real program: starts an Xvfb of the
# given size on a free display, ends it and the prefix's wineserver on exit,
# and exports DISPLAY and the Korean locale.
#   start_xvfb WORK_DIR PREFIX WIDTHxHEIGHT NAME
start_xvfb() {
  local displayfile="$1/display"
  Xvfb -displayfd 3 -screen 0 "$3x24" -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  xvfb_prefix=$2
  trap 'WINEPREFIX="$xvfb_prefix" wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 1 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  [ -s "$displayfile" ] || { echo "$4: Xvfb did not start"; exit 1; }
  export DISPLAY=":$(head -n 1 "$displayfile")" LANG=ko_KR.UTF-8
}
