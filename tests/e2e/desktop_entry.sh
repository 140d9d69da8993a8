#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Desktops find a window's entry (name, icon) by the window's class: the entry must name the
# class the running program's window has.
# Usage: desktop_entry.sh BIN_DIR DESKTOP_FILE (on the X server in DISPLAY)
set -uo pipefail
bin=$1
entry=$2
export XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
"$bin/glyphlock" 2>/dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null; rm -rf "$XDG_CONFIG_HOME"' EXIT

window=""
for _ in $(seq 100); do
    window=$(xdotool search --pid "$pid" --name '^Glyphlock$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no Glyphlock window"; exit 1; }
# WM_CLASS(STRING) = "instance", "class"
class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
wanted=$(sed -n 's/^StartupWMClass=//p' "$entry")
echo "window class: '$class', entry's StartupWMClass: '$wanted'"
if [ -z "$class" ] || [ "$class" != "$wanted" ]; then
    echo "FAIL: the entry does not name the window's class"
    exit 1
fi
echo "the desktop entry names the window's class"
