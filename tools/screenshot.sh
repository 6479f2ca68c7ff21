#!/usr/bin/env bash
# A screenshot of the window as the user sees it, on a private display:
#   tools/screenshot.sh OUT.png [--chooser] [wine-session options: --dpi N, --lang LOCALE]
# --chooser: the folder chooser open over it (its button clicked by the tests' helper). With
# WINEPREFIX naming a folder that does not exist yet, the prefix is made afresh by the same set-up
# `make run` uses, as on a new machine.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(realpath -m "$1")"; shift
chooser=""
if [ "${1:-}" = "--chooser" ]; then chooser=1; shift; fi
export ZINNOW_SHOT_OUT="$out" ZINNOW_SHOT_CHOOSER="$chooser" ZINNOW_TOP="$top"
exec "$top/tools/wine-session.sh" "$@" bash -c '
  set -euo pipefail
  dir="$(mktemp -d)"; trap "rm -rf \"$dir\"" EXIT
  cp "$ZINNOW_TOP/build/windows/zinnow.exe" "$dir/"
  (cd "$dir" && wine explorer /desktop=Zinnow,900x500 zinnow.exe >/dev/null 2>&1 </dev/null) &
  for _ in $(seq 1 100); do xdotool search --name "^Quorrel$" >/dev/null 2>&1 && break; sleep 0.2; done
  sleep 1
  if [ -n "$ZINNOW_SHOT_CHOOSER" ]; then
    wine explorer /desktop=Zinnow,900x500 "$ZINNOW_TOP/build/windows/tests/clip_helper.exe" click Quorrel ... >/dev/null 2>&1 </dev/null
    sleep 2
  fi
  import -window root -crop 900x500+0+0 "$ZINNOW_SHOT_OUT"
  wine explorer /desktop=Zinnow,900x500 "$ZINNOW_TOP/build/windows/tests/clip_helper.exe" close Quorrel >/dev/null 2>&1 </dev/null || true
  wait
'
