#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the build into a temporary DESTDIR and checks the desktop files with the validators.
set -euo pipefail
build="$1"
readme="$2"
dest="$(mktemp -d)"
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null

for f in usr/bin/glyphlock usr/bin/glyphlock-wl-clipboard \
         usr/share/applications/com.example.Glyphlock.desktop \
         usr/share/metainfo/com.example.Glyphlock.metainfo.xml \
         usr/share/icons/hicolor/48x48/apps/com.example.Glyphlock.png \
         usr/share/icons/hicolor/256x256/apps/com.example.Glyphlock.png \
         usr/share/doc/glyphlock/copyright \
         usr/share/doc/glyphlock/changelog.gz; do
    [ -e "$dest/$f" ] || { echo "missing after install: $f"; exit 1; }
done
# The README's package section names every program the package installs.
for program in "$dest"/usr/bin/*; do
    grep -qF "\`/usr/bin/$(basename "$program")\`" "$readme" ||
        { echo "the README does not name /usr/bin/$(basename "$program")"; exit 1; }
done
desktop-file-validate "$dest/usr/share/applications/com.example.Glyphlock.desktop"
appstreamcli validate --no-net "$dest/usr/share/metainfo/com.example.Glyphlock.metainfo.xml"
file "$dest/usr/share/icons/hicolor/256x256/apps/com.example.Glyphlock.png" | grep -q "256 x 256"
gzip -t "$dest/usr/share/doc/glyphlock/changelog.gz"
echo "install layout and desktop files valid"
