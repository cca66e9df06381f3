#!/usr/bin/env bash
# Runs the real game once for each of its eight asset files missing, empty, cut in half and replaced by
# random bytes, in one private Xvfb: the game must start, write exactly the failure line for that file
# where its load fails (a music cut in half still loads), run without it and quit with 0 on Escape, Escape.
# The practice picture, which only practice mode reads, is damaged the same ways under --practice.
# Usage: damaged_assets.sh <path-to-brakko> <project-root>. The random bytes come from seed 1, so that a
# failure under CTest is never luck; BRAKKO_SEED=<n> replays another and BRAKKO_SEED=random explores.
set -uo pipefail

brakko=$(realpath "$1")
root=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/../../scripts/xvfb.sh"
take_scratch
seed=${BRAKKO_SEED:-1}
[ "$seed" = random ] && seed=$RANDOM
failures=0
cases=0

echo "damaged_assets: random bytes from seed $seed (BRAKKO_SEED=$seed replays them)"

# Our own X server on whichever display is free.
start_xvfb "$scratch" || { echo "damaged_assets: Xvfb did not report a display"; exit 1; }
export SDL_AUDIODRIVER=dummy

# Makes the damaged copy of one file in place of its link; the others stay links to the project's own.
damage() {
    local file=$1 how=$2 size
    size=$(stat -c %s "$root/$file")
    rm -f "$file"
    case $how in
        missing) ;;
        empty) : >"$file" ;;
        truncated) head -c $((size / 2)) "$root/$file" >"$file" ;;
        random) perl -e 'srand($ARGV[0]); print map { chr(int(rand(256))) } 1 .. $ARGV[1]' "$seed" "$size" >"$file" ;;
    esac
}

# The exact bytes the game must write: è is one ISO-8859-1 byte in the picture line.
expected() {
    local file=$1 how=$2
    case $file in
        img/*) printf 'porbl\xe8me avec le fichier ./%s\n' "$file" ;;
        snd/*) [ "$how" = truncated ] || printf 'probleme avec le fichier musical [./%s]\n' "$file" ;;
    esac
}

fail() {
    echo "damaged_assets: with $1 $2: $3"
    failures=$((failures + 1))
}

run_case() {
    local file=$1 how=$2 dir=$scratch/case window status
    shift 2
    cases=$((cases + 1))
    rm -rf "$dir"
    mkdir -p "$dir/img" "$dir/snd"
    ln -s "$root"/img/*.bmp "$dir/img/"
    ln -s "$root"/snd/*.ogg "$dir/snd/"
    (cd "$dir" && damage "$file" "$how")
    expected "$file" "$how" >"$scratch/expected"

    (cd "$dir" && exec "$brakko" "$@") >"$scratch/out" 2>"$scratch/err" &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" --name '^Brakko$' 2>/dev/null | head -n1)
    if [ -z "$window" ]; then
        fail "$file" "$how" "no window captioned Brakko appeared"
        kill "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
        game_pid=
        return
    fi
    xdotool windowfocus --sync "$window" 2>/dev/null

    # The first Escape closes the curtain onto the rage-quit screen, drawing every frame with whatever
    # loaded; an Escape there quits. Escapes during the curtain change nothing, so keep pressing until it
    # ends, which needs the whole closing to have been drawn.
    xdotool key Escape
    sleep 0.6
    if ! kill -0 "$game_pid" 2>/dev/null; then
        wait "$game_pid"
        fail "$file" "$how" "the game ended after one Escape on the title (status $?)"
        game_pid=
        return
    fi
    for _ in $(seq 100); do
        kill -0 "$game_pid" 2>/dev/null || break
        xdotool key Escape 2>/dev/null
        sleep 0.2
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "$file" "$how" "the game was still running 20 s after Escape, Escape"
        kill "$game_pid"
        wait "$game_pid" 2>/dev/null
        game_pid=
        return
    fi
    wait "$game_pid"
    status=$?
    game_pid=
    [ "$status" -eq 0 ] || fail "$file" "$how" "the game should quit with status 0, not $status"
    if ! cmp -s "$scratch/expected" "$scratch/out"; then
        fail "$file" "$how" "the game should write $(cat -v "$scratch/expected" | sed 's/$/\\n/' | tr -d '\n' | sed 's/^$/nothing/'), not $(cat -v "$scratch/out" | sed 's/$/\\n/' | tr -d '\n' | sed 's/^$/nothing/')"
    fi
    [ -s "$scratch/err" ] && { echo "damaged_assets: with $file $how the game wrote on stderr:"; cat "$scratch/err"; }
}

for file in img/title.bmp img/tooth.bmp img/bot.bmp img/loose.bmp img/won.bmp \
    snd/goof.ogg snd/robot_wars.ogg snd/vexo.ogg snd/down.ogg; do
    for how in missing empty truncated random; do
        run_case "$file" "$how"
    done
done
for how in missing empty truncated random; do
    run_case img/practice.bmp "$how" --practice
done

if [ "$failures" -ne 0 ]; then
    echo "damaged_assets: $failures of $cases damaged-asset runs failed"
    exit 1
fi
echo "damaged_assets: all $cases runs wrote the right line, drew without the file and quit with 0"
