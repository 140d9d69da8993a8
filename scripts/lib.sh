# Shared by scripts/run and scripts/test: installs missing Debian packages, configures, builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages needed to build the program, and Qt's Wayland plugin, which it runs on in a Wayland
# session (no library names the plugin: it is loaded at run time).
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev
                libx11-dev libxcb1-dev libxtst-dev libxfixes-dev libxkbcommon-dev pkg-config
                qt6-wayland qt6-wayland-dev libwayland-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
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
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
    fi
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
    local dir="$1"; shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}
