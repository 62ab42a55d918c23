#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's screenshots (docs/ticker.png, docs/windows.png, docs/list.png) from the
# demo under Xvfb with openbox: the ticker with its first quotes, its menu, the stealth
# line, the watch-list window and a chart, and the list face. Xvfb has no compositor, so the ticker's transparency
# is put on the desktop picture here, at the ticker's default 60 %.
# Needs xvfb, openbox, xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
docs=$PWD/docs
source scripts/demo-session.sh
cmake --build --preset demo --target tarnwel tarnwel_demo_market >/dev/null
# A colourful desktop, so that the transparency shows.
convert -size 1280x800 -seed 11 plasma:purple-firebrick -blur 0x6 "$scratch/desktop.png"
display -window root "$scratch/desktop.png" || true # sets the root, then reports 1
openbox >/dev/null 2>&1 &
pids+=($!)

start_market

rm -f "$build/setup.ini" # the default watch list: 中国联通, 中国石化
"$build/tarnwel" &
ticker=$!
pids+=("$ticker")

visible() { xdotool search --sync --onlyvisible --name "$1" | head -1; }
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; echo "$X $Y $WIDTH $HEIGHT"; }
# The ticker as the desktop shows it: its picture over the desktop at 40 % opacity.
ticker_shot() {
  local wid=$1 out=$2 x y w h
  read -r x y w h < <(geometry "$wid")
  import -silent -window "$wid" "$scratch/window.png"
  convert "$scratch/desktop.png" -crop "${w}x${h}+$x+$y" +repage "$scratch/window.png" \
    -compose blend -define compose:args=40 -composite "$out"
}
until_quote() {
  until [ "$(import -silent -window "$1" -crop 90x26+155+43 +repage -colorspace gray \
             -format '%[fx:maxima]' info: 2>/dev/null)" \> 0.5 ]; do :; done
}

wid=$(visible '^Tarnwel$')
until_quote "$wid"
sleep 6 # a second stock, so that the ticker has walked
ticker_shot "$wid" "$scratch/a.png"
xdotool mousemove --window "$wid" 236 10 click 1 # the gear: the menu
xdotool mousemove --window "$wid" 160 42          # over 设置自选股
sleep 0.5
ticker_shot "$wid" "$scratch/b.png"
xdotool mousemove --window "$wid" 160 15 click 1 # 切换到隐蔽模式
stealth=$(visible '^Form4$')
sleep 5.5 # the next turn writes the line
read -r x y w h < <(geometry "$stealth")
import -silent -window root -crop "250x100+$((x - 10))+$((y - 40))" +repage "$scratch/c.png"
convert "$scratch/a.png" "$scratch/b.png" "$scratch/c.png" -background white -splice 8x0 \
  +append -chop 8x0 "$docs/ticker.png"

# Back to the ticker: double-click the "◆".
xdotool mousemove --window "$stealth" 6 "$((h / 2))" click --repeat 2 --delay 80 1
wid=$(visible '^Tarnwel$')
xdotool mousemove --window "$wid" 236 10 click 1
xdotool mousemove --window "$wid" 160 42 click 1 # 设置自选股
form2=$(visible '添加自选股')
xdotool windowmove "$form2" 20 20
xdotool windowactivate --sync "$form2" type --delay 60 '中国'
xdotool mousemove --window "$wid" 110 58 click 1 # the stock's name: its daily chart
sleep 2
chart=$(xdotool search --onlyvisible --class tarnwel | grep -vx -e "$wid" -e "$form2" | tail -1)
xdotool windowmove "$chart" 430 20
sleep 2
read -r _ _ w2 h2 < <(geometry "$form2")
read -r cx _ cw ch < <(geometry "$chart")
right=$((cx + cw + 10))
bottom=$(( (h2 > ch ? h2 : ch) + 60 ))
import -silent -window root -crop "${right}x${bottom}+0+0" +repage "$docs/windows.png"

# The list face where the ticker stood, over the desktop at the same 60 %.
xdotool windowclose "$chart" 2>/dev/null || true
xdotool mousemove --window "$wid" 236 10 click 1
xdotool mousemove --window "$wid" 160 26 click 1 # 切换到列表模式
list=$(visible '自选股列表')
sleep 6 # its first refresh
ticker_shot "$list" "$docs/list.png"
echo "wrote docs/ticker.png, docs/windows.png and docs/list.png"
