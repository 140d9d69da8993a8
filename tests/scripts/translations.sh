#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The shipped translations are complete and current: lupdate, run over the sources into a copy
# of each catalogue, finds no text without a translation, none marked unfinished, none that has
# vanished from the code, and changes nothing else.
set -uo pipefail
root="$1"
lupdate="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
shopt -s nullglob
catalogues=("$root"/translations/*.ts)
[ "${#catalogues[@]}" -gt 0 ] || { echo "FAIL: no catalogues in translations/"; exit 1; }
for ts in "${catalogues[@]}"; do
    name="$(basename "$ts")"
    cp "$ts" "$work/$name"
    if ! "$lupdate" -silent -locations none -no-ui-lines "$root/src" -ts "$work/$name"; then
        echo "FAIL: lupdate could not read the sources into $name"
        failures=$((failures + 1))
        continue
    fi
    bad="$(grep -c -E 'type="(unfinished|vanished|obsolete)"' "$work/$name")"
    if [ "$bad" -gt 0 ]; then
        echo "FAIL: $name has $bad texts without a current translation:"
        grep -B2 -E 'type="(unfinished|vanished|obsolete)"' "$work/$name" | grep '<source>'
        failures=$((failures + 1))
    elif ! diff -u "$ts" "$work/$name"; then
        echo "FAIL: $name is not what lupdate makes of the sources (run lupdate, see README)"
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "translations: ${#catalogues[@]} catalogues complete and current"
