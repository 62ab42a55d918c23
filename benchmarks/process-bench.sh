#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Process-level benchmark: the release-built ticker (the `demo` preset: a release build
# whose services are the offline demo market) and a bare Qt window with one CJK label,
# each alone under Xvfb. For each it reports
#   - the share of one core used over the measured span (utime + stime from /proc),
#   - wake-ups per second: context switches of all its threads, voluntary and not,
#   - peak resident memory (VmHWM),
#   - the time from its start to the first quote on screen (for the bare window: to its
#     label on screen), found by grabbing the window until the price appears.
# Usage: benchmarks/process-bench.sh [seconds]   (default 60)
# Needs xvfb, xdotool and imagemagick besides the build tools.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb xdotool imagemagick)" >&2; exit 1; }
done
source scripts/demo-session.sh
cmake --build --preset demo --target tarnwel tarnwel_demo_market bench_window >/dev/null

start_market

hz=$(getconf CLK_TCK)
now_ms() { echo $(($(date +%s%N) / 1000000)); }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^(voluntary|nonvoluntary)_ctxt_switches/ {n += $2} END {print n}'
}
# Brightest (light text on dark) or darkest (dark text on light) grey level, 0 to 1, of a
# part of a window.
level() { import -silent -window "$1" -crop "$2" +repage -colorspace gray -format "%[fx:$3]" info: 2>/dev/null || echo none; }

# measure <name> <command> <crop> <fx> <test>: starts the program, waits until the crop of
# its window passes the test, then measures for $seconds.
measure() {
  local name=$1 program=$2 crop=$3 fx=$4 test=$5
  local start pid wid="" shown="" value
  start=$(now_ms)
  "$program" &
  pid=$!
  pids+=("$pid")
  while [ -z "$shown" ]; do
    kill -0 "$pid" 2>/dev/null || { echo "$name ended early" >&2; exit 1; }
    if [ -z "$wid" ]; then
      wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)
      continue
    fi
    value=$(level "$wid" "$crop" "$fx")
    if [ "$value" != none ] && awk -v v="$value" "BEGIN {exit !($test)}"; then
      shown=$(($(now_ms) - start))
    fi
  done
  local ticks0 switches0 ticks1 switches1
  ticks0=$(cpu_ticks "$pid")
  switches0=$(switches "$pid")
  sleep "$seconds"
  ticks1=$(cpu_ticks "$pid")
  switches1=$(switches "$pid")
  local hwm
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v n="$name" -v t=$((ticks1 - ticks0)) -v hz="$hz" -v s="$seconds" \
      -v w=$((switches1 - switches0)) -v m="$hwm" -v f="$shown" \
      'BEGIN {printf "| %s | %.2f %% | %.1f | %.1f MiB | %d ms |\n", n, 100 * t / hz / s, w / s, m / 1024, f}'
}

echo "Machine: $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(nproc) cores;" \
     "$(uname -sr); Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo '?');" \
     "Xvfb 1280x800x24, no window manager; ${seconds} s per program"
echo
echo "| program | CPU (one core) | wake-ups/s | peak RSS | first quote on screen |"
echo "|---|---|---|---|---|"
# The ticker's price (Label2) sits on the black band: light text appears there.
measure "tarnwel (release, demo market)" "$build/tarnwel" 90x26+155+43 maxima "v > 0.5"
# The bare window's label: dark text on white.
measure "bare Qt window, one CJK label" "$build/bench_window" 250x100+0+0 minima "v < 0.5"
