#!/usr/bin/env bash
# The fault group of the Windows tests, inside tools/wine-session.sh. For the full disk it mounts
# a small file system of its own and maps it as drive Y: of the Wine prefix; mounting needs root,
# and without it that one case says that it is skipped. Both are taken down again at the end.
#   faults.sh WIN32_TESTS_EXE      (FAULTS_FILTER: a narrower gtest filter, to run some cases)
set -uo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
exe="$1"
small="$(mktemp -d "${TMPDIR:-/tmp}/zinnow-small.XXXXXX")"
drive="$WINEPREFIX/dosdevices/y:"
mapped=""
take_down() {
  [ -n "$mapped" ] && rm -f "$drive"
  mountpoint -q "$small" && umount "$small"
  rmdir "$small"
}
trap take_down EXIT

if [ -e "$drive" ] || [ -L "$drive" ]; then
  echo "faults: drive Y: is already mapped in $WINEPREFIX; the full-disk case is skipped"
elif [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=512k,mode=0755 zinnow-small "$small"; then
  ln -s "$small" "$drive" && mapped=1 && export ZINNOW_SMALL_DRIVE='Y:'
else
  echo "faults: could not mount a small file system (needs root); the full-disk case is skipped"
fi
"$top/tools/wine-exec.sh" "$exe" --gtest_brief=1 --gtest_filter="${FAULTS_FILTER:-Faults*}"
