#!/usr/bin/env bash
# Re-creates every generated starter asset from the text art and the tune in
# tools/: assets/img/{fnt18,cat,ball,mat1}.png, assets/program/fontsheet.png
# and assets/audio/catbgm.ogg. Running it again gives the same bytes.
#
#   bash tools/make-assets.sh [build dir]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}

if ! command -v oggenc >/dev/null 2>&1; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends vorbis-tools
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --target makeassets

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build_dir/tools/makeassets" . "$work/catbgm.wav"
# A fixed stream serial keeps the Ogg file reproducible; oggenc adds no
# comments of its own besides the encoder library's vendor string.
oggenc --quiet --bitrate 96 --serial 1717 --output assets/audio/catbgm.ogg "$work/catbgm.wav"
echo "make-assets: assets written"
