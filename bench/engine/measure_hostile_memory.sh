#!/usr/bin/env bash
# Measures the peak memory of plavex-cli on the most hostile pictures: tiny
# files whose headers claim the largest picture the loader accepts, or far
# more. Prints one line per picture and command with the exit status, the
# peak resident set size and the wall time.
#
#   bench/engine/measure_hostile_memory.sh [PLAVEX_CLI]   (default build/cli/plavex-cli)
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
cli=${1:-$repo/build/cli/plavex-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

pictures=$work/hostile
python3 "$repo/bench/engine/hostile_pictures.py" "$pictures"
small=$pictures/small_7x5.bmp

printf '%-24s %-6s %5s %12s %8s\n' picture command exit "peak RSS" seconds
for picture in "$pictures"/*_limit.*; do
    for command in still anim; do
        output=$work/out.bmp
        extra=()
        if [ "$command" = anim ]; then
            output=$work/out.avi
            extra=(--frames 2)
        fi
        set +e
        /usr/bin/time -f '%M %e' -o "$work/time.txt" "$cli" "$command" "$picture" "$small" "$output" \
            "${extra[@]}" >/dev/null 2>"$work/err.txt"
        status=$?
        set -e
        read -r rss seconds < <(tail -1 "$work/time.txt")
        printf '%-24s %-6s %5s %9d MB %8s\n' "$(basename "$picture")" "$command" "$status" $((rss / 1024)) "$seconds"
        rm -f "$work/out.bmp" "$work/out.avi"
    done
done
