#!/usr/bin/env bash
# Installs the Debian packages Plavex needs to build, test and run, and only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6widgets6 libqt6concurrent6 qt6-qpa-plugins libgl-dev qt6-translations-l10n
  libturbojpeg0-dev libpng-dev libtiff-dev
  qt6-image-formats-plugins libheif-dev libheif1
  imagemagick webp libheif-examples libavif-bin libimage-exiftool-perl
  libavcodec-dev libavformat-dev libavutil-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  ffmpeg xvfb xauth gcovr
  mediainfo gstreamer1.0-plugins-base-apps gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  python3 time util-linux
  dpkg-dev file desktop-file-utils appstream groff-base man-db bsdextrautils bash-completion zsh
  fonts-dejavu-core fonts-liberation
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
