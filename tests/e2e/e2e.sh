#!/usr/bin/env bash
# zinnow.exe driven from outside as a user would, inside tools/wine-session.sh: a fresh program
# folder with its own path.txt, pictures from the tests' helper program, the files checked byte
# by byte, the window closed (or the logon ended), path.txt checked.
#   e2e.sh BUILD_DIR
set -uo pipefail
build="$(cd "$1" && pwd)"
helper="$build/tests/clip_helper.exe"
work="$(mktemp -d "${TMPDIR:-/tmp}/zinnow-e2e.XXXXXX")"
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

check() {  # check NAME COMMAND...
  if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
win() { winepath -w "$1" 2>/dev/null; }
wait_for() {  # wait_for SECONDS COMMAND...
  local until=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $until ] || return 1; sleep 0.1; done
}
helper() { wine "$helper" "$@" >/dev/null 2>&1 </dev/null; }
has_bitmap() { helper has-bitmap; }
no_bitmap() { ! helper has-bitmap; }
same_bytes() { cmp -s "$1" "$2"; }
ended() { ! kill -0 "${1:-$program}" 2>/dev/null; }
window_up() { xdotool search --onlyvisible --name '^Quorrel$' >/dev/null 2>&1; }  # shown: FormCreate has run

# start CASE [ENTRY...]: a program folder of its own with those path.txt lines (none: no
# path.txt), and zinnow.exe started in it.
start() {
  dir="$work/$1"
  mkdir -p "$dir/pictures"
  cp "$build/zinnow.exe" "$dir/"
  helper empty  # a picture already there would be saved at once
  [ $# -ge 2 ] && printf '%s\r\n' "${@:2}" >"$dir/path.txt"
  (cd "$dir" && exec wine zinnow.exe >"$dir/wine.log" 2>&1 </dev/null) &
  program=$!
  wait_for 30 window_up || echo "no window for $1"
}
shot() { import -window root "/tmp/e2e-$1.png" 2>/dev/null; }
stop() { helper close Quorrel; wait_for 20 ended; }

# Saving pictures: three in a row, byte by byte; the history written back at the close.
start saving "$(win "$work/saving/pictures")"
rm "$dir/path.txt"  # read at the start only: the close must write it anew
for i in 0 1 2; do
  helper expect $((5 + i)) 3 "$i" "$work/expected$i.bmp"
  helper bitmap $((5 + i)) 3 "$i"
  # Saved whole, and the clipboard emptied: nothing is left that could be saved again.
  wait_for 10 same_bytes "$dir/pictures/svbmp00$i.bmp" "$work/expected$i.bmp" || shot "saving$i"
  wait_for 10 no_bitmap
  check "picture $i is saved byte for byte" same_bytes "$dir/pictures/svbmp00$i.bmp" "$work/expected$i.bmp"
done
check "each picture saved once" test "$(ls "$dir/pictures" | wc -l)" -eq 3
stop
check "the program ends after the close" ended
wait "$program"
rc=$?
check "with exit code 0" test "$rc" = 0
check "path.txt holds the folder" test "$(cat "$dir/path.txt")" = "$(printf '%s\r' "$(win "$work/saving/pictures")")"

# Pictures copied by X11 programs through Wine's bridge to the X11 clipboard: a bitmap (which
# arrives as a device-independent bitmap) and PNG pictures with and without alpha (which arrive as
# "PNG" alone), each saved with the colours it has; the save clears the X11 clipboard too.
pixels() { convert "$1" -alpha off -depth 8 rgb:-; }
same_pixels() { [ -s "$1" ] && cmp -s <(pixels "$1") <(pixels "$2"); }
x11_offers_image() { xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q '^image/'; }
convert -size 7x5 plasma:fractal -seed 3 BMP3:"$work/x11.bmp" 2>/dev/null ||
  convert -size 7x5 gradient:red-blue BMP3:"$work/x11.bmp"
convert -size 9x4 gradient:yellow-navy PNG24:"$work/x11-rgb.png"
convert -size 5x3 gradient:red-blue \( -size 5x3 gradient:white-black \) -alpha off \
  -compose copy_opacity -composite PNG32:"$work/x11-rgba.png"
start x11 "$(win "$work/x11/pictures")"
i=0
for put in "image/bmp x11.bmp" "image/png x11-rgb.png" "image/png x11-rgba.png"; do
  set -- $put
  # In the foreground (-quiet), so that its end shows it lost the X11 clipboard.
  xclip -quiet -selection clipboard -t "$1" -i "$work/$2" </dev/null >/dev/null 2>&1 &
  owner=$!
  saved="$dir/pictures/svbmp00$i.bmp"
  wait_for 20 same_pixels "$saved" "$work/$2" || shot "x11-$i"
  check "$2 copied in X11 is saved with its pixels" same_pixels "$saved" "$work/$2"
  check "$2 is saved as a 32-bit bitmap" test "$(od -An -tu2 -j28 -N2 "$saved" | tr -d ' ')" = 32
  wait_for 20 ended "$owner"
  check "the save of $2 took the X11 clipboard from its owner" ended "$owner"
  check "the X11 clipboard offers no image after the save of $2" eval '! x11_offers_image'
  kill "$owner" 2>/dev/null
  i=$((i + 1))
done
check "each X11 picture saved once" test "$(ls "$dir/pictures" | wc -l)" -eq 3
stop

# No path.txt: the fallback entry, polling off, written at the end.
# The copy's notice is posted to the program before the close, so by the time it has ended it has
# handled the copy: what it did with it can be checked then, with no wait that must be long enough.
start fresh
helper bitmap 3 2 0
stop
check "nothing saved without a folder" test -z "$(ls "$dir/pictures")"
check "nothing saved in the program folder" test -z "$(ls "$dir" | grep -i '\.bmp$')"
check "the picture is still on the clipboard" has_bitmap
check "path.txt holds c:\\ then" test "$(od -An -c "$dir/path.txt" | tr -s ' ')" = " c : \\ \r \n"

# Entry 1 names a folder that does not exist: shown, polling off.
start missing "$(win "$work/missing/nowhere")"
helper bitmap 3 2 0
stop
check "nothing saved for a missing folder" test ! -e "$work/missing/nowhere"
check "the picture is left on the clipboard" has_bitmap

# The logon ends instead of a close: the history is saved all the same.
start logoff
helper end-session Quorrel
wait_for 20 ended
check "path.txt saved at the end of the logon" test "$(od -An -c "$dir/path.txt" | tr -s ' ')" = " c : \\ \r \n"
check "the program ends with the logon" ended

# path.txt held open by another program at the end: the error box, the old file intact.
start locked "$(win "$work/locked/pictures")"
cp "$dir/path.txt" "$work/old-path.txt"
helper lock "$(win "$dir/path.txt")" "$(win "$work/locked.ready")" "$(win "$work/locked.release")" &
locker=$!
wait_for 10 test -e "$work/locked.ready"
helper close Quorrel &
helper box Zinnow "$(win "$work/box.txt")"
printf 'ﾌｧｲﾙ %s を作成できません.' "$(win "$dir/path.txt")" | iconv -f UTF-8 -t CP932 >"$work/box-expected.txt"
check "the error box names path.txt" same_bytes "$work/box.txt" "$work/box-expected.txt"
wait_for 20 ended
check "the program ends after the box" ended
touch "$work/locked.release"
wait "$locker"
check "the old path.txt is intact" same_bytes "$dir/path.txt" "$work/old-path.txt"
check "no temporary file is left" test "$(ls "$dir" | grep -c tmp)" -eq 0

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
