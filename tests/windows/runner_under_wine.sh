#!/usr/bin/env bash
# usage: runner_under_wine.sh RUNNER_EXE [LINUX_RUNNER]
# The Windows runner under Wine, end to end: scripts and images with Cyrillic
# names, a script replaced by --update-script, a video read back, and, given
# the Linux runner, the same image bytes as it for every sample.
set -u
exe=$1
reference=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export WINEDEBUG=-all
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
runner() { wine "$exe" "$@"; }

scene='light direction(1, -2, 1) color(0.8);
set T = 0.5 translate(1, 1, 1) T + 0.5 translate(1, -1, -1) T
      + 0.5 translate(-1, 1, -1) T + 0.5 translate(-1, -1, 1) T;
build T;
'
camera='camera position(0, 1, -6) vertical(0, 1, 0);
'

# Names outside the ANSI code page, in and out; messages name them in UTF-8.
printf "%s" "$camera$scene" >сцена.ifs
runner сцена.ifs -s 32x24 --seed 1 -o кадр.png >out.txt 2>&1 || fail "сцена.ifs: $(cat out.txt)"
[ "$(head -c 8 кадр.png | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "кадр.png is no PNG"
runner нет.ifs >out.txt 2>&1
grep -q "cannot read 'нет.ifs'" out.txt || fail "missing script: $(cat out.txt)"

# --update-script replaces the existing file with one holding the new camera.
printf '%s' "$camera$scene" >камера.ifs
runner -s 20x20 --update-script камера.ifs >out.txt 2>&1 || fail "--update-script: $(cat out.txt)"
grep -q "direction(" камера.ifs || fail "--update-script left: $(cat камера.ifs)"
grep -q "position(0, 1, -6)" камера.ifs && fail "--update-script kept the old camera"
[ "$(ls -A | grep -c '\.tmp$')" -eq 0 ] || fail "temporary files left: $(ls -A)"

# Every video codec the runner offers writes a video; a lossless one the same
# bytes as the Linux runner, when it is given. The lossy ones may differ in the
# last bits: their transforms are FFmpeg's C versions in this build, assembly
# in Debian's (shell_tests checks their colours).
printf '%s' "for (f = 0; f < 2; f++) {
camera position(f, 1, -6) vertical(0, 1, 0);
$scene
save_frame();
}
" >анимация.ifs
for codec in $(runner --version | sed -n "s/^Video codecs: //p" | tr -d ",\r"); do
  runner анимация.ifs -s 32x24 --seed 1 --avi "видео $codec.avi" --codec "$codec" >out.txt 2>&1 ||
    fail "$codec: $(cat out.txt)"
  [ "$(head -c 4 "видео $codec.avi")" = RIFF ] || fail "$codec: no AVI written"
  if [ -n "$reference" ] && [ "$codec" != mjpeg ] && [ "$codec" != mpeg4 ]; then
    "$reference" анимация.ifs -s 32x24 --seed 1 --avi linux.avi --codec "$codec" >/dev/null 2>&1
    cmp -s "видео $codec.avi" linux.avi || fail "$codec: the videos differ"
  fi
done

# render_sample FOLDER RUNNER: the sample as the gallery renders it, a still
# image or the frames of an animation, in the format $format.
render_sample() {
  rm -rf "$1" && mkdir "$1"
  (cd "$1" && $2 --sample "$sample" -s 160x120 --seed 1 --threads 2 -o "image.$format" \
    --frames "%03d.$format" >/dev/null 2>&1; echo "exit $?" >status)
}
# Every sample in both image formats, the same bytes from both runners.
if [ -n "$reference" ]; then
  for sample in $(seq 0 32); do
    for format in bmp png; do
      render_sample linux "$reference"
      render_sample windows runner
      diff -rq windows linux >differences && continue
      # Once in several runs one Wine render has come out different while
      # every Linux render of it is the same: render it again, and fail only
      # when Wine draws other bytes twice.
      echo "WARNING: sample $sample, $format differed under Wine: $(cat differences); rendering it again"
      render_sample windows runner
      diff -rq windows linux >differences || fail "sample $sample, $format: $(cat differences)" \
        "(Windows $(cat windows/status), Linux $(cat linux/status))"
    done
  done
fi

echo "$failures failures"
[ "$failures" -eq 0 ]
