#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that a Kelpo task needs and the machine lacks.
#
#   tools/install-deps.sh [MODE]        install what MODE needs (default: all)
#   tools/install-deps.sh --list MODE   print the packages of MODE
#   tools/install-deps.sh --check MODE  print the missing packages; exit 1 if any
#
# Modes: run (build kelpo.exe, start it under Wine, screenshot), dist (build the zip),
# test (every test stage), format (clang-format), all.
set -euo pipefail

# One line per package: the package, then the modes that need it. Versioned packages go
# by their distribution's default name (libclang-rt-dev: the runtime of the default clang,
# whose libFuzzer the fuzz tree links).
PACKAGES='
cmake                 run dist test
make                  run dist test
googletest            run dist test
libgmock-dev          test
g++-mingw-w64-x86-64  run dist test
wine64                run test
wine                  run test
xvfb                  run test
x11-utils             run test
xauth                 run test
xdotool               run test
imagemagick           run test
g++                   test
libbenchmark-dev      test
libgif-dev            test
libstb-dev            test
clang                 test
libclang-rt-dev       test
python3               test
clang-format          test format
'

usage() {
  sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit "${1:-2}"
}

packages_for() {
  awk -v mode="$mode" 'NF { for (i = 2; i <= NF; i++) if (mode == "all" || $i == mode) { print $1; break } }' \
    <<<"$PACKAGES"
}

# A package counts as present when dpkg has it fully installed ("ii", or "hi" when held).
missing_packages() {
  local wanted
  wanted=$(packages_for "$1")
  # shellcheck disable=SC2086  # package names are single words
  { dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' $wanted 2>/dev/null || true; } |
    awk -v wanted="$wanted" '
      substr($2, 2, 1) == "i" && length($2) == 2 { ok[$1] = 1 }
      END { n = split(wanted, w, "\n"); for (i = 1; i <= n; i++) if (!(w[i] in ok)) print w[i] }'
}

action=install
case ${1:-} in
  --list) action=list; shift ;;
  --check) action=check; shift ;;
  -h | --help) usage 0 ;;
esac
mode=${1:-all}
[ $# -le 1 ] || usage
case $mode in
  run | dist | test | format | all) ;;
  *) echo "install-deps: unknown mode '$mode'" >&2; usage ;;
esac

case $action in
  list)
    packages_for "$mode"
    exit 0
    ;;
  check)
    missing=$(missing_packages "$mode")
    [ -z "$missing" ] && exit 0
    echo "$missing"
    exit 1
    ;;
esac

missing=$(missing_packages "$mode" | tr '\n' ' ')
missing=${missing% }
if [ -z "$missing" ]; then
  echo "install-deps ($mode): nothing to do, all packages present."
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: missing packages: $missing" >&2
  echo "install-deps: not root and no sudo; install them as root." >&2
  exit 1
fi

echo "install-deps ($mode): installing $missing"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -qq update
# With recommends: wine64 brings the wine wrapper and fonts through them.
# shellcheck disable=SC2086
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing

still=$(missing_packages "$mode" | tr '\n' ' ')
if [ -n "$still" ]; then
  echo "install-deps: still missing after apt-get: $still" >&2
  exit 1
fi
echo "install-deps ($mode): done."
