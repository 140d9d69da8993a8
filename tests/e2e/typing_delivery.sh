#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Automatic input as a user meets it, on an X server of its own, first under openbox, then
# without a window manager (which leaves its check window's id behind on the root window):
# the window picker types into an xterm, a zenity form and a Qt window with Caps Lock on,
# with a second layout locked, with a German layout, with characters the keymap lacks, into
# several fields of one window one after the other, and never presses what it is released
# over. The real program stays modal through a pick and keeps no copy of the password.
# Usage: typing_delivery.sh BIN_DIR SCREENSHOT_DIR
# GLYPHLOCK_E2E_ROUNDS sets how many rounds of non-ASCII deliveries each target gets (2),
# GLYPHLOCK_E2E_WMS which window managers the cases run under ("openbox none").
set -uo pipefail

BIN=$(cd "$1" && pwd)
SHOTS=$2
mkdir -p "$SHOTS"
WORK=$(mktemp -d)
ROUNDS=${GLYPHLOCK_E2E_ROUNDS:-2}
source "$(dirname "$0")/common.sh"
trap cleanup EXIT

require_tools Xvfb xdotool xclip xprop xwininfo import openbox xterm zenity setxkbmap
start_xserver
setxkbmap -layout us

PROBE="$BIN/e2e_KeyboardProbe"

password_of() {
    "$BIN/e2e_LineEditTarget" --print "$1"
}

start_driver() {
    DRIVER_OUT="$WORK/driver-$1-$2.out"
    "$BIN/e2e_PasswordDialogDriver" "$2" >"$DRIVER_OUT" 2>/dev/null &
    DRIVER=$!
    started+=($DRIVER)
    wait_for "$DRIVER_OUT" '^ready' || fail "[$1] the dialog driver is not ready"
}

stop_driver() {
    kill "$DRIVER" 2>/dev/null
    wait "$DRIVER" 2>/dev/null
}

# pick X Y [KEY]: from the driver's drag area to the point, released there (with KEY held
# down by the user all along); waits until the dialog says how the delivery ended and sets
# RESULT to that ("0" when the keys went out; "none" when nothing was delivered at all).
pick() {
    local before from
    before=$(grep -c '^typed ' "$DRIVER_OUT")
    from=($(centre "$DRIVER_OUT" dragArea))
    [ -n "${3:-}" ] && xdotool keydown "$3"
    xdotool mousemove "${from[0]}" "${from[1]}" sleep 0.15 mousedown 1 sleep 0.2
    for step in 1 2 3; do
        xdotool mousemove $((from[0] + ($1 - from[0]) * step / 4)) \
            $((from[1] + ($2 - from[1]) * step / 4)) sleep 0.03
    done
    xdotool mousemove "$1" "$2" sleep 0.3 mouseup 1
    RESULT=none
    for _ in $(seq 100); do
        if [ "$(grep -c '^typed ' "$DRIVER_OUT")" -gt "$before" ]; then
            RESULT=$(grep '^typed ' "$DRIVER_OUT" | tail -n1 | cut -d' ' -f2)
            break
        fi
        sleep 0.1
    done
    [ -n "${3:-}" ] && xdotool keyup "$3"
    # The target has the keys before the next pick starts.
    sleep 0.3
}

# Targets: an xterm that appends what it gets to a file, a zenity form with three entries
# (printed one per line when it ends) and the Qt window of LineEditTarget.
start_xterm() {
    XTERM_FILE="$WORK/xterm-$1.bytes"
    : >"$XTERM_FILE"
    xterm -title "TypingTerm$1" -geometry 50x4+20+880 \
        -e sh -c "stty -icanon -echo; exec cat >>'$XTERM_FILE'" 2>/dev/null &
    XTERM=$!
    started+=($XTERM)
    XTERM_WINDOW=$(find_window "^TypingTerm$1\$") || fail "[$1] no xterm"
    sleep 0.3
}

# start_zenity LABEL ENTRIES: a form at (300, 640); sets ZENITY_SPOTS to the entries' middles
# ("x y" per line) and ZENITY_OK to the OK button's.
start_zenity() {
    ZENITY_OUT="$WORK/zenity-$1.out"
    local fields=()
    for i in $(seq "$2"); do fields+=("--add-entry=Field $i"); done
    zenity --forms --title="TypingForm$1" --text=Form --separator=$'\n' "${fields[@]}" \
        >"$ZENITY_OUT" 2>/dev/null &
    ZENITY=$!
    started+=($ZENITY)
    ZENITY_WINDOW=$(find_window "^TypingForm$1\$") || { fail "[$1] no zenity form"; return 1; }
    xdotool windowmove --sync "$ZENITY_WINDOW" 300 640 2>/dev/null
    sleep 0.5
    ZENITY_SPOTS=$("$PROBE" ibeams "$ZENITY_WINDOW" | cut -d' ' -f2-)
    [ "$(wc -l <<<"$ZENITY_SPOTS")" = "$2" ] || fail "[$1] found no $2 zenity entries: $ZENITY_SPOTS"
    local x y w h
    read -r x y w h <<<"$(window_rect "$ZENITY_WINDOW")"
    ZENITY_OK="$((x + w - 40)) $((y + h - 22))"
}

zenity_spot() {
    sed -n "${1}p" <<<"$ZENITY_SPOTS"
}

# finish_zenity LABEL EXPECTED...: the user's own click on OK ends the form; each field must
# hold exactly its expected text.
finish_zenity() {
    local label=$1
    shift
    xdotool mousemove $ZENITY_OK sleep 0.2 click 1
    wait_for_exit "$ZENITY" 50 || { fail "[$label] zenity did not end on OK"; kill "$ZENITY"; }
    wait "$ZENITY" 2>/dev/null
    local lines i=0
    mapfile -t lines <"$ZENITY_OUT"
    for expected in "$@"; do
        [ "${lines[$i]-}" = "$expected" ] \
            || fail "[$label] zenity field $((i + 1)) holds '${lines[$i]-}', not '$expected'"
        i=$((i + 1))
    done
}

start_qt() {
    QT_OUT="$WORK/qt-$1.out"
    "$BIN/e2e_LineEditTarget" "$2" >"$QT_OUT" 2>/dev/null &
    QT=$!
    started+=($QT)
    wait_for "$QT_OUT" '^ready' || fail "[$1] the Qt target is not ready"
}

# check_qt LABEL EXPECTED1 EXPECTED2 EXPECTED3: the edits' texts, then empties them.
check_qt() {
    local label=$1 reports
    reports=$(grep -c '^reported' "$QT_OUT")
    kill -USR1 "$QT"
    for _ in $(seq 50); do
        [ "$(grep -c '^reported' "$QT_OUT")" -gt "$reports" ] && break
        sleep 0.1
    done
    local last
    last=$(awk '/^reported/ { n++ } END { print n }' "$QT_OUT")
    local block
    block=$(awk -v want="$last" '/^reported/ { n++; next } n == want - 1 { print }' "$QT_OUT")
    local texts=("$(sed -n 's/^text //p' <<<"$block")" "$(sed -n 's/^text2 //p' <<<"$block")"
        "$(sed -n 's/^text3 //p' <<<"$block")")
    for i in 0 1 2; do
        local expected=${2:-}
        [ "$i" = 1 ] && expected=${3:-}
        [ "$i" = 2 ] && expected=${4:-}
        [ "${texts[$i]}" = "$expected" ] \
            || fail "[$label] Qt edit $((i + 1)) holds '${texts[$i]}', not '$expected'"
    done
}

# What the xterm got, with any NUL byte shown as "<NUL>".
xterm_bytes() {
    sed 's/\x0/<NUL>/g' "$XTERM_FILE"
}

keyboard_state() {
    "$PROBE" state
}

# Typing against the user's keyboard state: Caps Lock, a second layout locked, German; two
# and three picks into fields of one window; releases over buttons press nothing.
keyboard_case() {
    local wm=$1 p
    p=$(password_of specials)
    start_qt "$wm-keys" specials
    start_xterm "$wm"
    start_zenity "$wm-keys" 3 || return
    start_driver "$wm-keys" specials
    local qt1 qt2 qt3 qtbutton
    qt1=$(centre "$QT_OUT" edit)
    qt2=$(centre "$QT_OUT" edit2)
    qt3=$(centre "$QT_OUT" edit3)
    qtbutton=$(centre "$QT_OUT" button)
    read -r tx ty tw th <<<"$(window_rect "$XTERM_WINDOW")"
    local term="$((tx + tw / 2)) $((ty + th / 2))"

    # Caps Lock on; the user still holds Shift over the xterm.
    xdotool key Caps_Lock
    local before
    before=$(keyboard_state)
    pick $qt1
    [ "$RESULT" = 0 ] || fail "[$wm/caps] typing at $qt1 ended with $RESULT"
    pick $term Shift_L
    [ "$RESULT" = 0 ] || fail "[$wm/caps] typing at $term with Shift held ended with $RESULT"
    pick $(zenity_spot 1)
    [ "$RESULT" = 0 ] || fail "[$wm/caps] typing into the zenity form ended with $RESULT"
    [ "$(keyboard_state)" = "$before" ] || fail "[$wm/caps] the keyboard state changed: $(keyboard_state), was $before"
    xdotool key Caps_Lock

    # us,ru with the Russian group locked; the zenity form is picked twice in a row.
    setxkbmap -layout us,ru
    "$PROBE" lock-group 1
    before=$(keyboard_state)
    for spot in "$(zenity_spot 2)" "$term" "$qt2"; do
        pick $spot
        [ "$RESULT" = 0 ] || fail "[$wm/ru] typing at $spot ended with $RESULT"
    done
    [ "$(keyboard_state)" = "$before" ] || fail "[$wm/ru] the keyboard state changed: $(keyboard_state), was $before"

    # German alone; then releases over buttons, which must press nothing and type nothing.
    setxkbmap -layout de
    for spot in "$qt3" "$term" "$(zenity_spot 3)"; do
        pick $spot
        [ "$RESULT" = 0 ] || fail "[$wm/de] typing at $spot ended with $RESULT"
    done
    import -window root "$SHOTS/keys-$wm.png"
    for spot in "$qtbutton" "$ZENITY_OK"; do
        pick $spot
        [ "$RESULT" = 0 ] && fail "[$wm/button] a release over the button at $spot typed"
    done
    grep -q '^pressed' "$QT_OUT" && fail "[$wm/button] the Qt button was pressed"
    kill -0 "$ZENITY" 2>/dev/null || fail "[$wm/button] the zenity form ended: its OK was pressed"
    import -window root "$SHOTS/button-$wm.png"
    setxkbmap -layout us

    check_qt "$wm/keys" "$p" "$p" "$p"
    [ "$(xterm_bytes)" = "$p$p$p" ] || fail "[$wm/keys] the xterm got '$(xterm_bytes)'"
    kill -0 "$ZENITY" 2>/dev/null && finish_zenity "$wm/keys" "$p" "$p" "$p"
    stop_driver
}

# Characters the keymap lacks, several rounds into each target.
foreign_case() {
    local wm=$1 p
    p=$(password_of foreign)
    start_driver "$wm-foreign" foreign
    local qt1 typed=""
    qt1=$(centre "$QT_OUT" edit)
    read -r tx ty tw th <<<"$(window_rect "$XTERM_WINDOW")"
    local term="$((tx + tw / 2)) $((ty + th / 2))"
    : >"$XTERM_FILE"
    for round in $(seq "$ROUNDS"); do
        start_zenity "$wm-foreign$round" 1 || continue
        for spot in "$qt1" "$(zenity_spot 1)" "$term"; do
            pick $spot
            [ "$RESULT" = 0 ] || fail "[$wm/foreign $round] typing at $spot ended with $RESULT"
        done
        typed="$typed$p"
        check_qt "$wm/foreign $round" "$p" "" ""
        finish_zenity "$wm/foreign $round" "$p"
        [ "$(xterm_bytes)" = "$typed" ] || fail "[$wm/foreign $round] the xterm got '$(xterm_bytes)'"
    done
    stop_driver
}

# A target that never takes the focus: the dialog answers the user while it waits.
no_focus_case() {
    local wm=$1 out="$WORK/nofocus-$1.out"
    "$BIN/e2e_LineEditTarget" --no-focus specials >"$out" 2>/dev/null &
    local target=$!
    started+=($target)
    wait_for "$out" '^ready' || { fail "[$wm/no focus] target not ready"; return; }
    start_driver "$wm-nofocus" specials
    local show to
    show=$(centre "$DRIVER_OUT" showButton)
    to=$(centre "$out" edit)
    local from=($(centre "$DRIVER_OUT" dragArea))
    xdotool mousemove "${from[0]}" "${from[1]}" sleep 0.15 mousedown 1 sleep 0.2 \
        mousemove $to sleep 0.3 mouseup 1 sleep 0.2 mousemove $show click 1
    wait_for "$DRIVER_OUT" '^typed ' 50 || fail "[$wm/no focus] the delivery never ended"
    local shown typed
    shown=$(grep -n '^showText [^S]' "$DRIVER_OUT" | head -n1 | cut -d: -f1)
    typed=$(grep -n '^typed ' "$DRIVER_OUT" | head -n1 | cut -d: -f1)
    [ -n "$shown" ] && [ -n "$typed" ] && [ "$shown" -lt "$typed" ] \
        || fail "[$wm/no focus] the dialog did not answer while it waited for the target"
    grep -q '^typed 0' "$DRIVER_OUT" && fail "[$wm/no focus] typed into a window without focus"
    stop_driver
    kill "$target"
    wait "$target" 2>/dev/null
}

# The real program with the special set "é€": a pick types the password, the main window
# comes back where it was, Escape, Enter and a click on the grid do nothing while the
# password dialog is open, and after Close no copy of the password is left in its memory.
real_case() {
    local wm=$1 p config="$WORK/config-real-$1"
    p=$(password_of generatedForeign)
    mkdir -p "$config/Tamsk"
    printf '[PW]\nSC=é€\n' >"$config/Tamsk/glyphlock.conf"
    XDG_CONFIG_HOME="$config" XDG_DATA_HOME="$config" "$BIN/glyphlock" >/dev/null 2>&1 &
    local program=$!
    started+=($program)
    local main
    main=$(find_window '^Glyphlock$') || { fail "[$wm/real] no main window"; return; }
    sleep 0.5
    local mx my mw mh
    read -r mx my mw mh <<<"$(window_rect "$main")"
    xdotool mousemove $((mx + mw - 39)) $((my + mh - 29)) sleep 0.2 click 1 sleep 1
    local dialog
    dialog=$(xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | grep -vx "$main" | head -n1)
    [ -n "$dialog" ] || { fail "[$wm/real] no password dialog"; kill "$program"; return; }
    start_qt "$wm-real" generatedForeign
    local dx dy dw dh
    read -r dx dy dw dh <<<"$(window_rect "$dialog")"
    local to=($(centre "$QT_OUT" edit))
    xdotool mousemove $((dx + dw / 2)) $((dy + dh * 567 / 1000)) sleep 0.2 mousedown 1 \
        sleep 0.3 mousemove $(((dx + to[0]) / 2)) $(((dy + to[1]) / 2)) sleep 0.1 \
        mousemove "${to[0]}" "${to[1]}" sleep 0.4 mouseup 1
    wait_for "$QT_OUT" '^edit1 match' 50 || fail "[$wm/real] the password did not arrive"
    sleep 0.3
    [ "$(window_rect "$main")" = "$mx $my $mw $mh" ] \
        || fail "[$wm/real] the main window came back at $(window_rect "$main"), not $mx $my $mw $mh"

    # Keys and a click meant for the main window while the password dialog is open.
    xdotool windowfocus --sync "$main" 2>/dev/null
    xdotool key Escape sleep 0.3 key Return sleep 0.5 \
        mousemove $((mx + 75)) $((my + 25)) sleep 0.2 click 1 sleep 0.5
    import -window root "$SHOTS/real-$wm-modal.png"
    kill -0 "$program" 2>/dev/null || { fail "[$wm/real] the program ended"; return; }
    local windows
    windows=$(xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | wc -l)
    [ "$windows" = 2 ] \
        || fail "[$wm/real] after Escape, Enter and a click $windows windows show, not the main window and one dialog"

    # Close, then nothing of the password may be left in the program's memory.
    xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool key --clearmodifiers alt+c
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | grep -qx "$dialog" || break
        sleep 0.1
    done
    sleep 0.3
    local scan
    scan=$("$PROBE" scan "$program" generatedForeign)
    [ "$scan" = clean ] || fail "[$wm/real] after Close the memory holds the password: $scan"

    # The grid is unchanged: OK, Copy and Exit give the start grid's password.
    xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main" 2>/dev/null
    xdotool key Return sleep 1 key --clearmodifiers alt+o sleep 0.3 key --clearmodifiers alt+e
    if ! wait_for_exit "$program" 100; then
        fail "[$wm/real] Exit did not end the program"
        kill "$program"
    fi
    wait "$program" 2>/dev/null
    [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$p" ] || fail "[$wm/real] the grid changed"
    printf 'something else' | xclip -selection clipboard -i -l 1
    sleep 0.3
    xclip -o -selection clipboard >/dev/null
    check_qt "$wm/real" "$p" "" ""
    kill "$QT"
    wait "$QT" 2>/dev/null
}

for wm in ${GLYPHLOCK_E2E_WMS:-openbox none}; do
    if [ "$wm" = openbox ]; then
        openbox --sm-disable >/dev/null 2>&1 &
        WM_PID=$!
        started+=($WM_PID)
        for _ in $(seq 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
    fi
    keyboard_case "$wm"
    foreign_case "$wm"
    kill "$QT" "$XTERM" 2>/dev/null
    wait "$QT" "$XTERM" 2>/dev/null
    [ "$wm" = openbox ] && no_focus_case "$wm"
    real_case "$wm"
    if [ "$wm" = openbox ]; then
        # Ends and leaves its check window's id on the root window.
        kill -KILL "$WM_PID"
        wait "$WM_PID" 2>/dev/null
        xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' \
            || xprop -root -f _NET_SUPPORTING_WM_CHECK 32x -set _NET_SUPPORTING_WM_CHECK 0x1fffff
    fi
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all typing checks passed"
