#!/usr/bin/env bash
# Renders the demo scene with the command-line renderer.
set -euo pipefail
build=${1:-build}
"$build/bin/zentarel3d-cli" --verbose samples/demo.ifs
