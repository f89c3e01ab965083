#!/usr/bin/env bash
# Our renderer against the peer (Mandelbulber 2, see /work/shared/bench-peers)
# on the same views at 640x480 with one light and shadows, interleaved run by
# run so that both see the same machine. Whole processes are timed.
#
# stdout: "case threads ours_seconds peer_seconds peer/ours" (medians)
# stderr: every run with the CPU time other processes took meanwhile
#         (NOISY runs are re-run up to NOISE_RETRY times).
# Usage: scripts/bench-peer.sh [build-dir]
#   REPS=3 THREADS="1 2" CASES="menger sierpinski" NOISE_RETRY=2 WAIT_IDLE=60
set -euo pipefail
build=${1:-build}
bench="$build/bin/zentarel3d-bench"
peers=${PEERS:-/work/shared/bench-peers/mandelbulber}
out=${OUT_DIR:-./peer-out}
REPS=${REPS:-3}
THREADS=${THREADS:-"1 2"}
CASES=${CASES:-"menger sierpinski"}
NOISE_RETRY=${NOISE_RETRY:-2}
WAIT_IDLE=${WAIT_IDLE:-60}
[[ -x $bench ]] || { echo "$bench not built" >&2; exit 1; }
command -v mandelbulber2 >/dev/null || { echo "apt-get install -y mandelbulber2 time" >&2; exit 2; }

mkdir -p "$out/home"
hz=$(getconf CLK_TCK)
busy() { awk '$1=="cpu"{print $2+$3+$4+$7+$8+$9; exit}' /proc/stat; }
wait_idle() {  # until other processes use less than a tenth of a core
  local deadline=$((SECONDS + WAIT_IDLE)) b0 b1
  while ((SECONDS < deadline)); do
    b0=$(busy); sleep 1; b1=$(busy)
    ((b1 - b0 < hz / 10)) && return 0
  done
  echo "#   machine not idle after ${WAIT_IDLE}s, timing anyway" >&2
}

# run NAME CMD... -> "wall others" (seconds)
run() {
  local name=$1; shift
  local tf="$out/.time" b0 b1 t0 t1 user sys
  wait_idle
  b0=$(busy); t0=$(date +%s%N)
  /usr/bin/time -f '%U %S' -o "$tf" "$@" >"$out/$name.log" 2>&1
  t1=$(date +%s%N); b1=$(busy)
  read -r user sys <"$tf"
  awk -v a="$t0" -v b="$t1" -v j="$((b1 - b0))" -v u="$user" -v s="$sys" -v hz="$hz" \
    'BEGIN { o = j / hz - u - s; if (o < 0) o = 0; printf "%.3f %.2f\n", (b - a) / 1e9, o }'
}

# timed NAME CMD... -> wall seconds of a run without noise (or of the last try)
timed() {
  local name=$1 wall others try
  for ((try = 0; ; try++)); do
    read -r wall others < <(run "$@")
    local noisy
    noisy=$(awk -v o="$others" -v w="$wall" 'BEGIN { print (o > 0.05 * w + 0.05) ? 1 : 0 }')
    echo "#   $name: wall ${wall}s, others ${others}s$([[ $noisy == 1 ]] && echo ' NOISY')" >&2
    [[ $noisy == 0 || $try -ge $NOISE_RETRY ]] && break
  done
  echo "$wall"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "# $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)" >&2
for case in $CASES; do
  for threads in $THREADS; do
    ours=() theirs=()
    for ((r = 1; r <= REPS; r++)); do
      ours+=("$(timed "${case}_t${threads}_ours" \
        "$bench" --scene "$case" --threads "$threads" --reps 1 --out "$out/${case}_t${threads}_ours.bmp")")
      theirs+=("$(timed "${case}_t${threads}_peer" \
        env HOME="$out/home" QT_QPA_PLATFORM=offscreen mandelbulber2 --nogui --no-cli-color \
        --format png -O "limit_CPU_cores=$threads" -o "$out/${case}_t${threads}_peer.png" \
        "$peers/${case}_640x480.fract")")
    done
    o=$(printf '%s\n' "${ours[@]}" | median)
    p=$(printf '%s\n' "${theirs[@]}" | median)
    awk -v c="$case" -v t="$threads" -v o="$o" -v p="$p" \
      'BEGIN { printf "%s %d ours %.3f peer %.3f peer/ours %.2f\n", c, t, o, p, p / o }'
  done
done
