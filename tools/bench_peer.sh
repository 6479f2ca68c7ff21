#!/usr/bin/env bash
# The usual shell answer on Linux, measured beside the program in the same session: a loop that
# polls the X11 clipboard with xclip every 100 ms and writes what it finds. Both are fed the same
# pictures through the X11 clipboard.
#   bench_peer.sh WORK CAPTURES ZINNOW_EXE
set -uo pipefail
work="$1"; captures="$2"; exe="$3"
mkdir -p "$work/peer" "$work/ours/pictures"
convert -size 1920x1080 plasma:fractal -depth 8 "BMP3:$work/picture.bmp" 2>/dev/null ||
  convert -size 1920x1080 gradient:red-blue "BMP3:$work/picture.bmp"

now_ms() { date +%s%3N; }
median_p95() {  # reads numbers, prints "median p95"
  sort -n | awk '{ v[NR] = $1 } END { m = v[int((NR + 1) / 2)]; p = v[int(NR * 0.95 + 0.5)]; print m, p }'
}
feed() {  # feed OUTPUT_FOLDER: put the picture $captures times, each once the last one arrived
  local out="$1" i
  for ((i = 0; i < captures; i++)); do
    local t0; t0=$(now_ms)
    xclip -selection clipboard -t image/bmp -i "$work/picture.bmp" </dev/null >/dev/null 2>&1 &
    until [ "$(find "$out" -type f -size +1000k | wc -l)" -gt "$i" ]; do sleep 0.005; done
    echo $(($(now_ms) - t0))
    sleep 0.2
  done
}

# The peer: what it finds is written and the clipboard set to text, so nothing is written twice.
(
  n=0
  while :; do
    if xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q '^image/bmp$'; then
      xclip -selection clipboard -t image/bmp -o >"$work/peer/.part" 2>/dev/null &&
        mv "$work/peer/.part" "$work/peer/$n.bmp" && n=$((n + 1))
      printf '' | xclip -selection clipboard -i
    fi
    sleep 0.1
  done
) &
peer=$!
sleep 1
read -r peer_median peer_p95 < <(feed "$work/peer" | median_p95)
peer_cpu=$(awk '{ print ($14 + $15 + $16 + $17) }' "/proc/$peer/stat")
kill "$peer" 2>/dev/null; wait "$peer" 2>/dev/null

printf '%s\r\n' "$(winepath -w "$work/ours/pictures")" >"$work/ours/path.txt"
cp "$exe" "$work/ours/zinnow.exe"
(cd "$work/ours" && exec wine zinnow.exe >/dev/null 2>&1 </dev/null) &
ours=$!
until xdotool search --onlyvisible --name '^Quorrel$' >/dev/null 2>&1; do sleep 0.1; done
read -r our_median our_p95 < <(feed "$work/ours/pictures" | median_p95)
wine "$(dirname "$exe")/tests/clip_helper.exe" close Quorrel >/dev/null 2>&1
wait "$ours" 2>/dev/null

echo "x11_latency_median: $our_median ms"
echo "x11_latency_p95: $our_p95 ms"
echo "peer_latency_median: $peer_median ms"
echo "peer_latency_p95: $peer_p95 ms"
echo "peer_cpu_ticks: $peer_cpu ticks of $(getconf CLK_TCK) per s over the run"
