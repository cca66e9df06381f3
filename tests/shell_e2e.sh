#!/usr/bin/env bash
# Runs the real game in a real X window under a private Xvfb and plays Return, Escape, Escape: it must quit
# with status 0 in bounded time. Also: with no video at all it must leave with status 1, not run blind.
# Usage: shell_e2e.sh <path-to-brakko> <project-root>
set -uo pipefail

brakko=$(realpath "$1")
root=$2
scratch=$(mktemp -d)
xvfb_pid=
game_pid=

cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "shell_e2e: $*"
    [ -s "$scratch/out" ] && { echo "the game wrote:"; cat -v "$scratch/out"; }
    exit 1
}

# The game leaves when its window cannot open.
cd "$root" || fail "cannot enter the project root $root"
SDL_VIDEODRIVER=no-such-driver SDL_AUDIODRIVER=dummy timeout 20 "$brakko" >"$scratch/out"
status=$?
[ "$status" -eq 1 ] || fail "with no video the game should exit with status 1, not $status"
grep -q "^Erreur lors de l'initialisation de la SDL" "$scratch/out" ||
    fail "with no video the game should first say that SDL would not start"

# Our own X server on whichever display is free.
source "$(dirname "$(realpath "$0")")/../scripts/xvfb.sh"
start_xvfb "$scratch" || fail "Xvfb did not report a display"

# Music is not what this test is about; the dummy audio driver keeps it off the machine's sound card.
SDL_AUDIODRIVER=dummy "$brakko" >"$scratch/out" &
game_pid=$!

window=$(timeout 20 xdotool search --sync --name '^Brakko$' | head -n1)
[ -n "$window" ] || fail "no window captioned Brakko appeared"
xdotool windowfocus --sync "$window" || fail "could not focus the game's window"

# Each transition is about a hundred frames; the waits leave a slow machine room to finish the curtain.
xdotool key Return
sleep 4
kill -0 "$game_pid" 2>/dev/null || fail "the game ended after Return on the title"
xdotool key Escape
sleep 4
kill -0 "$game_pid" 2>/dev/null || fail "the game ended after Escape on level 1; it should show the rage-quit screen"
xdotool key Escape

for _ in $(seq 300); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "the game was still running 30 s after Escape on the rage-quit screen"
wait "$game_pid"
status=$?
game_pid=
[ "$status" -eq 0 ] || fail "the game should exit with status 0 after Escape on the rage-quit screen, not $status"
echo "shell_e2e: Return, Escape, Escape quit the game with status 0"
