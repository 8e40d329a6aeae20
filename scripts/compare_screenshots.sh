#!/bin/sh
# Compares two folders of wizard screenshots picture by picture and prints the
# number of differing pixels of every picture that is not identical, or that
# is missing on one side. Exits 1 when any picture differs.
#
#   scripts/compare_screenshots.sh BEFORE_FOLDER AFTER_FOLDER
set -u
if [ $# -ne 2 ]; then
    echo "usage: $0 BEFORE_FOLDER AFTER_FOLDER" >&2
    exit 2
fi
before=$1
after=$2
status=0
count=0
seen=
for a in "$before"/*.png "$after"/*.png; do
    [ -e "$a" ] || continue
    name=$(basename "$a")
    case " $seen " in *" $name "*) continue ;; esac
    seen="$seen $name"
    count=$((count + 1))
    if [ ! -e "$before/$name" ] || [ ! -e "$after/$name" ]; then
        echo "$name: only in one folder"
        status=1
        continue
    fi
    # compare prints the metric on stderr; a size mismatch is an error, not a count.
    ae=$(compare -metric AE "$before/$name" "$after/$name" null: 2>&1)
    if [ "$ae" != "0" ]; then
        echo "$name: $ae pixels differ"
        status=1
    fi
done
if [ $status -eq 0 ]; then
    echo "all $count pictures identical"
fi
exit $status
