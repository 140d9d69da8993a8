#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Without dpkg-shlibdeps (dpkg-dev) cpack could not name the libraries the program needs: it
# must stop with a message that says so, not make a package that fails to start.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$(command -v cpack)" "$work/bin/cpack"

status=0
out="$(cd "$work" && PATH="$work/bin" cpack -G DEB -B "$work/out" \
    --config "$build/CPackConfig.cmake" 2>&1)" || status=$?
echo "$out"
if [ "$status" -eq 0 ] || ls "$work"/out/*.deb >/dev/null 2>&1; then
    echo "FAIL: a package was made without its dependencies"
    exit 1
fi
if ! grep -q "dpkg-dev" <<<"$out"; then
    echo "FAIL: the message does not say what to install"
    exit 1
fi
echo "without dpkg-dev: no package, and the message names dpkg-dev"
