#!/usr/bin/env bash
# Run to the game's first ticker frame with every image loaded, against a
# plain QWebEngineView loading the same generated page and seen by the same
# probe: warm (both views made and used once, paired rounds in one process,
# with the times at which the last image and the last sound had loaded in
# each) and cold (the first load of a fresh process, paired processes
# A B B A), for the cat sample and the 3D sample.
#
#   bench/runview.sh [build-dir] [pairs]      (defaults: build, 100)
#
# A first frame waits for the next display refresh, up to 16.7 ms on a load
# of about 20-30 ms, so single rounds scatter widely: with 30 pairs the warm
# ratio of the same build still moved by up to 0.1 from run to run.
#
# Needs: cmake --build <build-dir> --target bench_runview. Runs under Xvfb and
# a private session bus; a run that hangs is ended after 60 s and counted.
set -euo pipefail

build=${1:-build}
pairs=${2:-100}
if [ -z "${DISPLAY:-}" ]; then
  exec bash "$(dirname "$0")/../tools/on-xvfb.sh" "$0" "$build" "$pairs"
fi
if [ -z "${QUILL_BENCH_BUS:-}" ]; then
  export QUILL_BENCH_BUS=1
  exec dbus-run-session -- "$0" "$build" "$pairs"
fi

probe="$build/bench/bench_runview"
[ -x "$probe" ] || { echo "missing $probe" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

for sample in cat 3d; do
  echo "== $sample sample"
  timeout 600 "$probe" warm "$pairs" "$sample" 2>/dev/null | tail -2
  : >"$scratch/run"; : >"$scratch/bare"; hung=0
  for ((pair = 0; pair < pairs; pair++)); do
    # Which goes first alternates, so neither always follows the other.
    for side in $( ((pair % 2 == 0)) && echo run bare || echo bare run); do
      timeout 60 "$probe" cold "$side" "$sample" 2>/dev/null >>"$scratch/$side" || hung=$((hung + 1))
    done
  done
  stats() { sort -n "$1" | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f %.1f %.1f\n", v[1], m, v[NR] }'; }
  read -r rlo rmid rhi < <(stats "$scratch/run")
  read -r blo bmid bhi < <(stats "$scratch/bare")
  awk -v a="$rlo" -v b="$rmid" -v c="$rhi" -v d="$blo" -v e="$bmid" -v f="$bhi" -v n="$pairs" -v h="$hung" 'BEGIN {
    printf "cold, %d pairs: first Run %.1f ms (min %.1f, max %.1f), bare view %.1f ms (min %.1f, max %.1f), ratio %.2f (target at most 1.2); hung %d\n", n, b, a, c, e, d, f, b / e, h }'
done
