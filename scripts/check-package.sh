#!/usr/bin/env bash
# Checks the Debian package that `make package` left in BUILD (default: build):
# its name, version and dependencies; that unpacked into an empty root it holds
# both programs, the desktop entry, the AppStream metadata and the icon at
# every theme size, as res/make_icon.py draws it; that plavex-cli runs from
# there and the wizard starts; that plavex-cli's manual page renders without a
# warning and names every option its help names, and its bash and zsh
# completions complete; and that desktop-file-validate and appstreamcli accept
# the metadata.
# Usage: scripts/check-package.sh [BUILD]   (`make check-package` builds the package first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

fail() { echo "check-package: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/plavex_${version}_$(dpkg --print-architecture).deb"
[ -n "$version" ] && [ -f "$deb" ] || fail "no package $deb: run make package"
echo "check-package: $deb"

# Fields. The libraries come from dpkg-shlibdeps; what Qt loads at run time is
# named by hand and must stay.
[ "$(dpkg-deb -f "$deb" Package)" = plavex ] || fail "the package is not named plavex"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libc6 qt6-qpa-plugins qt6-image-formats-plugins qt6-translations-l10n hicolor-icon-theme; do
  [[ ", $depends," == *", $p "* || ", $depends," == *", $p,"* ]] || fail "Depends lacks $p: $depends"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
work="$scratch/work"
mkdir "$root" "$work"
dpkg -x "$deb" "$root"
usr="$root/usr"

for program in plavex plavex-cli; do
  [ -x "$usr/bin/$program" ] || fail "no usr/bin/$program"
  # A search path into the build tree would work here and nowhere else.
  ! readelf -d "$usr/bin/$program" | grep -qE 'RPATH|RUNPATH' || fail "$program carries a library search path"
done

# The batch tool runs from the unpacked root; the system provides Qt. A WebP
# picture goes through Qt's image-format plugins.
[ "$("$usr/bin/plavex-cli" --version)" = "plavex-cli $version" ] || fail "plavex-cli --version does not say $version"
convert -size 12x8 xc:red "$work/red.png"
convert -size 12x8 xc:blue -define webp:lossless=true "$work/blue.webp"
"$usr/bin/plavex-cli" still "$work/red.png" "$work/blue.webp" "$work/mix.bmp" --quiet
[ "$(convert "$work/mix.bmp" -format '%[pixel:p{0,0}]' info:)" = 'srgb(127,0,127)' ] ||
  fail "plavex-cli still did not mix red and blue half and half"
# The wizard starts and keeps running until stopped: every library and the
# platform plugin were found.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$usr/bin/plavex" 2>"$work/wizard.err" || status=$?
[ "$status" -eq 124 ] || { cat "$work/wizard.err" >&2; fail "the wizard stopped by itself with status $status"; }

# The manual page: groff renders it without a warning, and it names every
# option that the tool's help names.
manual="$usr/share/man/man1/plavex-cli.1.gz"
[ -f "$manual" ] || fail "no manual page usr/share/man/man1/plavex-cli.1.gz"
warnings=$(zcat "$manual" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || fail "the manual page does not render cleanly: $warnings"
MANWIDTH=200 man -l "$manual" 2>/dev/null | col -b >"$work/manual.txt"
for command in still anim slideshow; do
  "$usr/bin/plavex-cli" help "$command" >"$work/help.txt"
  while read -r option; do
    grep -qF -- "$option" "$work/manual.txt" || fail "the manual page lacks $option of plavex-cli $command"
  done < <(grep -oE '^  (-h, )?--[a-z]+( [A-Za-z.]+)?' "$work/help.txt" | sed 's/^  //')
done

# The completions: bash completes commands, options and their words, zsh
# reads its file.
bash_completion="$usr/share/bash-completion/completions/plavex-cli"
[ -f "$bash_completion" ] || fail "no bash completion"
completions() {
  bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"; shift; COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}; _plavex_cli; echo "${COMPREPLY[*]}"' \
    _ "$bash_completion" plavex-cli "$@"
}
[ "$(completions sl)" = slideshow ] || fail "bash does not complete the command"
[ "$(completions anim a b c --co)" = --codec ] || fail "bash does not complete anim's options"
[ "$(completions slideshow a b c --codec '')" = "raw mjpeg h264 ffv1" ] || fail "bash does not complete the codecs"
[ "$(completions still --fit=c)" = "contain cover" ] || fail "bash does not complete the fits"
zsh -n "$usr/share/zsh/vendor-completions/_plavex-cli" || fail "the zsh completion does not parse"

# The icon: the pixel art at 32x32, the other theme sizes and the scalable
# one, each as res/make_icon.py draws it today.
drawn="$work/drawn"
mkdir "$drawn"
python3 res/make_icon.py "$drawn"
icons="$usr/share/icons/hicolor"
cmp -s "$icons/32x32/apps/plavex.png" "$drawn/plavex.png" || fail "the 32x32 icon is not the one make_icon.py draws"
cmp -s "$icons/scalable/apps/plavex.svg" "$drawn/icons/plavex.svg" || fail "the scalable icon is not the one make_icon.py draws"
for size in 16 22 24 48 64 128 256; do
  icon="$icons/${size}x${size}/apps/plavex.png"
  [ -f "$icon" ] || fail "no icon at ${size}x${size}"
  [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "the ${size}x${size} icon has another size"
  [ "$(compare -metric AE "$icon" "$drawn/icons/plavex-$size.png" null: 2>&1)" = 0 ] ||
    fail "the ${size}x${size} icon is not the one make_icon.py draws: run res/make_icon.py"
done

# The desktop metadata: valid on its own and together (the metadata's
# launchable is the desktop entry), naming this version as its newest release,
# and showing screenshots that are in res/screenshots at the size it gives.
desktop="$usr/share/applications/plavex.desktop"
metainfo=("$usr"/share/metainfo/*.metainfo.xml)
[ -f "$desktop" ] && [ -f "${metainfo[0]}" ] || fail "no desktop entry or no AppStream metadata"
desktop-file-validate "$desktop"
appstreamcli validate --no-net --strict "${metainfo[0]}"
appstreamcli validate-tree --no-net --strict "$root"
grep -m1 '<release ' "${metainfo[0]}" | grep -q "version=\"$version\"" ||
  fail "the AppStream metadata's newest release is not $version"
shots=0
while read -r width height name; do
  [ "$(identify -format '%w %h' "res/screenshots/$name")" = "$width $height" ] ||
    fail "screenshot $name is not in res/screenshots at ${width}x$height"
  shots=$((shots + 1))
done < <(sed -n 's|.*<image [^>]*width="\([0-9]*\)" height="\([0-9]*\)">https://[^<]*/res/screenshots/\([^<]*\)</image>.*|\1 \2 \3|p' "${metainfo[0]}")
[ "$shots" -gt 0 ] || fail "the AppStream metadata shows no screenshot"

echo "check-package: $(basename "$deb") is sound"
