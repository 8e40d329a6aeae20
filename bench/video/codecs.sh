#!/usr/bin/env bash
# The four compressors of `plavex-cli anim` on a 1920x1080 dissolve of two
# photo-like pictures (100 frames, 25 fps, default quality), in the same run:
# - size: H.264 at most 1/8 of Motion JPEG, with a mean PSNR of at least 40 dB
#   against the uncompressed frames;
# - speed: H.264 at most 3x the Motion JPEG time (best of three each);
# - FFV1 decoded by ffmpeg equals the uncompressed frames byte for byte;
# - readers: ffprobe, GStreamer and mediainfo on small H.264, FFV1 and Motion
#   JPEG files at 1, 25 and 100000 fps, in one segment and in several, and on
#   MP4 files of `anim` at those rates and of `slideshow`, with the order of
#   their top-level boxes (the index, moov, must come before the frames, mdat).
#
#   bench/video/codecs.sh [BUILD_DIR]      (default: build)
set -euo pipefail

build=$(realpath "${1:-build}")
cli=$build/cli/plavex-cli
samples=$build/bench/video/avi_reader_samples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Photo-like pictures: fractal detail at every scale (as in skies, foliage and
# stone), hard-edged shapes and text, and a little sensor noise.
font=$(fc-list : file | grep -m1 -i 'DejaVuSans.ttf' | cut -d: -f1)
convert -size 1920x1080 -seed 7 plasma:fractal -blur 0x0.7 -modulate 100,60 \
  \( -size 1920x1080 xc:none -fill '#304050' -draw "circle 500,500 500,800" -fill '#e0d0a0' \
     -draw "rectangle 1100,200 1700,900" -fill '#802020' -draw "polygon 200,1000 900,300 1400,1000" -blur 0x1.2 \) \
  -composite -font "$font" -fill white -pointsize 90 -annotate +1150+600 'Plavex 2026' \
  -attenuate 0.05 +noise Gaussian -quality 92 first.jpg
convert -size 1920x1080 -seed 11 plasma:fractal -blur 0x0.7 -modulate 100,50,150 \
  \( -size 1920x1080 xc:none -fill '#203010' -draw "ellipse 1300,600 400,250 0,360" -fill '#a0c0e0' \
     -draw "rectangle 100,100 800,500" -blur 0x1 \) \
  -composite -font "$font" -fill black -pointsize 70 -annotate +150+350 'Mountains' \
  -attenuate 0.05 +noise Gaussian -quality 92 second.jpg

anim() { "$cli" anim first.jpg second.jpg "$1.avi" --frames 100 --fps 25 --size 1920x1080 --codec "$1" --quiet; }
seconds() { # wall time of a command, in seconds
  local s e
  s=$(date +%s.%N); "$@"; e=$(date +%s.%N)
  awk -v s="$s" -v e="$e" 'BEGIN { printf "%.2f", e - s }'
}

anim raw
mjpegT="" h264T=""
for _ in 1 2 3; do # alternating, so both see the same load
  t=$(seconds anim mjpeg); if [ -z "$mjpegT" ] || awk "BEGIN{exit !($t < $mjpegT)}"; then mjpegT=$t; fi
  t=$(seconds anim h264); if [ -z "$h264T" ] || awk "BEGIN{exit !($t < $h264T)}"; then h264T=$t; fi
done
ffv1T=$(seconds anim ffv1)

psnr() {
  ffmpeg -hide_banner -nostdin -i "$1" -i raw.avi -lavfi "[0]format=rgb24[a];[1]format=rgb24[b];[a][b]psnr" \
    -f null - 2>&1 | grep -o 'average:[0-9.inf]*' | tail -1 | cut -d: -f2
}
size() { stat -c %s "$1"; }
md5() { ffmpeg -v error -nostdin -i "$1" -f rawvideo -pix_fmt bgr24 - | md5sum | cut -d' ' -f1; }

echo "100 frames 1920x1080 at 25 fps, default quality (90):"
printf '  %-6s %11s bytes  %6s s  PSNR %s dB\n' raw "$(size raw.avi)" - inf
printf '  %-6s %11s bytes  %6s s  PSNR %s dB\n' mjpeg "$(size mjpeg.avi)" "$mjpegT" "$(psnr mjpeg.avi)"
printf '  %-6s %11s bytes  %6s s  PSNR %s dB\n' h264 "$(size h264.avi)" "$h264T" "$(psnr h264.avi)"
printf '  %-6s %11s bytes  %6s s\n' ffv1 "$(size ffv1.avi)" "$ffv1T"
awk -v m="$(size mjpeg.avi)" -v h="$(size h264.avi)" 'BEGIN { printf "H.264 is 1/%.1f of Motion JPEG (target: at most 1/8)\n", m / h }'
awk -v m="$mjpegT" -v h="$h264T" 'BEGIN { if (m <= 0) m = 0.01; printf "H.264 takes %.2fx the Motion JPEG time (target: at most 3x)\n", h / m }'
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
  "$cli" anim first.jpg second.jpg "anim-${fps}fps.mp4" --frames 120 --fps "$fps" --size 320x240 --quiet
done
"$cli" slideshow first.jpg second.jpg first.jpg slideshow-25fps.mp4 --size 320x240 --quiet
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
