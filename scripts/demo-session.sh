# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that run the demo build under Xvfb: a scratch directory that
# holds the programs' settings, lock and watch list; Xvfb; the demo market. Everything
# started is stopped on exit. Sets $scratch, $DISPLAY and $port; `pids` collects what
# to stop.
build=build/demo
[ -f "$build/CMakeCache.txt" ] || cmake --preset demo

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export XDG_CACHE_HOME=$scratch/cache XDG_RUNTIME_DIR=$scratch/run TMPDIR=$scratch
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

# Xvfb and the market each say on a pipe when they are ready.
mkfifo "$scratch/xvfb" "$scratch/market"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/xvfb" 2>/dev/null &
pids+=($!)
exec 4<"$scratch/xvfb"
read -r -t 15 display <&4 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display

start_market() {
  port=$(sed -n 's/^TARNWEL_DEMO_PORT:STRING=//p' "$build/CMakeCache.txt")
  "$build/tarnwel_demo_market" --port "$port" >"$scratch/market" &
  pids+=($!)
  exec 5<"$scratch/market"
  read -r -t 15 _ <&5 || { echo "the demo market did not start on port $port" >&2; exit 1; }
}
