#!/usr/bin/env bash
# Renders a still in bands and an animation with random choices in ranges of
# frames through slurm-render on a single-node Slurm, and compares the bytes
# with those of one zentarel3d-cli process; a failing task must fail the run
# and leave no output. Exit 77 (skipped, with the reason) where Slurm cannot
# start here.
set -uo pipefail

cluster=$1
cli=${ZENTAREL3D_CLI:?ZENTAREL3D_CLI names the runner}
skip() {
  echo "SKIPPED: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "starting slurmd needs root"
command -v slurmctld >/dev/null || skip "Slurm is not installed (scripts/setup.sh installs it)"

work=$(mktemp -d)
# munged serves its socket only from folders that everyone may enter.
chmod 755 "$work"
slurm=$work/slurm
started=$(date +%s%N)
if ! "$cluster/slurm-local" start "$slurm" >"$work/start.log" 2>&1; then
  cat "$work/start.log"
  [ -f "$slurm/daemons" ] && "$cluster/slurm-local" stop "$slurm"
  rm -rf "$work"
  skip "Slurm did not start on this machine"
fi
daemons=$(cat "$slurm/daemons")
trap '"$cluster/slurm-local" stop "$slurm" >/dev/null 2>&1; rm -rf "$work"' EXIT
# shellcheck disable=SC1091
source "$slurm/env.sh"
cd "$work" || exit 1

passed=0 failed=0
check() {
  if "${@:2}"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1"
  fi
}
render() { "$cluster/slurm-render" "$@" >>"$work/render.log" 2>&1; }

# A still of the samples in 4 bands of its 5 tile rows.
still=(--seed 7 --sample 19 -s 80x280)
render --parts 4 "${still[@]}" -o still.png
"$cli" "${still[@]}" -o one.png >/dev/null
check "4 bands joined equal one process's image" cmp -s still.png one.png

# Eight frames of random picks, colours and camera in 3 tasks of 3 frames.
cat >anim.ifs <<'IFS'
fps(10);
for (f = 0; f < 8; f++) {
  camera position(4 * sin(f * 30) + rnd(1), 2, -4) vertical(0, 1, 0);
  light direction(1, -2, 1) color(0.5 + 0.5 * rnd(1));
  set T = (0.5 translate(1, 1, 1) T | 1 + 0.5 translate(1, -1, -1) T | 2
         + 0.5 translate(-1, 1, -1) T | 3 + 0.5 translate(-1, -1, 1) T | 4) % 3;
  build T;
  save_frame();
}
IFS
animation=(--seed 5 -s 64x48 --codec ffv1)
render --frames-per-task 3 "${animation[@]}" --avi anim.avi --frames split%d.png anim.ifs
"$cli" "${animation[@]}" --avi one.avi --frames one%d.png anim.ifs
check "the video of 3 tasks equals one process's" cmp -s anim.avi one.avi
same_frames() {
  local n
  for n in 0 1 2 3 4 5 6 7; do cmp -s "split$n.png" "one$n.png" || return 1; done
}
check "the frames of 3 tasks equal one process's" same_frames

# More bands than tile rows: every task fails.
render --parts 40 "${still[@]}" -o failed.png
status=$?
check "a failed task fails the run" test "$status" -ne 0
check "a failed run writes no output" test ! -e failed.png
check "a failed run names the task" grep -q "task .* failed" "$work/render.log"
# Cancelled jobs stay in the queue until slurmd has ended them: for a while.
queue_empties() {
  local tries
  for ((tries = 0; tries < 50; tries++)); do
    [[ -z $(squeue -h -o %i) ]] && return 0
    sleep 0.2
  done
  return 1
}
check "nothing is left in the queue within 10 s" queue_empties

"$cluster/slurm-local" stop "$slurm"
trap 'rm -rf "$work"' EXIT
alive=0
for pid in $daemons; do kill -0 "$pid" 2>/dev/null && alive=$((alive + 1)); done
check "stop ends the daemons" test "$alive" -eq 0
check "stop removes its folder" test ! -e "$slurm"

[ "$failed" -eq 0 ] || cat "$work/render.log"
echo "slurm test: $((($(date +%s%N) - started) / 1000000)) ms from start to stop"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
