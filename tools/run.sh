#!/usr/bin/env bash
# `make run`: with a display, starts zinnow.exe under Wine there, from build/run so that its
# path.txt stays between runs. Without one, shows what it does on a private display instead.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  mkdir -p build/run
  cp build/windows/zinnow.exe build/run/
  # The same prefix and set-up as the tests, at the density of this display.
  . tools/wine-prefix.sh
  dpi="$(xdpyinfo | awk '/resolution:/ { split($2, r, "x"); print r[2]; exit }')"
  wine_prefix_ready "${dpi:-96}" build/run/wineboot.log
  echo "run: starting build/run/zinnow.exe on $DISPLAY at ${dpi:-96} dpi (its folder history: build/run/path.txt)"
  cd build/run
  exec wine zinnow.exe >/dev/null 2>&1 </dev/null
fi

echo "run: no display here, so a short demonstration on a private one instead"
exec tools/wine-session.sh tools/demo.sh
