# Sourced by the scripts that run the real game in a window: starts a private X server on a free display.
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
