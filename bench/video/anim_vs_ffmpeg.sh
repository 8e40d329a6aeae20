#!/usr/bin/env bash
# Times `plavex-cli anim` (100 frames, 720x540, Motion JPEG quality 90) against
# ffmpeg making the same 100-frame cross-dissolve with its blend filter and
# Motion JPEG encoder, in the same run, and prints the ratio. Peak memory is
# measured too, and once more for plavex with 1000 frames, to show that it
# does not grow with the frame count.
#
#   bench/video/anim_vs_ffmpeg.sh [BUILD_DIR]      (default: build)
set -euo pipefail

build=${1:-build}
cli=$(realpath "$build/cli/plavex-cli")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Two different 720x540 pictures: a JPEG and a BMP.
ffmpeg -v error -f lavfi -i testsrc=size=720x540:rate=1 -frames:v 1 -q:v 2 first.jpg
ffmpeg -v error -f lavfi -i smptebars=size=720x540:rate=1 -frames:v 1 second.bmp

# Runs a command under GNU time; prints "seconds kilobytes".
measure() {
  /usr/bin/time -f '%e %M' -o time.txt "$@" >/dev/null 2>err.txt || { cat err.txt >&2; exit 1; }
  cat time.txt
}

best() { # best wall time of three runs, with the peak memory of that run
  local bestT="" bestM=""
  for _ in 1 2 3; do
    read -r t m < <(measure "$@")
    if [ -z "$bestT" ] || awk "BEGIN{exit !($t < $bestT)}"; then bestT=$t; bestM=$m; fi
  done
  echo "$bestT $bestM"
}

read -r pT pM < <(best "$cli" anim first.jpg second.bmp plavex.avi --frames 100 --fps 25 --size 720x540 \
  --codec mjpeg --quality 90)
read -r p1000T p1000M < <(measure "$cli" anim first.jpg second.bmp plavex1000.avi --frames 1000 --fps 25 \
  --size 720x540 --codec mjpeg --quality 90)
# The same dissolve: weight N/99 on frame N, RGB blending, Motion JPEG at a
# comparable quality (-q:v 3 is close to quality 90).
read -r fT fM < <(best ffmpeg -nostdin -v error -y -loop 1 -i first.jpg -loop 1 -i second.bmp -filter_complex \
  "[0]format=gbrp[a];[1]format=gbrp[b];[a][b]blend=all_expr='A+(B-A)*N/99'" -frames:v 100 -r 25 \
  -c:v mjpeg -q:v 3 -pix_fmt yuvj420p ffmpeg.avi)

frames() { ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$1"; }
echo "plavex-cli anim, 100 frames 720x540 mjpeg q90: ${pT} s, peak ${pM} KB, $(stat -c %s plavex.avi) bytes, $(frames plavex.avi) frames"
echo "plavex-cli anim, 1000 frames:                  ${p1000T} s, peak ${p1000M} KB"
echo "ffmpeg blend + mjpeg, 100 frames 720x540:      ${fT} s, peak ${fM} KB, $(stat -c %s ffmpeg.avi) bytes, $(frames ffmpeg.avi) frames"
awk -v p="$pT" -v f="$fT" 'BEGIN { if (p <= 0) p = 0.01; printf "plavex is %.1fx faster than ffmpeg (target: at least 5x)\n", f / p }'
