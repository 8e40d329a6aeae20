#!/usr/bin/env bash
# The four compressors of `plavex-cli anim` on a 1920x1080 dissolve of two
# wallpaper photographs (100 frames, 25 fps), in the same run:
# - Motion JPEG and H.264 at quality 50, 75, 90 and 100: size, time (best of
#   three, alternating) and mean PSNR against the uncompressed frames. At 90,
#   the default, H.264 should keep at least 40 dB in at most 1/8 of the Motion
#   JPEG file and at most 3x its time;
# - FFV1 decoded by ffmpeg equals the uncompressed frames byte for byte;
# - readers: ffprobe, GStreamer and mediainfo on small H.264, FFV1 and Motion
#   JPEG files at 1, 25 and 100000 fps, in one segment and in several, and on
#   MP4 files of `anim` at those rates and of `slideshow`, with the order of
#   their top-level boxes (the index, moov, must come before the frames, mdat).
#
#   bench/video/codecs.sh [BUILD_DIR] [FIRST SECOND]      (default: build, the two photos below)
set -euo pipefail

build=$(realpath "${1:-build}")
cli=$build/cli/plavex-cli
samples=$build/bench/video/avi_reader_samples
# A jetty over still water dissolving into autumn leaves: fine detail and
# smooth gradients (Debian package plasma-workspace-wallpapers).
first=${2:-/usr/share/wallpapers/BytheWater/contents/images/2560x1600.jpg}
second=${3:-/usr/share/wallpapers/FallenLeaf/contents/images/2560x1600.jpg}
for picture in "$first" "$second"; do
  [ -r "$picture" ] || { echo "missing $picture" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

anim() { # anim OUTPUT CODEC [QUALITY]
  "$cli" anim "$first" "$second" "$1" --frames 100 --fps 25 --size 1920x1080 --fit cover --codec "$2" \
    ${3:+--quality "$3"} --quiet
}
timed() { # wall and processor time of a command, in seconds
  local TIMEFORMAT='%R %U %S'
  { time "$@"; } 2> time.txt
  tail -1 time.txt | awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }'
}
psnr() {
  ffmpeg -hide_banner -nostdin -i "$1" -i raw.avi -lavfi "[0]format=rgb24[a];[1]format=rgb24[b];[a][b]psnr" \
    -f null - 2>&1 | grep -o 'average:[0-9.inf]*' | tail -1 | cut -d: -f2
}
size() { stat -c %s "$1"; }
md5() { ffmpeg -v error -nostdin -i "$1" -f rawvideo -pix_fmt bgr24 - | md5sum | cut -d' ' -f1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

echo "$first -> $second"
echo "100 frames 1920x1080 at 25 fps, load $(cut -d' ' -f1-3 /proc/loadavg):"
anim raw.avi raw
printf '  %-7s %-6s %11s %6s %6s %9s   %s\n' quality codec bytes wall cpu "PSNR dB" "H.264 against Motion JPEG"
for quality in 50 75 90 100; do
  mjpegT="" mjpegC="" h264T="" h264C=""
  for _ in 1 2 3; do # alternating, so both see the same load; the best of each
    read -r t c < <(timed anim mjpeg.avi mjpeg "$quality"); mjpegT=$(least "$mjpegT" "$t"); mjpegC=$(least "$mjpegC" "$c")
    read -r t c < <(timed anim h264.avi h264 "$quality"); h264T=$(least "$h264T" "$t"); h264C=$(least "$h264C" "$c")
  done
  printf '  %-7s %-6s %11s %6s %6s %9.2f\n' "$quality" mjpeg "$(size mjpeg.avi)" "$mjpegT" "$mjpegC" "$(psnr mjpeg.avi)"
  printf '  %-7s %-6s %11s %6s %6s %9.2f   1/%s of the size, %sx the time (%sx the processor time)\n' "$quality" h264 \
    "$(size h264.avi)" "$h264T" "$h264C" "$(psnr h264.avi)" "$(ratio "$(size mjpeg.avi)" "$(size h264.avi)")" \
    "$(ratio "$h264T" "$mjpegT")" "$(ratio "$h264C" "$mjpegC")"
done
echo "  (targets at 90: H.264 at least 40 dB, at most 1/8 of the size and 3x the time)"
anim ffv1.avi ffv1
if [ "$(md5 ffv1.avi)" = "$(md5 raw.avi)" ]; then echo "FFV1 frames equal the raw frames byte for byte"
else echo "FFV1 frames DIFFER from the raw frames"; fi

echo
echo "Readers (codec, width, height, rate, frames) on 120-frame 320x240 files:"
mkdir samples
"$samples" samples > samples.txt
while read -r f; do
  ff=$(ffprobe -v error -count_frames -select_streams v:0 \
    -show_entries stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0 "$f")
  mi=$(mediainfo --Inform='Video;%Format%,%Width%,%Height%,%FrameRate%,%FrameCount%' "$f")
  gst=$(gst-discoverer-1.0 "$f" 2>&1 | awk -F': ' '/video #|Width|Height|Frame rate|Duration|Missing/ {printf "%s,", $2}')
  printf '  %-30s ffprobe %-26s mediainfo %-30s gst %s\n' "$(basename "$f")" "$ff" "$mi" "$gst"
done < samples.txt

echo
echo "MP4 readers (codec, width, height, rate, duration, frames; top-level boxes) on 320x240 files:"
for fps in 1 25 100000; do
  "$cli" anim "$first" "$second" "anim-${fps}fps.mp4" --frames 120 --fps "$fps" --size 320x240 --quiet
done
"$cli" slideshow "$first" "$second" "$first" slideshow-25fps.mp4 --size 320x240 --quiet
for f in anim-1fps.mp4 anim-25fps.mp4 anim-100000fps.mp4 slideshow-25fps.mp4; do
  ff=$(ffprobe -v error -count_frames -select_streams v:0 \
    -show_entries stream=codec_name,width,height,r_frame_rate,duration,nb_read_frames -of csv=p=0 "$f")
  mi=$(mediainfo --Inform='Video;%Format%,%Width%,%Height%,%FrameRate%,%Duration%,%FrameCount%' "$f")
  gst=$(gst-discoverer-1.0 "$f" 2>&1 | awk -F': ' '/video #|Width|Height|Frame rate|Duration|Missing/ {printf "%s,", $2}')
  boxes=$(python3 -c 'import struct, sys
d = open(sys.argv[1], "rb").read(); i = 0; out = []
while i + 8 <= len(d):
    n, t = struct.unpack(">I4s", d[i:i + 8]); out.append(t.decode()); i += n or len(d)
print(" ".join(out))' "$f")
  printf '  %-22s ffprobe %-34s mediainfo %-36s gst %s boxes %s\n' "$f" "$ff" "$mi" "$gst" "$boxes"
done
