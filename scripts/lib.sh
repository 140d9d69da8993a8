# SPDX-FileCopyrightText: 2026 Tamsk
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Shared by scripts/run and scripts/test: installs missing Debian packages, configures, builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages needed to build the program, and Qt's Wayland plugin, which it runs on in a Wayland
# session (no library names the plugin: it is loaded at run time).
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev
                libx11-dev libxcb1-dev libxtst-dev libxfixes-dev libxcursor-dev libxkbcommon-dev
                pkg-config qt6-wayland qt6-wayland-dev libwayland-dev qt6-tools-dev
                qt6-l10n-tools qt6-translations-l10n
                libfontconfig-dev)
# And to build and run the benchmarks (bench/run, bench/startup; scripts/test builds them).
BENCH_PACKAGES=(libssl-dev libbenchmark-dev libxdamage-dev libxext-dev xvfb dbus-daemon
                fonts-dejavu-core)

# A Debian installed with a root password has no sudo: such users run the step as root.
have_root() {
    [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null 2>&1
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "$0 needs root for: $*" >&2
        echo "There is no sudo here: run $0 as root (su -)." >&2
        exit 1
    fi
}

# ensure_packages PKG...: installs only what is missing, after one apt-get update.
ensure_packages() {
    local missing=()
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        if ! have_root; then
            echo "$0 needs these Debian packages: ${missing[*]}" >&2
            echo "There is no sudo here: run this as root (su -), then $0 again:" >&2
            echo "    apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
            exit 1
        fi
        echo "Installing: ${missing[*]}"
        echo "  reading the package lists (apt-get update)"
        as_root apt-get update -qq
        # apt's machine-readable progress (on standard output, where the rest is dropped): a
        # line per tenth of the download and of the installation, which take minutes.
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
            --no-install-recommends -o APT::Status-Fd=1 "${missing[@]}" | apt_progress
        echo "  done"
    fi
}

# apt_progress: reads apt-get's output with its status lines and prints the size to download
# and a line whenever the download or the installation has come another tenth of the way.
apt_progress() {
    local line fields field percent step shown=-1 phase="" last=""
    while IFS= read -r line; do
        case "$line" in
        "Need to get "*) echo "  ${line%.}" ;;
        dlstatus:* | pmstatus:*)
            # dlstatus:ITEM:PERCENT:TEXT, pmstatus:PACKAGE[:ARCH]:PERCENT:TEXT
            IFS=: read -ra fields <<<"$line"
            percent=""
            for field in "${fields[@]:2}"; do
                if [[ "$field" =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
                    percent="$field"
                    break
                fi
            done
            [ -n "$percent" ] || continue
            phase=downloading
            [ "${fields[0]}" = pmstatus ] && phase=installing
            step=$((${percent%%.*} / 10 * 10))
            if [ "$phase" != "$last" ] || [ "$step" -gt "$shown" ]; then
                echo "  $phase: $step %"
                shown=$step
                last=$phase
            fi
            ;;
        esac
    done
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
    local dir="$1"; shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}
