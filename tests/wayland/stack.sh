# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Shared by the Wayland end-to-end runs (source it): runs the calling script in a PID
# namespace of its own, as an unprivileged user, so that a compositor, its helpers and every
# client end with the script; and starts the pieces of a headless desktop there.

# stack_namespace: sets STACK_NAMESPACE to the command that runs a program in a PID namespace
# of its own with its own /proc (for a user other than root, in a user namespace too), or
# says why there is none and returns 77, the tests' "skipped".
# unshare first makes every mount of the new mount namespace private, which fails with "cannot
# change root filesystem propagation" where / is no mount point (in a chroot): as root there
# only /proc, the one mount it makes, is made private first, so that nothing reaches the
# mounts outside.
stack_namespace() {
    if [ "$(id -u)" -eq 0 ]; then
        if unshare --mount true 2>/dev/null; then
            STACK_NAMESPACE=(unshare --pid --fork --kill-child --mount-proc)
        elif mountpoint -q /proc &&
            unshare --mount --propagation unchanged mount --make-rprivate /proc; then
            STACK_NAMESPACE=(unshare --pid --fork --kill-child --mount --propagation unchanged
                sh -c 'mount --make-rprivate /proc && mount -t proc proc /proc && exec "$@"' sh)
        else
            echo "SKIP: no PID namespace with its own /proc can be made here"
            return 77
        fi
    elif unshare --user --map-current-user true 2>/dev/null; then
        STACK_NAMESPACE=(unshare --user --map-current-user --pid --fork --kill-child --mount-proc)
    else
        echo "SKIP: this user cannot make a user namespace here (in a chroot, or not allowed" \
            "by the kernel): run as root"
        return 77
    fi
}

# stack_isolate "$@": re-executes the calling script inside its own PID namespace, as user
# nobody when started as root (compositors refuse to run as root). Returns inside.
# Folders named in STACK_WRITABLE (space separated) are made writable for that user first.
stack_isolate() {
    if [ -n "${GLYPHLOCK_STACK_INSIDE:-}" ]; then
        return 0
    fi
    export GLYPHLOCK_STACK_INSIDE=1
    local script
    script="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
    if [ "$(id -u)" -eq 0 ]; then
        if ! setpriv --reuid=65534 --regid=65534 --clear-groups test -r "$script" 2>/dev/null; then
            # A checkout closed to that user: run a copy of the scripts.
            local copy
            copy="$(mktemp -d)"
            chmod 755 "$copy"
            cp "$(dirname "$script")"/*.sh "$copy/"
            script="$copy/$(basename "$script")"
        fi
        local dir
        for dir in ${STACK_WRITABLE:-}; do
            mkdir -p "$dir"
            chown 65534:65534 "$dir"
        done
        stack_namespace || exit
        exec "${STACK_NAMESPACE[@]}" \
            setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all \
            env HOME=/nonexistent bash "$script" "$@"
    fi
    stack_namespace || exit
    exec "${STACK_NAMESPACE[@]}" bash "$script" "$@"
}

# stack_reachable_bin DIR PROGRAM...: prints a folder holding the programs that the
# unprivileged user can run: DIR itself, or (when a parent of DIR is closed to that user, as a
# build tree under /root is) a copy of them in a fresh world-readable folder.
stack_reachable_bin() {
    local dir="$1"
    shift
    if [ "$(id -u)" -ne 0 ] ||
        setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$dir/$1" 2>/dev/null; then
        echo "$dir"
        return
    fi
    local copy
    copy="$(mktemp -d)"
    chmod 755 "$copy"
    local program
    for program in "$@"; do
        cp "$dir/$program" "$copy/"
    done
    echo "$copy"
}

# stack_init: a private runtime folder, home and settings, and a work folder ($STACK_WORK).
stack_init() {
    STACK_WORK="$(mktemp -d)"
    export XDG_RUNTIME_DIR="$STACK_WORK/runtime"
    export HOME="$STACK_WORK/home"
    export XDG_CONFIG_HOME="$HOME/.config"
    export XDG_DATA_HOME="$HOME/.local/share"
    mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
    # What the clients type and show, in a UTF-8 locale also where the machine has none set.
    if ! locale -a 2>/dev/null | grep -qiE '^c\.utf-?8$'; then
        echo "missing locale: C.UTF-8 (Debian package libc-bin)"
        return 1
    fi
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    unset LANGUAGE
    unset DISPLAY WAYLAND_DISPLAY SWAYSOCK DBUS_SESSION_BUS_ADDRESS
    # Clients of the tests: native Wayland, surfaces without Qt's own title bars, so that a
    # surface is its client area.
    export QT_QPA_PLATFORM=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=1
    trap 'rm -rf "$STACK_WORK"' EXIT
}

# stack_wait_for FILE PATTERN [TENTHS]: until a line of FILE matches (10 s unless told).
stack_wait_for() {
    local i
    for ((i = 0; i < ${3:-100}; i++)); do
        grep -q -- "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# stack_start_sway WIDTH HEIGHT: a headless sway with one output of that size, no XWayland,
# no focus change on hover. Sets WAYLAND_DISPLAY and SWAYSOCK.
stack_start_sway() {
    cat >"$STACK_WORK/sway.conf" <<EOF
xwayland disable
output HEADLESS-1 resolution ${1}x${2} position 0 0
focus_follows_mouse no
EOF
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$STACK_WORK/sway.conf" >"$STACK_WORK/sway.log" 2>&1 &
    local i
    for ((i = 0; i < 100; i++)); do
        SWAYSOCK="$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1)"
        [ -S "$XDG_RUNTIME_DIR/wayland-1" ] && [ -n "$SWAYSOCK" ] && break
        sleep 0.1
    done
    export WAYLAND_DISPLAY=wayland-1 SWAYSOCK
    if ! swaymsg -t get_version >/dev/null 2>&1; then
        echo "sway did not start:"
        cat "$STACK_WORK/sway.log"
        return 1
    fi
    # Headless sway's seat has no keyboard of its own: without one that stays, the first key
    # of a new keyboard can be lost and windows lose activation when a keyboard goes.
    wtype -s 3600000 &
    sleep 0.3
}

# stack_sway_rect TITLE: "x y w h" of the client area of the window with that title.
stack_sway_rect() {
    swaymsg -t get_tree | jq -r --arg title "$1" '
        [recurse(.nodes[]?, .floating_nodes[]?) | select(.name == $title)][0]
        | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"'
}

# stack_start_pointer WIDTH HEIGHT: a virtual pointer taking commands through stack_pointer.
stack_start_pointer() {
    mkfifo "$STACK_WORK/pointer.in"
    "$STACK_BIN/wl-virtual-pointer" "$1" "$2" <"$STACK_WORK/pointer.in" \
        >"$STACK_WORK/pointer.out" 2>&1 &
    exec 7>"$STACK_WORK/pointer.in"
}

# stack_pointer COMMAND...: one command ("move X Y", "click", "press", "release"), answered.
stack_pointer() {
    local before
    before=$(grep -c '^ok$' "$STACK_WORK/pointer.out" 2>/dev/null || true)
    echo "$*" >&7
    local i
    for ((i = 0; i < 50; i++)); do
        [ "$(grep -c '^ok$' "$STACK_WORK/pointer.out")" -gt "$before" ] && return 0
        sleep 0.05
    done
    echo "the pointer did not answer: $(cat "$STACK_WORK/pointer.out")"
    return 1
}

# stack_click_at X Y: moves there, lets the client see the pointer arrive, clicks.
stack_click_at() {
    stack_pointer move "$1" "$2" && sleep 0.15 && stack_pointer click
}
