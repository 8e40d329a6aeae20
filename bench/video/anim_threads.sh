#!/usr/bin/env bash
# Times `plavex-cli anim`, 100 frames at 1920x1080 from two photo-like
# pictures, with its default thread count (one per core) against
# `--threads 1`, for Motion JPEG quality 90 and for uncompressed frames, in
# the same run, and prints the speed-up of each. The files must be the same.
#
#   bench/video/anim_threads.sh [BUILD_DIR] [RUNS]      (default: build 3)
set -euo pipefail

build=${1:-build}
runs=${2:-3}
cli=$(realpath "$build/cli/plavex-cli")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Two different 1920x1080 pictures with the detail of photographs.
convert -size 1920x1080 -seed 1 plasma:fractal -blur 0x1 first.jpg
convert -size 1920x1080 -seed 2 plasma:green-blue second.jpg

best() { # best wall time of $runs runs
  local bestT=""
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%e' -o time.txt "$@" >/dev/null 2>err.txt || { cat err.txt >&2; exit 1; }
    t=$(cat time.txt)
    if [ -z "$bestT" ] || awk "BEGIN{exit !($t < $bestT)}"; then bestT=$t; fi
  done
  echo "$bestT"
}

echo "cores: $(nproc)"
for codec in mjpeg raw; do
  quality=()
  [ "$codec" = mjpeg ] && quality=(--quality 90)
  run() { echo "$cli" anim first.jpg second.jpg "$1" --frames 100 --fps 25 --codec "$codec" "${quality[@]}" --quiet; }
  one=$(best $(run "one-$codec.avi") --threads 1)
  all=$(best $(run "all-$codec.avi"))
  cmp -s "one-$codec.avi" "all-$codec.avi" || { echo "$codec: the files differ" >&2; exit 1; }
  awk -v c="$codec" -v o="$one" -v a="$all" 'BEGIN { if (a <= 0) a = 0.01;
    printf "%-5s 100 frames 1920x1080: --threads 1 %.2f s, default %.2f s, speed-up %.2fx\n", c, o, a, o / a }'
done
