#!/usr/bin/env bash
# Plays the real game in a real X window under a private Xvfb and reads its screenshots against the sprite
# sheet: Return, pressed behind a flood of mouse motion, must show level 1's walls, and q must fuse the two
# robots stacked at the start into a pair. The run is recorded, then replayed while other keys are pressed:
# its first keys must show the same screens and hand the keys back there, and the whole replay must quit by
# itself and record itself into the same file. Then in practice mode, level 1 at rest must show again after
# its window is hidden and shown, d then r and d then Backspace must each show it as it rested at its start,
# and that run too must replay into the same file. A level file, won by hints, replays to its win. Every wait
# is for what the window shows or the game does.
# Usage: play_e2e.sh <path-to-brakko> <project-root> <path-to-brakko-sheet>. Writes only under its own
# temporary directory.
set -uo pipefail

brakko=$(realpath "$1")
root=$(realpath "$2")
layout_tool=$3
sheet=$root/img/bot.bmp
scratch=$(mktemp -d)
xvfb_pid=
game_pid=

# The game goes before its X server, so that it does not die complaining of a lost display.
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && kill -CONT "$game_pid" 2>/dev/null &&
        wait "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "play_e2e: $*"
    [ -s "$scratch/out" ] && { echo "the game wrote:"; cat -v "$scratch/out"; }
    exit 1
}

[ -f "$sheet" ] || fail "the sprite sheet $sheet is missing"
layout=$("$layout_tool") || fail "brakko-sheet did not print the sheet's layout"
size=$(awk '$1 == "cell" { print $2 }' <<<"$layout")
key="rgb($(awk '$1 == "key" { print $2 "," $3 "," $4 }' <<<"$layout"))"
# The crop of the sheet cell that holds the named picture.
crop() { awk -v name="$1" -v size="$size" '$1 == name { print size "x" size "+" $2 "+" $3 }' <<<"$layout"; }

# What a sheet picture looks like on screen over a floor tile; the transparent colour lets the floor
# through, and where the floor is transparent too the level's black background shows. The floor is written
# as true colour: a grey one would be stored grey, and ImageMagick 7 then composites the robot in grey too.
floor() { convert "$sheet" -crop "$(crop bg)" +repage -fill black -opaque "$key" "PNG24:$1"; }
expect_over_floor() {
    floor "$scratch/floor.png"
    convert "$scratch/floor.png" \( "$sheet" -crop "$(crop "$1")" +repage -transparent "$key" \) \
        -composite -alpha off "$2"
}
# Wall tiles lie straight on the black background.
convert "$sheet" -crop "$(crop block)" +repage -fill black -opaque "$key" -alpha off "PNG24:$scratch/block.png" ||
    fail "ImageMagick could not read the sprite sheet"
expect_over_floor sprEyes "$scratch/eyes.png"
expect_over_floor sprBody "$scratch/body.png"

# Pixels of map cell (col, row) in a screenshot that differ from an expected 20 x 20 picture; 0 is a match.
differs() {
    local shot=$1 col=$2 row=$3 expected=$4
    convert "$shot" -crop "${size}x${size}+$((col * size))+$((row * size))" +repage -alpha off "$scratch/cell.png"
    compare -metric AE "$scratch/cell.png" "$expected" null: 2>&1 | cut -d' ' -f1
}

shoot() { import -window "$window" "$scratch/shot.png" 2>/dev/null; }

# Level 1's wall cells in three corners of the map and one inside it.
walls_seen() {
    local cell
    for cell in "0 0" "39 0" "0 19" "12 4"; do
        set -- $cell
        [ "$(differs "$scratch/shot.png" "$1" "$2" "$scratch/block.png")" = 0 ] || return 1
    done
}

# The pair after q: the shape puts the seed (robot 1) under its partner, which wears the eyes.
pair_seen() {
    [ "$(differs "$scratch/shot.png" 2 4 "$scratch/eyes.png")" = 0 ] &&
        [ "$(differs "$scratch/shot.png" 2 5 "$scratch/body.png")" = 0 ]
}

# Polls for up to about 15 s: the frame rate of a loaded machine decides when the picture is there.
wait_for() {
    local _
    for _ in $(seq 30); do
        shoot && "$1" && return 0
        sleep 0.5
    done
    return 1
}

# Our own X server on whichever display is free.
source "$(dirname "$(realpath "$0")")/../scripts/xvfb.sh"
start_xvfb "$scratch" || fail "Xvfb did not report a display"

# The game reads its pictures relative to the working directory.
cd "$root" || fail "cannot enter the project root $root"

# Starts the game with the given options and waits for its window.
start_game() {
    SDL_AUDIODRIVER=dummy "$brakko" "$@" >"$scratch/out" &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --name '^Brakko(: .*)?$' | head -n1)
    [ -n "$window" ] || fail "no window captioned Brakko appeared"
    xdotool windowfocus --sync "$window" || fail "could not focus the game's window"
}

# Waits up to 30 s for the game to end by itself; fails unless it ends with status 0.
expect_quit() {
    local status
    timeout 30 tail --pid="$game_pid" -s 0.1 -f /dev/null || fail "the game was still running 30 s after $1"
    wait "$game_pid"
    status=$?
    game_pid=
    [ "$status" -eq 0 ] || fail "the game should end with status 0 after $1, not $status"
}

# Presses Escape until the game has gone: Escapes during a curtain change nothing, and an Escape on the
# rage-quit screen quits, however slowly the frames come.
escape_until_quit() {
    local _
    for _ in $(seq 150); do
        kill -0 "$game_pid" 2>/dev/null || break
        xdotool key Escape 2>/dev/null
        sleep 0.2
    done
    expect_quit "$1"
}

# The keys a replay holds, in order, as one line.
keys_of() { tail -n +2 "$1" | cut -d' ' -f2 | tr '\n' ' '; }

start_game --record "$scratch/run.replay"
shoot || fail "could not take a screenshot of the title"
walls_seen && fail "level 1's walls show on the title before Return"

# A mouse moved fast over the window makes hundreds of motion events in a fraction of a second. SDL 1.2
# queues at most 128 events and drops what comes after, so the motion must not queue ahead of the key. The
# game is held still meanwhile, as during a slow frame, so that all of it waits when the game next reads.
flood=()
for x in $(seq 100 699); do flood+=(mousemove --window "$window" "$x" $((100 + x % 300))); done
kill -STOP "$game_pid"
xdotool "${flood[@]}" key Return
kill -CONT "$game_pid"
wait_for walls_seen ||
    fail "after 600 mouse motions and Return the screenshot does not show level 1's walls at cells (0,0) (39,0) (0,19) (12,4)"
pair_seen && fail "level 1 starts with a fused pair before any key"

xdotool key q
wait_for pair_seen ||
    fail "after q the robots at cells (2,4) and (2,5) do not show the eyes and the body of a fused pair"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended during play"
escape_until_quit "Escape on level 1, then on the rage-quit screen"
[ "$(head -n1 "$scratch/run.replay")" = "$(head -n1 "$root/replays/solution.replay")" ] &&
    [[ "$(keys_of "$scratch/run.replay")" =~ ^"Return q Escape "(Escape )+$ ]] ||
    fail "the recording should start like the shipped solution and hold Return, q and Escapes, not: $(cat "$scratch/run.replay")"

# The replay's first two keys: it shows what they showed while the player's keys are ignored, and then rests
# on the fused pair with the keys handed back; the player's Escapes end it.
head -n 3 "$scratch/run.replay" >"$scratch/start.replay"
start_game --replay "$scratch/start.replay" --record "$scratch/start-again.replay"
xdotool key Escape w
wait_for walls_seen || fail "the replay does not show level 1's walls"
wait_for pair_seen || fail "the replay does not show the fused pair"
escape_until_quit "the replay has handed the keys over"
[[ "$(keys_of "$scratch/start-again.replay")" =~ ^"Return q "(Escape )+$ ]] &&
    cmp -s "$scratch/start.replay" <(head -n 3 "$scratch/start-again.replay") ||
    fail "recording the replay and then Escapes gave: $(cat "$scratch/start-again.replay")"

# The whole replay plays the run to its end by itself, whatever the player presses, and records the same.
start_game --replay "$scratch/run.replay" --record "$scratch/again.replay"
xdotool key Escape w
expect_quit "the replay's last Escape"
cmp -s "$scratch/run.replay" "$scratch/again.replay" ||
    fail "recording the replay gave another file: $(diff "$scratch/run.replay" "$scratch/again.replay")"

# Practice mode: level 1 at rest, then d, then r or Backspace, which must bring that very map back (the signs
# below it count the steps Backspace can take back, which differ).
practice_walls_seen() {
    local cell
    for cell in "0 0" "0 19" "12 4"; do
        set -- $cell
        [ "$(differs "$scratch/shot.png" "$1" "$2" "$scratch/block.png")" = 0 ] || return 1
    done
}
at_rest() {
    shoot && cp "$scratch/shot.png" "$scratch/before.png" && sleep 0.5 && shoot &&
        [ "$(compare -metric AE "$scratch/before.png" "$scratch/shot.png" null: 2>&1 | cut -d' ' -f1)" = 0 ]
}
like_rest() {
    [ "$(compare -metric AE -extract 800x400+0+0 "$scratch/rest.png" "$scratch/shot.png" null: 2>&1 | cut -d' ' -f1)" = 0 ]
}
unlike_rest() { ! like_rest; }
start_game --practice --record "$scratch/practice.replay"
xdotool key Return
wait_for practice_walls_seen || fail "in practice mode, Return does not lead to level 1"
wait_for at_rest || fail "level 1 does not come to rest in practice mode"
cp "$scratch/shot.png" "$scratch/rest.png"
# Hidden and shown again at rest, the window must show level 1 as it was, not a bare background: no frame
# differs from the one shown last, and where SDL does not repaint an uncovered window itself (sdl12-compat)
# only the next frame, shown although it is the same, brings the picture back.
xdotool windowunmap --sync "$window" && xdotool windowmap --sync "$window" && xdotool windowfocus --sync "$window" ||
    fail "could not hide and show the window"
wait_for like_rest || fail "hidden and shown again at rest, the window no longer shows level 1 as it was"
for back in r BackSpace; do
    xdotool key d
    wait_for unlike_rest || fail "in practice mode, d changes nothing on level 1"
    xdotool key "$back"
    wait_for like_rest || fail "in practice mode, d then $back does not show level 1 as it began"
done
# Paused, d waits its turn; a step to the next tick takes it. Neither p nor n is recorded.
xdotool key p d n
wait_for unlike_rest || fail "in practice mode, p then d then n changes nothing on level 1"
xdotool key p
escape_until_quit "Escape on level 1, then on the rage-quit screen in practice mode"
events=$(tail -n +3 "$scratch/practice.replay" | cut -d' ' -f2 | tr '\n' ' ')
[ "$(sed -n 2p "$scratch/practice.replay")" = practice ] && [[ "$events" =~ ^"Return d r d BackSpace d Escape "(Escape )+$ ]] ||
    fail "the practice recording should say practice and hold Return d r d BackSpace d and Escapes, not: $(cat "$scratch/practice.replay")"
start_game --replay "$scratch/practice.replay" --record "$scratch/practice-again.replay"
expect_quit "the practice replay's last Escape"
cmp -s "$scratch/practice.replay" "$scratch/practice-again.replay" ||
    fail "recording the practice replay gave another file: $(diff "$scratch/practice.replay" "$scratch/practice-again.replay")"
# A level from its file, won by hints alone in practice mode: its banner shows on its solved screen, and the
# recording, which names the level, replays to the same win.
convert img/practice.bmp -crop 340x84+0+200 +repage "PNG24:$scratch/won.png"
level_won() {
    convert "$scratch/shot.png" -crop 340x84+230+50 +repage "PNG24:$scratch/part.png" &&
        [ "$(compare -metric AE "$scratch/won.png" "$scratch/part.png" null: 2>&1 | cut -d' ' -f1)" = 0 ]
}
start_game --practice --level levels/01-joining.level --record "$scratch/level.replay"
xdotool key Return
for _ in $(seq 40); do
    shoot && level_won && break
    xdotool key h
    sleep 0.5
done
level_won || fail "hints do not win the level read from levels/01-joining.level"
escape_until_quit "Escape after the level's win"
[[ "$(sed -n 3p "$scratch/level.replay")" =~ ^"level "[0-9a-f]{16}$ ]] ||
    fail "a recording on a level file should name the level, not: $(cat "$scratch/level.replay")"
# Watched, the win is the replay's: the solved screen says so in the signs' gold lettering, centred, and
# names no player's win.
said="The replay played: the level solved."
glyphs=()
for ((i = 0; i < ${#said}; i++)); do
    printf -v code '%d' "'${said:i:1}"
    code=$((code - 32))
    glyphs+=("(" img/practice.bmp -crop "10x20+$((code % 32 * 10))+$(((3 + code / 32) * 20))" +repage ")")
done
convert "${glyphs[@]}" +append "PNG24:$scratch/said.png"
replay_won() {
    convert "$scratch/shot.png" -crop "$((${#said} * 10))x20+$(((800 - ${#said} * 10) / 2))+90" +repage \
        "PNG24:$scratch/part.png" &&
        [ "$(compare -metric AE "$scratch/said.png" "$scratch/part.png" null: 2>&1 | cut -d' ' -f1)" = 0 ]
}
start_game --level levels/01-joining.level --replay "$scratch/level.replay"
wait_for replay_won || fail "the recording on levels/01-joining.level does not win it again"
level_won && fail "the replayed win is announced as the player's"
escape_until_quit "Escape after the replayed win"
echo "play_e2e: level 1 shows its walls after a mouse flood and Return, q fuses the starting pair, the run replays alike, and in practice mode r and Backspace give level 1 back"
