#!/bin/sh
# Runs a Windows program under Wine with a wininet.dll beside it preferred to
# Wine's own: the stand-in cache library of the Win32 tests and benchmarks.
#   wine-with-standin.sh PROGRAM.exe [ARGS...]
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}wininet=n,b" exec wine "$@"
