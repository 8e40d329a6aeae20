#!/usr/bin/env bash
# FFV1 where users wait: `plavex-cli anim` of two wallpaper photographs, 100
# frames at 1920x1080, in the same run, taking turns (best of RUNS):
# - FFV1 with this build at its default thread count and with --threads 1;
# - FFV1 with a baseline build (another checkout's build folder), if given;
# - Motion JPEG at quality 90 with this build;
# the wall time and peak memory (largest resident set) of each, and the
# ratios. Checks that this build's FFV1 frames decode (ffmpeg) to the
# uncompressed frames byte for byte, and that its file is the same for any
# thread count; says whether the baseline's file is the same too.
#
#   bench/video/ffv1_speed.sh [BUILD_DIR] [BASELINE_BUILD_DIR] [RUNS]   (default: build, none, 3)
set -euo pipefail

cli=$(realpath "${1:-build}")/cli/plavex-cli
base=${2:+$(realpath "$2")/cli/plavex-cli}
runs=${3:-3}
first=/usr/share/wallpapers/BytheWater/contents/images/2560x1600.jpg
second=/usr/share/wallpapers/FallenLeaf/contents/images/2560x1600.jpg
for picture in "$first" "$second"; do
  [ -r "$picture" ] || { echo "missing $picture (Debian package plasma-workspace-wallpapers)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# name: the command, writing NAME.avi
declare -A command=(
  [ffv1]="$cli anim $first $second ffv1.avi --codec ffv1"
  [ffv1-one]="$cli anim $first $second ffv1-one.avi --codec ffv1 --threads 1"
  [mjpeg]="$cli anim $first $second mjpeg.avi --codec mjpeg --quality 90"
)
[ -n "$base" ] && command[baseline]="$base anim $first $second baseline.avi --codec ffv1"
declare -A wall memory
for _ in $(seq "$runs"); do
  for name in "${!command[@]}"; do
    /usr/bin/time -f '%e %M' -o time.txt ${command[$name]} --frames 100 --fps 25 --size 1920x1080 --fit cover \
      --quiet
    read -r t m < time.txt
    if [ -z "${wall[$name]:-}" ] || awk "BEGIN { exit !($t < ${wall[$name]}) }"; then wall[$name]=$t; fi
    if [ -z "${memory[$name]:-}" ] || [ "$m" -gt "${memory[$name]}" ]; then memory[$name]=$m; fi
  done
done

echo "cores $(nproc), load $(cut -d' ' -f1-3 /proc/loadavg); 100 frames 1920x1080, best of $runs:"
for name in ffv1 ffv1-one baseline mjpeg; do
  [ -n "${wall[$name]:-}" ] || continue
  awk -v n="$name" -v t="${wall[$name]}" -v m="${memory[$name]}" -v f="${wall[ffv1]}" -v j="${wall[mjpeg]}" \
    'BEGIN { printf "  %-9s %6.2f s %5d MB peak  (%.2fx this FFV1, %.2fx Motion JPEG)\n", n, t, m / 1024, t / f, t / j }'
done
cmp -s ffv1.avi ffv1-one.avi || { echo "FFV1 files DIFFER between thread counts" >&2; exit 1; }
if [ -n "$base" ]; then
  if cmp -s ffv1.avi baseline.avi; then echo "the baseline's FFV1 file is the same, byte for byte"
  else echo "the baseline's FFV1 file differs"; fi
fi
"$cli" anim "$first" "$second" raw.avi --codec raw --frames 100 --size 1920x1080 --fit cover --quiet
md5() { ffmpeg -v error -nostdin -i "$1" -f rawvideo -pix_fmt bgr24 - | md5sum | cut -d' ' -f1; }
if [ "$(md5 ffv1.avi)" = "$(md5 raw.avi)" ]; then echo "FFV1 frames equal the uncompressed frames byte for byte"
else echo "FFV1 frames DIFFER from the uncompressed frames" >&2; exit 1; fi
