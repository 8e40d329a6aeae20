#!/usr/bin/env bash
# Times `plavex-cli slideshow` of 20 photos at 1920x1080 (2 s hold, 1 s fade,
# 25 fps: 20*50 + 19*25 = 1475 frames) against ffmpeg making the same
# sequence with a chain of `xfade` filters, in the same run, once per codec,
# and prints the ratio. Peak memory is measured too, and once more for
# plavex with 3 of the pictures, to show that it does not grow with their
# number.
#
#   bench/video/slideshow_vs_ffmpeg.sh [BUILD_DIR] [CODEC...]   (default: build mp4 mjpeg h264)
#
# mp4 is H.264 in MP4, where plavex writes each hold as one sample; mjpeg and
# h264 are AVI files. Extra plavex-cli options (such as --threads 1) may be
# given in PLAVEX_OPTS. Motion JPEG is compared at quality 90 against
# ffmpeg's -q:v 3, H.264 with the same libx264 preset, tuning and rate factor
# on both sides. The photos are the desktop's wallpapers
# (/usr/share/wallpapers), each cut to 1920x1080 as a JPEG of quality 90.
set -euo pipefail

build=${1:-build}
shift || true
codecs=("$@")
[ ${#codecs[@]} -gt 0 ] || codecs=(mp4 mjpeg h264)
cli=$(realpath "$build/cli/plavex-cli")
read -r -a plavexOpts <<< "${PLAVEX_OPTS:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The first 20 landscape wallpapers, largest picture of each, cut to 1920x1080.
n=0
for folder in /usr/share/wallpapers/*/contents/images; do
  largest=$(ls -S "$folder" | grep -v '^1080x1920\|^720x1440\|^1622x2880' | head -1)
  [ -n "$largest" ] || continue
  n=$((n + 1))
  convert "$folder/$largest" -resize 1920x1080^ -gravity center -extent 1920x1080 -quality 90 "photo$n.jpg"
  [ "$n" -lt 20 ] || break
done
[ "$n" -eq 20 ] || { echo "only $n wallpapers in /usr/share/wallpapers" >&2; exit 1; }
pictures=()
for n in $(seq 1 20); do pictures+=("photo$n.jpg"); done

# Runs a command under GNU time; prints "seconds kilobytes cpu-seconds". The
# processor time (user + system) is shown beside the wall time because the
# machine may be shared: it does not grow when other work takes the cores.
measure() {
  /usr/bin/time -f '%e %M %U %S' -o time.txt "$@" >/dev/null 2>err.txt || { cat err.txt >&2; exit 1; }
  awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' time.txt
}

# The same sequence in ffmpeg: every picture looped for its hold and the fades
# around it, then one xfade per pair at offsets 2, 5, 8, ... seconds. Sets
# ffmpegArgs for CODEC and OUTPUT.
ffmpegSlideshow() { # CODEC OUTPUT
  local filter="" last="0" n=${#pictures[@]}
  ffmpegArgs=(ffmpeg -nostdin -v error -y)
  for ((i = 0; i < n; i++)); do
    local seconds=4
    if [ "$i" -eq 0 ] || [ "$i" -eq $((n - 1)) ]; then seconds=3; fi
    ffmpegArgs+=(-loop 1 -framerate 25 -t "$seconds" -i "${pictures[$i]}")
  done
  for ((i = 1; i < n; i++)); do
    filter+="[$last][$i]xfade=transition=fade:duration=1:offset=$((2 + 3 * (i - 1)))[v$i];"
    last="v$i"
  done
  case "$1" in
    mjpeg) ffmpegArgs+=(-filter_complex "$filter[$last]format=yuvj420p[out]" -map "[out]" -c:v mjpeg -q:v 3) ;;
    # The settings plavex-cli gives libx264 at quality 90: rate factor
    # 51 - (90 - 1) * 32 / 89 = 19, superfast with its x264 parameters, zero
    # latency, four threads, no B-frames.
    h264|mp4) ffmpegArgs+=(-filter_complex "$filter[$last]format=yuv420p[out]" -map "[out]" -c:v libx264
                           -preset superfast -tune zerolatency -crf 19 -g 250 -bf 0 -threads 4
                           -x264-params subme=2:aq-mode=0:chroma-qp-offset=-6) ;;
  esac
  [ "$1" != mp4 ] || ffmpegArgs+=(-movflags +faststart)
  ffmpegArgs+=("$2")
}

frames() { ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$1"; }

duration() { ffprobe -v error -select_streams v:0 -show_entries stream=duration -of csv=p=0 "$1"; }

for codec in "${codecs[@]}"; do
  ext=avi option=$codec
  [ "$codec" != mp4 ] || { ext=mp4; option=h264; }
  read -r pT pM pC < <(measure "$cli" slideshow "${pictures[@]}" "plavex-$codec.$ext" --hold 2 --fade 1 --fps 25 \
    --codec "$option" --quiet "${plavexOpts[@]}")
  read -r p3T p3M p3C < <(measure "$cli" slideshow "${pictures[@]:0:3}" "plavex3-$codec.$ext" --hold 2 --fade 1 \
    --fps 25 --codec "$option" --quiet "${plavexOpts[@]}")
  ffmpegSlideshow "$codec" "ffmpeg-$codec.$ext"
  read -r fT fM fC < <(measure "${ffmpegArgs[@]}")
  echo "== $codec, 20 photos 1920x1080, 2 s hold, 1 s fade, 25 fps"
  echo "plavex-cli slideshow, 20 photos: ${pT} s (${pC} s cpu), peak ${pM} KB, $(stat -c %s "plavex-$codec.$ext") bytes, $(frames "plavex-$codec.$ext") frames, $(duration "plavex-$codec.$ext") s"
  echo "plavex-cli slideshow, 3 photos:  ${p3T} s (${p3C} s cpu), peak ${p3M} KB, $(frames "plavex3-$codec.$ext") frames"
  echo "ffmpeg xfade chain, 20 photos:   ${fT} s (${fC} s cpu), peak ${fM} KB, $(stat -c %s "ffmpeg-$codec.$ext") bytes, $(frames "ffmpeg-$codec.$ext") frames, $(duration "ffmpeg-$codec.$ext") s"
  awk -v p="$pT" -v f="$fT" -v pc="$pC" -v fc="$fC" -v m20="$pM" -v m3="$p3M" 'BEGIN {
    if (p <= 0) p = 0.01
    if (pc <= 0) pc = 0.01
    printf "plavex is %.1fx faster than ffmpeg in wall time, %.1fx in processor time (target: at least 5x)\n",
      f / p, fc / pc
    printf "peak memory, 20 photos against 3: %+.1f%% (target: within 10%%)\n", (m20 - m3) * 100 / m3 }'
done
