#!/usr/bin/env bash
# A screenshot of the window as the user sees it, on a private display:
#   tools/screenshot.sh OUT.png [wine-session options: --dpi N, --lang LOCALE]
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(realpath -m "$1")"; shift
exec "$top/tools/wine-session.sh" "$@" bash -c '
  set -euo pipefail
  dir="$(mktemp -d)"; trap "rm -rf \"$dir\"" EXIT
  cp "'"$top"'/build/windows/zinnow.exe" "$dir/"
  (cd "$dir" && wine explorer /desktop=Zinnow,800x400 zinnow.exe >/dev/null 2>&1 </dev/null) &
  for _ in $(seq 1 100); do xdotool search --name "^Quorrel$" >/dev/null 2>&1 && break; sleep 0.2; done
  sleep 1
  import -window root -crop 800x400+0+0 "'"$out"'"
  wine explorer /desktop=Zinnow,800x400 "'"$top"'/build/windows/tests/clip_helper.exe" close Quorrel >/dev/null 2>&1 </dev/null || true
  wait
'
