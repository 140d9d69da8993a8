# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Shared by the end-to-end scripts: an X server of their own, waiting, reading geometry.
# Source it after setting BIN, SHOTS and WORK; it sets `started` (pids ended at exit) and
# `failures`, and the caller's `trap cleanup EXIT` ends them.

started=()
failures=0

# The programs typed into show and hand back what they get in the locale's encoding: without a
# UTF-8 one (a fresh machine may have no locale set) zenity turns é into '?'. C.UTF-8 comes with
# the C library (Debian: libc-bin). Every program the scripts start inherits it.
if ! locale -a 2>/dev/null | grep -qiE '^c\.utf-?8$'; then
    echo "missing locale: C.UTF-8 (Debian package libc-bin)"
    exit 1
fi
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE

cleanup() {
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null
    done
    rm -rf "$WORK"
}

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# require_tools TOOL...: stops the script when one is missing.
require_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "missing tool: $tool"; exit 1; }
    done
}

# start_xserver: an Xvfb with a white desktop (-wr), so that a black frame cannot be mistaken
# for the background; exports DISPLAY. GLYPHLOCK_E2E_DISPLAY (":N") picks the display,
# otherwise the server takes a free one.
start_xserver() {
    if [ -n "${GLYPHLOCK_E2E_DISPLAY:-}" ]; then
        Xvfb "$GLYPHLOCK_E2E_DISPLAY" -screen 0 1280x1024x24 -noreset -nolisten tcp -wr \
            2>/dev/null &
        echo "${GLYPHLOCK_E2E_DISPLAY#:}" >"$WORK/display"
    else
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp -wr 3>"$WORK/display" \
            2>/dev/null &
    fi
    started+=($!)
    for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
    [ -s "$WORK/display" ] || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=":$(head -n1 "$WORK/display")"
    for _ in $(seq 50); do xprop -root >/dev/null 2>&1 && break; sleep 0.1; done
}

# find_window TITLE [TENTHS]: the id of the visible window whose title matches (at most 10 s).
find_window() {
    local id
    for _ in $(seq "${2:-100}"); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# wait_for FILE PATTERN [TENTHS]: until a line of FILE matches (at most 10 s).
wait_for() {
    for _ in $(seq "${3:-100}"); do
        grep -q -- "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# wait_for_exit PID [TENTHS]: until the process has ended (at most 10 s); false when it runs on.
wait_for_exit() {
    for _ in $(seq "${2:-100}"); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    ! kill -0 "$1" 2>/dev/null
}

# geometry FILE NAME: "x y w h" of a control a test program reported ("geometry NAME x y w h").
geometry() {
    awk -v name="$2" '$1 == "geometry" && $2 == name { print $3, $4, $5, $6 }' "$1" | tail -n1
}

centre() {
    read -r x y w h <<<"$(geometry "$1" "$2")"
    echo "$((x + w / 2)) $((y + h / 2))"
}

# window_rect WINDOW: "x y w h" of a window's client area on the screen.
window_rect() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
