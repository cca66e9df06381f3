#!/usr/bin/env bash
# The game's CPU in a real window (a private Xvfb) with nothing pressed: on the title and on level 1, each
# measured over a number of seconds once the screen is at rest; then what one present costs while things
# move (brakko-present). Run by hand; not a test. Sound goes to SDL's dummy driver unless
# SDL_AUDIODRIVER says otherwise.
# Usage: bench/window_cpu.sh [build-dir (default build)] [seconds (default 20)]
set -uo pipefail

root=$(realpath "$(dirname "$0")/..")
build=$(realpath "${1:-$root/build}")
seconds=${2:-20}
[ -x "$build/brakko" ] || { echo "window_cpu: no $build/brakko; build it first (make build)"; exit 1; }
scratch=$(mktemp -d)
xvfb_pid=
game_pid=
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

source "$root/scripts/xvfb.sh"
start_xvfb "$scratch" || { echo "window_cpu: Xvfb did not report a display"; exit 1; }
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
cd "$root" || exit 1

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Percent of one core that the game, and the X server showing it, used over the next $seconds seconds.
measure() {
    local game x
    game=$(cpu_ticks "$game_pid")
    x=$(cpu_ticks "$xvfb_pid")
    sleep "$seconds"
    awk -v g=$(($(cpu_ticks "$game_pid") - game)) -v x=$(($(cpu_ticks "$xvfb_pid") - x)) -v t="$seconds" \
        -v hz="$hz" 'BEGIN {printf "%.1f%% of a core (the X server %.1f%%)", 100 * g / hz / t, 100 * x / hz / t}'
}

"$build/brakko" >"$scratch/out" &
game_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" --name '^Brakko$' | head -n1)
[ -n "$window" ] || { echo "window_cpu: no window captioned Brakko appeared"; exit 1; }
xdotool windowfocus --sync "$window"
sleep 3
echo "window_cpu: title at rest, over $seconds s: $(measure)"
xdotool key Return
sleep 5
echo "window_cpu: level 1 with nothing pressed, over $seconds s: $(measure)"
kill "$game_pid"
wait "$game_pid" 2>/dev/null
game_pid=

[ -x "$build/bench/brakko-present" ] && "$build/bench/brakko-present" 600 "$root"
