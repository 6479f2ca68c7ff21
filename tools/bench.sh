#!/usr/bin/env bash
# `make bench` inside tools/wine-session.sh: every figure from one run on one display, each
# budget checked, then a short table.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/zinnow-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
echo "machine: $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB, $(wine --version 2>/dev/null), Xvfb"
"$top/tools/wine-exec.sh" "$top/build/windows/bench/capture_bench.exe" | tee "$work/figures"
"$top/tools/wine-exec.sh" "$top/build/windows/bench/cycle_bench.exe" \
  "$(winepath -w "$top/build/windows/zinnow.exe")" "$(winepath -w "$work/cycle")" \
  "${BENCH_CAPTURES:-200}" "${BENCH_IDLE_SECONDS:-30}" "${BENCH_SOAK:-2000}" | tee -a "$work/figures"

"$top/tools/bench_peer.sh" "$work/peer" "${BENCH_PEER_CAPTURES:-20}" "$top/build/windows/zinnow.exe" |
  tee -a "$work/figures"

figure() { awk -v name="$1" -F': ' '$1 == name { split($2, v, " "); print v[1] }' "$work/figures"; }
budget() {  # budget NAME LIMIT: PASS when the figure is at most the limit
  local value; value="$(figure "$1")"
  if awk -v v="$value" -v l="$2" 'BEGIN { exit !(v != "" && v <= l) }'; then
    echo "budget $1: $value <= $2 PASS"
  else
    echo "budget $1: $value <= $2 FAIL"
  fi
}
memory_limit="$(awk -v p="$(figure picture_bytes)" 'BEGIN { printf "%.1f", 2.5 * p + 30 }')"
{
  budget latency_median 70
  budget latency_p95 120
  budget idle_cpu 0.2
  budget capture_over_floor 3
  budget peak_memory "$memory_limit"
  budget memory_captures_over_reads 256
  budget soak_lost 0
  budget soak_wrong 0
  budget soak_extra_files 0
} | tee "$work/budgets"
echo
printf '%-22s %12s %12s %s\n' figure value budget result
awk '{ printf "%-22s %12s %12s %s\n", $2, $3, $5, $6 }' "$work/budgets" | tr -d ':'
