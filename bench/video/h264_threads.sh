#!/usr/bin/env bash
# How x264 is best threaded for `plavex-cli anim --codec h264`, and whether
# its files stay the same: the encoder alone (through ffmpeg, on the same
# 4:2:0 frames of a 1920x1080 dissolve of two wallpaper photographs, with the
# rate factor and x264 parameters plavex-cli gives it at quality 90) with
# - one thread;
# - four threads within each frame, as plavex-cli has it (zerolatency: one
#   slice per thread, each frame comes back at once);
# - four and two threads across frames (no zerolatency, no B-frames): frames
#   come back three or one later.
# Time is the best of three, alternating, so all see the same load. Then the
# bytes: each way twice, and each against one thread.
#
#   bench/video/h264_threads.sh [BUILD_DIR] [FIRST SECOND]
set -euo pipefail

build=$(realpath "${1:-build}")
cli=$build/cli/plavex-cli
first=${2:-/usr/share/wallpapers/BytheWater/contents/images/2560x1600.jpg}
second=${3:-/usr/share/wallpapers/FallenLeaf/contents/images/2560x1600.jpg}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$cli" anim "$first" "$second" raw.avi --frames 100 --size 1920x1080 --fit cover --codec raw --quiet
ffmpeg -v error -nostdin -i raw.avi -pix_fmt yuv420p -f rawvideo frames.yuv

params=subme=2:aq-mode=0:chroma-qp-offset=-6
encode() { # encode OUTPUT THREADS zerolatency|frames
  local tune=()
  [ "$3" = zerolatency ] && tune=(-tune zerolatency)
  ffmpeg -y -v error -nostdin -f rawvideo -pix_fmt yuv420p -s 1920x1080 -r 25 -i frames.yuv -c:v libx264 \
    -preset superfast "${tune[@]}" -crf 19 -g 250 -bf 0 -threads "$2" -x264-params "$params" -f h264 "$1"
}
timed() { local TIMEFORMAT='%R'; { time "$@"; } 2>&1 | tail -1; }
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

ways=("1 zerolatency" "4 zerolatency" "4 frames" "2 frames")
declare -A best
for _ in 1 2 3; do
  for way in "${ways[@]}"; do
    read -r n kind <<< "$way"
    best[$way]=$(least "${best[$way]:-}" "$(timed encode "x.h264" "$n" "$kind")")
  done
done
echo "x264 alone, 100 frames 1920x1080 at quality 90, load $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores:"
for way in "${ways[@]}"; do
  read -r n kind <<< "$way"
  encode a.h264 "$n" "$kind"
  encode b.h264 "$n" "$kind"
  same=$(cmp -s a.h264 b.h264 && echo "the same twice" || echo "DIFFERENT twice")
  printf '  %d thread(s), %-11s %6ss %10s bytes, %s\n' "$n" "$kind" "${best[$way]}" "$(stat -c %s a.h264)" "$same"
  cp a.h264 "$n-$kind.h264"
done
for way in "4 zerolatency" "4 frames" "2 frames"; do
  read -r n kind <<< "$way"
  printf '  %d thread(s), %-11s against one thread: %s\n' "$n" "$kind" \
    "$(cmp -s 1-zerolatency.h264 "$n-$kind.h264" && echo "the same bytes" || echo "other bytes")"
done
