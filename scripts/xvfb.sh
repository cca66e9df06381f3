# Sourced by the scripts that run the real game in a window: a scratch folder cleared away at exit, and a
# private X server on a free display.

# Usage: take_scratch; then $scratch is a fresh folder, and at exit the game ($game_pid) and the X server
# ($xvfb_pid), where set, are ended and the folder removed. It sets the EXIT trap.
take_scratch() {
    scratch=$(mktemp -d)
    xvfb_pid=
    game_pid=
    trap clear_scratch EXIT
}

clear_scratch() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}

# Usage: start_xvfb <scratch-dir> || <fail>; then $xvfb_pid is the server and DISPLAY points at it.
# -noreset: by default an X server resets when its last client leaves, and a game started during the reset
# cannot open its window; scripts that start one game after another hit that.
start_xvfb() {
    local scratch=$1 _
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$scratch/display" ] && break
        sleep 0.1
    done
    [ -s "$scratch/display" ] || return 1
    export DISPLAY=":$(head -n1 "$scratch/display")"
}
