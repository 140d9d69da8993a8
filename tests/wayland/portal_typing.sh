#!/usr/bin/env bash
# Typing through the remote-desktop portal on headless KDE (kwin_wayland) and GNOME (mutter):
# each desktop runs in a PID namespace of its own, as an unprivileged user, with its own session
# bus, so that everything it started ends with it.
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
            test -x "$BIN/wayland_PortalTypeDriver" 2>/dev/null; then
            copy=$(mktemp -d)
            chmod 755 "$copy"
            for program in wayland_PortalTypeDriver e2e_LineEditTarget e2e_PasswordDialogDriver \
                glyphlock-wl-clipboard; do
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
        timeout 40 "${STACK_NAMESPACE[@]}" "${as_user[@]}" env -i PATH="$PATH" LANG=C.UTF-8 LC_ALL=C.UTF-8 \
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
        cp "$work"/*.png "$work"/*.log "$ARTEFACTS"/ 2>/dev/null
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
    ;;
mutter)
    mutter --headless --wayland --no-x11 --wayland-display="$WAYLAND_DISPLAY" \
        --virtual-monitor 1280x1024 >"$WORK/compositor.log" 2>&1 &
    export XDG_CURRENT_DESKTOP=GNOME
    backend=/usr/libexec/xdg-desktop-portal-gnome
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

# start_target NAME PASSWORD: a window with a line edit, which has the keyboard focus.
start_target() {
    "$BIN/e2e_LineEditTarget" "$2" >"$WORK/target-$1.log" 2>&1 &
    target=$!
    wait_for "$WORK/target-$1.log" '^ready' || fail "$1: the target did not start"
}

# end_target NAME: ends the target, which reports what its line edit holds.
end_target() {
    kill -TERM "$target" 2>/dev/null
    wait "$target" 2>/dev/null
}

# received NAME: true when the target got its password exactly.
received() {
    grep -qx 'match' "$WORK/target-$1.log"
}

# received_nothing NAME: true when the target's line edit stayed empty.
received_nothing() {
    grep -qx 'text ' "$WORK/target-$1.log"
}

# answer_dialog LOG KEYS...: GNOME asks for consent in a dialog of its own; the keys answer it
# through mutter's own remote-desktop interface, again until the driver reports the outcome
# (the dialog takes its time to appear and to take the focus).
answer_dialog() {
    local log=$1
    shift
    for _ in $(seq 8); do
        grep -q '^session' "$log" && return 0
        echo "$*" >&7
        for _ in $(seq 30); do
            grep -q '^session' "$log" && return 0
            sleep 0.1
        done
    done
    grep -q '^session' "$log"
}

case "$DESKTOP" in
kwin)
    # No dialog on this desktop: the session starts at once.
    start_target ascii specials
    "$BIN/wayland_PortalTypeDriver" specials >"$WORK/driver-ascii.log" 2>&1
    grep -q '^session ready' "$WORK/driver-ascii.log" || fail "ascii: no session"
    end_target ascii
    received ascii || fail "ascii: the target did not get the password exactly"

    # A password with characters that this layout lacks is not typed at all.
    start_target foreign foreign
    "$BIN/wayland_PortalTypeDriver" foreign >"$WORK/driver-foreign.log" 2>&1
    grep -q '^not typed: layout' "$WORK/driver-foreign.log" ||
        fail "foreign: the driver did not report the layout"
    end_target foreign
    received_nothing foreign || fail "foreign: something was typed"

    # The clipboard after Copy and Exit (pressed by their keys): another client pastes it.
    "$BIN/e2e_PasswordDialogDriver" specials >"$WORK/dialog.log" 2>&1 &
    wait_for "$WORK/dialog.log" '^ready' || fail "clipboard: the dialog did not start"
    "$HERE/portal_keys.py" Alt_L+o wait:0.5 Alt_L+e >"$WORK/keys.log" 2>&1
    wait_for "$WORK/dialog.log" '^exitRequested 1' || fail "clipboard: Exit did not end"
    pasted=$(wl-paste -n -t text/plain 2>&1 | "$BIN/e2e_LineEditTarget" --stdin specials)
    [ "$pasted" = match ] || fail "clipboard: wl-paste after exit gave no password"
    [ "$(wl-paste -n -t x-kde-passwordManagerHint 2>&1)" = secret ] ||
        fail "clipboard: no secret mark"
    ;;
mutter)
    # One keyboard for the whole run: the first key of a new one can be lost.
    mkfifo "$WORK/keys"
    "$HERE/mutter_keys.py" <"$WORK/keys" >"$WORK/keys.log" 2>&1 &
    exec 7>"$WORK/keys"
    wait_for "$WORK/keys.log" '^ready' || fail "mutter's remote desktop did not start"

    # The driver asks first and the target opens once the dialog is answered: keys that reach
    # the desktop before the dialog has the focus must not land in the target.
    for case in consent refused; do
        rm -f "$WORK/go"
        mkfifo "$WORK/go"
        "$BIN/wayland_PortalTypeDriver" generated --wait <"$WORK/go" \
            >"$WORK/driver-$case.log" 2>&1 &
        driver=$!
        exec 8>"$WORK/go"
        if [ $case = consent ]; then
            answer_dialog "$WORK/driver-$case.log" Return wait:0.5 Alt_L+s
        else
            answer_dialog "$WORK/driver-$case.log" Escape
        fi || fail "$case: the dialog was not answered"
        start_target $case generated
        echo go >&8
        exec 8>&-
        wait "$driver"
        end_target $case
    done
    grep -q '^session ready' "$WORK/driver-consent.log" || fail "consent: no session"
    received consent || fail "consent: the target did not get the password exactly"
    grep -q '^session refused' "$WORK/driver-refused.log" || fail "refused: not reported"
    received_nothing refused || fail "refused: something was typed"
    ;;
esac
[ $failures -eq 0 ] && echo "PASS ($DESKTOP)"
exit $((failures > 0))
