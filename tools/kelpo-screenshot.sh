#!/usr/bin/env bash
# Starts kelpo.exe, waits for its main window, saves a screenshot of it, then ends
# the program. Meant to run inside tools/wine-session.sh (WINEPREFIX and DISPLAY set).
#
#   tools/kelpo-screenshot.sh EXE PNG [TITLE]
set -uo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
exe=$1
png=$2
title=${3:-Kelpo}
: "${WINEPREFIX:?run inside tools/wine-session.sh}" "${DISPLAY:?run inside tools/wine-session.sh}"

# ImageMagick's import (by `magick import` from version 7), checked to be ImageMagick's:
# another program named import may come first on the path.
if magick -version 2>/dev/null | grep -q ImageMagick; then
  import=(magick import)
elif import -version 2>/dev/null | grep -q ImageMagick; then
  import=(import)
else
  echo "kelpo-screenshot: ImageMagick's import not found; run tools/install-deps.sh run" >&2
  exit 1
fi
[ -f "$exe" ] || { echo "kelpo-screenshot: $exe not found" >&2; exit 1; }

wine "$exe" &
pid=$!

fail() {
  echo "kelpo-screenshot: $*" >&2
  wineserver -k >/dev/null 2>&1
  wait "$pid" 2>/dev/null
  exit 1
}

exited() {
  kill -0 "$pid" 2>/dev/null && return 1
  wait "$pid"
  fail "$(basename "$exe") exited with code $? $1"
}

window=
for _ in $(seq 150); do
  exited "before its main window appeared"
  window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || fail "no visible window titled '$title' after 30 s"

# Let the window finish painting and the banner animation run for a moment.
sleep 2
exited "before the screenshot"
"${import[@]}" -window "$window" "$png" || fail "import could not capture window $window"
sleep 3
exited "while running"

wineserver -k >/dev/null 2>&1
wait "$pid" 2>/dev/null
echo "Screenshot of the main window: $png"
