#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The real glyphlock on headless KDE (kwin_wayland) and GNOME (mutter), typing through the
# desktop's remote-desktop portal with the user's own gesture: a click in the drag area, then a
# click into another program's line edit. Each desktop runs in a PID namespace of its own, as an
# unprivileged user, with its own session bus, so that everything it started ends with it.
# Usage: portal_typing.sh BIN_DIR ARTEFACT_DIR [kwin|mutter...]
set -uo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
SELF="$HERE/$(basename "$0")"

if [ "${1:-}" != "--inside" ]; then
    BIN=$(cd "$1" && pwd)
    ARTEFACTS=$2
    shift 2
    desktops=("$@")
    [ ${#desktops[@]} -gt 0 ] || desktops=(kwin mutter)
    for tool in unshare setpriv dbus-daemon busctl; do
        command -v "$tool" >/dev/null || { echo "missing tool: $tool"; exit 1; }
    done
    source "$HERE/stack.sh"
    stack_namespace || exit
    # The desktops and their clients run in a UTF-8 locale also where the machine has none set.
    if ! locale -a 2>/dev/null | grep -qiE '^c\.utf-?8$'; then
        echo "missing locale: C.UTF-8 (Debian package libc-bin)"
        exit 1
    fi
    mkdir -p "$ARTEFACTS"
    copies=()
    if [ "$(id -u)" -eq 0 ]; then
        # A checkout or build tree closed to the desktop's user (one under /root): copies.
        if ! setpriv --reuid=65534 --regid=65534 --clear-groups test -r "$SELF" 2>/dev/null; then
            copy=$(mktemp -d)
            chmod 755 "$copy"
            cp "$HERE"/*.sh "$HERE"/*.py "$copy/"
            SELF="$copy/$(basename "$SELF")"
            copies+=("$copy")
        fi
        if ! setpriv --reuid=65534 --regid=65534 --clear-groups \
            test -x "$BIN/glyphlock" 2>/dev/null; then
            copy=$(mktemp -d)
            chmod 755 "$copy"
            for program in glyphlock glyphlock-wl-clipboard e2e_LineEditTarget; do
                cp "$BIN/$program" "$copy/"
            done
            BIN=$copy
            copies+=("$copy")
        fi
    fi
    status=0
    for desktop in "${desktops[@]}"; do
        work=$(mktemp -d)
        chmod 755 "$work"
        if [ "$(id -u)" -eq 0 ]; then
            # The desktops refuse root, and the portal checks its callers' uid.
            chown 65534:65534 "$work"
            as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        else
            as_user=()
        fi
        start=$(date +%s)
        # Past the time limit everything in the namespace ends. unshare ignores TERM (the KILL
        # after it ends unshare); the namespace's first process, which the kernel kills with it,
        # is a shell of the namespace's owner that waits for the run: the run's own shell would
        # lose that tie when it changes its user. The run itself ends by TERM.
        timeout -k 5 200 "${STACK_NAMESPACE[@]}" sh -c '"$@" & wait $!' sh \
            "${as_user[@]}" env -i PATH="$PATH" LANG=C.UTF-8 LC_ALL=C.UTF-8 \
            bash "$SELF" --inside "$desktop" "$BIN" "$work"
        result=$?
        echo "== $desktop: $(($(date +%s) - start)) s"
        if [ $result -ne 0 ]; then
            status=1
            for log in "$work"/*.log; do
                echo "--- $(basename "$log")"
                tail -n 15 "$log"
            done
        fi
        cp "$work"/*.log "$work"/*.wl "$ARTEFACTS"/ 2>/dev/null
        rm -rf "$work"
    done
    rm -rf "${copies[@]}"
    exit $status
fi

# Inside the namespace, as the desktop's user.
DESKTOP=$2
BIN=$3
WORK=$4
failures=0
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run"
export XDG_CONFIG_HOME="$HOME/.config" XDG_STATE_HOME="$HOME/.local/state"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1) || exit 1
export DBUS_SESSION_BUS_ADDRESS
export WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland
# Without client-side decorations a window's surface is its client area.
export QT_WAYLAND_DISABLE_WINDOWDECORATION=1

fail() {
    echo "FAIL ($DESKTOP): $*"
    failures=$((failures + 1))
}

# wait_for FILE PATTERN [TENTHS]: until a line of FILE matches (10 s unless told).
wait_for() {
    for _ in $(seq "${3:-100}"); do
        grep -q -- "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

case "$DESKTOP" in
kwin)
    # The installed binary carries a file capability that exec refuses here; a copy has none.
    cp "$(command -v kwin_wayland)" "$WORK/kwin_wayland"
    KWIN_COMPOSE=Q "$WORK/kwin_wayland" --virtual --width 1280 --height 800 \
        --socket "$WAYLAND_DISPLAY" --no-lockscreen --no-global-shortcuts --no-kactivities \
        >"$WORK/compositor.log" 2>&1 &
    export XDG_CURRENT_DESKTOP=KDE
    backend=/usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde
    screen=1280x800
    ;;
mutter)
    mutter --headless --wayland --no-x11 --wayland-display="$WAYLAND_DISPLAY" \
        --virtual-monitor 1280x1024 >"$WORK/compositor.log" 2>&1 &
    export XDG_CURRENT_DESKTOP=GNOME
    backend=/usr/libexec/xdg-desktop-portal-gnome
    screen=1280x1024
    ;;
esac
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { echo "$DESKTOP did not start"; exit 1; }
"$backend" >"$WORK/portal-backend.log" 2>&1 &
/usr/libexec/xdg-desktop-portal >"$WORK/portal.log" 2>&1 &
for _ in $(seq 150); do
    busctl --user get-property org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
        org.freedesktop.portal.RemoteDesktop version >/dev/null 2>&1 && break
    sleep 0.1
done
# What the portal answers (errors, and the outcome of each request), for the checks and the log.
dbus-monitor --session "type='error'" \
    "type='signal',interface='org.freedesktop.portal.Request',member='Response'" \
    "type='method_call',interface='org.freedesktop.portal.RemoteDesktop',member='CreateSession'" \
    >"$WORK/bus.log" 2>&1 &

# Keys and pointer, one session for the whole run.
mkfifo "$WORK/input"
"$HERE/remote_input.py" "$DESKTOP" "$screen" <"$WORK/input" >"$WORK/input.log" 2>&1 &
input_helper=$!
exec 7>"$WORK/input"
wait_for "$WORK/input.log" '^ready' || { echo "no remote input: $(cat "$WORK/input.log")"; exit 1; }

# input COMMAND...: one command to the input helper; prints its answer. Without the helper
# nothing more can be done: the run ends.
input() {
    local before
    before=$(wc -l <"$WORK/input.log")
    echo "$*" >&7
    while [ "$(wc -l <"$WORK/input.log")" -le "$before" ]; do
        if ! kill -0 "$input_helper" 2>/dev/null; then
            echo "FAIL ($DESKTOP): the remote input ended:" \
                "$(tail -n 3 "$WORK/input.log" | xargs)" >&2
            exit 1
        fi
        sleep 0.05
    done
    tail -n 1 "$WORK/input.log"
}

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# start_target NAME PASSWORD: a window with line edits, logging its Wayland events. KWin
# centres every new window, Glyphlock's main window above it: the target is moved to the top
# left corner, as a user would drag it (mutter places windows side by side itself).
start_target() {
    WAYLAND_DEBUG=1 "$BIN/e2e_LineEditTarget" "$2" >"$WORK/target-$1.log" \
        2>"$WORK/target-$1.wl" &
    target=$!
    wait_for "$WORK/target-$1.log" '^ready' || fail "$1: the target did not start"
    [ "$DESKTOP" = kwin ] || return 0
    cat >"$WORK/place.js" <<'JS'
var clients = workspace.clientList();
for (var i = 0; i < clients.length; i++) {
    if (clients[i].caption == "Target") {
        var g = clients[i].frameGeometry;
        clients[i].frameGeometry = {x: 20, y: 20, width: g.width, height: g.height};
    }
}
JS
    busctl --user call org.kde.KWin /Scripting org.kde.kwin.Scripting loadScript ss \
        "$WORK/place.js" "place-$1" >/dev/null
    busctl --user call org.kde.KWin /Scripting org.kde.kwin.Scripting start >/dev/null
    sleep 0.3
    busctl --user call org.kde.KWin /Scripting org.kde.kwin.Scripting unloadScript s \
        "place-$1" >/dev/null
}

# end_target NAME: ends the target, which reports what its line edit holds.
end_target() {
    kill -TERM "$target" 2>/dev/null
    wait "$target" 2>/dev/null
}

# received NAME: true when one of the target's line edits got its password exactly.
received() {
    grep -qx 'edit[123] match' "$WORK/target-$1.log"
}

# received_nothing NAME: true when the target's line edit stayed empty.
received_nothing() {
    grep -qx 'text ' "$WORK/target-$1.log"
}

# start_glyphlock NAME: the program as built, its grid as it starts; Enter makes the password and
# opens the password dialog. Logs its Wayland events to glyphlock-NAME.wl.
start_glyphlock() {
    WAYLAND_DEBUG=1 "$BIN/glyphlock" >"$WORK/glyphlock-$1.out" 2>"$WORK/glyphlock-$1.wl" &
    glyphlock=$!
    wait_for "$WORK/glyphlock-$1.wl" 'get_toplevel' || fail "$1: no main window"
    sleep 0.5
    # mutter gives a new window no keyboard while another has it: a click into the strip below
    # the grid (which changes nothing) brings it there.
    local found w h
    found=$(input find "$WORK/glyphlock-$1.wl")
    read -r _ _ _ w h <<<"$found"
    [ -n "$h" ] && [ "$(input point "$WORK/glyphlock-$1.wl" $((w / 2)) $((h - 12)))" != missing ] &&
        input click >/dev/null
    # The key only after the window has the keyboard.
    wait_for "$WORK/glyphlock-$1.wl" 'wl_keyboard@[0-9]*\.enter' 100
    input key Return >/dev/null
    for _ in $(seq 150); do
        [ "$(grep -c 'get_toplevel' "$WORK/glyphlock-$1.wl")" -ge 2 ] && break
        sleep 0.1
    done
    [ "$(grep -c 'get_toplevel' "$WORK/glyphlock-$1.wl")" -ge 2 ] ||
        fail "$1: Enter opened no password dialog"
    sleep 0.5
}

end_glyphlock() {
    kill -TERM "$glyphlock" 2>/dev/null
    wait "$glyphlock" 2>/dev/null
}

# watch_memory NAME PID: tries to open the program's memory as another process of the same
# user would, every 20 ms while it runs; every success is a line in memory-NAME.log.
watch_memory() {
    (
        while kill -0 "$2" 2>/dev/null; do
            if (exec 9<"/proc/$2/mem") 2>/dev/null; then
                echo "opened $(now_ms)"
            fi
            sleep 0.02
        done
    ) >"$WORK/memory-$1.log" 2>&1 &
}

memory_stayed_closed() {
    ! grep -q opened "$WORK/memory-$1.log"
}

# arm NAME: a click into the middle of the drag area (the dialog's middle, a little below).
arm() {
    local found w h
    found=$(input find "$WORK/glyphlock-$1.wl")
    read -r _ _ _ w h <<<"$found"
    [ -n "$h" ] || { fail "$1: the password dialog was not found ($found)"; return 1; }
    [ "$(input point "$WORK/glyphlock-$1.wl" $((w / 2)) $((h * 57 / 100)))" != missing ] ||
        { fail "$1: the drag area was not reached"; return 1; }
    armed_at=$(input click | cut -d' ' -f2)
}

# click_target NAME: a click into the first of the target's line edits that no other window
# covers.
click_target() {
    local edit x y w h
    for edit in edit edit2 edit3; do
        read -r _ _ x y w h <<<"$(grep "^geometry $edit " "$WORK/target-$1.log")"
        if [ "$(input point "$WORK/target-$1.wl" $((x + w / 2)) $((y + h / 2)))" != missing ]; then
            clicked_at=$(input click | cut -d' ' -f2)
            return 0
        fi
    done
    fail "$1: no line edit of the target could be reached"
    return 1
}

# session_answers: how many times the portal has answered a Start with the keyboard.
session_answers() {
    grep -c 'string "devices"' "$WORK/bus.log"
}

# type_case NAME PASSWORD [CONSENT-KEYS...]: the whole gesture; on GNOME the keys answer the
# desktop's consent dialog in between. Reports the times and leaves the target's verdict.
type_case() {
    local name=$1 password=$2
    shift 2
    local answers
    echo "$(date +%T) $name ($DESKTOP)"
    answers=$(session_answers)
    start_target "$name" "$password"
    start_glyphlock "$name"
    watch_memory "$name" "$glyphlock"
    arm "$name" || return
    if [ $# -gt 0 ]; then
        # The dialog takes its time to appear and to take the focus: the keys go again until
        # the portal answers.
        for _ in $(seq 8); do
            sleep 1.5
            grep -q "member=Response" "$WORK/bus.log" &&
                [ "$(grep -c '^   uint32 [12]$' "$WORK/bus.log")" -gt "${refusals:-0}" ] && break
            [ "$(session_answers)" -gt "$answers" ] && break
            input key "$@" >/dev/null
        done
        refusals=$(grep -c '^   uint32 [12]$' "$WORK/bus.log")
    fi
    sleep 1
    click_target "$name" || return
    wait_for "$WORK/target-$name.log" "^edit[123] match" 50
    sleep 0.5
    local last
    last=$(grep '^typed ' "$WORK/target-$name.log" | tail -n 1 | cut -d' ' -f2)
    [ -n "$last" ] && echo "$name ($DESKTOP): typed $((last - clicked_at)) ms after the click" \
        "into the target, $((last - armed_at)) ms after the click in the drag area"
    end_target "$name"
    memory_stayed_closed "$name" || fail "$name: another process opened the program's memory"
    end_glyphlock
}

# The check of the memory would pass for any process if it could open none: it opens that of
# the target, an ordinary program of the same user.
start_target control generated
(exec 9<"/proc/$target/mem") 2>/dev/null ||
    fail "control: the memory of an ordinary program could not be opened either"
end_target control

case "$DESKTOP" in
kwin)
    # No dialog on this desktop: the session starts at once.
    type_case typed generated
    received typed || fail "typed: the target did not get the password exactly"

    # A special set that the US layout lacks: nothing typed at all.
    mkdir -p "$XDG_CONFIG_HOME/Tamsk"
    printf '[PW]\nSC=éèêëàâäôöûüçñß€\n' >"$XDG_CONFIG_HOME/Tamsk/glyphlock.conf"
    type_case foreign generatedForeign
    received_nothing foreign || fail "foreign: something was typed"
    rm -rf "$XDG_CONFIG_HOME/Tamsk"

    # Storage that cannot be used leaves typing and the special set as they are: the settings
    # file a link to a pipe, the settings folder read-only, the state folder not writable.
    mkdir -p "$WORK/fixtures" "$XDG_CONFIG_HOME/Tamsk"
    mkfifo "$WORK/fixtures/pipe"
    ln -s "$WORK/fixtures/pipe" "$XDG_CONFIG_HOME/Tamsk/glyphlock.conf"
    type_case pipe generated
    received pipe || fail "pipe: the target did not get the password exactly"
    rm -f "$XDG_CONFIG_HOME/Tamsk/glyphlock.conf"
    chmod 500 "$XDG_CONFIG_HOME/Tamsk"
    mkdir -p "$XDG_STATE_HOME"
    chmod 500 "$XDG_STATE_HOME"
    type_case readonly generated
    received readonly || fail "readonly: the target did not get the password exactly"
    chmod 700 "$XDG_CONFIG_HOME/Tamsk" "$XDG_STATE_HOME"
    rm -rf "$XDG_CONFIG_HOME/Tamsk"

    # The clipboard after Copy and Exit (pressed by their keys): another client pastes it.
    start_glyphlock clipboard
    input key Alt_L+o wait:0.5 Alt_L+e >/dev/null
    for _ in $(seq 50); do kill -0 "$glyphlock" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$glyphlock" 2>/dev/null && fail "clipboard: Exit did not end the program"
    pasted=$(wl-paste -n -t text/plain 2>&1 | "$BIN/e2e_LineEditTarget" --stdin generated)
    [ "$pasted" = match ] || fail "clipboard: wl-paste after exit gave no password"
    [ "$(wl-paste -n -t x-kde-passwordManagerHint 2>&1)" = secret ] ||
        fail "clipboard: no secret mark"
    end_glyphlock
    ;;
mutter)
    # GNOME asks in a dialog of its own; keys through mutter's own interface answer it.
    type_case consent generated Return wait:0.5 Alt_L+s
    received consent || fail "consent: the target did not get the password exactly"
    type_case refused generated Escape
    received_nothing refused || fail "refused: something was typed"
    grep -q '^   uint32 1$' "$WORK/bus.log" || fail "refused: the portal did not report a refusal"

    # The clipboard after Copy and Exit (pressed by their keys): another client takes the
    # keyboard and pastes.
    start_glyphlock clipboard
    input key Alt_L+o >/dev/null
    for _ in $(seq 30); do
        [ "$(grep -c 'get_toplevel' "$WORK/glyphlock-clipboard.wl")" -ge 3 ] && break
        sleep 0.1
    done
    # mutter keeps a copy of the text: a message that it goes with the program would be wrong.
    [ "$(grep -c 'get_toplevel' "$WORK/glyphlock-clipboard.wl")" -ge 3 ] &&
        fail "clipboard: the first Copy said that the clipboard ends with the program"
    input key Alt_L+e >/dev/null
    for _ in $(seq 50); do kill -0 "$glyphlock" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$glyphlock" 2>/dev/null && fail "clipboard: Exit did not end the program"
    end_glyphlock
    start_target paste generated
    click_target paste
    input key Control_L+v >/dev/null
    sleep 1
    # What the desktop offers now (the secret mark is x-kde-passwordManagerHint).
    echo "clipboard ($DESKTOP): types offered after exit: $(timeout 5 wl-paste -l 2>&1 | xargs)"
    end_target paste
    received paste || fail "clipboard: nothing to paste after Exit" \
        "($(grep '^text ' "$WORK/target-paste.log"))"
    ;;
esac
kill -0 "$input_helper" 2>/dev/null || fail "the remote input ended"
if grep -q 'Unable to open /proc' "$WORK/bus.log"; then
    fail "the portal could not identify the program: $(grep -m1 -A1 'Unable to open' "$WORK/bus.log" | xargs)"
fi
[ $failures -eq 0 ] && echo "PASS ($DESKTOP)"
exit $((failures > 0))
