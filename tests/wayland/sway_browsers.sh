#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The real program types into web browsers' login pages on a headless sway, as a user does it:
# a grid keyed in at random, OK, Copy, a click in the drag area, a click into the page's
# password field. Each round is a fresh run of the program; the password must arrive exactly
# (compared with what the program copied), the user name field must stay empty. One browser
# of each kind serves all its rounds; the page puts both fields' contents into its title.
# Usage: sway_browsers.sh BIN_DIR SCREENSHOT_DIR
# GLYPHLOCK_BROWSER_ROUNDS sets how many random grids each browser gets (2),
# GLYPHLOCK_BROWSERS which browsers ("chromium firefox").
set -uo pipefail

BIN=$(cd "$1" && pwd)
mkdir -p "$2"
SHOTS=$(cd "$2" && pwd)
STACK_WRITABLE="$SHOTS"
source "$(dirname "${BASH_SOURCE[0]}")/stack.sh"
if [ -z "${GLYPHLOCK_STACK_INSIDE:-}" ]; then
    BIN=$(stack_reachable_bin "$BIN" glyphlock glyphlock-wl-clipboard wl-virtual-pointer \
        e2e_PasswordDialogDriver e2e_LineEditTarget)
    if [ "$(id -u)" -eq 0 ] &&
        ! setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$SHOTS/.." 2>/dev/null; then
        SHOTS=$(mktemp -d /tmp/glyphlock-browser-shots.XXXXXX)
        echo "screenshots: $SHOTS"
    fi
    STACK_WRITABLE="$SHOTS"
fi
stack_isolate "$BIN" "$SHOTS"

for tool in sway swaymsg wtype jq wl-paste grim chromium firefox-esr; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool"; exit 1; }
done
ROUNDS=${GLYPHLOCK_BROWSER_ROUNDS:-2}
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

# The login page: the user name field in the upper part, the password field filling the lower
# half, so that a click at three quarters of the window's height lands in it whatever the
# browser draws above the page. The title names the round (one more each time the window loses
# the focus, which also empties both fields) and both fields' texts, as JSON.
cat >"$STACK_WORK/login.html" <<'EOF'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>login</title>
<style>
  input { position: fixed; left: 2%; width: 96%; font-size: 24px; box-sizing: border-box; }
  #user { top: 30%; height: 12%; }
  #password { top: 50%; height: 48%; }
</style></head>
<body>
<form onsubmit="return false">
  <input id="user" name="username" autocomplete="off" placeholder="User name">
  <input id="password" name="password" type="password" autocomplete="off" placeholder="Password">
</form>
<script>
  const user = document.getElementById('user');
  const password = document.getElementById('password');
  let round = 0;
  // JSON without a space in it: a browser shortens runs of spaces in titles.
  const report = () => {
    document.title = 'login r=' + round + ' ' +
      JSON.stringify({u: user.value, p: password.value}).replace(/ /g, '\\u0020');
  };
  user.addEventListener('input', report);
  password.addEventListener('input', report);
  window.addEventListener('blur', () => { user.value = ''; password.value = ''; round++; report(); });
  report();
</script>
</body></html>
EOF

# page_state: "ROUND USER PASSWORD" from the browser window's title, the fields as text.
page_state() {
    swaymsg -t get_tree | jq -r '
        [recurse(.nodes[]?, .floating_nodes[]?) | .name // empty
         | capture("^login r=(?<r>[0-9]+) (?<fields>[{].*[}])")][0]
        | if . == null then "" else (.fields | fromjson) as $f | "\(.r)\t\($f.u)\t\($f.p)" end'
}

# wait_round_over ROUND: until the page has counted past the round (the browser lost focus).
wait_round_over() {
    local i
    for ((i = 0; i < 100; i++)); do
        local r
        r=$(page_state | cut -f1)
        [ -n "$r" ] && [ "$r" -gt "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

window_count() {
    swaymsg -t get_tree | jq --arg title "$1" \
        '[recurse(.nodes[]?, .floating_nodes[]?) | select(.name == $title)] | length'
}

BROWSER=
start_browser() {
    local url="file://$STACK_WORK/login.html"
    case $1 in
    chromium)
        chromium --ozone-platform=wayland --no-sandbox --no-first-run --no-default-browser-check \
            --disable-background-networking --disable-component-update --disable-sync \
            --password-store=basic --user-data-dir="$STACK_WORK/chromium" "$url" \
            >"$STACK_WORK/browser.log" 2>&1 &
        ;;
    firefox)
        # No first-run pages, nothing fetched from the network.
        mkdir -p "$STACK_WORK/firefox"
        cat >"$STACK_WORK/firefox/user.js" <<'PREFS'
user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.policy.firstRunURL", "");
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("startup.homepage_welcome_url", "");
user_pref("startup.homepage_welcome_url.additional", "");
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("app.update.auto", false);
user_pref("extensions.update.enabled", false);
user_pref("browser.safebrowsing.update.enabled", false);
user_pref("signon.rememberSignons", false);
PREFS
        MOZ_ENABLE_WAYLAND=1 firefox-esr --no-remote --profile "$STACK_WORK/firefox" "$url" \
            >"$STACK_WORK/browser.log" 2>&1 &
        ;;
    esac
    BROWSER=$!
    local i
    for ((i = 0; i < 300; i++)); do
        [ -n "$(page_state)" ] && return 0
        sleep 0.1
    done
    fail "$1: the login page did not show"
    return 1
}

stop_browser() {
    kill "$BROWSER" 2>/dev/null
    wait "$BROWSER" 2>/dev/null
}

# browser_rect: "x y w h" of the browser's window.
browser_rect() {
    swaymsg -t get_tree | jq -r '
        [recurse(.nodes[]?, .floating_nodes[]?) | select((.name // "") | startswith("login r="))][0]
        | "\(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height)"'
}

# glyphlock_rects: "x y w h" of each of the program's windows, the main window first.
glyphlock_rects() {
    swaymsg -t get_tree | jq -r '
        [recurse(.nodes[]?, .floating_nodes[]?) | select(.name == "Glyphlock")]
        | sort_by(.id)[] | "\(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height)"'
}

# start_program LABEL COMMAND...: starts the program that types, once the browser has seen
# its window take the focus. Sets PROGRAM.
start_program() {
    local label=$1 before i
    shift
    before=$(page_state | cut -f1)
    "$@" >"$STACK_WORK/program.out" 2>"$STACK_WORK/program.err" &
    PROGRAM=$!
    wait_round_over "$before" || fail "[$label] the browser kept the focus"
}

stop_program() {
    kill "$PROGRAM" 2>/dev/null
    wait "$PROGRAM" 2>/dev/null
}

# type_into_page BROWSER/LABEL EXPECTED DRAG_X DRAG_Y: a click in the drag area arms typing,
# a click into the page's password field makes the password arrive, exactly, and nothing in
# the user name field.
type_into_page() {
    local label=$1 expected=$2 bx by bw bh i state
    stack_click_at "$3" "$4"
    sleep 0.3
    read -r bx by bw bh <<<"$(browser_rect)"
    local start=$SECONDS
    stack_click_at $((bx + bw / 2)) $((by + bh * 3 / 4))
    # Until the field holds the password, or has not changed for two seconds.
    local last="" still=0
    for ((i = 0; i < 150 && still < 20; i++)); do
        state=$(page_state)
        [ "$(cut -f3 <<<"$state")" = "$expected" ] && break
        if [ "$state" = "$last" ]; then still=$((still + 1)); else still=0; fi
        last=$state
        sleep 0.1
    done
    echo "[$label] $((SECONDS - start)) s from the click to the check"
    # Keys that come late would change the field still.
    sleep 0.5
    state=$(page_state)
    grim "$SHOTS/sway-${label/\//-}.png"
    local user typed
    user=$(cut -f2 <<<"$state")
    typed=$(cut -f3 <<<"$state")
    if [ "$typed" = "$expected" ] && [ -z "$user" ]; then
        echo "[$label] exact: ${#expected} characters"
        results+=("$label exact")
    else
        fail "[$label] expected '$expected', the password field holds '$typed'," \
            "the user name field '$user'"
        results+=("$label WRONG")
    fi
}

# round BROWSER LABEL SPECIAL_SET KEYS...: one fresh run of the program with that special set
# (empty: the default), the grid stepped by KEYS (wtype arguments), OK, Copy, typed into the
# page. The password expected is the one the program copied.
round() {
    local browser=$1 label=$2 set=$3
    shift 3
    local config="$STACK_WORK/config-$browser-$label" i
    mkdir -p "$config/Tamsk"
    if [ -n "$set" ]; then
        local quoted=${set//\\/\\\\}
        printf '[PW]\nSC="%s"\n' "${quoted//\"/\\\"}" >"$config/Tamsk/glyphlock.conf"
    fi
    start_program "$browser/$label" env XDG_CONFIG_HOME="$config" XDG_DATA_HOME="$config" \
        "$BIN/glyphlock"
    sleep 0.5
    [ "$#" -gt 0 ] && wtype "$@"
    wtype -k Return
    for ((i = 0; i < 100; i++)); do
        [ "$(window_count Glyphlock)" -ge 2 ] && break
        sleep 0.1
    done
    sleep 0.5
    wtype -M alt o -m alt
    sleep 0.3
    local expected
    expected=$(wl-paste -n -t text/plain 2>/dev/null)
    if [ -z "$expected" ]; then
        fail "[$browser/$label] nothing was copied"
        stop_program
        return
    fi
    if [ -n "$set" ]; then
        local c found=""
        for ((i = 0; i < ${#expected}; i++)); do
            c=${expected:i:1}
            [[ "$set" == *"$c"* ]] && found=1
        done
        [ -n "$found" ] || fail "[$browser/$label] the password '$expected' holds none of the set"
    fi
    # The dialog is the newest window; its drag area is a little below its middle.
    local dx dy dw dh
    read -r dx dy dw dh <<<"$(glyphlock_rects | tail -n1)"
    type_into_page "$browser/$label" "$expected" $((dx + dw / 2)) $((dy + dh * 567 / 1000))
    stop_program
}

# driver_round BROWSER NAME: the password dialog over a stand-in main window types the named
# password: one with more distinct characters than one keymap takes, so the keyboard changes
# its keymap while it types.
driver_round() {
    local browser=$1 name=$2
    start_program "$browser/$name" "$BIN/e2e_PasswordDialogDriver" "$name"
    if ! stack_wait_for "$STACK_WORK/program.out" '^ready'; then
        fail "[$browser/$name] no dialog"
        stop_program
        return
    fi
    local wx wy ww wh x y w h
    read -r wx wy ww wh <<<"$(stack_sway_rect Glyphlock)"
    read -r x y w h <<<"$(awk '$1 == "local" && $2 == "dragArea" { print $3, $4, $5, $6 }' \
        "$STACK_WORK/program.out" | head -n1)"
    type_into_page "$browser/$name" "$("$BIN/e2e_LineEditTarget" --print "$name")" \
        $((wx + x + w / 2)) $((wy + y + h / 2))
    stop_program
}

# random_keys: wtype arguments that move the grid's cursor about and step cells.
random_keys() {
    local keys=() n
    for n in $(seq 6); do
        local moves=$((RANDOM % 4)) steps=$((1 + RANDOM % 5))
        for ((m = 0; m < moves; m++)); do
            if ((RANDOM % 2)); then keys+=(-k Right); else keys+=(-k Down); fi
        done
        for ((m = 0; m < steps; m++)); do keys+=(-k space); done
    done
    echo "${keys[@]}"
}

results=()
for browser in ${GLYPHLOCK_BROWSERS:-chromium firefox}; do
    start=$SECONDS
    start_browser "$browser" || continue
    echo "$browser: the page showed after $((SECONDS - start)) s"
    # shellcheck disable=SC2046
    for r in $(seq "$ROUNDS"); do
        round "$browser" "random$r" "" $(random_keys)
    done
    # Every character of this set comes before the digits: under a keymap that gives out keys
    # in code point order from Escape upwards, one of them would be on Escape.
    round "$browser" reserved ' !"#$%&'"'"'()*+,-./'
    driver_round "$browser" wide
    stop_browser
    echo "$browser: $((SECONDS - start)) s"
done
printf '%s\n' "${results[@]}"

if [ "$failures" -gt 0 ]; then
    echo "browsers on sway: $failures failures"
    exit 1
fi
echo "browsers on sway: all passed"
