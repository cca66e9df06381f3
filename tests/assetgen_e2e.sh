#!/usr/bin/env bash
# Regenerates every asset into a temporary directory and compares it byte for byte with the committed files:
# the committed pictures and music must be exactly what tools/brakko-assetgen makes. Then a full disk under
# an icon must make the generator fail with a message, not crash and not claim success. Writes nothing else.
# Usage: assetgen_e2e.sh <path-to-brakko> <project-root>; the generator is built next to brakko, in tools/.
set -uo pipefail

generator=$(dirname "$(realpath "$1")")/tools/brakko-assetgen
root=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

[ -x "$generator" ] || { echo "assetgen_e2e: the generator $generator was not built"; exit 1; }
"$generator" "$scratch" || { echo "assetgen_e2e: the generator failed"; exit 1; }

status=0
for file in img/bot.bmp img/title.bmp img/tooth.bmp img/loose.bmp img/practice.bmp \
    snd/goof.ogg snd/robot_wars.ogg snd/vexo.ogg snd/down.ogg \
    icons/brakko-48.png icons/brakko-128.png icons/brakko-48.bmp; do
    if [ ! -f "$root/$file" ]; then
        echo "assetgen_e2e: $file is not committed"
        status=1
    elif ! cmp -s "$scratch/$file" "$root/$file"; then
        echo "assetgen_e2e: the committed $file differs from what the generator makes now"
        status=1
    fi
done
[ $status = 0 ] && echo "assetgen_e2e: all thirteen generated files match the committed ones"

full="$scratch/full"
mkdir -p "$full/icons"
ln -s /dev/full "$full/icons/brakko-48.png"
output=$("$generator" "$full" 2>&1)
code=$?
if [ $code != 1 ] || [[ $output != *"cannot write $full/icons/brakko-48.png"* ]]; then
    echo "assetgen_e2e: writing an icon onto a full disk should fail with a message; exit $code, said: $output"
    status=1
fi
exit $status
