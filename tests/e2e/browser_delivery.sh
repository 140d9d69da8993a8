#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The real program types into the password field of a login page in chromium and firefox-esr,
# on an X server of its own with a cursor theme set as a desktop sets it (the Xcursor.theme
# resource): first under openbox with Breeze, then without a window manager with Adwaita, with
# the program of the last case going on through the change.
# Chromium draws the theme's cursors itself, without a name, so the program must know the
# theme's text cursor by its picture. Each round runs the default special set and the set
# "é€ß" on a random grid; the password field holds exactly the password, the user name field
# stays empty, and releases over the page's button, its link and an empty spot of the page
# press nothing and type nothing. One browser of each kind serves every case.
# Usage: browser_delivery.sh BIN_DIR SCREENSHOT_DIR
set -uo pipefail

BIN=$(cd "$1" && pwd)
SHOTS=$2
mkdir -p "$SHOTS"
WORK=$(mktemp -d)
PAGE="file://$(cd "$(dirname "$0")" && pwd)/login.html"
source "$(dirname "$0")/common.sh"
# The browsers end before their folders are removed.
stop_browsers() {
    for pid in ${BROWSERS:-}; do
        kill "$pid" 2>/dev/null
    done
    for pid in ${BROWSERS:-}; do
        wait_for_exit "$pid" 100 || kill -KILL "$pid" 2>/dev/null
    done
    cleanup
}
trap stop_browsers EXIT

require_tools Xvfb xdotool xclip xprop xwininfo xrdb import openbox setxkbmap python3 chromium \
    firefox-esr
start_xserver
setxkbmap -layout us

# Where the page puts its controls, in page pixels from the top left of its view (login.html).
USER_FIELD="200 58"
PASSWORD_FIELD="200 128"
BUTTON="120 200"
LINK="100 265"
EMPTY="500 200"

say() {
    echo "[${SECONDS}s] $*"
}

# The page's report in its window title: "Login|x,y|user|password|button|link|keys".
title_of() {
    xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME([A-Z0-9_]*) = "\(.*\)"$/\1/p' \
        | sed 's/ [^ ]* [^|]*$//'
}

field() {
    cut -d'|' -f"$2" <<<"$1"
}

decode() {
    python3 -c 'import sys, urllib.parse; print(urllib.parse.unquote(sys.argv[1]), end="")' "$1"
}

# As the page's encodeURIComponent writes it.
encode() {
    python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe="-_.!~*\x27()"), end="")' "$1"
}

# locate NAME WINDOW: the pointer crosses the page, which learns where it lies on the screen;
# sets ORIGIN_X and ORIGIN_Y of that browser.
locate() {
    local x y w h t
    read -r x y w h <<<"$(window_rect "$2")"
    for _ in $(seq 50); do
        xdotool mousemove $((x + w - 60)) $((y + h - 40)) sleep 0.05 \
            mousemove $((x + w - 70)) $((y + h - 50)) sleep 0.1
        t=$(title_of "$2")
        [ -n "$(field "$t" 2)" ] && break
    done
    local origin
    origin=$(field "$t" 2)
    [ -n "$origin" ] || { fail "[$1] the page never saw the pointer: '$t'"; return 1; }
    eval "$(awk -F, -v name="$1" '{ print "ORIGIN_X_" name "=" $1 "; ORIGIN_Y_" name "=" $2 }' <<<"$origin")"
}

# at NAME "X Y": the screen point of a page point of that browser.
at() {
    local ox oy px py
    ox="ORIGIN_X_$1"
    oy="ORIGIN_Y_$1"
    read -r px py <<<"$2"
    echo "$((${!ox} + px)) $((${!oy} + py))"
}

start_browsers() {
    chromium --no-sandbox --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$WORK/chromium" \
        --window-position=0,0 --window-size=630,500 "$PAGE" >"$WORK/chromium.log" 2>&1 &
    BROWSERS=$!
    mkdir -p "$WORK/firefox"
    # No first-run pages and no checks that reach out to the network.
    cat >"$WORK/firefox/user.js" <<'EOF'
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.auto", false);
user_pref("signon.rememberSignons", false);
EOF
    firefox-esr --profile "$WORK/firefox" --no-remote --new-instance --width 630 --height 500 \
        "$PAGE" >"$WORK/firefox.log" 2>&1 &
    BROWSERS="$BROWSERS $!"
    CHROMIUM=$(find_window '^Login.* - Chromium$' 600) || { echo "chromium shows no page"; exit 1; }
    FIREFOX=$(find_window '^Login.* Mozilla Firefox$' 600) || { echo "firefox shows no page"; exit 1; }
    xdotool windowmove --sync "$CHROMIUM" 0 0 2>/dev/null
    xdotool windowmove --sync "$FIREFOX" 645 0 2>/dev/null
    sleep 1
}

# start_program LABEL SET: the real program with that special set, a grid of random steps and
# OK; sets PASSWORD (copied to the clipboard and read from there) and DIALOG.
start_program() {
    local config="$WORK/config-$1"
    mkdir -p "$config/Tamsk"
    [ -n "$2" ] && printf '[PW]\nSC=%s\n' "$2" >"$config/Tamsk/glyphlock.conf"
    XDG_CONFIG_HOME="$config" XDG_DATA_HOME="$config" "$BIN/glyphlock" >/dev/null 2>&1 &
    PROGRAM=$!
    PROGRAM_SET=$2
    started+=($PROGRAM)
    MAIN=$(find_window '^Glyphlock$' 100) || { fail "[$1] no main window"; return 1; }
    xdotool windowmove --sync "$MAIN" 40 560 2>/dev/null
    sleep 0.5
    local mx my mw mh steps=""
    read -r mx my mw mh <<<"$(window_rect "$MAIN")"
    for _ in $(seq 6); do
        local column=$((RANDOM % 6)) row=$((RANDOM % 5))
        steps="$steps $column,$row"
        xdotool mousemove $((mx + 24 + 48 * column)) $((my + 24 + 48 * row)) sleep 0.1 click 1
    done
    say "[$1] grid steps:$steps"
    xdotool mousemove $((mx + mw - 39)) $((my + mh - 29)) sleep 0.2 click 1 sleep 1
    DIALOG=$(xdotool search --onlyvisible --name '^Glyphlock$' 2>/dev/null | grep -vx "$MAIN" | head -n1)
    [ -n "$DIALOG" ] || { fail "[$1] no password dialog"; return 1; }
    xdotool windowmove --sync "$DIALOG" 520 560 2>/dev/null
    sleep 0.3
    if [ "$1" = "${1#none/}" ]; then
        xdotool windowactivate --sync "$DIALOG" 2>/dev/null
    else
        xdotool windowfocus --sync "$DIALOG" 2>/dev/null
    fi
    xdotool key --clearmodifiers alt+o
    sleep 0.3
    PASSWORD=$(xclip -o -selection clipboard 2>/dev/null)
    [ -n "$PASSWORD" ] || { fail "[$1] no password on the clipboard"; return 1; }
}

stop_program() {
    [ -n "${PROGRAM:-}" ] || return 0
    kill "$PROGRAM" 2>/dev/null
    wait "$PROGRAM" 2>/dev/null
    PROGRAM=""
    unset PROGRAM_SET
}

# pick NAME WINDOW "X Y" [EXPECTED]: the user's drag from the dialog's drag area to that page
# point of the browser, released there. Sets BEFORE and AFTER to the page's reports: AFTER once
# the password field holds EXPECTED (at most 8 s) and the report has settled, or 1.5 s after
# the release when nothing is expected. TYPED_MS: from the release to the whole password.
pick() {
    local dx dy dw dh
    read -r dx dy dw dh <<<"$(window_rect "$DIALOG")"
    local to=($(at "$1" "$3"))
    BEFORE=$(title_of "$2")
    xdotool mousemove $((dx + dw / 2)) $((dy + dh * 567 / 1000)) sleep 0.2 mousedown 1 \
        sleep 0.3 mousemove $(((dx + dw / 2 + to[0]) / 2)) $(((dy + to[1]) / 2)) sleep 0.1 \
        mousemove "${to[0]}" "${to[1]}" sleep 0.4 mouseup 1
    local released
    released=$(date +%s%N)
    TYPED_MS=""
    if [ -z "${4:-}" ]; then
        sleep 1.5
        AFTER=$(title_of "$2")
        return
    fi
    local expected
    expected=$(encode "$4")
    local until=$((SECONDS + 8))
    while [ "$SECONDS" -le "$until" ]; do
        AFTER=$(title_of "$2")
        if [ "$(field "$AFTER" 4)" = "$expected" ]; then
            TYPED_MS=$((($(date +%s%N) - released) / 1000000))
            break
        fi
        sleep 0.05
    done
    # Anything more that arrives late shows here.
    sleep 0.5
    AFTER=$(title_of "$2")
}

# typed_case LABEL NAME WINDOW: the password arrives whole in the password field, nothing in
# the user name field, and neither the button nor the link is pressed.
typed_case() {
    pick "$2" "$3" "$PASSWORD_FIELD" "$PASSWORD"
    local got user
    got=$(decode "$(field "$AFTER" 4)")
    user=$(decode "$(field "$AFTER" 3)")
    if [ "$got" = "$PASSWORD" ]; then
        say "[$1] exact: ${#PASSWORD} characters, whole ${TYPED_MS} ms after the release"
    else
        fail "[$1] the password field holds '$got', not '$PASSWORD' (report: $AFTER)"
        import -window root "$SHOTS/failed-${1//\//-}.png"
    fi
    [ -z "$user" ] || fail "[$1] the user name field holds '$user'"
    [ "$(field "$AFTER" 5)|$(field "$AFTER" 6)" = "0|0" ] || fail "[$1] a button or link was pressed: $AFTER"
}

# refused_case LABEL NAME WINDOW "X Y": a release there presses and types nothing.
refused_case() {
    pick "$2" "$3" "$4"
    local before after
    before=$(cut -d'|' -f3- <<<"$BEFORE")
    after=$(cut -d'|' -f3- <<<"$AFTER")
    if [ "$after" = "$before" ]; then
        say "[$1] nothing pressed, nothing typed"
    else
        fail "[$1] a release at $4 changed the page: $BEFORE -> $AFTER"
    fi
}

# run_round WM SET...: the cases of each set; a program already running with the set goes on.
run_round() {
    local wm=$1 set label
    shift
    locate chromium "$CHROMIUM" || return
    locate firefox "$FIREFOX" || return
    for set in "$@"; do
        label="$wm/${set:-default}"
        if [ "${PROGRAM_SET-none}" != "$set" ]; then
            stop_program
            start_program "$label" "$set" || { stop_program; continue; }
        fi
        typed_case "$label/chromium" chromium "$CHROMIUM"
        typed_case "$label/firefox" firefox "$FIREFOX"
        import -window root "$SHOTS/browser-$wm-$([ -n "$set" ] && echo foreign || echo default).png"
        if [ -z "$set" ]; then
            refused_case "$label/chromium button" chromium "$CHROMIUM" "$BUTTON"
            refused_case "$label/chromium link" chromium "$CHROMIUM" "$LINK"
            refused_case "$label/chromium empty" chromium "$CHROMIUM" "$EMPTY"
            refused_case "$label/firefox button" firefox "$FIREFOX" "$BUTTON"
            refused_case "$label/firefox link" firefox "$FIREFOX" "$LINK"
            import -window root "$SHOTS/browser-$wm-refused.png"
        fi
    done
}

# As KDE sets it; chromium follows a change of the resource at once. Breeze holds every name of
# the text cursor, so that its pictures alone stand for it, none from the fallback theme.
echo 'Xcursor.theme: breeze_cursors' | xrdb -merge
openbox --sm-disable >/dev/null 2>&1 &
WM_PID=$!
started+=($WM_PID)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
start_browsers
say "the browsers show the page"
run_round openbox "" "é€ß"

kill -KILL "$WM_PID"
wait "$WM_PID" 2>/dev/null
# As GNOME sets it. The program that runs on must follow the change, as chromium does.
echo 'Xcursor.theme: Adwaita' | xrdb -merge
sleep 0.5
run_round none "é€ß" ""
stop_program

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all browser checks passed"
