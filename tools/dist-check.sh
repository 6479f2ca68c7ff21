#!/usr/bin/env bash
# `make dist-check`: the commit checked out here, cloned twice into fresh folders of different
# paths and built there one after the other, at different moments, under another umask and time
# zone, must give the same zinnow.exe and the same archive, byte for byte. When they differ, the
# two trees are kept and the objects that differ are named, to show where the difference comes from.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

commit="$(git rev-parse HEAD)"
if ! git diff-index --quiet HEAD --; then
  echo "dist-check: checking commit ${commit:0:12}; changes not committed are not part of it"
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/zinnow-dist-check.XXXXXX")"
keep=0
trap '[ "$keep" = 1 ] || rm -rf "$work"' EXIT
one="$work/one"
two="$work/two-in-a-folder-of-another-length"

# A fresh clone of the commit, then `make dist` in it, its output kept in a log beside it.
build_in() {
  local dir="$1"
  git clone -q --no-checkout "$top" "$dir" && git -C "$dir" checkout -q --detach "$commit" &&
    env -u SOURCE_DATE_EPOCH make -C "$dir" --no-print-directory dist >"$dir.log" 2>&1 && return 0
  cat "$dir.log" 2>/dev/null || true
  echo "dist-check: FAIL: make dist in $dir"
  return 1
}

started=$SECONDS
build_in "$one" || {
  keep=1
  exit 1
}
# Whatever the build took, the second one starts on a later second of the clock.
finished="$(date +%s)"
until [ "$(date +%s)" -ge $((finished + 2)) ]; do sleep 0.2; done
(umask 0027 && TZ=Pacific/Kiritimati build_in "$two") || {
  keep=1
  exit 1
}

failures=0
fail() {
  echo "dist-check: FAIL: $*"
  failures=$((failures + 1))
}

# Each build on its own: the archive holds the three files, its zinnow.exe is the one built, its
# SHA-256 file is right, and the version resource names the version the archive is named for.
for dir in "$one" "$two"; do
  version="$(cat "$dir/build/windows/version.txt")"
  zip="$dir/build/dist/zinnow-$version-win64.zip"
  [ -f "$zip" ] || {
    fail "no $zip"
    continue
  }
  (cd "$dir/build/dist" && sha256sum --quiet -c "zinnow-$version-win64.zip.sha256") ||
    fail "the SHA-256 file does not match $zip"
  listed="$(unzip -Z1 "$zip" | tr '\n' ' ')"
  [ "$listed" = "LICENSE.txt README.txt zinnow.exe " ] || fail "$zip holds: $listed"
  unzip -p "$zip" zinnow.exe | cmp -s - "$dir/build/windows/zinnow.exe" ||
    fail "the zinnow.exe in $zip is not the one built"
  resource="$(strings -el "$dir/build/windows/zinnow.exe" | grep -A1 -x ProductVersion |
    tail -1 || true)"
  [ "$resource" = "$version" ] || fail "zinnow.exe says version '$resource', the archive '$version'"
done

# The two builds against each other.
compare() {
  local what="$1" a="$2" b="$3"
  if cmp -s "$a" "$b"; then
    echo "dist-check: $what the same: $(sha256sum <"$a" | cut -d' ' -f1)"
    return
  fi
  # cmp tells a difference by its status, which is no failure here.
  fail "$what differs: $( { cmp -l "$a" "$b" || true; } | wc -l) bytes, the first (offset, octal):"
  { cmp -l "$a" "$b" 2>&1 || true; } | head -8
}
v1="$(cat "$one/build/windows/version.txt")"
v2="$(cat "$two/build/windows/version.txt")"
[ "$v1" = "$v2" ] || fail "version $v1 against $v2"
compare "zinnow.exe" "$one/build/windows/zinnow.exe" "$two/build/windows/zinnow.exe"
compare "zinnow-$v1-win64.zip" "$one/build/dist/zinnow-$v1-win64.zip" \
  "$two/build/dist/zinnow-$v2-win64.zip"

if [ "$failures" -gt 0 ]; then
  differing="$(cd "$one/build/windows" &&
    find . \( -name '*.obj' -o -name '*.res' -o -name '*.a' \) | sort |
    while read -r f; do cmp -s "$f" "$two/build/windows/$f" || echo "  $f"; done)"
  echo "dist-check: objects of the program that differ between the two builds:"
  echo "${differing:-  none: the link or the packing makes the difference}"
  keep=1
  echo "dist-check: FAIL ($failures); both trees kept in $work"
  exit 1
fi
echo "dist-check: PASS, version $v1, two builds in $((SECONDS - started)) s"
