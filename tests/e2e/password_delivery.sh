#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Drives the password dialog from outside as a user would, on an X server of its own, without
# and with a window manager: Copy then Exit and paste from another process after the program
# has ended; and the window picker typing into the line edit of another program.
# Usage: password_delivery.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail

BIN=$(cd "$1" && pwd)
SHOTS=$2
mkdir -p "$SHOTS"
WORK=$(mktemp -d)
source "$(dirname "$0")/common.sh"
trap cleanup EXIT

require_tools Xvfb xdotool xclip xprop xwininfo import convert openbox
start_xserver

click() {
    xdotool mousemove $(centre "$1" "$2") sleep 0.2 click 1
}

pixel() {
    convert "$1" -format "%[pixel:p{$2,$3}]" info:
}

is_black() {
    case "$1" in black | "srgb(0,0,0)" | "gray(0)" | "rgb(0,0,0)") return 0 ;; esac
    return 1
}

helper_count() {
    pgrep -f -x "$BIN/glyphlock-clipboard" | wc -l
}

start_window_manager() {
    openbox --sm-disable >/dev/null 2>&1 &
    WM_PID=$!
    started+=($WM_PID)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    fail "openbox did not start"
}

stop_window_manager() {
    kill "$WM_PID" 2>/dev/null
    wait "$WM_PID" 2>/dev/null
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null
}

# Copy, Exit, then paste from another process: the password outlives the program.
# With a clipboard manager running ("manager"), the manager keeps it and no helper starts.
clipboard_case() {
    local wm=$1 manager=${2:-}
    local out="$WORK/clip-$wm$manager.out"
    local stub=
    if [ -n "$manager" ]; then
        "$BIN/e2e_ClipboardManagerStub" >"$WORK/manager.out" 2>/dev/null &
        stub=$!
        started+=($stub)
        wait_for "$WORK/manager.out" '^ready' || fail "[$wm] clipboard manager did not start"
    fi
    "$BIN/e2e_PasswordDialogDriver" specials >"$out" 2>/dev/null &
    local driver=$!
    started+=($driver)
    wait_for "$out" '^ready' || { fail "[$wm] driver not ready"; return; }
    click "$out" copyButton
    sleep 0.3
    click "$out" exitButton
    wait_for_exit "$driver" 100 || { fail "[$wm] Exit did not end the program"; kill "$driver"; }
    wait "$driver" 2>/dev/null
    grep -q '^exitRequested 1' "$out" || fail "[$wm] Exit did not end the program with Exit"

    local verdict
    verdict=$(xclip -o -selection clipboard 2>/dev/null | "$BIN/e2e_LineEditTarget" --stdin specials)
    [ "$verdict" = match ] || fail "[$wm] clipboard after exit: $verdict"
    if [ -n "$manager" ]; then
        grep -q '^saved' "$WORK/manager.out" || fail "[$wm] the clipboard manager was not asked"
        [ "$(helper_count)" = 0 ] || fail "[$wm] a helper started beside the clipboard manager"
        kill "$stub"
        wait "$stub" 2>/dev/null
        return
    fi
    verdict=$(xclip -o -selection clipboard -t STRING 2>/dev/null | "$BIN/e2e_LineEditTarget" --stdin specials)
    [ "$verdict" = match ] || fail "[$wm] clipboard STRING after exit: $verdict"
    xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx 'x-kde-passwordManagerHint' \
        || fail "[$wm] the secret mark is not offered"
    [ "$(xclip -o -selection clipboard -t x-kde-passwordManagerHint 2>/dev/null)" = secret ] \
        || fail "[$wm] the secret mark is not \"secret\""
    [ "$(helper_count)" = 1 ] || fail "[$wm] expected one clipboard helper, found $(helper_count)"

    # Another program takes the clipboard: the helper goes.
    printf 'something else' | xclip -selection clipboard -i -l 1
    sleep 0.5
    [ "$(helper_count)" = 0 ] || fail "[$wm] the clipboard helper outlived its clipboard"
    [ "$(xclip -o -selection clipboard)" = 'something else' ] || fail "[$wm] clipboard not taken over"
}

# what_arrived TARGET_OUT: what each line edit of a target held when it ended.
what_arrived() {
    grep -E '^text[0-9]? ' "$1" | tr '\n' ' '
}

# outer_rect WINDOW: "x y w h" of a client window with its window manager's frame.
outer_rect() {
    local ax ay w h left=0 right=0 top=0 bottom=0 extents
    read -r ax ay w h <<<"$(window_rect "$1")"
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -o '[0-9, ]*$' || true)
    if [ -n "$extents" ]; then
        IFS=', ' read -r left right top bottom <<<"$extents"
    fi
    echo "$((ax - left)) $((ay - top)) $((w + left + right)) $((h + top + bottom))"
}

# Press in the drag area, move onto the line edit of another program, look, release.
# start_pair LABEL NAME TARGET_OUT DRIVER_OUT [TARGET_OPTION...]: starts a line-edit target
# (with the options given) and the password dialog driver for password NAME and waits until both
# are ready; sets `target` and `driver` to their pids. Fails (and says so) when either does not
# come up.
start_pair() {
    local label=$1 name=$2 target_out=$3 driver_out=$4
    "$BIN/e2e_LineEditTarget" "${@:5}" "$name" >"$target_out" 2>/dev/null &
    target=$!
    started+=($target)
    wait_for "$target_out" '^ready' || { fail "[$label] target not ready"; return 1; }
    "$BIN/e2e_PasswordDialogDriver" "$name" >"$driver_out" 2>/dev/null &
    driver=$!
    started+=($driver)
    wait_for "$driver_out" '^ready' || { fail "[$label] driver not ready"; return 1; }
    sleep 0.3
}

# pick_case WM NAME [--busy]: with --busy the target is slow to answer, as on a loaded machine
# (see LineEditTarget.cpp).
pick_case() {
    local wm=$1 name=$2${3:-}
    local target_out="$WORK/target-$wm-$name.out" driver_out="$WORK/driver-$wm-$name.out"
    local target driver
    start_pair "$wm/$name" "$2" "$target_out" "$driver_out" ${3:+"$3"} || return

    local window from to
    window=$(awk '$1 == "window" { print $2 }' "$target_out")
    from=($(centre "$driver_out" dragArea))
    to=($(centre "$target_out" edit))
    xdotool mousemove "${from[0]}" "${from[1]}" sleep 0.2 mousedown 1 sleep 0.3
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((from[0] + (to[0] - from[0]) * step / 10)) \
            $((from[1] + (to[1] - from[1]) * step / 10)) sleep 0.05
    done
    sleep 0.6

    local shot="$SHOTS/pick-$wm-$name.png"
    import -window root "$shot"
    local class handle
    class=$(xprop -id "$window" WM_CLASS | sed -E 's/.*", "(.*)"$/\1/')
    handle=$(printf '0x%08X' "$window")
    grep -qF "dragText Window Handle:$handle.\\nClass Name:$class." "$driver_out" \
        || fail "[$wm/$name] the drag area does not name $handle / $class"

    # The frame: black along the outer rectangle of the target, decorations included.
    local ox oy ow oh
    read -r ox oy ow oh <<<"$(outer_rect "$window")"
    for point in "$((ox + 1)) $((oy + oh / 2))" "$((ox + ow / 2)) $((oy + 1))" \
        "$((ox + ow - 2)) $((oy + oh / 2))" "$((ox + ow / 2)) $((oy + oh - 2))"; do
        local colour
        colour=$(pixel "$shot" $point)
        is_black "$colour" || fail "[$wm/$name] no black frame at $point ($colour)"
    done
    # Inside the outline the target's own pixels show.
    is_black "$(pixel "$shot" $((ox + 6)) $((oy + oh / 2)))" && fail "[$wm/$name] the frame is filled"

    xdotool mouseup 1
    # Done when the dialog says the delivery ended and the line edit says it holds the
    # password, not after a fixed pause: on a busy machine taking the focus, asking the target
    # whether it has caught up and typing can take longer than any pause.
    wait_for "$driver_out" '^typed [0-9]' 300 || fail "[$wm/$name] the delivery did not end"
    grep -q '^typed 0' "$driver_out" ||
        fail "[$wm/$name] the delivery ended with $(grep '^typed [0-9]' "$driver_out")"
    wait_for "$target_out" '^edit1 match' 100
    # The target keeps the focus, ready for the user's own Enter.
    if [ "$wm" = openbox ]; then
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$((window))" ] \
            || fail "[$wm/$name] the target lost the focus after typing"
    fi
    import -window root "$SHOTS/typed-$wm-$name.png"
    kill -TERM "$target"
    wait "$target" 2>/dev/null
    grep -qx match "$target_out" ||
        fail "[$wm/$name] the line edit did not get the password ($(what_arrived "$target_out"))"

    # The dialog is still there and closes normally.
    click "$driver_out" closeButton
    if ! wait_for_exit "$driver" 50; then
        fail "[$wm/$name] Close did not end the dialog"
        import -window root "$SHOTS/not-closed-$wm-$name.png"
        kill "$driver"
    else
        grep -q '^exitRequested 0' "$driver_out" || fail "[$wm/$name] Close reported Exit"
    fi
    wait "$driver" 2>/dev/null
}

# start_glyphlock NAME: starts the real program with settings of its own; sets `program` to
# its pid and `window` to its main window (empty when none showed within 10 s).
start_glyphlock() {
    mkdir -p "$WORK/config-$1"
    XDG_CONFIG_HOME="$WORK/config-$1" XDG_DATA_HOME="$WORK/config-$1" "$BIN/glyphlock" \
        >/dev/null 2>"$SHOTS/glyphlock-$1.log" &
    program=$!
    started+=($program)
    window=
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | head -n1)
        [ -n "$window" ] && return
        sleep 0.1
    done
}

# The real program: OK on the start-up grid, then Copy and Exit from the keyboard; the
# password pastes after the program has ended.
real_program_case() {
    local wm=$1
    [ -x "$BIN/glyphlock" ] || { fail "no glyphlock beside the helper"; return; }
    local program window
    start_glyphlock "real-$wm"
    [ -n "$window" ] || { fail "[$wm/real] the main window did not show"; kill "$program"; return; }
    sleep 0.5
    local ax ay w h
    read -r ax ay w h <<<"$(window_rect "$window")"
    # The OK button sits at the right end of the strip under the grid.
    xdotool mousemove $((ax + w - 39)) $((ay + h - 29)) sleep 0.2 click 1 sleep 1
    import -window root "$SHOTS/real-$wm-dialog.png"

    # The picker of the real program types into the line edit of another.
    local target_out="$WORK/real-target-$wm.out"
    "$BIN/e2e_LineEditTarget" generated >"$target_out" 2>/dev/null &
    local target=$!
    started+=($target)
    wait_for "$target_out" '^ready' || fail "[$wm/real] target not ready"
    local dialog
    dialog=$(xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | grep -vx "$window" | head -n1)
    if [ -n "$dialog" ]; then
        local dx dy dw dh to
        read -r dx dy dw dh <<<"$(window_rect "$dialog")"
        to=($(centre "$target_out" edit))
        # Another program takes the focus and the user clicks the dialog at once: the click
        # makes it the active window again, however soon it comes.
        xdotool windowfocus "$(awk '$1 == "window" { print $2 }' "$target_out")" \
            mousemove $((dx + dw / 2)) $((dy + 10)) click 1 sleep 0.3
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$dialog" ] ||
            fail "[$wm/real] a click on the dialog just after another window took the focus" \
                "left the focus on $(xdotool getwindowfocus 2>/dev/null)"
        # The drag area's centre, in the dialog's own proportions.
        xdotool mousemove $((dx + dw / 2)) $((dy + dh * 567 / 1000)) sleep 0.2 mousedown 1 \
            sleep 0.3 mousemove $(((dx + to[0]) / 2)) $(((dy + to[1]) / 2)) sleep 0.1 \
            mousemove "${to[0]}" "${to[1]}" sleep 0.5
        import -window root "$SHOTS/real-$wm-pick.png"
        xdotool mouseup 1
        # Until the line edit holds the password (see pick_case); the dialog's drag area says
        # how a delivery ended, for when it did not arrive.
        wait_for "$target_out" '^edit1 match' 300 ||
            import -window root "$SHOTS/real-$wm-not-typed.png"
    else
        fail "[$wm/real] no password dialog"
    fi
    kill -TERM "$target"
    wait "$target" 2>/dev/null
    grep -qx match "$target_out" ||
        fail "[$wm/real] the line edit did not get the password ($(what_arrived "$target_out"))"
    # Back to the dialog for the keyboard, at once: one click makes it the active window again.
    # Until then the keys have nowhere to go: the target had the focus, and without a window
    # manager the focus falls back to the root window when the target ends, so keys reach
    # whatever window is under the pointer, where the toolkit acts on none of their shortcuts.
    if [ -n "$dialog" ]; then
        xdotool mousemove $((dx + dw / 2)) $((dy + 10)) click 1 sleep 0.3
        if [ "$(xdotool getwindowfocus 2>/dev/null)" != "$dialog" ]; then
            fail "[$wm/real] a click on the dialog left the focus on" \
                "$(xdotool getwindowfocus 2>/dev/null)"
            import -window root "$SHOTS/real-$wm-unfocused.png"
        fi
    fi
    copy_exit_and_check "$wm" real generated
    [ "$(helper_count)" = 0 ] || fail "[$wm/real] the clipboard helper outlived its clipboard"
    xclip -o -selection clipboard >/dev/null # lets that xclip go
}

# The framed window vanishes in the middle of a pick: no crash, nothing typed anywhere.
vanish_case() {
    local wm=$1
    local target_out="$WORK/vanish-target-$wm.out" driver_out="$WORK/vanish-driver-$wm.out"
    local target driver
    start_pair "$wm/vanish" specials "$target_out" "$driver_out" || return
    local from to
    from=($(centre "$driver_out" dragArea))
    to=($(centre "$target_out" edit))
    xdotool mousemove "${from[0]}" "${from[1]}" sleep 0.2 mousedown 1 sleep 0.3 \
        mousemove "${to[0]}" "${to[1]}" sleep 0.5
    kill -KILL "$target"
    wait "$target" 2>/dev/null
    xdotool mousemove $((to[0] + 5)) $((to[1] + 5)) sleep 0.2 mousemove "${to[0]}" "${to[1]}" \
        sleep 0.2 mouseup 1 sleep 1
    kill -0 "$driver" 2>/dev/null || { fail "[$wm/vanish] the dialog died with the target"; return; }
    import -window root "$SHOTS/vanished-$wm.png"
    click "$driver_out" closeButton
    if ! wait_for_exit "$driver" 50; then
        fail "[$wm/vanish] Close did not end the dialog"
        kill "$driver"
    fi
    wait "$driver" 2>/dev/null
}

# Escape in the middle of a pick: the dialog ends and leaves no frame, no grab, no hidden
# main window behind.
escape_case() {
    local wm=$1
    local target_out="$WORK/escape-target-$wm.out" driver_out="$WORK/escape-driver-$wm.out"
    local target driver
    start_pair "$wm/escape" specials "$target_out" "$driver_out" || return
    local from to
    from=($(centre "$driver_out" dragArea))
    to=($(centre "$target_out" edit))
    xdotool mousemove "${from[0]}" "${from[1]}" sleep 0.2 mousedown 1 sleep 0.3 \
        mousemove "${to[0]}" "${to[1]}" sleep 0.5 key Escape sleep 0.5
    local shot="$SHOTS/escape-$wm.png"
    import -window root "$shot"
    local ox oy ow oh
    read -r ox oy ow oh <<<"$(outer_rect "$(awk '$1 == "window" { print $2 }' "$target_out")")"
    is_black "$(pixel "$shot" $((ox + 1)) $((oy + oh / 2)))" && fail "[$wm/escape] the frame stayed"
    xdotool mouseup 1 sleep 0.5
    if ! wait_for_exit "$driver" 50; then
        fail "[$wm/escape] Escape did not end the dialog"
        kill "$driver"
    else
        grep -q '^exitRequested 0' "$driver_out" || fail "[$wm/escape] Escape reported Exit"
    fi
    wait "$driver" 2>/dev/null
    # No pointer grab is left: another program can take it.
    xdotool mousemove "${to[0]}" "${to[1]}" click 1
    kill -TERM "$target"
    wait "$target" 2>/dev/null
    grep -q '^text $' "$target_out" || fail "[$wm/escape] something was typed"
}

# copy_exit_and_check WM LABEL PASSWORD: Copy and Exit from the keyboard in the password
# dialog of the real program (`program`); once it has ended the clipboard must hold the
# password named PASSWORD (see E2ePasswords.h). Then another owner takes the clipboard.
copy_exit_and_check() {
    local wm=$1 label=$2 password=$3
    xdotool key --clearmodifiers alt+o sleep 0.3 key --clearmodifiers alt+e
    if ! wait_for_exit "$program" 50; then
        # A dialog that is not the active window shows the Copy button as the default one,
        # as if it had the focus: the keys went nowhere.
        fail "[$wm/$label] Alt+E did not end the program" \
            "(focus on $(xdotool getwindowfocus 2>/dev/null))"
        import -window root "$SHOTS/not-ended-$wm-$label.png"
        if [ -n "${GLYPHLOCK_E2E_STACKS:-}" ]; then
            gdb -batch -p "$program" -ex "thread apply all bt" >"$SHOTS/not-ended-$wm-$label.bt" 2>&1
        fi
        kill "$program"
    fi
    wait "$program" 2>/dev/null
    local verdict
    verdict=$(xclip -o -selection clipboard 2>/dev/null | "$BIN/e2e_LineEditTarget" --stdin "$password")
    [ "$verdict" = match ] || fail "[$wm/$label] clipboard after the program ended: $verdict"
    printf 'something else' | xclip -selection clipboard -i -l 1
    sleep 0.5
}

# show_copy_exit WM CASE: in the real program (`program`, main window `window`): Enter (OK),
# Show, Copy and Exit from the keyboard; after the program has ended the clipboard must hold
# the password named CASE (see E2ePasswords.h). Leaves the clipboard to another owner.
show_copy_exit() {
    local wm=$1 case=$2
    xdotool key Return sleep 1
    local dialog
    dialog=$(xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | grep -vx "$window" | head -n1)
    [ -n "$dialog" ] || { fail "[$wm/$case] Enter showed no password dialog"; kill "$program"; return; }
    xdotool key space sleep 0.3
    import -window root "$SHOTS/$case-$wm-shown.png"
    copy_exit_and_check "$wm" "$case" "$case"
    xclip -o -selection clipboard >/dev/null # lets that xclip go
}

# The real program as a user drives it: resize the window, click cells with both buttons,
# OK, Show, Copy and Exit; the clipboard, read after the program has ended, holds the password
# of exactly that grid.
edited_grid_case() {
    local wm=$1
    local program window
    start_glyphlock "edited-$wm"
    [ -n "$window" ] || { fail "[$wm/edited] the main window did not show"; kill "$program"; return; }
    sleep 0.3
    # 500 x 400 gives 10 x 7 cells of 50 x 50.
    xdotool windowsize "$window" 500 400 sleep 0.5
    local x y w h
    read -r x y w h <<<"$(window_rect "$window")"
    [ "$w x $h" = "500 x 400" ] || fail "[$wm/edited] the window is $w x $h, not 500 x 400"
    # Left on (1,0), twice left on (2,1), right on (8,5); a left press on (5,5) released on (6,6)
    # steps only (6,6); a left click on (0,6) is taken back with Ctrl+Z. The pauses matter
    # under openbox: it holds every click for a moment (to focus and raise) while keys pass.
    xdotool mousemove --window "$window" 75 25 sleep 0.2 click 1 sleep 0.2 \
        mousemove --window "$window" 125 75 sleep 0.2 click 1 sleep 0.2 click 1 sleep 0.2 \
        mousemove --window "$window" 425 275 sleep 0.2 click 3 sleep 0.2 \
        mousemove --window "$window" 275 275 sleep 0.2 mousedown 1 sleep 0.2 \
        mousemove --window "$window" 325 325 sleep 0.2 mouseup 1 sleep 0.2 \
        mousemove --window "$window" 25 325 sleep 0.2 click 1 sleep 0.5 key ctrl+z sleep 0.3
    import -window root "$SHOTS/edited-$wm-grid.png"
    # Enter is OK; the password dialog opens with the show button focused.
    show_copy_exit "$wm" edited
}

# The real program from the keyboard alone, not one click: cells reached with the arrows,
# Home, End and their Ctrl forms, stepped with Space, Shift+Space and Backspace, one step
# undone; Enter, Show, Copy and Exit. The clipboard holds the password of exactly that grid.
keyboard_case() {
    local wm=$1
    local program window
    start_glyphlock "keyboard-$wm"
    [ -n "$window" ] || { fail "[$wm/keyboard] the main window did not show"; kill "$program"; return; }
    sleep 0.5
    # The start-up grid is 8 x 7 with the cursor on its first cell. Under a window manager the
    # new window has the focus already; without one the program takes it when it shows.
    xdotool key --delay 60 Right space space Down End BackSpace ctrl+End space Home shift+space \
        Up Right Right space ctrl+z ctrl+Home Down Down space Up End sleep 0.5
    import -window root "$SHOTS/keyboard-$wm-grid.png"
    show_copy_exit "$wm" keyboard
}

for wm in none openbox; do
    [ "$wm" = openbox ] && start_window_manager
    clipboard_case "$wm"
    clipboard_case "$wm" manager
    real_program_case "$wm"
    edited_grid_case "$wm"
    keyboard_case "$wm"
    for name in generated specials foreign; do
        pick_case "$wm" "$name"
    done
    pick_case "$wm" foreign --busy
    vanish_case "$wm"
    escape_case "$wm"
    [ "$wm" = openbox ] && stop_window_manager
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all end-to-end checks passed"
