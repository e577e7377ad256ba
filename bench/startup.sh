#!/usr/bin/env bash
# Start-up time of QuillIDE, from process start to the main window's first
# paint, against bare Qt windows that link the same libraries.
#
#   bench/startup.sh [build-dir] [runs]      (defaults: build, 30)
#
# Needs the probes: cmake --build <build-dir> --target startup_quill
# startup_bare_widgets startup_bare_webengine. Runs under one X server (it
# starts xvfb-run itself when no DISPLAY is set); the four kinds of start are
# alternated within each round so that drift of the machine hits all alike.
set -euo pipefail

build=${1:-build}
runs=${2:-30}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi

probes=$(cd "$build/bench" && pwd)
for probe in startup_quill startup_bare_widgets startup_bare_webengine; do
  [ -x "$probes/$probe" ] || { echo "missing $probes/$probe" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# An installed workspace for ordinary starts: a first start closed normally.
installed="$scratch/installed"
mkdir "$installed"
XDG_DATA_HOME="$installed" "$probes/startup_quill" --save 2>/dev/null
[ -f "$installed/QuillIDE/quillide.ini" ] || { echo "workspace not installed" >&2; exit 1; }

# Wall time of one run in microseconds.
elapsed_us() {
  local start end
  start=$(date +%s%N)
  "$@" 2>/dev/null
  end=$(date +%s%N)
  echo $(( (end - start) / 1000 ))
}

: >"$scratch/quill" ; : >"$scratch/firstrun" ; : >"$scratch/webengine" ; : >"$scratch/widgets"
for ((round = 0; round < runs; round++)); do
  XDG_DATA_HOME="$installed" elapsed_us "$probes/startup_quill" >>"$scratch/quill"
  elapsed_us "$probes/startup_bare_webengine" >>"$scratch/webengine"
  fresh="$scratch/fresh$round"
  mkdir "$fresh"
  XDG_DATA_HOME="$fresh" elapsed_us "$probes/startup_quill" >>"$scratch/firstrun"
  rm -rf "$fresh"
  elapsed_us "$probes/startup_bare_widgets" >>"$scratch/widgets"
done

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
quill=$(median "$scratch/quill")
firstrun=$(median "$scratch/firstrun")
webengine=$(median "$scratch/webengine")
widgets=$(median "$scratch/widgets")

awk -v q="$quill" -v f="$firstrun" -v e="$webengine" -v w="$widgets" -v n="$runs" 'BEGIN {
  printf "start-up to first paint, median of %d runs (ms)\n", n
  printf "  QuillIDE, ordinary start      %8.1f\n", q / 1000
  printf "  QuillIDE, first run           %8.1f\n", f / 1000
  printf "  bare window + WebEngine libs  %8.1f\n", e / 1000
  printf "  bare window, Widgets only     %8.1f\n", w / 1000
  printf "ratios\n"
  printf "  QuillIDE / bare-webengine     %8.2f  (target at most 1.5)\n", q / e
  printf "  QuillIDE / bare-widgets       %8.2f\n", q / w
  printf "  first run / ordinary          %8.2f  (target at most 1.2)\n", f / q
}'
