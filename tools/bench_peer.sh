#!/usr/bin/env bash
# The program fed through the X11 clipboard, beside two others in the same session: the usual
# shell answer on Linux (a loop that polls the X11 clipboard with xclip every 100 ms and writes
# what it finds) and the floor (bench/bare_reader.cpp reading CF_DIB, told of each change by a
# clipboard format listener). Each is fed the same picture with xclip, the three in turns, a block
# of pictures each, each copy once the last one is saved.
#   bench_peer.sh WORK CAPTURES ZINNOW_EXE BARE_READER_EXE
# A picture not saved within BENCH_X11_WAIT seconds (10) is counted as missed: the next one is put
# all the same, so a picture missed never stops the run.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/bench_common.sh"
work="$1"; captures="$2"; exe="$3"; reader="$4"
helper="$(dirname "$exe")/tests/clip_helper.exe"
wait_ms=$((${BENCH_X11_WAIT:-10} * 1000))
width=1920 height=1080
mkdir -p "$work/peer" "$work/floor" "$work/ours/pictures"
convert -size ${width}x${height} plasma:fractal -depth 8 "BMP3:$work/picture.bmp" 2>/dev/null ||
  convert -size ${width}x${height} gradient:red-blue "BMP3:$work/picture.bmp"
picture_bytes=$(stat -c %s "$work/picture.bmp")
# The same picture as a PNG, as browsers copy images: for the program's PNG figure.
convert "$work/picture.bmp" "PNG24:$work/picture.png"
put_type=image/bmp put_file="$work/picture.bmp"  # what feed puts
# Wine hands an X11 picture over as a 32-bit CF_DIB: the program and the floor write 32 bits a pixel.
saved_bytes=$((54 + 4 * width * height))

now_ms() { date +%s%3N; }
median_p95() {  # reads numbers, prints "median p95" ("- -" without numbers)
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "-", "-"; exit }
    print v[int((NR + 1) / 2)], v[int(NR * 0.95 + 0.5) < 1 ? 1 : int(NR * 0.95 + 0.5)] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b == 0) print "-"; else printf "%.2f\n", a / b }'; }
# Waits up to `seconds` for a process we started to end; false if it is still running.
ended_within() {
  local pid="$1" seconds="$2" i
  for ((i = 0; i < seconds * 10; i++)); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
stop() {  # stop PID TITLE: closes the Windows program's window, as its close box; ends it if it stays
  local pid="$1" title="$2"
  wine "$helper" close "$title" >/dev/null 2>&1 </dev/null
  ended_within "$pid" 10 || { echo "bench_peer: $title did not close" >&2; kill "$pid" 2>/dev/null; }
  wait "$pid" 2>/dev/null
}

# feed NAME FOLDER PREFIX BYTES COUNT: puts the picture ($put_file as $put_type) once to warm the side up, then COUNT times;
# after each put waits (at most wait_ms) for the side's next file, PREFIXNNN.bmp or PREFIXN.bmp
# numbered from 0, to have all its BYTES, then removes it. Adds a line "PUT_MS LATENCY_MS" a
# counted picture, "PUT_MS missed" for a miss, to $work/NAME.feed. A file that comes late is
# counted and removed before the next put, so that the side's next file name is known again.
feed() {
  local name="$1" folder="$2" prefix="$3" bytes="$4" count="$5" i saved=0 t0 t1 file late
  for ((i = -1; i < count; i++)); do
    if [ -n "$prefix" ]; then file=$(printf '%s/%s%03d.bmp' "$folder" "$prefix" "$saved"); else
      file="$folder/$saved.bmp"; fi
    t0=$(now_ms)
    xclip -selection clipboard -t "$put_type" -i "$put_file" </dev/null >/dev/null 2>&1 &
    t1=""
    while :; do
      if [ -e "$file" ] && [ "$(stat -c %s "$file" 2>/dev/null)" = "$bytes" ]; then
        t1=$(now_ms)
        break
      fi
      (($(now_ms) - t0 > wait_ms)) && break
      sleep 0.005
    done
    if [ -n "$t1" ]; then
      ((i >= 0)) && echo "$t0 $((t1 - t0))" >>"$work/$name.feed"
      saved=$((saved + 1))
    else
      ((i >= 0)) && echo "$t0 missed" >>"$work/$name.feed"
    fi
    sleep 0.2
    rm -f "$file"
    late=$(find "$folder" -maxdepth 1 -name '*.bmp' | wc -l)
    saved=$((saved + late))
    find "$folder" -maxdepth 1 -name '*.bmp' -delete
  done
}
latencies() { awk '$2 != "missed" { print $2 }' "$work/$1.feed" | median_p95; }
missed() { awk '$2 == "missed"' "$work/$1.feed" | wc -l; }

# The peer: what it finds is written and the clipboard set to text, so nothing is written twice.
peer_loop() {
  local n=0
  while :; do
    if xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q '^image/bmp$'; then
      xclip -selection clipboard -t image/bmp -o >"$work/peer/.part" 2>/dev/null &&
        mv "$work/peer/.part" "$work/peer/$n.bmp" && n=$((n + 1))
      printf '' | xclip -selection clipboard -i >/dev/null 2>&1
    fi
    sleep 0.1
  done
}
start_ours() {  # the program in its folder, once its window is shown
  start_program "$work/ours" || echo "bench_peer: no window after 30 s" >&2
  running=$started
}
running=""
trap '[ -n "$running" ] && kill "$running" 2>/dev/null' EXIT
peer_cpu=0
# Each side in turn takes a block of pictures, started afresh and warmed up with one picture, so
# that the load on the machine falls on the three alike.
block=5
: >"$work/peer.feed"; : >"$work/floor.feed"; : >"$work/ours.feed"
printf '%s\r\n' "$(winepath -w "$work/ours/pictures")" >"$work/ours/path.txt"
cp "$exe" "$work/ours/zinnow.exe"
for ((first = 0; first < captures; first += block)); do
  count=$((captures - first < block ? captures - first : block))

  peer_loop &
  running=$!
  sleep 0.5
  feed peer "$work/peer" "" "$picture_bytes" "$count"
  peer_cpu=$((peer_cpu + $(awk '{ print ($14 + $15 + $16 + $17) }' "/proc/$running/stat")))
  kill "$running" 2>/dev/null; wait "$running" 2>/dev/null
  running=""
  sleep 0.3  # for an xclip of the loop's that was still running

  # The floor: its ready file appears once its listener is in place.
  rm -f "$work/floor.ready"
  wine "$reader" "$(winepath -w "$work/floor")" dib "$(winepath -w "$work/floor.steps")" \
    "$(winepath -w "$work/floor.ready")" >/dev/null 2>&1 </dev/null &
  running=$!
  for ((i = 0; i < 300; i++)); do [ -e "$work/floor.ready" ] && break; sleep 0.1; done
  feed floor "$work/floor" svbmp "$saved_bytes" "$count"
  stop "$running" "Zinnow bare reader"
  running=""

  start_ours
  feed ours "$work/ours/pictures" svbmp "$saved_bytes" "$count"
  stop "$running" Quorrel
  running=""
done

# The program fed the PNG: a block after the others, a fresh start as theirs.
: >"$work/ours-png.feed"
put_type=image/png put_file="$work/picture.png"
start_ours
feed ours-png "$work/ours/pictures" svbmp "$saved_bytes" "$((captures < 10 ? captures : 10))"
stop "$running" Quorrel
running=""

read -r our_median our_p95 < <(latencies ours)
read -r png_median png_p95 < <(latencies ours-png)
read -r floor_median floor_p95 < <(latencies floor)
read -r peer_median peer_p95 < <(latencies peer)
echo "x11_latency_median: $our_median ms"
echo "x11_latency_p95: $our_p95 ms"
echo "x11_missed: $(missed ours) pictures"
echo "x11_floor_latency_median: $floor_median ms"
echo "x11_floor_latency_p95: $floor_p95 ms"
echo "x11_floor_missed: $(missed floor) pictures"
# Where the floor's time goes: each saved picture's steps against the put it followed (the
# warm-up pictures, not in the feed, are left out).
awk -v wait_ms="$wait_ms" 'NR == FNR { if ($2 != "missed") put[++n] = $1; next }
  /^#/ { next }
  { p = 0; for (i = 1; i <= n; i++) if (put[i] <= $2) p = put[i]
    if (p && $2 - p <= wait_ms) { k++; s[1, k] = $2 - p; for (j = 2; j <= 6; j++) s[j, k] = $(j + 1) - $j } }
  function median(j,   i, m, t, a) { for (i = 1; i <= k; i++) a[i] = s[j, i]
    for (i = 1; i <= k; i++) for (m = i + 1; m <= k; m++) if (a[m] < a[i]) { t = a[i]; a[i] = a[m]; a[m] = t }
    return a[int((k + 1) / 2)] }
  END { if (k) printf "x11_floor_steps: put to notice %.1f, open %.1f, CF_DIB %.1f, copy %.1f, write %.1f, empty %.1f ms (medians)\n",
    median(1), median(2), median(3), median(4), median(5), median(6) }' "$work/floor.feed" "$work/floor.steps"
echo "x11_png_latency_median: $png_median ms"
echo "x11_png_latency_p95: $png_p95 ms"
echo "x11_png_missed: $(missed ours-png) pictures"
echo "peer_latency_median: $peer_median ms"
echo "peer_latency_p95: $peer_p95 ms"
echo "peer_missed: $(missed peer) pictures"
echo "peer_cpu_ticks: $peer_cpu ticks of $(getconf CLK_TCK) per s over the run"
echo "x11_median_over_peer: $(ratio "$our_median" "$peer_median") x"
echo "x11_median_over_floor: $(ratio "$our_median" "$floor_median") x"
