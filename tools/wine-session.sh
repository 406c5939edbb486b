#!/usr/bin/env bash
# Runs a command inside a Wine session for one build tree and always cleans up.
#
#   tools/wine-session.sh [--xvfb] BUILD_TREE COMMAND [ARGS...]
#
# The session uses the tree's private prefix BUILD_TREE/.wine (64-bit), created on
# first use with the X11 driver told not to wait for a window manager, and a
# persistent wineserver warmed up before COMMAND runs, so each wine call inside
# costs ~0.1 s. An own Xvfb (1280x1024, depth 24) is started when --xvfb is given
# or DISPLAY is unset. On exit the prefix's wineserver is killed (only that
# prefix) and the Xvfb is stopped by its PID. The exit code is COMMAND's.
set -uo pipefail

usage() {
  sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

own_xvfb=0
while [ $# -gt 0 ]; do
  case $1 in
    --xvfb) own_xvfb=1; shift ;;
    -h | --help) usage ;;
    --) shift; break ;;
    -*) echo "wine-session: unknown option $1" >&2; usage ;;
    *) break ;;
  esac
done
[ $# -ge 2 ] || usage

tree=$1
shift
mkdir -p "$tree" || exit 1
tree=$(cd "$tree" && pwd) || exit 1

export WINEPREFIX=$tree/.wine
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

say() { echo "wine-session: $*" >&2; }

for tool in wine wineserver; do
  command -v "$tool" >/dev/null 2>&1 || { say "$tool not found; run tools/install-deps.sh run"; exit 1; }
done

# One session per prefix: a second one would kill the first one's programs when it
# ends. The lock is held by this script alone (fd 9 is closed for every child), so
# it disappears with the script whatever becomes of the processes it started.
exec 9>"$tree/.wine.lock"
if ! flock -n 9; then
  say "another Wine session is using $WINEPREFIX; stop it or wait for it to end"
  exit 1
fi

xvfb_pid=
cmd_pid=
cleanup() {
  if [ -n "$cmd_pid" ] && kill -0 "$cmd_pid" 2>/dev/null; then
    kill "$cmd_pid" 2>/dev/null
    wait "$cmd_pid" 2>/dev/null
  fi
  # Kills this prefix's server and every Windows process in it, nothing else.
  wineserver -k >/dev/null 2>&1 </dev/null 9>&-
  timeout 20 wineserver -w >/dev/null 2>&1 </dev/null 9>&-
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Starts Xvfb on the first free display from :90 on. The lock file holding our PID
# proves that the server answering is ours, not one that won a race for the number.
start_xvfb() {
  command -v Xvfb >/dev/null 2>&1 || { say "Xvfb not found; run tools/install-deps.sh run"; return 1; }
  local n=90
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$tree/xvfb.log" 2>&1 </dev/null 9>&- &
    xvfb_pid=$!
    for _ in $(seq 100); do
      kill -0 "$xvfb_pid" 2>/dev/null || break
      if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock")" = "$xvfb_pid" ] &&
        xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=:$n
        unset XAUTHORITY
        return 0
      fi
      sleep 0.05
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
    n=$((n + 1))
  done
  say "could not start Xvfb (see $tree/xvfb.log)"
  return 1
}

if [ "$own_xvfb" = 1 ] || [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
fi

# A server left over from an interrupted session may run on a display that is gone.
wineserver -k >/dev/null 2>&1 </dev/null 9>&-
timeout 20 wineserver -w >/dev/null 2>&1 </dev/null 9>&-

# The marker is written only once the prefix is complete, so a creation that was
# interrupted is redone from scratch.
ready=$WINEPREFIX/.prefix-ready
if [ ! -e "$ready" ]; then
  say "creating Wine prefix $WINEPREFIX (once, about 15 s)"
  rm -rf "$WINEPREFIX"
  wine wineboot --init >/dev/null 2>&1 </dev/null 9>&-
  # Without a window manager every hide of a top-level window would wait ~2 s for one.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null 9>&-
  wineserver -w 9>&-
  if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    say "prefix creation failed in $WINEPREFIX"
    exit 1
  fi
  touch "$ready"
fi

# Warm a persistent server outside any capture: Wine's background services inherit
# the standard streams of the wine call that starts them, and a pipe held by them
# would keep a harness such as ctest waiting for end-of-file forever.
wineserver -p >/dev/null 2>&1 </dev/null 9>&-
wine cmd /c exit >/dev/null 2>&1 </dev/null 9>&-

# In the background so that a signal to this script ends the session at once; the
# explicit <&0 keeps the caller's standard input, which & would replace.
"$@" 9>&- <&0 &
cmd_pid=$!
wait "$cmd_pid"
rc=$?
cmd_pid=
exit "$rc"
