#!/usr/bin/env bash
# An installed tree works wherever it is moved: installs the build BUILD_DIR
# into a temporary prefix, moves the tree, renders a sample with the moved
# runner (its samples file found in the tree's share/zentarel3d) and asks the
# tree's bash completion for options and sample numbers.
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

completion=/usr/share/bash-completion/bash_completion
if [ ! -r "$completion" ]; then
  echo "bash-completion is not installed: completion not tried"
  exit 0
fi
# The completions of the runner's command line "zentarel3d-cli WORDS...", the
# last word being completed, one a line.
complete_words() {
  PATH="$tree/bin:$PATH" bash -c '
    source "$0"
    source "$1"
    shift
    COMP_WORDS=(zentarel3d-cli "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    _zentarel3d_cli zentarel3d-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}"' \
    "$completion" "$tree/share/bash-completion/completions/zentarel3d-cli" "$@"
}
expect() {
  local got
  got=$(complete_words "${@:2}")
  [ "$got" = "$1" ] || { printf 'completing %s\ngave:\n%s\nexpected:\n%s\n' "${*:2}" "$got" "$1"; exit 1; }
}
expect "$(printf -- '--sample\n--samples')" --sam
expect "$(printf -- '--mesh\n--mesh-scale\n--mesh-adaptivity')" --mes
expect "$("$tree/bin/zentarel3d-cli" --list-samples | awk '{ print $1 }')" --sample ''
expect "$(printf -- '--depth\n--define')" --de
expect mjpeg --codec mj
