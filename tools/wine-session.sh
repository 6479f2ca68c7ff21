#!/usr/bin/env bash
# Runs one command inside a private Wine desktop and takes it all down again afterwards:
#   tools/wine-session.sh [--depth N] [--dpi N] [--lang LOCALE] COMMAND [ARGS...]
# A private Xvfb display (number chosen by the server through -displayfd), the Wine prefix that
# `make run` uses too (tools/wine-prefix.sh: build/wineprefix, created once, then reused;
# LANG=ja_JP.UTF-8 so that Wine's ANSI code page is 932), one persistent wineserver for the whole
# command. Everything started here is stopped on exit, also after a failure or an interrupt.
# Processes are stopped by their PID or through `wineserver -k`, never by name.
set -euo pipefail

depth=24
dpi=96
lang=""
while [ $# -gt 0 ]; do
  case "$1" in
    --depth) depth="$2"; shift 2 ;;
    --dpi) dpi="$2"; shift 2 ;;
    --lang) lang="$2"; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--depth N] [--dpi N] COMMAND [ARGS...]" >&2; exit 2; }

[ -n "$lang" ] && export ZINNOW_LANG="$lang"
. "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"

state="$(mktemp -d "${TMPDIR:-/tmp}/zinnow-wine.XXXXXX")"
xvfb_pid=""
server_started=""

stop_all() {
  local rc=$?
  trap - EXIT INT TERM HUP
  if [ -n "$server_started" ]; then
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$state"
  exit "$rc"
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# The display: the server picks a free number and writes it to our file.
Xvfb -displayfd 3 -screen 0 "1280x1024x${depth}" -dpi "$dpi" -nolisten tcp -nolisten unix-abstract \
  3>"$state/display" >"$state/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
for _ in $(seq 1 200); do
  [ -s "$state/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$state/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$state/display" ] || { echo "Xvfb gave no display number" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$state/display")"

# One wineserver for the whole session. It must hold none of our pipes open, or every reader of
# them would wait for it: its input and output go nowhere.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1 </dev/null
server_started=1

wine_prefix_ready "$dpi" "$state/wineboot.log"

echo "wine-session: display $DISPLAY (depth $depth, $dpi dpi), prefix $WINEPREFIX"
"$@"
