#!/usr/bin/env bash
# Times `plavex-cli still` on a pair of 12-megapixel photos, a HEIC and a
# JPEG (4032 x 3024, as phones take them), with the automatic canvas, and
# once more onto a tiny canvas so the share of decoding shows. Prints the
# best wall time of three runs and the peak memory of that run.
#
#   bench/app/still_12mp_heic_jpeg.sh [BUILD_DIR]      (default: build)
set -euo pipefail

build=${1:-build}
cli=$(realpath "$build/cli/plavex-cli")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

ffmpeg -v error -f lavfi -i testsrc2=size=4032x3024:rate=1 -frames:v 1 first.png
ffmpeg -v error -f lavfi -i smptehdbars=size=4032x3024:rate=1 -frames:v 1 -q:v 2 second.jpg
heif-enc -q 85 -o first.heic first.png >/dev/null
rm first.png

best() { # best wall time of three runs, with the peak memory of that run
  local bestT="" bestM=""
  for _ in 1 2 3; do
    /usr/bin/time -f '%e %M' -o time.txt "$@" >/dev/null 2>err.txt || { cat err.txt >&2; exit 1; }
    read -r t m < time.txt
    if [ -z "$bestT" ] || awk "BEGIN{exit !($t < $bestT)}"; then bestT=$t bestM=$m; fi
  done
  printf '%8s s %8d MB\n' "$bestT" $((bestM / 1024))
}

printf '%-44s %10s %11s\n' run "wall" "peak RSS"
printf '%-44s ' "still first.heic second.jpg (4032x3024)"
best "$cli" still first.heic second.jpg out.bmp --quiet
printf '%-44s ' "still first.heic second.jpg --size 8x8"
best "$cli" still first.heic second.jpg out.bmp --quiet --size 8x8
printf '%-44s ' "still first.heic second.jpg out.png"
best "$cli" still first.heic second.jpg out.png --quiet
