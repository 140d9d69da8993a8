#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# bench/run must install what configuring the benchmarks needs on a fresh machine: every
# package that bench/CMakeLists.txt looks for is among the packages bench/run installs.
set -uo pipefail
root="$1"
# What each find_package of the benchmarks needs from Debian; Qt comes with the build packages.
declare -A debian=([benchmark]=libbenchmark-dev [OpenSSL:Crypto]=libssl-dev [X11]=libx11-dev
                   [X11:Xdamage]=libxdamage-dev [X11:Xext]=libxext-dev [X11:Xfixes]=libxfixes-dev [X11:XTest]=libxtst-dev)
BUILD_PACKAGES=()
eval "$(sed -n '/^BUILD_PACKAGES=(/,/)/p' "$root/scripts/lib.sh")"
# The packages bench/run asks for, with the shared lists expanded.
installed=$(bash -c 'ensure_packages() { printf "%s\n" "$@"; exit 0; }
                     source() { eval "$(sed -n "/^[A-Z_]*PACKAGES=(/,/)/p" "$1")"; }
                     . "$0"' "$root/bench/run" 2>/dev/null)
failures=0
while read -r name components; do
    [ "$name" = Qt6 ] && continue
    needs=()
    if [ -z "$components" ]; then
        needs+=("${debian[$name]:-?}")
    fi
    for component in $components; do
        needs+=("${debian[$name:$component]:-?}")
    done
    for pkg in "${needs[@]}"; do
        if [ "$pkg" = "?" ]; then
            echo "FAIL: find_package($name $components): add its Debian package here and to" \
                "bench/run"
            failures=$((failures + 1))
        elif ! grep -qxF -- "$pkg" <<<"$installed"; then
            echo "FAIL: bench/run does not install $pkg (find_package($name $components))"
            failures=$((failures + 1))
        fi
    done
done < <(sed -n 's/^find_package(\([A-Za-z0-9_]*\)[^)]*COMPONENTS \([^)]*\)).*/\1 \2/p;
                 s/^find_package(\([A-Za-z0-9_]*\) REQUIRED)$/\1/p' "$root/bench/CMakeLists.txt")
[ "$failures" -eq 0 ] || exit 1
echo "bench/run installs what the benchmarks look for"
