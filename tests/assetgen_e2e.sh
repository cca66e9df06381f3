#!/usr/bin/env bash
# Regenerates every asset into a temporary directory and compares it with the committed files. On a machine
# with the fonts and libraries the committed assets were made with (tools/assetgen.versions) they must be the
# same bytes; with others, whose hinting and rounding may differ, brakko-assetcmp must find them alike once
# decoded: pictures within a few shades, tunes of the same length and loudness. Then a full disk under an
# icon must make the generator fail with a message, not crash and not claim success. Writes nothing else.
# Usage: assetgen_e2e.sh <path-to-brakko> <project-root>; the generator is built next to brakko, in tools/.
# The root gives the committed assets and their record, so a copy of them with an edited record or asset
# exercises the other comparison and its failures.
set -uo pipefail

generator=$(dirname "$(realpath "$1")")/tools/brakko-assetgen
root=$(realpath "$2")
source=$(realpath "$(dirname "$0")/..")
comparer=$(dirname "$generator")/brakko-assetcmp
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for tool in "$generator" "$comparer"; do
    [ -x "$tool" ] || { echo "assetgen_e2e: $tool was not built"; exit 1; }
done
"$generator" "$scratch" || { echo "assetgen_e2e: the generator failed"; exit 1; }

# Byte for byte only with the very fonts and libraries the record names; otherwise say which differ.
record=$root/tools/assetgen.versions
here=$(bash "$source/tools/assetgen-versions" "$generator")
if [ ! -f "$record" ]; then
    echo "assetgen_e2e: no $record, so comparing decoded pictures and sound"
    mode=decoded
elif versions=$(diff <(grep -v '^#' "$record") <(grep -v '^#' <<<"$here")); then
    echo "assetgen_e2e: this machine has the fonts and libraries of tools/assetgen.versions: comparing bytes"
    mode=bytes
else
    echo "assetgen_e2e: this machine's fonts or libraries differ from tools/assetgen.versions" \
        "(< recorded, > here), so comparing decoded pictures and sound:"
    grep '^[<>]' <<<"$versions" | sed 's/^/    /'
    mode=decoded
fi

status=0
files=(img/bot.bmp img/title.bmp img/tooth.bmp img/loose.bmp img/won.bmp img/practice.bmp
    snd/goof.ogg snd/robot_wars.ogg snd/vexo.ogg snd/down.ogg
    icons/brakko-48.png icons/brakko-128.png icons/brakko-48.bmp)
for file in "${files[@]}"; do
    if [ ! -f "$root/$file" ]; then
        echo "assetgen_e2e: $file is not committed"
        status=1
    elif [ $mode = bytes ] && ! cmp -s "$root/$file" "$scratch/$file"; then
        # How far apart they decode tells a changed drawing from a changed library the record misses.
        echo "assetgen_e2e: the committed $file differs byte for byte from what the generator makes;" \
            "decoded: $("$comparer" "$root/$file" "$scratch/$file")"
        status=1
    elif [ $mode = decoded ] && ! verdict=$("$comparer" "$root/$file" "$scratch/$file"); then
        echo "assetgen_e2e: the committed $file and what the generator makes differ once decoded: $verdict"
        status=1
    fi
done
[ $status = 0 ] && echo "assetgen_e2e: all ${#files[@]} generated files match the committed ones ($mode)"

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
