#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Drives the password dialog as a native Wayland client on a headless sway, as a user would:
# a click in the drag area arms typing, a click into another program's line edit makes the
# password arrive there exactly; Escape, the time limit and our own windows type nothing; after
# Copy and Exit another client pastes the password, until another client copies.
# Usage: sway_delivery.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail

BIN=$(cd "$1" && pwd)
mkdir -p "$2"
SHOTS=$(cd "$2" && pwd)
STACK_WRITABLE="$SHOTS"
source "$(dirname "${BASH_SOURCE[0]}")/stack.sh"
if [ -z "${GLYPHLOCK_STACK_INSIDE:-}" ]; then
    BIN=$(stack_reachable_bin "$BIN" e2e_PasswordDialogDriver e2e_LineEditTarget \
        glyphlock-wl-clipboard wl-virtual-pointer)
    if [ "$(id -u)" -eq 0 ] &&
        ! setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$SHOTS/.." 2>/dev/null; then
        SHOTS=$(mktemp -d /tmp/glyphlock-sway-shots.XXXXXX)
        echo "screenshots: $SHOTS"
    fi
    STACK_WRITABLE="$SHOTS"
fi
stack_isolate "$BIN" "$SHOTS"

for tool in sway swaymsg wtype jq wl-paste wl-copy grim; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool"; exit 1; }
done
stack_init
STACK_BIN="$BIN"
WIDTH=1280
HEIGHT=800
stack_start_sway $WIDTH $HEIGHT || exit 1
stack_start_pointer $WIDTH $HEIGHT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

clients=()
stop_clients() {
    for pid in "${clients[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wait "${clients[@]}" 2>/dev/null
    clients=()
}

# start_target NAME: the other program, its line edit waiting for the named password.
start_target() {
    "$BIN/e2e_LineEditTarget" "$1" >"$STACK_WORK/target.out" 2>"$STACK_WORK/target.err" &
    clients+=($!)
    TARGET=$!
    stack_wait_for "$STACK_WORK/target.out" '^ready' || fail "the target did not start"
}

# start_dialog NAME [--arm-timeout MS]: the password dialog over a stand-in main window, moved
# to the top left corner, away from the target.
start_dialog() {
    "$BIN/e2e_PasswordDialogDriver" "$@" >"$STACK_WORK/dialog.out" 2>"$STACK_WORK/dialog.err" &
    clients+=($!)
    DIALOG=$!
    stack_wait_for "$STACK_WORK/dialog.out" '^ready' || fail "the dialog did not start"
    swaymsg '[title="^Glyphlock$"] move position 20 20' >/dev/null
    sleep 0.3
}

# centre_of TITLE FILE CONTROL: the screen point in the middle of a control that the client
# reported within its window.
centre_of() {
    local wx wy ww wh x y w h rect
    # A window that has only just been mapped (or moved) may not be in sway's tree yet.
    for _ in $(seq 50); do
        rect=$(stack_sway_rect "$1")
        [[ "$rect" != *null* ]] && break
        sleep 0.1
    done
    read -r wx wy ww wh <<<"$rect"
    read -r x y w h <<<"$(awk -v name="$3" '($1 == "local" || $1 == "geometry") && $2 == name {
        print $3, $4, $5, $6 }' "$2" | head -n1)"
    echo "$((wx + x + w / 2)) $((wy + y + h / 2))"
}

click_control() {
    # shellcheck disable=SC2046
    stack_click_at $(centre_of "$@")
}

drag_text() {
    grep '^dragText ' "$STACK_WORK/dialog.out" | tail -n1
}

# expect_drag_text PATTERN WHAT: waits until the drag area's text matches.
expect_drag_text() {
    for _ in $(seq 50); do
        drag_text | grep -q -- "$1" && return 0
        sleep 0.1
    done
    fail "$2: the drag area says \"$(drag_text)\""
}

# target_result NAME: ends the target and checks that it holds exactly the named password.
expect_target_text() {
    kill -TERM "$TARGET"
    if ! stack_wait_for "$STACK_WORK/target.out" '^match$' 30; then
        fail "$1: the target does not hold the password"
    fi
}

expect_nothing_typed() {
    sleep 1
    if grep -q '^typed ' "$STACK_WORK/target.out"; then
        fail "$1: keys reached the target"
    fi
}

expect_no_keys_here() {
    if grep -q '^key ' "$STACK_WORK/dialog.out"; then
        fail "$1: keys reached our own windows: $(grep '^key ' "$STACK_WORK/dialog.out" | xargs)"
    fi
}

# The target's line edit fills its window's width, in the middle of its height.
click_target() {
    local x y w h
    read -r x y w h <<<"$(stack_sway_rect Target)"
    stack_click_at $((x + w / 2)) $((y + h / 2))
}

# arm NAME: a click in the drag area; the area must say so. Any such line since the click
# counts: with a short time limit on a slow machine the arming may be over by the time we look.
arm() {
    local before
    before=$(grep -c '^dragText Now click' "$STACK_WORK/dialog.out")
    click_control Glyphlock "$STACK_WORK/dialog.out" dragArea
    for _ in $(seq 50); do
        [ "$(grep -c '^dragText Now click' "$STACK_WORK/dialog.out")" -gt "$before" ] && return
        sleep 0.1
    done
    fail "$1: arming: the drag area says \"$(drag_text)\""
}

# Typing: arm, click into the target; the password arrives whole, with nothing in our windows.
# "wide" holds more distinct characters than one keymap takes.
for name in specials unicode wide; do
    start_target "$name"
    start_dialog "$name"
    expect_drag_text '^dragText Input password automatically:' "$name: the instructions"
    arm "$name"
    click_target
    clicked=$(grep '^clicked ' "$STACK_WORK/pointer.out" | tail -n1 | cut -d' ' -f2)
    stack_wait_for "$STACK_WORK/target.out" '^typed ' || fail "$name: nothing arrived"
    expect_drag_text '^dragText The password was typed' "$name: after typing"
    sleep 0.5
    arrived=$(grep '^typed ' "$STACK_WORK/target.out" | tail -n1 | cut -d' ' -f2)
    first=$(grep '^typed ' "$STACK_WORK/target.out" | head -n1 | cut -d' ' -f2)
    [ -n "$arrived" ] && echo "$name: first key $((first - clicked)) ms after the click," \
        "the whole password $((arrived - clicked)) ms after it"
    grim "$SHOTS/sway-typed-$name.png"
    expect_no_keys_here "$name"
    expect_target_text "$name"
    stop_clients
done

# Escape ends the arming and leaves the dialog open; a click into the target then types nothing.
start_target specials
start_dialog specials
arm escape
wtype -k Escape
expect_drag_text '^dragText Input password automatically:' "escape"
kill -0 "$DIALOG" 2>/dev/null || fail "escape: the dialog closed"
click_target
expect_nothing_typed escape
stop_clients

# The arming ends by itself.
start_target specials
start_dialog specials --arm-timeout 1500
arm timeout
expect_drag_text '^dragText Input password automatically:' "timeout"
click_target
expect_nothing_typed timeout
stop_clients

# A click into our own main window types nothing and keeps the arming; the target still gets
# the password afterwards.
start_target specials
start_dialog specials
arm "own window"
read -r mx my mw mh <<<"$(stack_sway_rect "Stand-in main window")"
stack_click_at $((mx + mw - 30)) $((my + mh - 30))
sleep 1
expect_no_keys_here "own window"
expect_drag_text '^dragText Now click' "own window: still armed"
grim "$SHOTS/sway-armed.png"
click_target
stack_wait_for "$STACK_WORK/target.out" '^typed ' || fail "own window: nothing arrived later"
sleep 0.5
expect_target_text "own window"
stop_clients

# The clipboard after Copy and Exit: another client pastes the password, marked secret; the
# helper serves until another client copies.
start_dialog unicode
click_control Glyphlock "$STACK_WORK/dialog.out" copyButton
sleep 0.3
click_control Glyphlock "$STACK_WORK/dialog.out" exitButton
stack_wait_for "$STACK_WORK/dialog.out" '^exitRequested 1' || fail "clipboard: Exit did not end"
wait "$DIALOG" 2>/dev/null
clients=()
pasted=$(wl-paste -n -t text/plain 2>&1 | "$BIN/e2e_LineEditTarget" --stdin unicode)
[ "$pasted" = match ] || fail "clipboard: wl-paste after exit gave no password"
[ "$(wl-paste -n -t x-kde-passwordManagerHint 2>&1)" = secret ] ||
    fail "clipboard: no secret mark ($(wl-paste -l 2>&1 | xargs))"
pgrep -f -x "$BIN/glyphlock-wl-clipboard" >/dev/null || fail "clipboard: no helper runs"
echo other | wl-copy
for _ in $(seq 30); do pgrep -f -x "$BIN/glyphlock-wl-clipboard" >/dev/null || break; sleep 0.1; done
pgrep -f -x "$BIN/glyphlock-wl-clipboard" >/dev/null && fail "clipboard: the helper outlived another copy"
[ "$(wl-paste -n 2>&1)" = other ] || fail "clipboard: the other copy did not take"

if [ "$failures" -gt 0 ]; then
    echo "sway: $failures failures"
    exit 1
fi
echo "sway: all passed"
