#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The real program under the window managers people run on X11, each on an X server of its
# own: tiling (i3), classic (fluxbox, icewm, openbox, xfwm4) and the desktops' own (KWin,
# mutter). Under each, the real drag gesture types the password of a special set with é € ß
# into two zenity entries and an xterm; while the pointer is over a target the pick frame lies
# on the window's visible outline; after every pick the main window is back at its size, and
# the same picture still gives the same password.
# Usage: window_managers.sh BIN_DIR SCREENSHOT_DIR [MANAGER...] (all of them by default)
set -uo pipefail

BIN=$(cd "$1" && pwd)
SHOTS=$2
mkdir -p "$SHOTS"
shift 2
MANAGERS=("$@")
[ "${#MANAGERS[@]}" -gt 0 ] || MANAGERS=(i3 fluxbox icewm openbox xfwm4 kwin mutter)
WORK=$(mktemp -d)
source "$(dirname "$0")/common.sh"
trap cleanup EXIT

require_tools Xvfb xdotool xclip xprop xwininfo import xterm zenity dbus-daemon i3 fluxbox \
    icewm openbox xfwm4 kwin_x11 mutter

PROBE="$BIN/e2e_KeyboardProbe"
# mutter and KWin want a session bus; the managers get one, shared by all.
DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 \
    3>"$WORK/dbus.pid") || exit 1
export DBUS_SESSION_BUS_ADDRESS
started+=($(cat "$WORK/dbus.pid"))
# Managers write their settings into the home folder: one of our own.
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local"
mkdir -p "$XDG_CONFIG_HOME/Tamsk" "$XDG_DATA_HOME"
printf '[PW]\nSC=é€ß\n' >"$XDG_CONFIG_HOME/Tamsk/glyphlock.conf"
# fluxbox without the message of its background setter, which takes the focus.
mkdir -p "$HOME/.fluxbox"
printf 'background: none\n' >"$HOME/.fluxbox/overlay"
# i3 without its bar and first-run wizard.
printf '# i3 config file (v4)\nfont pango:DejaVu Sans 8\nfor_window [class="Zenity"] floating enable\n' >"$WORK/i3.config"

# find_window TITLE: the id of the visible window with that title (at most 30 s: zenity and
# the desktops' managers start slowly on a busy machine).
start_manager() {
    case $1 in
    i3) i3 -c "$WORK/i3.config" ;;
    fluxbox) fluxbox ;;
    icewm) icewm ;;
    openbox) openbox --sm-disable ;;
    xfwm4) xfwm4 --compositor=off --sm-client-disable ;;
    kwin) kwin_x11 --replace ;;
    mutter) mutter --x11 --replace --sm-disable ;;
    esac >"$WORK/$1.log" 2>&1 &
    started+=($!)
    # Running once its check window names itself (KWin takes long on a busy machine).
    local check
    for _ in $(seq 300); do
        check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')
        [ -n "$check" ] && xprop -id "$check" _NET_SUPPORTING_WM_CHECK 2>/dev/null |
            grep -q "$check" && break
        sleep 0.1
    done
    [ -n "$check" ] || fail "[$1] the window manager did not start: $(tail -n3 "$WORK/$1.log")"
    sleep 0.5
}

# visible_rect CLIENT: "x y w h" of the window as the user sees it: the client grown by the
# manager's decoration (_NET_FRAME_EXTENTS) or shrunk by its own invisible margins
# (_GTK_FRAME_EXTENTS); without either, the manager's outermost frame window.
visible_rect() {
    local x y w h l r t b
    read -r x y w h <<<"$(window_rect "$1")"
    read -r l r t b <<<"$(xprop -id "$1" _GTK_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.* = \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p')"
    if [ -n "$l" ]; then
        echo "$((x + l)) $((y + t)) $((w - l - r)) $((h - t - b))"
        return
    fi
    read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.* = \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p')"
    if [ -n "$l" ]; then
        echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
        return
    fi
    local window=$1 parent root
    root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
    for _ in $(seq 8); do
        parent=$(xwininfo -children -id "$window" | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
        [ -z "$parent" ] || [ "$parent" = "$root" ] && break
        window=$parent
    done
    xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } /Border width:/ { b = $3 }
        END { print x - b, y - b, w + 2 * b, h + 2 * b }'
}

# The pick frame: the program's visible window that is neither the dialog nor the main window.
frame_rect() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$PROGRAM" 2>/dev/null); do
        [ "$id" = "$MAIN" ] || [ "$id" = "$DIALOG" ] && continue
        window_rect "$id"
        return
    done
}

# drag_to LABEL X Y TARGET [SHOT]: the real gesture from the password dialog's drag area to
# the point; just before the release the frame must lie on TARGET's visible outline.
drag_to() {
    local label=$1 x=$2 y=$3 target=$4 shot=${5:-}
    local dx dy dw dh
    read -r dx dy dw dh <<<"$(window_rect "$DIALOG")"
    local fx=$((dx + dw / 2)) fy=$((dy + dh * 567 / 1000))
    xdotool mousemove "$fx" "$fy" sleep 0.2 mousedown 1 sleep 0.3 \
        mousemove $(((fx + x) / 2)) $(((fy + y) / 2)) sleep 0.1 mousemove "$x" "$y" sleep 0.5
    [ -n "$shot" ] && import -window root "$SHOTS/$shot"
    local frame expected
    frame=$(frame_rect)
    expected=$(visible_rect "$target")
    [ "$frame" = "$expected" ] \
        || fail "[$label] the frame is at '${frame:-none}', the window shows at $expected"
    xdotool mouseup 1
}

# main_is_back LABEL: the main window shows again at the size it had.
main_is_back() {
    local w h
    for _ in $(seq 20); do
        xdotool search --onlyvisible --name '^Glyphlock$' | grep -qx "$MAIN" && break
        sleep 0.1
    done
    sleep 0.3
    read -r _ _ w h <<<"$(window_rect "$MAIN")"
    [ "$w $h" = "$MAIN_SIZE" ] || fail "[$1] the main window came back at ${w}x$h, not ${MAIN_SIZE/ /x}"
}

# copy_password: OK in the main window, Copy in the password dialog; prints the clipboard.
open_dialog() {
    local mx my mw mh
    read -r mx my mw mh <<<"$(window_rect "$MAIN")"
    xdotool mousemove $((mx + mw - 39)) $((my + mh - 29)) sleep 0.2 click 1
    DIALOG=
    for _ in $(seq 50); do
        DIALOG=$(xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | grep -vx "$MAIN" | head -n1)
        [ -n "$DIALOG" ] && break
        sleep 0.1
    done
    sleep 0.3
}

copy_password() {
    xdotool windowactivate --sync "$DIALOG" 2>/dev/null || xdotool windowfocus --sync "$DIALOG"
    xdotool key --clearmodifiers alt+o sleep 0.3
    xclip -o -selection clipboard 2>/dev/null
}

wm_case() {
    local wm=$1
    start_xserver
    start_manager "$wm"

    local term="$WORK/xterm-$wm.bytes"
    : >"$term"
    LANG=C.UTF-8 LC_ALL=C.UTF-8 xterm -title "Term$wm" -geometry 60x5+20+860 \
        -e sh -c "stty -icanon -echo; exec cat >>'$term'" 2>/dev/null &
    local xterm=$!
    started+=($xterm)
    local term_window
    term_window=$(find_window "^Term$wm\$" 300) || fail "[$wm] no xterm"
    local zenity_out="$WORK/zenity-$wm.out"
    # Without the accessibility bus, which a fresh session bus would start and wait for.
    NO_AT_BRIDGE=1 LANG=C.UTF-8 LC_ALL=C.UTF-8 zenity --forms --title="Form$wm" --text=Form --separator=$'\n' \
        --add-entry="Field 1" --add-entry="Field 2" >"$zenity_out" 2>/dev/null &
    local zenity=$!
    started+=($zenity)
    local form
    form=$(find_window "^Form$wm\$" 300) || { fail "[$wm] no zenity form"; return; }
    xdotool windowmove --sync "$form" 760 120 2>/dev/null
    sleep 0.5

    "$BIN/glyphlock" >/dev/null 2>&1 &
    PROGRAM=$!
    started+=($PROGRAM)
    MAIN=$(find_window '^Glyphlock$' 300) || { fail "[$wm] no main window"; return; }
    sleep 0.7
    local w h
    read -r _ _ w h <<<"$(window_rect "$MAIN")"
    MAIN_SIZE="$w $h"
    open_dialog
    [ -n "$DIALOG" ] || { fail "[$wm] no password dialog"; return; }
    local p
    p=$(copy_password)
    [ -n "$p" ] || fail "[$wm] Copy gave nothing"

    # The spots are found once the dialog is up: it may cover a part of the targets.
    local spots
    spots=$("$PROBE" ibeams "$form" | cut -d' ' -f2-)
    [ "$(wc -l <<<"$spots")" = 2 ] || fail "[$wm] found no 2 zenity entries: $spots"
    local tx ty tw th
    read -r tx ty tw th <<<"$(window_rect "$term_window")"
    local shot=
    case $wm in i3 | mutter) shot="frame-$wm.png" ;; esac
    drag_to "$wm/entry 1" $(sed -n 1p <<<"$spots") "$form" "$shot"
    main_is_back "$wm/entry 1"
    sleep 2
    drag_to "$wm/entry 2" $(sed -n 2p <<<"$spots") "$form"
    main_is_back "$wm/entry 2"
    sleep 2
    drag_to "$wm/xterm" $((tx + 30)) $((ty + th - 15)) "$term_window"
    main_is_back "$wm/xterm"
    for _ in $(seq 50); do [ "$(cat "$term")" = "$p" ] && break; sleep 0.1; done
    [ "$(cat "$term")" = "$p" ] || fail "[$wm] the xterm got '$(cat "$term")', not '$p'"
    import -window root "$SHOTS/after-$wm.png"

    # The form ends with the user's click on OK; each entry holds the password.
    local fx fy fw fh
    read -r fx fy fw fh <<<"$(visible_rect "$form")"
    xdotool mousemove $((fx + fw - 40)) $((fy + fh - 22)) sleep 0.2 click 1
    wait_for_exit "$zenity" 50 || fail "[$wm] zenity did not end on OK"
    local lines
    mapfile -t lines <"$zenity_out"
    [ "${lines[0]-}" = "$p" ] || fail "[$wm] zenity entry 1 holds '${lines[0]-}', not '$p'"
    [ "${lines[1]-}" = "$p" ] || fail "[$wm] zenity entry 2 holds '${lines[1]-}', not '$p'"

    # Close, OK again: the same picture, the same password.
    xdotool windowactivate --sync "$DIALOG" 2>/dev/null || xdotool windowfocus --sync "$DIALOG"
    xdotool key --clearmodifiers alt+c sleep 0.5
    open_dialog
    local again
    again=$(copy_password)
    [ "$again" = "$p" ] || fail "[$wm] after the picks the same picture gives '$again', not '$p'"
    xdotool key --clearmodifiers alt+e
    wait_for_exit "$PROGRAM" 50 || fail "[$wm] Exit did not end the program"
    for pid in "${started[@]}"; do
        [ "$pid" = "$(cat "$WORK/dbus.pid")" ] || kill "$pid" 2>/dev/null
    done
    started=($(cat "$WORK/dbus.pid"))
    sleep 0.3
    rm -f "$WORK/display"
}

for wm in "${MANAGERS[@]}"; do
    before=$failures
    since=$SECONDS
    wm_case "$wm"
    [ "$failures" = "$before" ] && echo "$wm: passed ($((SECONDS - since)) s)"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all window manager checks passed"
