#!/usr/bin/env bash
# Start-up time and idle memory of QuillIDE against a bare window that links
# the same libraries and sets the same shared GL context attribute. The time
# runs from just before a process starts to its first painted window, as
# this script sees it: each probe writes one line once its window has been
# painted and flushed to the display, and the script reads its clock when
# that line arrives, so neither process's way out is timed.
#
#   bench/startup.sh [build-dir] [pairs]      (defaults: build, 30)
#
# Needs the probes: cmake --build <build-dir> --target startup_quill
# startup_bare_samelibs startup_bare_widgets. Runs under one X server (tools/on-xvfb.sh
# when no DISPLAY is set) and one private session bus (dbus-run-session), so
# no run pays for starting a bus daemon and none is left behind. The runs are
# paired, A B A B, so that drift of the machine hits both alike; each run is
# ended after a time-out and counted as hung.
set -euo pipefail

build=${1:-build}
pairs=${2:-30}
limit=20   # seconds before a run counts as hung

if [ -z "${DISPLAY:-}" ]; then
  exec bash "$(dirname "$0")/../tools/on-xvfb.sh" "$0" "$build" "$pairs"
fi
if [ -z "${QUILL_BENCH_BUS:-}" ]; then
  export QUILL_BENCH_BUS=1
  exec dbus-run-session -- "$0" "$build" "$pairs"
fi

probes=$(cd "$build/bench" && pwd)
for probe in startup_quill startup_bare_samelibs startup_bare_widgets; do
  [ -x "$probes/$probe" ] || { echo "missing $probes/$probe" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The recovery journal of the runs, away from the user's.
export XDG_STATE_HOME="$scratch/state"

# An installed workspace for ordinary starts: a first start closed normally.
installed="$scratch/installed"
mkdir "$installed"
XDG_DATA_HOME="$installed" timeout "$limit" "$probes/startup_quill" --save >/dev/null 2>&1
[ -f "$installed/QuillIDE/quillide.ini" ] || { echo "workspace not installed" >&2; exit 1; }

hung=0
# Appends the start-up time of one run in microseconds to the file $1: from
# just before the process is started to the moment its "painted" line
# reaches this script (the clock is bash's own, read without a fork). A run
# that fails, hangs or never paints is counted and left out.
timed() {
  local out=$1 start painted
  shift
  start=${EPOCHREALTIME/[.,]/}
  if painted=$(timeout "$limit" "$@" 2>/dev/null | {
        while IFS= read -r line; do
          if [ "$line" = painted ]; then echo "${EPOCHREALTIME/[.,]/}"; break; fi
        done
        cat >/dev/null
      }) && [ -n "$painted" ]; then
    echo $((painted - start)) >>"$out"
  else
    hung=$((hung + 1))
  fi
}
# Appends the idle resident memory (KiB) of one run to the file $1.
resident() {
  local out=$1 kib
  shift
  if kib=$(QUILL_PROBE_IDLE_MS=1000 timeout "$limit" "$@" 2>/dev/null) && [ -n "$kib" ]; then
    echo "$kib" >>"$out"
  else
    hung=$((hung + 1))
  fi
}

quill=(env XDG_DATA_HOME="$installed" "$probes/startup_quill")
bare=("$probes/startup_bare_samelibs")
widgets=("$probes/startup_bare_widgets")

: >"$scratch/quill"; : >"$scratch/bare"; : >"$scratch/first"; : >"$scratch/ordinary"
: >"$scratch/widgets"; : >"$scratch/quill.rss"; : >"$scratch/bare.rss"; : >"$scratch/widgets.rss"
for ((pair = 0; pair < pairs; pair++)); do
  timed "$scratch/quill" "${quill[@]}"
  timed "$scratch/bare" "${bare[@]}"
done
for ((pair = 0; pair < pairs; pair++)); do
  fresh="$scratch/fresh$pair"
  mkdir "$fresh"
  timed "$scratch/first" env XDG_DATA_HOME="$fresh" "$probes/startup_quill"
  rm -rf "$fresh"
  timed "$scratch/ordinary" "${quill[@]}"
done
memory_pairs=$(( pairs < 5 ? pairs : 5 ))
for ((pair = 0; pair < memory_pairs; pair++)); do
  resident "$scratch/quill.rss" "${quill[@]}"
  resident "$scratch/bare.rss" "${bare[@]}"
  timed "$scratch/widgets" "${widgets[@]}"
  resident "$scratch/widgets.rss" "${widgets[@]}"
done

# min median max of a file of numbers
stats() {
  sort -n "$1" | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "0 0 0"; exit }
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    print v[1], m, v[NR] }'
}
row() {  # label file scale unit
  read -r lo mid hi < <(stats "$2")
  awk -v l="$1" -v a="$lo" -v m="$mid" -v b="$hi" -v s="$3" -v n="$(wc -l <"$2")" -v u="$4" \
    'BEGIN { printf "  %-38s %9.1f %9.1f %9.1f  %s (%d runs)\n", l, a / s, m / s, b / s, u, n }'
}
median() { stats "$1" | awk '{ print $2 }'; }
ratio() {  # label numerator denominator target
  awk -v l="$1" -v a="$(median "$2")" -v b="$(median "$3")" -v t="$4" \
    'BEGIN { printf "  %-38s %9.2f  (target at most %s)\n", l, (b > 0 ? a / b : 0), t }'
}

echo "start-up to first paint, $pairs pairs A B A B          min    median       max"
row "QuillIDE, ordinary start" "$scratch/quill" 1000 ms
row "bare window, same libraries + GL attr" "$scratch/bare" 1000 ms
row "QuillIDE, first run" "$scratch/first" 1000 ms
row "QuillIDE, ordinary (paired with first)" "$scratch/ordinary" 1000 ms
row "bare window, Widgets only" "$scratch/widgets" 1000 ms
echo "idle resident memory, 1 s after first paint"
row "QuillIDE" "$scratch/quill.rss" 1024 MiB
row "bare window, same libraries + GL attr" "$scratch/bare.rss" 1024 MiB
row "bare window, Widgets only" "$scratch/widgets.rss" 1024 MiB
echo "ratios of medians"
ratio "QuillIDE / bare same libraries" "$scratch/quill" "$scratch/bare" 1.15
ratio "first run / ordinary start" "$scratch/first" "$scratch/ordinary" 1.2
awk -v a="$(median "$scratch/quill.rss")" -v b="$(median "$scratch/bare.rss")" \
  'BEGIN { printf "  %-38s %9.1f  MiB (target at most 8)\n", "memory QuillIDE - bare same libraries", (a - b) / 1024 }'
echo "hung or failed runs: $hung"
