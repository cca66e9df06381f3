#!/usr/bin/env bash
# The game's CPU in a real window (a private Xvfb), for one or more builds in one run, so that a before and
# an after are measured on the same machine at the same time: at rest on the title, level 1, the rage-quit
# screen and level 2 (reached with 2 in practice mode), and while things move (the shipped solution playing
# level 1 and its curtain), each over a number of seconds; then what one present costs (brakko-present).
# Run by hand; not a test. Sound goes to SDL's dummy driver unless SDL_AUDIODRIVER says otherwise.
# Usage: bench/window_cpu.sh [seconds (default 10)] [build-dir... (default build)]
set -uo pipefail

root=$(realpath "$(dirname "$0")/..")
seconds=${1:-10}
shift $(($# > 0 ? 1 : 0))
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=("$root/build")
for build in "${builds[@]}"; do
    [ -x "$build/brakko" ] || { echo "window_cpu: no $build/brakko; build it first (make build)"; exit 1; }
done
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
        -v hz="$hz" 'BEGIN {printf "%5.1f%% (X %4.1f%%)", 100 * g / hz / t, 100 * x / hz / t}'
}
# Starts the game with these options and waits for its window, focused.
start() {
    "$build/brakko" "$@" >"$scratch/out" &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" --name '^Brakko$' | head -n1)
    [ -n "$window" ] || { echo "window_cpu: no window captioned Brakko appeared"; exit 1; }
    xdotool windowfocus --sync "$window"
}
finish() {
    kill "$game_pid"
    wait "$game_pid" 2>/dev/null
    game_pid=
}

echo "window_cpu: percent of a core (and the X server's) over $seconds s each, nothing pressed"
printf '%-28s %-18s %-18s %-18s %-18s %-18s\n' build title level1 ragequit level2 moving
for build in "${builds[@]}"; do
    start
    sleep 3
    title=$(measure)
    xdotool key Return
    sleep 4  # the curtain opens, and level 1's robots stand still
    level1=$(measure)
    xdotool key Escape
    sleep 8  # the rage-quit screen's robots ride its belts for about six seconds
    ragequit=$(measure)
    finish
    start --practice
    sleep 1
    xdotool key 2
    sleep 4
    level2=$(measure)
    finish
    # The shipped solution: Return at once, the curtain, and level 1's robots carried and re-formed.
    start --solution
    moving=$(measure)
    finish
    printf '%-28s %-18s %-18s %-18s %-18s %-18s\n' "$(basename "$(dirname "$build")")/$(basename "$build")" \
        "$title" "$level1" "$ragequit" "$level2" "$moving"
done

for build in "${builds[@]}"; do
    [ -x "$build/bench/brakko-present" ] && echo "$build:" && "$build/bench/brakko-present" 600 "$root"
done
