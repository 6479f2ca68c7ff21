#!/usr/bin/env bash
# The demonstration `make run` gives without a display (inside tools/wine-session.sh): the
# program on a demo folder, three pictures copied one after the other through the X11 clipboard,
# the files it wrote, a screenshot of its window, then the program closed and its path.txt.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
demo="$top/build/demo"
rm -rf "$demo"
mkdir -p "$demo/pictures"
cp "$top/build/windows/zinnow.exe" "$demo/"
pictures_win="$(winepath -w "$demo/pictures" 2>/dev/null)"
printf '%s\r\n' "$pictures_win" >"$demo/path.txt"

helper="$top/build/windows/tests/clip_helper.exe"
wine_log="$demo/wine.log"
echo "demo: starting zinnow.exe in $demo, saving into $pictures_win"
(cd "$demo" && wine explorer /desktop=Zinnow,800x400 zinnow.exe >"$wine_log" 2>&1 </dev/null) &
program=$!

wait_for() {  # wait_for SECONDS COMMAND...
  local until=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $until ] || return 1
    sleep 0.2
  done
}
saved_at_least() { [ "$(find "$demo/pictures" -name '*.bmp' | wc -l)" -ge "$1" ]; }

wait_for 30 xdotool search --onlyvisible --name '^Quorrel$' >/dev/null || { echo "demo: no window"; exit 1; }
colours=(red-yellow blue-white green-black)
for i in 0 1 2; do
  convert -size $((320 + 40 * i))x$((200 + 20 * i)) "gradient:${colours[$i]}" "BMP3:$demo/copy$i.bmp"
  xclip -selection clipboard -t image/bmp -i "$demo/copy$i.bmp" </dev/null >/dev/null 2>&1 &
  wait_for 15 saved_at_least $((i + 1)) || { echo "demo: picture $i was not saved"; exit 1; }
  echo "demo: copied picture $((i + 1)) ($((320 + 40 * i)) x $((200 + 20 * i)))"
done
sleep 0.5
echo "demo: files written:"
ls -l "$demo/pictures" | tail -n +2 | sed 's/^/  /'
import -window root -crop 800x400+0+0 "$demo/screenshot.png"
echo "demo: screenshot of the window: build/demo/screenshot.png"

wine explorer /desktop=Zinnow,800x400 "$helper" close Quorrel >/dev/null 2>&1 </dev/null || echo "demo: could not close the window"
wait_for 20 test ! -e "/proc/$program" || true
wait "$program" 2>/dev/null || true
echo "demo: the program was closed; its path.txt holds:"
od -c "$demo/path.txt" | sed 's/^/  /'
