#!/usr/bin/env bash
# Renders the demo scene with the command-line renderer into demo.png in the
# repository root.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
image="$PWD/demo.png"
"$build/bin/zentarel3d-cli" --verbose --size 640x480 -o "$image" samples/demo.ifs
echo "demo: the image is $image"
