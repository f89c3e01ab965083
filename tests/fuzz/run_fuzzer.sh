#!/usr/bin/env bash
# Runs the build-driver fuzzer for a bounded time: run_fuzzer.sh BUILD_DIR SECONDS.
# The seeds are made afresh from the samples file and the demo scene; what the
# fuzzer finds stays in BUILD_DIR/fuzz-corpus for the next run, and an input
# that crashes or hangs a build is saved in BUILD_DIR/fuzz-findings.
set -euo pipefail

build=$1
seconds=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
seeds=$build/fuzz-seeds
corpus=$build/fuzz-corpus
findings=$build/fuzz-findings

rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$findings"
# One seed per sample: the lines between its tags, without the indenting tabs.
awk -v dir="$seeds" '
  /^[ \t]*\[sample=/   { file = sprintf("%s/sample-%03d.ifs", dir, ++n); next }
  /^[ \t]*\[\/sample\]/ { close(file); file = ""; next }
  file != ""           { sub(/^\t+/, ""); print > file }
' "$root/samples/Zentarel 3d.samples"
cp "$root/samples/demo.ifs" "$seeds/"

# A build that ignores the target's cancel for 10 s is a hang, reported as a fault.
exec "$build/bin/build_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$findings/" "$corpus" "$seeds"
