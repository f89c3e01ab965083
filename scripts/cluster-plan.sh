#!/usr/bin/env bash
# Plans a large render on a cluster from measurement: renders a still band by
# band here, one process per band as a Slurm task would, records each band's
# time, joins the bands, and computes the makespan that scheduling those
# bands greedily gives on several node counts against one node: in the array's
# order (what Slurm does with an array job) and longest band first.
# Usage: scripts/cluster-plan.sh [build-dir]
# Environment: SAMPLE (default 3, the Menger sponge), SIZE (4096x4096),
# BANDS (62: the tile rows of 4096 pixel rows, the most bands they allow),
# NODES ("8 16 64"), THREADS (0: every core, as a node would use).
set -euo pipefail
build=${1:-build}
cli="$build/bin/zentarel3d-cli"
[[ -x $cli ]] || { echo "cluster-plan: $cli not built" >&2; exit 1; }
sample=${SAMPLE:-3} size=${SIZE:-4096x4096} bands=${BANDS:-62} nodes=${NODES:-8 16 64}
threads=${THREADS:-0}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s%N; }
echo "# sample $sample at $size in $bands bands, $threads threads; load $(cut -d' ' -f1-3 /proc/loadavg)"
for ((i = 0; i < bands; i++)); do
  start=$(now)
  "$cli" --sample "$sample" -s "$size" --threads "$threads" --part "$i/$bands" \
    -o "$work/band$i.png" >/dev/null
  echo "$((($(now) - start) / 1000000))" >>"$work/times"
done
start=$(now)
"$cli" --join -o "$work/joined.png" "$work"/band*.png
join_ms=$((($(now) - start) / 1000000))

echo "band milliseconds: $(paste -sd' ' "$work/times")"
echo "join: $join_ms ms"
awk -v nodes="$nodes" -v join="$join_ms" '
  { time[NR - 1] = $1; total += $1; if ($1 > longest) longest = $1 }
  # Each band to the node that is free first, bands taken in order[].
  function makespan(count, order,    free, i, best, n, end) {
    for (n = 0; n < count; n++) free[n] = 0
    for (i = 0; i < NR; i++) {
      best = 0
      for (n = 1; n < count; n++) if (free[n] < free[best]) best = n
      free[best] += time[order[i]]
    }
    end = 0
    for (n = 0; n < count; n++) if (free[n] > end) end = free[n]
    return end
  }
  END {
    for (i = 0; i < NR; i++) { inOrder[i] = i; byLength[i] = i }
    for (i = 1; i < NR; i++)  # insertion sort, longest first
      for (j = i; j > 0 && time[byLength[j]] > time[byLength[j - 1]]; j--) {
        t = byLength[j]; byLength[j] = byLength[j - 1]; byLength[j - 1] = t
      }
    printf "| nodes | makespan in order (s) | longest first (s) | speed-up with join |\n"
    printf "| --- | --- | --- | --- |\n"
    split("1 " nodes, counts, " ")
    for (c = 1; c in counts; c++) {
      a = makespan(counts[c], inOrder); b = makespan(counts[c], byLength)
      printf "| %d | %.1f | %.1f | %.1f |\n", counts[c], a / 1000, b / 1000, (total + join) / (a + join)
    }
    printf "longest band %.1f s of %.1f s in all: no node count beats it\n", longest / 1000, total / 1000
  }' "$work/times"
