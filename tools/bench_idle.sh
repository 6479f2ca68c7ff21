#!/usr/bin/env bash
# What idling costs: the program started in a folder of its own with polling on and left alone,
# its own CPU and the Wine server's (which does the work of the program's timer and waits) read
# from /proc over the same window. Before it the Wine server over a window as long without the
# program, for comparison. Windows' GetProcessTimes cannot be used: under Wine it gives the
# caller's own times for any process.
#   bench_idle.sh WORK SECONDS ZINNOW_EXE
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/bench_common.sh"
work="$1"; seconds="$2"; exe="$3"
helper="$(dirname "$exe")/tests/clip_helper.exe"
hz=$(getconf CLK_TCK)
mkdir -p "$work/pictures"

now_ms() { date +%s%3N; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # user and system time, in 1/hz s
percent() { awk -v t="$1" -v ms="$2" -v hz="$hz" 'BEGIN { printf "%.3f\n", t / hz / (ms / 1000) * 100 }'; }

# The Wine server of this prefix: the process that holds its lock file, in the server folder
# named for the prefix's device and inode. Only read, never signalled.
name="server-$(stat -c %D "$WINEPREFIX")-$(printf '%x' "$(stat -c %i "$WINEPREFIX")")"
server=""
for dir in /tmp/.wine-"$(id -u)"/"$name" /tmp/wine-*/"$name"; do
  [ -e "$dir/lock" ] || continue
  for pid in $(fuser "$dir/lock" 2>/dev/null); do
    case "$(readlink "/proc/$pid/exe")" in */wineserver*) server="$pid" ;; esac
  done
done
if [ -z "$server" ]; then
  echo "bench_idle: no Wine server found for $WINEPREFIX" >&2
  exit 1
fi

t0=$(now_ms); s0=$(ticks "$server")
sleep "$seconds"
t1=$(now_ms); s1=$(ticks "$server")
alone=$(percent $((s1 - s0)) $((t1 - t0)))

wine "$helper" empty >/dev/null 2>&1 </dev/null  # nothing for the program to capture
printf '%s\r\n' "$(winepath -w "$work/pictures")" >"$work/path.txt"
cp "$exe" "$work/zinnow.exe"
start_program "$work" || echo "bench_idle: no window after 30 s" >&2
program=$started
xdotool mousemove 0 0  # the pointer off the window: at rest, not over a control with a hint
sleep 2  # past its start-up
t0=$(now_ms); p0=$(ticks "$program"); s0=$(ticks "$server")
sleep "$seconds"
t1=$(now_ms); p1=$(ticks "$program"); s1=$(ticks "$server")
wine "$helper" close Quorrel >/dev/null 2>&1 </dev/null
for ((i = 0; i < 100; i++)); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && { echo "bench_idle: the program did not close" >&2; kill "$program"; }
wait "$program" 2>/dev/null

echo "idle_seconds: $(((t1 - t0) / 1000)) s"
echo "idle_cpu: $(percent $((p1 - p0 + s1 - s0)) $((t1 - t0))) % of one core, the program and the Wine server"
echo "idle_cpu_program: $(percent $((p1 - p0)) $((t1 - t0))) %"
echo "idle_cpu_wineserver: $(percent $((s1 - s0)) $((t1 - t0))) %"
echo "idle_cpu_wineserver_alone: $alone % (without the program)"
# What the program adds: its own time and what the Wine server spent beyond its time alone.
echo "idle_cpu_attributable: $(awk -v a="$(percent $((p1 - p0 + s1 - s0)) $((t1 - t0)))" -v b="$alone" \
  'BEGIN { d = a - b; printf "%.3f\n", (d > 0 ? d : 0) }') % of one core"
