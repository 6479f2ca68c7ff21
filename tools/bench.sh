#!/usr/bin/env bash
# `make bench` inside tools/wine-session.sh: every figure from one run on one display, the floors
# the program is held to measured in the same run, each budget checked, then a short table.
# Shorter runs while developing:
#   BENCH_CAPTURES (200)       1920 x 1080 captures, for the program and for the floor
#   BENCH_IDLE_SECONDS (30)    the idle window (and the Wine server's window before it)
#   BENCH_SOAK (2000)          soak captures
#   BENCH_PEER_CAPTURES (20)   pictures through the X11 clipboard, for each of its three sides
#   BENCH_X11_WAIT (10)        seconds before a picture put through X11 counts as missed
#   BENCH_WORK                 a folder to keep the run's files in (else a temporary one)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -n "${BENCH_WORK:-}" ]; then
  work="$BENCH_WORK"
  mkdir -p "$work"
else
  work="$(mktemp -d "${TMPDIR:-/tmp}/zinnow-bench.XXXXXX")"
  trap 'rm -rf "$work"' EXIT
fi
bin="$top/build/windows"
echo "machine: $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB, $(wine --version 2>/dev/null), Xvfb"
echo "load before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
: >"$work/figures"
part() {  # part NAME COMMAND...: its figures, and a line if it failed
  "${@:2}" | tee -a "$work/figures" || echo "$1 failed (exit code $?)" | tee -a "$work/figures"
}
part capture_bench "$top/tools/wine-exec.sh" "$bin/bench/capture_bench.exe"
part bench_idle "$top/tools/bench_idle.sh" "$work/idle" "${BENCH_IDLE_SECONDS:-30}" "$bin/zinnow.exe"
part cycle_bench "$top/tools/wine-exec.sh" "$bin/bench/cycle_bench.exe" \
  "$(winepath -w "$bin/zinnow.exe")" "$(winepath -w "$bin/bench/bare_reader.exe")" \
  "$(winepath -w "$work/cycle")" "${BENCH_CAPTURES:-200}" "${BENCH_SOAK:-2000}"
part bench_peer "$top/tools/bench_peer.sh" "$work/peer" "${BENCH_PEER_CAPTURES:-20}" \
  "$bin/zinnow.exe" "$bin/bench/bare_reader.exe"
echo "load after the run: $(cut -d' ' -f1-3 /proc/loadavg)"

figure() { awk -v name="$1" -F': ' '$1 == name { split($2, v, " "); print v[1] }' "$work/figures"; }
budget() {  # budget NAME LIMIT [<]: PASS when the figure is at most the limit (below it, with <)
  local value op="${3:-<=}"
  value="$(figure "$1")"
  if awk -v v="$value" -v l="$2" -v op="$op" \
    'BEGIN { exit !(v != "" && v != "-" && (op == "<" ? v + 0 < l + 0 : v + 0 <= l + 0)) }'; then
    echo "budget $1: $value $op $2 PASS"
  else
    echo "budget $1: ${value:--} $op $2 FAIL"
  fi
}
memory_limit="$(awk -v p="$(figure picture_bytes)" 'BEGIN { printf "%.1f", 2.5 * p + 30 }')"
# Two 1920 x 1080 pictures of 32 bits and 10 MB: the soak's memory may grow by no more.
soak_memory_limit="$(awk 'BEGIN { printf "%.1f", 2 * (54 + 1920 * 1080 * 4) / 1048576 + 10 }')"
{
  budget latency_median_over_floor 1.0
  budget latency_p95_over_floor 1.15
  budget latency_missed 0
  budget x11_median_over_peer 1.0 "<"
  budget x11_median_over_floor 1.2
  budget x11_missed 0
  budget x11_png_missed 0
  budget capture_steady_over_floor 1.5
  # Idle: the program's own time and what the Wine server spends for it (its time beyond its
  # time without the program, which is the rest of Wine's: explorer's desktop and services).
  budget idle_cpu_attributable 0.2
  budget peak_memory "$memory_limit"
  budget memory_captures_over_reads 256
  budget soak_lost 0
  budget soak_wrong 0
  budget soak_extra_files 0
  budget soak_memory_growth "$soak_memory_limit"
} | tee "$work/budgets"

echo
printf '%-28s %12s %12s %s\n' figure value budget result
awk '{ printf "%-28s %12s %12s %s\n", $2, $3, $4 " " $5, $6 }' "$work/budgets" | tr -d ':'
echo
printf '%-34s %10s %10s %10s\n' "ms (median / p95)" program floor "xclip loop"
row() { printf '%-34s %10s %10s %10s\n' "$1" "$(figure "$2")" "$(figure "$3")" "${4:+$(figure "$4")}"; }
row "latency 1920x1080, median" latency_median floor_latency_median
row "latency 1920x1080, p95" latency_p95 floor_latency_p95
row "through X11, median" x11_latency_median x11_floor_latency_median peer_latency_median
row "through X11, p95" x11_latency_p95 x11_floor_latency_p95 peer_latency_p95
row "through X11 as PNG, median" x11_png_latency_median "" peer_latency_median
row "through X11 as PNG, p95" x11_png_latency_p95 "" peer_latency_p95
row "3840x2160, steady capture" capture_steady_total capture_floor_total
row "3840x2160, first capture" capture_first_total capture_floor_total
