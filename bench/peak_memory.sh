#!/usr/bin/env bash
# Peak resident memory of the game: the real game in a private Xvfb, 10 s on level 1 after Return; then the
# headless run (dummy video) through every screen, over 10 s on level 2, under /usr/bin/time.
# Usage: bench/peak_memory.sh [build-dir] [seconds]
set -uo pipefail
build=$(realpath "${1:-build}")
seconds=${2:-10}
root=$(realpath "$(dirname "$0")/..")
source "$(dirname "$(realpath "$0")")/../scripts/xvfb.sh"
take_scratch

# Our own X server on whichever display is free.
start_xvfb "$scratch" || { echo "peak_memory: Xvfb did not report a display"; exit 1; }
export SDL_AUDIODRIVER=dummy

cd "$root" || exit 1
"$build/brakko" >/dev/null &
game_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" --name '^Brakko$' | head -n1)
xdotool windowfocus --sync "$window"
xdotool key Return
sleep 1.5 # the curtain, about 107 frames
sleep "$seconds"
echo "real game, X11 under Xvfb, ${seconds} s on level 1:"
grep -E '^(VmHWM|VmRSS)' "/proc/$game_pid/status"
xdotool key Escape
sleep 1.5
xdotool key Escape
wait "$game_pid"
game_pid=

# 125 frames a second when frames are cheap: this many frames per screen keeps each screen up that long.
frames=$((seconds * 125))
echo "headless run, dummy video, $frames frames on each screen (level 2 reached through the real flow):"
/usr/bin/time -f 'maximum resident set size: %M kB' "$build/tests/quality/headless_frames" "$root" "$frames"
