#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# A user who is not root, on a Debian without sudo, is told what to run as root instead of
# getting "sudo: command not found".
set -euo pipefail
root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
# Only the tools the scripts need before they install anything; no sudo among them.
for tool in bash dirname basename grep cat; do
    ln -s "$(command -v "$tool")" "$work/bin/$tool"
done
printf '#!/bin/sh\necho 1000\n' >"$work/bin/id"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
chmod +x "$work/bin/id" "$work/bin/dpkg-query"

status=0
out="$(PATH="$work/bin" bash -c 'source "$1/scripts/lib.sh"; ensure_packages pkg-one pkg-two' \
    _ "$root" 2>&1)" || status=$?
echo "$out"
if [ "$status" -eq 0 ]; then
    echo "FAIL: went on without the packages"
    exit 1
fi
if ! grep -q "apt-get install.* pkg-one pkg-two" <<<"$out" || ! grep -q "as root" <<<"$out"; then
    echo "FAIL: no command to run as root"
    exit 1
fi
if grep -q "not found" <<<"$out"; then
    echo "FAIL: a command was missing"
    exit 1
fi
echo "without sudo: the command to run as root is named"
