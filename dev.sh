#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quendra and builds it.
#   bash dev.sh run    installs what is missing, builds and starts the program
#   bash dev.sh test   installs what is missing, builds and runs every test, in a normal
#                      build and again with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libpcre2-dev libexiv2-dev qt6-translations-l10n libgtest-dev fonts-noto-cjk
    fusefat dosfstools
    dpkg-dev file desktop-file-utils appstream)

install_missing() {
    local missing=() pkg
    for pkg in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

case "${1:-}" in
run)
    install_missing
    cmake --preset default -DQUENDRA_BUILD_TESTS=OFF
    cmake --build --preset default --target quendra-rename
    exec build/default/quendra-rename
    ;;
test)
    install_missing
    for preset in default asan; do
        cmake --preset "$preset" -DQUENDRA_BUILD_TESTS=ON
        cmake --build --preset "$preset"
        ctest --preset "$preset"
    done
    ;;
*)
    echo "usage: bash dev.sh run|test" >&2
    exit 2
    ;;
esac
