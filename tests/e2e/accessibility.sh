#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The real program as a screen reader meets it: on an X server and a session bus of their own,
# with the AT-SPI bus and registry, atspi_check.py reads the program's accessible tree.
# Usage: accessibility.sh BIN_DIR
set -uo pipefail

# A session bus of its own, ended with the script.
if [ -z "${GLYPHLOCK_E2E_OWN_BUS:-}" ]; then
    GLYPHLOCK_E2E_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
source "$HERE/common.sh"
trap cleanup EXIT

LAUNCHER=/usr/libexec/at-spi-bus-launcher
# The system's Python, which the packaged bindings belong to (not one on PATH before it).
PYTHON=/usr/bin/python3
require_tools Xvfb xdotool gdbus
[ -x "$LAUNCHER" ] || { echo "missing: $LAUNCHER (at-spi2-core)"; exit 1; }
"$PYTHON" -c 'import pyatspi' 2>/dev/null || { echo "missing: pyatspi (python3-pyatspi)"; exit 1; }
start_xserver

# The accessibility bus; its registry starts on the first question.
"$LAUNCHER" --launch-immediately &
started+=($!)
for _ in $(seq 100); do
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
    sleep 0.1
done

# The desktop's opener, as the program finds it on PATH: a stand-in that writes down what it
# was asked to open.
mkdir -p "$WORK/bin" "$WORK/home"
cat >"$WORK/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" > '$WORK/opened.part' && mv '$WORK/opened.part' '$WORK/opened'
EOF
chmod +x "$WORK/bin/xdg-open"
touch "$WORK/opened"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PATH="$WORK/bin:$PATH" XDG_CONFIG_HOME="$WORK/home" \
    XDG_DATA_HOME="$WORK/home" "$BIN/glyphlock" >"$WORK/program.out" 2>&1 &
program=$!
started+=($program)

"$PYTHON" "$HERE/atspi_check.py" "$("$BIN/e2e_LineEditTarget" --print generated)" "$WORK/opened"
status=$?
# The program goes before its X server.
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
[ "$status" -eq 0 ] && echo "all accessibility checks passed"
exit "$status"
