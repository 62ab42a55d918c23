#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The ticker against the offline demo market: builds the `demo` preset where needed,
# starts the market on 127.0.0.1, starts the ticker, and stops the market when the
# ticker ends (through its menu, 退出).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/demo
[ -f "$build/CMakeCache.txt" ] || cmake --preset demo
cmake --build --preset demo --target tarnwel tarnwel_demo_market
port=$(sed -n 's/^TARNWEL_DEMO_PORT:STRING=//p' "$build/CMakeCache.txt")

fifo=$(mktemp -u)
mkfifo "$fifo"
"$build/tarnwel_demo_market" --port "$port" >"$fifo" &
market=$!
stop() {
  kill "$market" 2>/dev/null || true
  wait "$market" 2>/dev/null || true
  rm -f "$fifo"
}
trap stop EXIT
# The market says where it listens once it does.
exec 3<"$fifo"
if ! read -r -t 15 line <&3; then
  echo "the demo market did not start (is port $port taken?)" >&2
  exit 1
fi
echo "demo market: $line"
"$build/tarnwel"
