#!/usr/bin/env bash
# Times `plavex-cli anim` (100 frames, 1920x1080, Motion JPEG quality 90) of a
# portrait and a landscape wallpaper photo with each --fit, in the same run,
# and prints what contain and cover cost against stretch (target: at most
# 1.1x). Each fit is timed five times, the fits taking turns, and the best
# run of each counts.
#
#   bench/engine/fit_anim.sh [BUILD_DIR]      (default: build)
set -euo pipefail

build=${1:-build}
cli=$(realpath "$build/cli/plavex-cli")
first=/usr/share/wallpapers/SafeLanding/contents/images/1622x2880.jpg
second=/usr/share/wallpapers/Autumn/contents/images/2560x1600.jpg
for picture in "$first" "$second"; do
  [ -r "$picture" ] || { echo "missing $picture (Debian package plasma-workspace-wallpapers)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

declare -A best
for _ in 1 2 3 4 5; do
  for fit in stretch contain cover; do
    start=$(date +%s%N)
    "$cli" anim "$first" "$second" "$work/$fit.avi" --frames 100 --size 1920x1080 --fit "$fit" --quiet
    t=$(awk -v a="$start" -v b="$(date +%s%N)" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    if [ -z "${best[$fit]:-}" ] || awk "BEGIN{exit !($t < ${best[$fit]})}"; then best[$fit]=$t; fi
  done
done

echo "load: $(uptime | sed 's/.*load average: //')"
for fit in stretch contain cover; do
  printf '%-8s %6s s  %9d bytes\n' "$fit" "${best[$fit]}" "$(stat -c %s "$work/$fit.avi")"
done
awk -v s="${best[stretch]}" -v c="${best[contain]}" -v v="${best[cover]}" \
  'BEGIN { printf "contain/stretch %.3f, cover/stretch %.3f (target: at most 1.1)\n", c / s, v / s }'
