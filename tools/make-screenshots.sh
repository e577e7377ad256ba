#!/usr/bin/env bash
# Makes the README's pictures again: docs/code-page.png (the Code page with
# the cat sample open), docs/running-game.png (the cat sample running) and
# docs/pad-game.png (the pad sample running with the pad drawn over it), as
# QuillIDE draws them on a private virtual display from a fresh workspace.
#
#   bash tools/make-screenshots.sh [build dir]   # default build dir: build
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

cmake --build "$build" --target quillshots >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/runtime"
# A fresh workspace and state folder: the pictures show the starter files.
XDG_DATA_HOME="$scratch/data" XDG_STATE_HOME="$scratch/state" XDG_CONFIG_HOME="$scratch/config" \
XDG_RUNTIME_DIR="$scratch/runtime" HOME="$scratch" \
    bash tools/on-xvfb.sh "$build/tools/quillshots" docs 2>"$scratch/log" || {
    cat "$scratch/log" >&2
    exit 1
}
ls -l docs/code-page.png docs/running-game.png docs/pad-game.png
