#!/usr/bin/env bash
# Render benchmarks: the standard matrix at 640x480 (three scenes, with and
# without antialiasing and shadows, one thread and every core), then the peak
# memory of a 4096x4096 render in a process of its own, and the stretched
# prism, whose cost per pixel grows with the resolution, at small sizes (a
# doubling of the side costs it about eight times the time, not four).
# Usage: scripts/bench.sh [build-dir]
set -euo pipefail
build=${1:-build}
bench="$build/bin/zentarel3d-bench"
[[ -x $bench ]] || { echo "bench: $bench not built" >&2; exit 1; }

echo "# load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
"$bench" --reps "${REPS:-3}"
echo "# 4096x4096, every core (the image and depth buffer take 112 MiB):"
"$bench" --scene menger --size 4096x4096 --threads 0 --reps 1
echo "# the stretched prism at 40x30, 80x60 and 160x120, one thread:"
for size in 40x30 80x60; do
  "$bench" --scene prism --size "$size" --threads 1 --reps 1
done
"$bench" --scene prism --size 160x120 --threads 1 --reps "${REPS:-3}"
echo "# load after: $(cut -d' ' -f1-3 /proc/loadavg)"
