#!/usr/bin/env bash
# Installs the Debian packages that building and testing Zentarel 3d need,
# and any named as arguments, but only those that are missing. Runs apt-get
# as root, or through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  default-jre-headless antlr libantlr-dev
  qt6-base-dev qt6-base-dev-tools
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  libpng-dev libopenexr-dev libgtest-dev libbenchmark-dev libhwy-dev
  libopenvdb-dev libtbb-dev libboost-dev libassimp-dev admesh
  ffmpeg
  librsvg2-bin help2man file
  xvfb x11-apps imagemagick xdotool
  desktop-file-utils appstream shared-mime-info bash-completion lintian
  slurmctld slurmd slurm-client munge
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

apt_get() {
  # The apt lock can be held briefly by another process: wait once and retry.
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@" ||
    { sleep 20; "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }
}
apt_get update
apt_get install -y --no-install-recommends "${missing[@]}"
