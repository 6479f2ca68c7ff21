#!/usr/bin/env bash
# `make run`: with a display, starts zinnow.exe under Wine there, from build/run so that its
# path.txt stays between runs. Without one, shows what it does on a private display instead.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  mkdir -p build/run
  cp build/windows/zinnow.exe build/run/
  export WINEPREFIX="$top/build/wineprefix" WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  mkdir -p "$WINEPREFIX"
  echo "run: starting build/run/zinnow.exe on $DISPLAY (its folder history: build/run/path.txt)"
  cd build/run
  exec wine zinnow.exe >/dev/null 2>&1 </dev/null
fi

echo "run: no display here, so a short demonstration on a private one instead"
exec tools/wine-session.sh tools/demo.sh
