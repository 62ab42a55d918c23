#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Process-level benchmark: the release-built ticker (the `demo` preset: a release build
# whose services are the offline demo market) and a bare Qt window with one CJK label,
# each alone under Xvfb with a private session bus, as on a desktop; the ticker twice: with no
# alerts, and with alerts set on both stocks of its default list, one of which fires at its
# first quote (a desktop notification, to a bus without a notification service). For each
# it reports
#   - the share of one core used over the measured span (utime + stime from /proc),
#   - wake-ups per second: context switches of all its threads, voluntary and not, and the
#     times its main (GUI) thread slept and woke again (its voluntary context switches),
#   - its threads at the end of the span (their names go to standard error),
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
main_wakeups() { awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/task/$1/status"; }
threads() { ls "/proc/$1/task" | wc -l; }
# Brightest (light text on dark) or darkest (dark text on light) level, 0 to 1, of a part
# of a window: its HSB brightness, the largest of its red, green and blue, so that a price
# coloured red or green counts as light as a white one.
level() {
  { import -silent -window "$1" -crop "$2" +repage png:- |
      convert png:- -colorspace HSB -channel B -separate -format "%[fx:$3]" info:; } 2>/dev/null ||
    echo none
}

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
  local ticks0 switches0 main0 ticks1 switches1 main1
  ticks0=$(cpu_ticks "$pid")
  switches0=$(switches "$pid")
  main0=$(main_wakeups "$pid")
  sleep "$seconds"
  ticks1=$(cpu_ticks "$pid")
  switches1=$(switches "$pid")
  main1=$(main_wakeups "$pid")
  local hwm count
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  count=$(threads "$pid")
  echo "$name: threads" $(cat /proc/"$pid"/task/*/comm | sort | uniq -c | awk '{printf "%s×%s ", $2, $1}') >&2
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v n="$name" -v t=$((ticks1 - ticks0)) -v hz="$hz" -v s="$seconds" \
      -v w=$((switches1 - switches0)) -v mw=$((main1 - main0)) -v c="$count" -v m="$hwm" -v f="$shown" \
      'BEGIN {printf "| %s | %.3f %% | %.1f | %.1f | %d | %.1f MiB | %d ms |\n", n, 100 * t / hz / s, w / s, mw / s, c, m / 1024, f}'
}

# A session bus of the benchmark's own: the programs find one, as they would on a desktop.
# It starts no services, so every program meets the same bus (the accessibility bus, which
# a desktop's bus may start on demand, is never there).
if command -v dbus-daemon >/dev/null; then
  mkfifo "$scratch/bus"
  cat >"$scratch/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$scratch</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
  </policy>
</busconfig>
EOF
  dbus-daemon --config-file="$scratch/bus.conf" --nofork --print-address=3 3>"$scratch/bus" 2>/dev/null &
  pids+=($!)
  exec 6<"$scratch/bus"
  read -r -t 15 DBUS_SESSION_BUS_ADDRESS <&6 || { echo "dbus-daemon did not start" >&2; exit 1; }
  export DBUS_SESSION_BUS_ADDRESS
fi
settings=$XDG_CONFIG_HOME/vevivudaz/vevivudaz.conf

echo "Machine: $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(nproc) cores;" \
     "$(uname -sr); Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo '?');" \
     "Xvfb 1280x800x24, no window manager; ${seconds} s per program"
echo
echo "| program | CPU (one core) | wake-ups/s | main thread wake-ups/s | threads | peak RSS | first quote on screen |"
echo "|---|---|---|---|---|---|---|"
# The ticker's price (Label2) sits on the black band: light text appears there.
measure "tarnwel (release, demo market), no alerts" "$build/tarnwel" 90x26+155+43 maxima "v > 0.5"
mkdir -p "$(dirname "$settings")"
printf '[alerts]\nsh600028=above:0.001\nsh600050=below:0.001;move:99\n' >"$settings"
measure "tarnwel (release, demo market), alerts set" "$build/tarnwel" 90x26+155+43 maxima "v > 0.5"
rm -f "$settings"
# The bare window's label: dark text on white.
measure "bare Qt window, one CJK label" "$build/bench_window" 250x100+0+0 minima "v < 0.5"
