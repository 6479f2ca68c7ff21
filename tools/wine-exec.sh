#!/usr/bin/env bash
# Runs one Windows program under Wine and passes its output on. Must run inside
# tools/wine-session.sh. The program writes to files, not to our pipes: a Wine process that
# inherits a pipe can keep it open long after the program ended, and every reader would wait.
set -u
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || {
  echo "wine-exec: run inside tools/wine-session.sh (no WINEPREFIX or DISPLAY)" >&2
  exit 2
}
out="$(mktemp "${TMPDIR:-/tmp}/zinnow-exec.XXXXXX")"
err="$(mktemp "${TMPDIR:-/tmp}/zinnow-exec.XXXXXX")"
trap 'rm -f "$out" "$err"' EXIT
wine "$@" >"$out" 2>"$err" </dev/null
rc=$?
cat "$out"
cat "$err" >&2
exit "$rc"
