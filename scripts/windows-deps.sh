#!/usr/bin/env bash
# usage: windows-deps.sh BUILD_DIR
# Installs the MinGW-w64 cross compilers and Wine, then cross-builds the
# libraries that Debian ships only for Linux (ANTLR 2 C++ runtime, libpng,
# GoogleTest, Highway, a small static FFmpeg) from Debian's own sources into
# BUILD_DIR/deps/prefix. Each library is built once: a stamp file marks it done.
# Exits with 3 when this machine cannot: no way to install packages or to
# fetch the sources.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$(realpath -m "${1:?usage: windows-deps.sh BUILD_DIR}")/deps
prefix=$deps/prefix
jobs=${JOBS:-2}
host=x86_64-w64-mingw32
toolchain=$root/cmake/mingw-w64.cmake

unable() {
  echo "windows-deps: $*" >&2
  exit 3
}

"$root/scripts/setup.sh" g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  mingw-w64-x86-64-dev libz-mingw-w64-dev wine wine64 dpkg-dev ||
  unable "cannot install the MinGW-w64 compilers and Wine"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get source needs a deb-src entry; none is configured by default, so one
# is added for each Debian mirror that the machine already uses.
enable_source_packages() {
  apt-cache showsrc antlr 2>/dev/null | grep -q '^Package:' && return
  echo "windows-deps: adding deb-src entries for the configured mirrors"
  local list=/etc/apt/sources.list.d
  if [ -f $list/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' $list/debian.sources |
      as_root tee $list/zentarel-deb-src.sources >/dev/null
  else
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      as_root tee $list/zentarel-deb-src.list >/dev/null
  fi
  as_root apt-get update -qq || unable "cannot read the source package lists"
}

# Unpacks the original archive of a Debian source package into src/NAME.
# Only the original archive is used: the Debian patch archive of antlr was
# found missing on the mirror, and none of the patches matter here.
unpack_source() {
  local package=$1 name=$2 downloads=$deps/downloads
  [ -d "$deps/src/$name" ] && return
  mkdir -p "$downloads" "$deps/src/$name"
  chmod 777 "$downloads"  # apt-get downloads as the unprivileged _apt user
  ls "$downloads"/"${package}"_*.orig.tar.* >/dev/null 2>&1 ||
    (cd "$downloads" && apt-get source --download-only "$package") ||
    echo "windows-deps: apt-get source $package failed; using what it fetched"
  local archive
  archive=$(ls "$downloads"/"${package}"_*.orig.tar.* 2>/dev/null | head -n 1)
  [ -n "$archive" ] || { rm -rf "${deps:?}/src/$name"; unable "cannot fetch the source of $package"; }
  tar -xf "$archive" --strip-components=1 -C "$deps/src/$name"
}

build_antlr() {
  unpack_source antlr antlr
  local src=$deps/src/antlr/lib/cpp objects=$deps/build/antlr
  (cd "$deps/src/antlr" && patch -p1 -N -r - <"$root/cmake/antlr-charscanner-includes.patch")
  mkdir -p "$objects" "$prefix/lib" "$prefix/include"
  local file
  for file in "$src"/src/*.cpp; do
    [ "$(basename "$file")" = dll.cpp ] && continue
    echo "$file"
  done | xargs -P "$jobs" -I{} sh -c \
    "$host-g++-posix -std=c++17 -O2 -w -I'$src' -c '{}' -o '$objects'/\$(basename '{}' .cpp).o"
  rm -f "$prefix/lib/libantlr.a"
  $host-ar rcs "$prefix/lib/libantlr.a" "$objects"/*.o
  cp -r "$src/antlr" "$prefix/include/"
}

build_png() {
  unpack_source libpng1.6 libpng
  mkdir -p "$deps/build/libpng"
  cd "$deps/build/libpng"
  "$deps/src/libpng/configure" --host=$host --prefix="$prefix" --disable-shared \
    --enable-static CC=$host-gcc-posix >/dev/null
  make -j "$jobs" install >/dev/null
}

build_gtest() {
  cmake -S /usr/src/googletest -B "$deps/build/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF >/dev/null
  cmake --build "$deps/build/googletest" -j "$jobs" --target install >/dev/null
}

# The vector instructions' library, without its tests and examples.
build_hwy() {
  unpack_source highway highway
  cmake -S "$deps/src/highway" -B "$deps/build/highway" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_TESTING=OFF -DHWY_ENABLE_TESTS=OFF -DHWY_ENABLE_EXAMPLES=OFF \
    -DHWY_ENABLE_CONTRIB=OFF >/dev/null
  cmake --build "$deps/build/highway" -j "$jobs" --target install >/dev/null
}

# Only what the video export offers (the AVI container and its codecs), the
# decoders that read the frames back in the tests, and swscale. The assembly
# parts are left out: they would need nasm and change nothing in the output.
build_ffmpeg() {
  unpack_source ffmpeg ffmpeg
  local codecs=rawvideo,mjpeg,ffv1,huffyuv,utvideo,mpeg4
  mkdir -p "$deps/build/ffmpeg"
  cd "$deps/build/ffmpeg"
  "$deps/src/ffmpeg/configure" --prefix="$prefix" --enable-cross-compile \
    --target-os=mingw32 --arch=x86_64 --cross-prefix=$host- --cc=$host-gcc-posix \
    --cxx=$host-g++-posix --pkg-config=pkg-config --disable-shared --enable-static \
    --disable-autodetect --disable-asm --disable-everything --disable-programs --disable-doc \
    --disable-network --disable-avdevice --disable-avfilter --disable-swresample \
    --disable-postproc --enable-swscale --enable-protocol=file \
    --enable-muxer=avi --enable-demuxer=avi \
    --enable-encoder=$codecs --enable-decoder=$codecs >/dev/null
  make -j "$jobs" install >/dev/null
}

enable_source_packages
mkdir -p "$prefix"
for library in antlr png gtest hwy ffmpeg; do
  [ -f "$prefix/.$library.done" ] && continue
  echo "windows-deps: building $library"
  start=$SECONDS
  (build_$library)
  touch "$prefix/.$library.done"
  echo "windows-deps: $library built in $((SECONDS - start)) s"
done
