#!/usr/bin/env bash
# Writes the AVI case table with two builds and compares their files with cmp:
# every compressor in one segment and in several at 1, 25 and 100000 fps
# (avi_case_table, which forces small segments), and the same compressors and
# rates through `plavex-cli anim`, and `slideshow`, on real photos.
#
#   bench/video/avi_identity.sh BUILD_A BUILD_B
#
# BUILD_A is typically a build of main (git worktree add ../base main), BUILD_B
# this tree's build. Exits 1 when any file differs or is missing.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 BUILD_A BUILD_B" >&2; exit 2; }
builds=("$(realpath "$1")" "$(realpath "$2")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

photos=()
for name in Autumn BytheWater Kite Path; do
  photos+=("$(ls /usr/share/wallpapers/$name/contents/images/*.jpg | head -1)")
done

write_table() { # BUILD FOLDER
  local cli=$1/cli/plavex-cli out=$2
  mkdir -p "$out"
  "$1/bench/video/avi_case_table" "$out" >/dev/null
  for codec in raw mjpeg h264 ffv1; do
    for fps in 1 25 100000; do
      "$cli" anim "${photos[0]}" "${photos[1]}" "$out/anim-$codec-${fps}fps.avi" --frames 30 --fps "$fps" \
        --size 480x272 --codec "$codec" --quiet
    done
    "$cli" slideshow "${photos[@]}" "$out/slideshow-$codec-25fps.avi" --hold 0.4 --fade 0.4 --fps 25 \
      --size 480x272 --codec "$codec" --quiet
  done
}

write_table "${builds[0]}" "$work/a"
write_table "${builds[1]}" "$work/b"

total=0 equal=0
printf '%-32s %10s %9s  %s\n' case bytes segments result
for a in "$work"/a/*.avi; do
  name=$(basename "$a") b="$work/b/$name"
  total=$((total + 1))
  segments=$(( $(grep -c -a -o 'AVIX' "$a" || true) + 1 ))
  if [ -f "$b" ] && cmp -s "$a" "$b"; then
    result=equal; equal=$((equal + 1))
  else
    result=DIFFER
  fi
  printf '%-32s %10s %9s  %s\n' "$name" "$(stat -c %s "$a")" "$segments" "$result"
done
extra=$(comm -13 <(ls "$work/a") <(ls "$work/b") | wc -l)
echo "$equal of $total files equal (cmp); $extra files only in the second build"
[ "$equal" -eq "$total" ] && [ "$extra" -eq 0 ]
