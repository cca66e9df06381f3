#!/usr/bin/env bash
# Runs the real game in a real X window under a private Xvfb and plays Return, then Escapes until it has
# gone: it must quit with status 0, and not on the first Escape. Also: with no video at all, or no display
# to show it on, it must leave with status 1, not run blind; and a bad command line or replay file is
# refused with status 2 before any window opens.
# Usage: shell_e2e.sh <path-to-brakko> <project-root>
set -uo pipefail

brakko=$(realpath "$1")
root=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/../scripts/xvfb.sh"
take_scratch

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
# Nor does it run unseen when no display is reachable and no driver was asked for: the classic library would
# fall back to ASCII art in the terminal, and sdl12-compat to a driver that shows nothing.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy timeout 20 "$brakko" >"$scratch/out" 2>&1
status=$?
[ "$status" -eq 1 ] || fail "with no display the game should exit with status 1, not $status"

# Everything on the command line is checked before the window opens. With no video driver at all, a run that
# got as far as the window would leave with status 1 and SDL's French line; a refusal is status 2 and says why
# on standard error.
run_without_video() {
    SDL_VIDEODRIVER=no-such-driver SDL_AUDIODRIVER=dummy timeout 20 "$brakko" "$@" \
        >"$scratch/out" 2>"$scratch/err"
}
refused() {
    local what=$1 want=$2 status
    shift 2
    run_without_video "$@"
    status=$?
    [ "$status" -eq 2 ] || fail "$what: the game should exit with 2 before opening a window, not $status"
    [ ! -s "$scratch/out" ] || fail "$what: nothing should reach standard output"
    [ "$(wc -l <"$scratch/err")" -eq 1 ] ||
        fail "$what: one line on standard error, not: $(cat -v "$scratch/err")"
    grep -qF -- "$want" "$scratch/err" ||
        fail "$what: the line should say '$want', not: $(cat -v "$scratch/err")"
}
bad=$scratch/bad.replay
# The first line of a replay of this game, as the shipped solution has it.
header=$(head -n1 "$root/replays/solution.replay")
# Each case: what is wrong, the file's bytes (printf escapes, HEADER for that first line), the line that
# must be named, and what the message must go on to say, if that is checked. The reader's every refusal is
# replay_test's; these see the program name the file and the line.
while IFS='|' read -r what bytes line says; do
    printf "${bytes//HEADER/$header}" >"$bad"
    refused "a replay with $what" "brakko: $bad: line $line: $says" --replay "$bad"
done <<'CASES'
nothing in it||1
other rules|brakko replay 2 rules 0\n12 q\n|1|a replay of rules version 0, which this game
two events in one frame|HEADER\n12 q\n12 w\n|3
CASES
{ echo "$header"; head -c 10000000 /dev/zero | tr '\0' 1; } >"$bad"
refused "a replay with a 10 MB line" "brakko: $bad: line 2: " --replay "$bad"
refused "a replay that is missing" "brakko: $scratch/missing: cannot open it" --replay "$scratch/missing"
refused "a directory as replay" "brakko: $scratch: line 1: " --replay "$scratch"
# A run belongs to the level it was made on: the built-in levels, or one level file's map.
printf '%s\nlevel 0123456789abcdef\n12 q\n' "$header" >"$bad"
refused "a replay of a player's level played without it" "brakko: $bad: a replay made on a level of its own" \
    --replay "$bad"
refused "a replay of another level" "brakko: $bad: a replay made on another level" --replay "$bad" \
    --level "$root/levels/01-joining.level"
refused "the built-in solution on a player's level" "a replay made on another level" --solution \
    --level "$root/levels/01-joining.level"
cd "$scratch" || fail "cannot enter $scratch"
refused "--solution away from the game's data" "brakko: ./replays/solution.replay: cannot open it" --solution
cd "$root" || fail "cannot enter the project root $root"

# At the limits, and the shipped solution, the replay is accepted: the run goes on to the window.
printf '%s\n5184000 close\n5184000 end\n' "$header" >"$bad"
run_without_video --replay "$bad"
[ $? -eq 1 ] || fail "a replay ending in frame 5184000 should be accepted: $(cat "$scratch/err")"
run_without_video --solution
[ $? -eq 1 ] || fail "the shipped solution should be accepted from the project root: $(cat "$scratch/err")"
# Saved with Windows line ends, a replay reads as with Unix ones.
sed 's/$/\r/' "$root/replays/solution.replay" >"$bad"
run_without_video --replay "$bad"
[ $? -eq 1 ] || fail "the solution with CRLF line ends should be accepted: $(cat "$scratch/err")"

# A recording never replaces a file.
echo "keep me" >"$scratch/kept"
refused "--record onto an existing file" "brakko: $scratch/kept: the file exists already" \
    --record "$scratch/kept"
[ "$(cat "$scratch/kept")" = "keep me" ] || fail "--record changed an existing file"
refused "--record into a missing directory" "brakko: $scratch/no/run.replay: cannot create it" \
    --record "$scratch/no/run.replay"

# A pack is read whole before the window opens: a folder with no level file, or with one the reader refuses,
# is refused with the reader's own line. A pack is played through alone, never recorded or replayed.
mkdir -p "$scratch/empty" "$scratch/pack"
printf '####\n#1 #\n####\n' >"$scratch/pack/a.level"
refused "an empty pack" "brakko: $scratch/empty: no level files in it" "--pack=$scratch/empty"
refused "a pack with a refused level" "brakko: $scratch/pack/a.level: line 1, column 1: the map has no goal" \
    "--pack=$scratch/pack"
mkdir -p "$scratch/fifos" && mkfifo "$scratch/fifos/x.level"
refused "a pack with a FIFO, never waited on" "$scratch/fifos/x.level: not a regular file" "--pack=$scratch/fifos"
refused "a FIFO as level" "$scratch/fifos/x.level: not a regular file" --level "$scratch/fifos/x.level"
refused "a recorded pack" "takes no --record" --pack --record "$scratch/pack.replay"
# A generated level is played alone too, refused before the generator is built.
for clash in "--level $scratch/pack/a.level" --pack "--replay $bad" --solution --daily; do
    refused "--generate with $clash" "brakko: --generate plays a level it makes and takes no ${clash%% *}" \
        --generate $clash
done
refused "--daily with a pack" "brakko: --daily plays a level it makes and takes no --pack" --daily --pack
refused "--generate with no difficulty" "brakko: --generate=tricky: neither easy" --generate=tricky
XDG_STATE_HOME=$scratch/state run_without_video --pack
[ $? -eq 1 ] || fail "the game's own pack should be accepted from the project root: $(cat "$scratch/err")"

# getopt's forms: FILE after "=", or as the next word even when it starts with a dash; "--" ends the options.
cp "$bad" "$scratch/-dashed.replay"
cd "$scratch" || fail "cannot enter $scratch"
for args in "--replay=$bad" "--replay -dashed.replay" "--replay=-dashed.replay" "--fullscreen --replay $bad --"; do
    run_without_video $args
    [ $? -eq 1 ] || fail "'brakko $args' should be accepted and go on to the window: $(cat "$scratch/err")"
done
cd "$root" || fail "cannot enter the project root $root"

# Options it does not know, or cannot combine, print the usage and exit with 2; --help and --version exit 0.
# Abbreviations too: the launcher knows --replay and --record by their full names only.
for args in --frobnicate --replay --record "--solution --solution" "--solution --replay $bad" extra \
    "--solution --replay=$bad" "--rep $bad" "--solution -- extra" "--help=yes" "--fullscreen --fullscreen" -f; do
    run_without_video $args
    status=$?
    [ "$status" -eq 2 ] || fail "'brakko $args' should exit with status 2, not $status"
    head -n1 "$scratch/err" | grep -q '^usage: brakko' ||
        fail "'brakko $args' should print the usage on standard error"
done
# brakko-generate refuses a command line it cannot take with the usage and status 2.
generate=$(dirname "$brakko")/tools/brakko-generate
for args in "" "--seed 1" "--difficulty easy" "--seed -1 --difficulty easy" "--seed 4294967296 --difficulty easy" \
    "--seed 1 --difficulty Easy" "--seed 1 --difficulty easy --size 4x9" "--seed 1 --difficulty easy --size 81x9" \
    "--seed 1 --difficulty easy extra" "--seed x1 --difficulty hard"; do
    "$generate" $args >"$scratch/out" 2>"$scratch/err"
    status=$?
    [ "$status" -eq 2 ] || fail "'brakko-generate $args' should exit with status 2, not $status"
    head -n1 "$scratch/err" | grep -q '^usage: brakko-generate' || fail "'brakko-generate $args' should print its usage"
done
run_without_video --help
[ $? -eq 0 ] && head -n1 "$scratch/out" | grep -q '^usage: brakko' ||
    fail "--help should print the usage and exit 0"
for name in $(sed -n 's/^\.BI\{0,1\} \\-\\-\([a-z][a-z]*\).*/\1/p' packaging/brakko.6 | sort -u); do
    grep -q -- "^  --$name\b" "$scratch/out" || fail "--help does not list --$name, which the manual page describes"
done
version=$(sed -n 's/^project(brakko VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
run_without_video --version
[ $? -eq 0 ] && [ "$(cat "$scratch/out")" = "brakko $version" ] ||
    fail "--version should print 'brakko $version', not '$(cat "$scratch/out")'"

# Our own X server on whichever display is free.
start_xvfb "$scratch" || fail "Xvfb did not report a display"

# Music is not what this test is about; the dummy audio driver keeps it off the machine's sound card. The run
# is recorded, so that the test sees when the game has taken each key.
SDL_AUDIODRIVER=dummy "$brakko" --record "$scratch/run.replay" >"$scratch/out" &
game_pid=$!

window=$(timeout 20 xdotool search --sync --name '^Brakko$' | head -n1)
[ -n "$window" ] || fail "no window captioned Brakko appeared"
xdotool windowfocus --sync "$window" || fail "could not focus the game's window"

xdotool key Return
for _ in $(seq 300); do
    grep -q ' Return$' "$scratch/run.replay" && break
    sleep 0.1
done
grep -q ' Return$' "$scratch/run.replay" || fail "the game did not take Return within 30 s"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended after Return on the title"

# Presses Escape until the game has gone, however long the curtain takes on this machine: one leads to the
# rage-quit screen (those pressed during its curtain change nothing), one there quits. Fails unless it then
# ends with status 0.
escape_until_gone() {
    local _ status
    for _ in $(seq 300); do
        kill -0 "$game_pid" 2>/dev/null || break
        xdotool key Escape 2>/dev/null
        sleep 0.2
    done
    kill -0 "$game_pid" 2>/dev/null && fail "$1: the game was still running after a minute of Escapes"
    wait "$game_pid"
    status=$?
    game_pid=
    [ "$status" -eq 0 ] || fail "$1: the game should exit with status 0 after Escapes, not $status"
}
escape_until_gone "in a window"
keys=$(tail -n +2 "$scratch/run.replay" | cut -d' ' -f2 | tr '\n' ' ')
[[ "$keys" =~ ^"Return Escape "(Escape )+$ ]] ||
    fail "one Escape should lead to the rage-quit screen and another quit, but the game took: $keys"

# Full screen the keys work as in a window: Escape gives up, and Escape once the rage-quit screen is up
# quits.
SDL_AUDIODRIVER=dummy "$brakko" --fullscreen >"$scratch/out" &
game_pid=$!
window=$(timeout 20 xdotool search --sync --name '^Brakko$' | head -n1)
[ -n "$window" ] || fail "no window captioned Brakko appeared with --fullscreen"
xdotool windowfocus --sync "$window" || fail "could not focus the game's full-screen window"
escape_until_gone "with --fullscreen"
[ ! -s "$scratch/out" ] || fail "with --fullscreen the game should print nothing"
echo "shell_e2e: Return, then Escapes, quit the game with status 0, and Escapes quit it full screen"
