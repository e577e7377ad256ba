#!/usr/bin/env bash
# Sets up a Debian 12 machine for QuillIDE, builds it, and then starts it
# ("start"), runs every test ("test") or makes the Debian package in
# build/package ("package"). Safe to run again: it installs only what is
# missing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-webengine-dev libgl-dev libzip-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          chromium firefox-esr libgl1-mesa-dri xvfb xauth unzip
          desktop-file-utils appstream dpkg-dev x11-utils dbus at-spi2-core)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    # Debian's npm conflicts with some installed Node.js builds: take
    # Debian's node and npm only when there is no node at all.
    command -v node >/dev/null 2>&1 || missing+=(nodejs npm)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    fi
}

build() {
    if [ ! -d node_modules ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
        npm ci --no-audit --no-fund
    fi
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build
}

package() {
    rm -f build/package/quillide_*.deb
    cpack -G DEB -B build/package --config build/CPackConfig.cmake
    ls build/package/quillide_*.deb
}

run_tests() {
    local status=0
    ctest --test-dir build --output-on-failure -j2 || status=1
    node --test --test-concurrency=1 tests/pages/ || status=1
    return $status
}

case "${1:-}" in
    start) install_missing; build; exec ./build/app/QuillIDE ;;
    test)  install_missing; build; run_tests ;;
    build) install_missing; build ;;
    package) install_missing; build; package ;;
    *) echo "usage: $0 start|test|build|package" >&2; exit 2 ;;
esac
