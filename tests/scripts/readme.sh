#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The README's instructions as a fresh machine needs them: the package section names every
# package the build needs and builds without the tests (whose packages it does not install),
# and the stated requirements are the ones the build checks.
set -uo pipefail
root="$1"
readme="$root/README.md"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The first sh block after the heading.
install_block=$(awk '/^## Installing the package/ { section = 1; next }
                     section && /^```sh/ { inside = 1; next }
                     inside && /^```/ { exit }
                     inside { print }' "$readme")
[ -n "$install_block" ] || fail "no sh block under 'Installing the package'"
# Continued lines joined.
install_block=$(sed -e ':a' -e '/\\$/N; s/\\\n//; ta' <<<"$install_block")
grep -q -- "^cmake -S .*-DGLYPHLOCK_BUILD_TESTS=OFF" <<<"$install_block" ||
    fail "the configure step builds the tests"
apt_line=$(grep "apt-get install" <<<"$install_block" | grep -v '\.deb' | head -n1)
# A fresh machine's apt knows no packages until its lists are read.
first_apt=$(grep -o "apt-get [a-z]*" <<<"$install_block" | head -n1)
[ "$first_apt" = "apt-get update" ] || fail "the package section does not run apt-get update first"
# shellcheck source=/dev/null
BUILD_PACKAGES=()
eval "$(sed -n '/^BUILD_PACKAGES=(/,/)/p' "$root/scripts/lib.sh")"
for pkg in "${BUILD_PACKAGES[@]}" dpkg-dev file; do
    grep -qwF -- "$pkg" <<<"$apt_line" || fail "the package section does not install $pkg"
done

cmake_version=$(sed -n 's/^cmake_minimum_required(VERSION \([0-9.]*\).*/\1/p' \
    "$root/CMakeLists.txt")
qt_version=$(sed -n 's/^find_package(Qt6 \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
cxx_standard=$(sed -n 's/^set(CMAKE_CXX_STANDARD \([0-9]*\))/\1/p' "$root/CMakeLists.txt")
for needed in "CMake $cmake_version" "Qt $qt_version" "C++$cxx_standard"; do
    grep -qF -- "$needed" "$readme" || fail "the README does not state $needed"
done
grep -q "^## Uninstalling" "$readme" || fail "no Uninstalling section"
grep -q "apt-get remove glyphlock" "$readme" || fail "no way to remove the package"

[ "$failures" -eq 0 ] || exit 1
echo "README: package section and requirements match the build"
