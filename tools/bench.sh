#!/usr/bin/env bash
# `make bench` inside tools/wine-session.sh: every figure from one run on one display.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/zinnow-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
echo "machine: $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB, $(wine --version 2>/dev/null), Xvfb"
"$top/tools/wine-exec.sh" "$top/build/windows/bench/capture_bench.exe"
"$top/tools/wine-exec.sh" "$top/build/windows/bench/cycle_bench.exe" \
  "$(winepath -w "$top/build/windows/zinnow.exe")" "$(winepath -w "$work")" "${BENCH_CAPTURES:-200}" \
  "${BENCH_IDLE_SECONDS:-30}"
