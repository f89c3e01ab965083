#!/usr/bin/env bash
# An installed tree works wherever it is moved: installs the build BUILD_DIR
# into a temporary prefix, moves the tree, renders a sample with the moved
# runner (its samples file found in the tree's share/zentarel3d).
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/moved"
tree=$work/moved
cd "$work"

"$tree/bin/zentarel3d-cli" --sample 0 -s 32x24 -o sample.png >/dev/null
cmp -n 8 sample.png <(printf '\x89PNG\r\n\x1a\n') || { echo "no PNG image written"; exit 1; }
