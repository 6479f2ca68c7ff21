#!/usr/bin/env bash
# `make dist`: packs the built program into build/dist/zinnow-VERSION-win64.zip, with the read-me
# and the licence, and its SHA-256 beside it. The archive holds nothing of the machine or the moment
# it was packed on: a fixed order, every file time the commit's time, fixed modes, no extra fields.
# Usage: tools/dist.sh [BUILD_DIR]   (default build/windows; it names the version in version.txt)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
build="${1:-build/windows}"

version="$(cat "$build/version.txt")"
name="zinnow-$version-win64"
out="build/dist"

# The commit's time, unless the caller fixes one (a source archive has no git to ask).
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)" || {
    echo "dist: not a git checkout: set SOURCE_DATE_EPOCH to the time the files should carry" >&2
    exit 1
  }
fi
# zip stores local time: make it the same everywhere.
export TZ=UTC SOURCE_DATE_EPOCH

stage="$out/stage"
# Only this build's archive: an older version's would pass for the current one.
rm -rf "$out"
mkdir -p "$stage"

cp "$build/zinnow.exe" "$stage/zinnow.exe"
# Plain text for Windows: CR LF line ends, so that every Notepad shows its lines.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' docs/README-windows.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
chmod 0755 "$stage/zinnow.exe"
chmod 0644 "$stage/README.txt" "$stage/LICENSE.txt"
touch -h -d "@$SOURCE_DATE_EPOCH" "$stage"/*

# -X: no extra fields (owner, times to the second); -D: no folder entries.
(cd "$stage" && LC_ALL=C ls | LC_ALL=C sort | zip -q -X -D -9 "../$name.zip" -@)
rm -rf "$stage"
(cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")

echo "dist: $out/$name.zip"
cat "$out/$name.zip.sha256"
