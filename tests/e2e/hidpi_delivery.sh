#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Automatic input on a desktop of two monitors side by side (one 3840x1200 X screen split in
# halves with RandR monitors) under openbox: the real program, scaled by Qt, picks an xterm on
# the right monitor and a zenity entry on the left one. The frame must go around the window
# under the pointer and the password must arrive exactly, both with the program at scale 2 on
# both monitors and at scale 1 on the left beside scale 2 on the right.
# Usage: hidpi_delivery.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail

BIN=$(cd "$1" && pwd)
SHOTS=$2
mkdir -p "$SHOTS"
WORK=$(mktemp -d)
source "$(dirname "$0")/common.sh"
trap cleanup EXIT

require_tools Xvfb xrandr xdotool xclip xprop xwininfo import convert openbox xterm zenity

Xvfb -displayfd 3 -screen 0 3840x1200x24 -noreset -nolisten tcp -wr 3>"$WORK/display" \
    2>/dev/null &
started+=($!)
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$WORK/display")"
for _ in $(seq 50); do xprop -root >/dev/null 2>&1 && break; sleep 0.1; done
# 254 x 159 mm: 192 dots per inch, as a high-density monitor reports.
{ xrandr --setmonitor LEFT 1920/254x1200/159+0+0 screen \
    && xrandr --setmonitor RIGHT 1920/254x1200/159+1920+0 none; } >/dev/null \
    || { echo "the X server takes no RandR monitors"; exit 1; }
[ "$(xrandr --listmonitors | head -n1)" = "Monitors: 2" ] \
    || { echo "not two monitors: $(xrandr --listmonitors)"; exit 1; }

openbox --sm-disable >/dev/null 2>&1 &
started+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

# outer_rect WINDOW: "x y w h" of the window with the window manager's frame around it.
outer_rect() {
    local window=$1 root parent
    root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
    for _ in $(seq 8); do
        parent=$(xwininfo -tree -id "$window" | awk '/Parent window id:/ { print $4 }')
        { [ -z "$parent" ] || [ $((parent)) = $((root)) ]; } && break
        window=$parent
    done
    local x y w h
    read -r x y w h <<<"$(window_rect "$window")"
    local border
    border=$(xwininfo -id "$window" | awk '/Border width:/ { print $3 }')
    echo "$((x - border)) $((y - border)) $((w + 2 * border)) $((h + 2 * border))"
}

# Targets, placed in device pixels: an xterm that appends what it gets to a file, on the right
# monitor, and a zenity form of one entry on the left one.
XTERM_FILE="$WORK/xterm.bytes"
: >"$XTERM_FILE"
LANG=C.UTF-8 LC_ALL=C.UTF-8 xterm -title HiDpiTerm -geometry 50x6+3100+700 \
    -e sh -c "stty -icanon -echo; exec cat >>'$XTERM_FILE'" 2>/dev/null &
started+=($!)
XTERM_WINDOW=$(find_window '^HiDpiTerm$') || { echo "no xterm"; exit 1; }
xdotool windowmove --sync "$XTERM_WINDOW" 3100 700 2>/dev/null

start_zenity() {
    ZENITY_OUT="$WORK/zenity-$1.out"
    LANG=C.UTF-8 LC_ALL=C.UTF-8 zenity --forms --title="HiDpiForm$1" --text=Form \
        --add-entry=Password >"$ZENITY_OUT" 2>/dev/null &
    ZENITY=$!
    started+=($ZENITY)
    ZENITY_WINDOW=$(find_window "^HiDpiForm$1\$") || { fail "[$1] no zenity form"; return 1; }
    xdotool windowmove --sync "$ZENITY_WINDOW" 1000 300 2>/dev/null
    sleep 0.5
    ZENITY_SPOT=$("$BIN/e2e_KeyboardProbe" ibeams "$ZENITY_WINDOW" | head -n1 | cut -d' ' -f2-)
    [ -n "$ZENITY_SPOT" ] || fail "[$1] found no zenity entry"
}

# finish_zenity LABEL: OK ends the form; prints what its entry held.
finish_zenity() {
    local x y w h
    read -r x y w h <<<"$(window_rect "$ZENITY_WINDOW")"
    xdotool mousemove $((x + w - 40)) $((y + h - 22)) sleep 0.2 click 1
    wait_for_exit "$ZENITY" 50 || { fail "[$1] zenity did not end on OK"; kill "$ZENITY"; }
    wait "$ZENITY" 2>/dev/null
    cat "$ZENITY_OUT"
}

# pick LABEL DIALOG TARGET X Y: the user's drag from the dialog's drag area to X Y; while the
# button is held, the frame must outline TARGET (its manager's frame included) from inside.
pick() {
    local label=$1 dialog=$2 target=$3 x=$4 y=$5 dx dy dw dh
    read -r dx dy dw dh <<<"$(window_rect "$dialog")"
    xdotool mousemove $((dx + dw / 2)) $((dy + dh * 567 / 1000)) sleep 0.2 mousedown 1 \
        sleep 0.3 mousemove $(((dx + x) / 2)) $(((dy + y) / 2)) sleep 0.1 \
        mousemove "$x" "$y" sleep 0.5
    local shot="$SHOTS/hidpi-$label.png" ox oy ow oh
    import -window root "$shot"
    xdotool mouseup 1
    read -r ox oy ow oh <<<"$(outer_rect "$target")"
    # Two pixels inside each edge, at its middle: black where the frame is.
    local edges="" point
    for point in "$((ox + 2)),$((oy + oh / 2))" "$((ox + ow - 3)),$((oy + oh / 2))" \
        "$((ox + ow / 2)),$((oy + 2))" "$((ox + ow / 2)),$((oy + oh - 3))"; do
        edges+="%[fx:round(255*max(p{$point}.r,max(p{$point}.g,p{$point}.b)))] "
    done
    edges=$(convert "$shot" -format "$edges" info: 2>/dev/null)
    [ "$edges" = "0 0 0 0 " ] \
        || fail "[$label] no frame around the target at $ox $oy $ow $oh (edges: $edges)"
}

# run_case LABEL MAIN_X: the program's main window at MAIN_X (device pixels); the rest of the
# environment (the scale) comes from the caller.
run_case() {
    local label=$1 config="$WORK/config-$1"
    mkdir -p "$config"
    XDG_CONFIG_HOME="$config" XDG_DATA_HOME="$config" "$BIN/glyphlock" >/dev/null 2>&1 &
    local program=$!
    started+=($program)
    local main dialog
    main=$(find_window '^Glyphlock$') || { fail "[$label] no main window"; return; }
    xdotool windowmove --sync "$main" "$2" 60 2>/dev/null
    sleep 0.5
    xdotool windowactivate --sync "$main" 2>/dev/null
    xdotool key Return
    for _ in $(seq 50); do
        dialog=$(xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | grep -vx "$main" |
            head -n1)
        [ -n "$dialog" ] && break
        sleep 0.1
    done
    [ -n "$dialog" ] || { fail "[$label] no password dialog"; kill "$program"; return; }
    sleep 0.5
    start_zenity "$label" || { kill "$program"; return; }
    : >"$XTERM_FILE"
    local tx ty tw th
    read -r tx ty tw th <<<"$(window_rect "$XTERM_WINDOW")"
    pick "$label-right" "$dialog" "$XTERM_WINDOW" $((tx + tw / 2)) $((ty + th / 2))
    for _ in $(seq 50); do [ -s "$XTERM_FILE" ] && break; sleep 0.1; done
    sleep 0.3
    pick "$label-left" "$dialog" "$ZENITY_WINDOW" $ZENITY_SPOT
    sleep 0.5

    # What the dialog holds, copied and read by another process.
    xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog"
    xdotool key --clearmodifiers alt+o
    sleep 0.3
    local password
    password=$(xclip -o -selection clipboard 2>/dev/null)
    [ -n "$password" ] || fail "[$label] Copy gave no password"
    [ "$(cat "$XTERM_FILE")" = "$password" ] \
        || fail "[$label] the xterm on the right monitor got '$(cat "$XTERM_FILE")', not '$password'"
    local entry
    entry=$(finish_zenity "$label")
    [ "$entry" = "$password" ] \
        || fail "[$label] the zenity entry on the left monitor holds '$entry', not '$password'"
    xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog"
    xdotool key --clearmodifiers alt+e
    wait_for_exit "$program" 50 || { fail "[$label] Exit did not end the program"; kill "$program"; }
    wait "$program" 2>/dev/null
}

# Both monitors at 2 (each 960x600 logical pixels), the program on the left one; then the left
# monitor at 1 beside the right at 2, the program on the right one.
QT_SCALE_FACTOR=2 run_case scale2 100
QT_SCREEN_SCALE_FACTORS="LEFT=1;RIGHT=2" run_case scale1-2 2000

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all high-density typing checks passed"
