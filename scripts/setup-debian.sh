#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, testing and packaging Tarnwel needs on Debian, where it is
# missing. The boss key's grab on X11 needs the xcb headers; the demo market needs Qt's
# HTTP server (whose CMake files need the WebSockets ones); the tests run the
# desktop-entry and metainfo validators and compile the Windows sources with the MinGW-w64
# cross compiler; the notification and portal tests start a private D-Bus daemon; the
# grab's test runs on an Xvfb of its own and types with xdotool; packaging needs
# dpkg-shlibdeps. Qt's own texts (the message boxes' buttons) come in Chinese from
# qt6-translations-l10n.
set -euo pipefail
packages=(build-essential cmake ninja-build qt6-base-dev libxcb1-dev x11proto-dev
          fonts-wqy-microhei qt6-httpserver-dev qt6-websockets-dev g++-mingw-w64-x86-64-posix
          desktop-file-utils appstream dpkg-dev dbus xvfb xdotool qt6-translations-l10n)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
