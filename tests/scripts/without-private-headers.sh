#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Configuring with the tests on a machine without Qt's private headers (Debian ships them in
# qt6-base-private-dev) stops with a message that names the package, not with an error about
# Qt's own CMake files. As root it hides the headers in a mount namespace of its own (nothing
# outside it sees the change); otherwise it skips (77).
# Usage: without-private-headers.sh SOURCE_DIR
set -uo pipefail
root="$1"
if [ "$(id -u)" -ne 0 ] || ! unshare --mount true 2>/dev/null; then
    echo "SKIP: hiding Qt's private headers takes root and a mount namespace"
    exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Qt's private headers live in a folder named after its version beside each module's headers.
unshare --mount bash -c '
    for dir in /usr/include/*/qt6/*/[0-9]*.[0-9]*; do
        [ -d "$dir" ] && mount -t tmpfs -o ro,size=4k hidden "$dir"
    done
    exec cmake -S "$1" -B "$2" -G Ninja -DGLYPHLOCK_BUILD_TESTS=ON' _ "$root" "$work/build" \
    >"$work/log" 2>&1
status=$?
cat "$work/log"
if [ "$status" -eq 0 ]; then
    echo "FAIL: configured without the private headers"
    exit 1
fi
grep -q "qt6-base-private-dev" "$work/log" || {
    echo "FAIL: the error does not name the package to install"
    exit 1
}
grep -q "non-existent path" "$work/log" && {
    echo "FAIL: Qt's CMake files stopped first"
    exit 1
}
echo "without the private headers: configuring names qt6-base-private-dev"
