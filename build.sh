#!/usr/bin/env bash
# Sets up, builds and then runs or tests Moonbite.
#   ./build.sh run    install what is missing, build, start Moonbite (the desktop program)
#   ./build.sh test   install what is missing, build, run the whole test suite
#   ./build.sh build  install what is missing and build
# Environment: BUILD_DIR (default build), MOONBITE_WERROR=ON, MOONBITE_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev zlib1g-dev
          qt6-base-dev qt6-charts-dev qt6-svg-dev libgl-dev qt6-qpa-plugins
          libqt6opengl6-dev libxkbcommon-dev libvulkan-dev fonts-dejavu-core xvfb xauth
          poppler-utils desktop-file-utils appstream dpkg-dev file man-db
          libical-dev python3-icalendar libcctz-dev
          libxcb1-dev dbus-daemon trayer libtcd-dev xtide-data)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get install -y --no-install-recommends "${missing[@]}" ||
        { $sudo apt-get update && $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
}

build() {
    local dir="${BUILD_DIR:-build}"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" \
        -DMOONBITE_WERROR="${MOONBITE_WERROR:-OFF}" -DMOONBITE_SANITIZE="${MOONBITE_SANITIZE:-OFF}" >/dev/null
    cmake --build "$dir"
}

case "${1:-}" in
    run)
        install_missing
        build
        exec "${BUILD_DIR:-build}/app/moonbite"
        ;;
    test)
        install_missing
        build
        ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure --timeout 300 -j "$(nproc)"
        ;;
    build)
        install_missing
        build
        ;;
    *)
        echo "usage: $0 run|test|build" >&2
        exit 2
        ;;
esac
