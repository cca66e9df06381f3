#!/usr/bin/env bash
# Writes a solver plan ("tick command" lines, the command given before that tick) as a fuzz input in the
# fuzz target's byte encoding, so that the fuzzer starts from a won game and explores around it.
# Usage: plan_seed.sh <plan-file> <output-file>
set -euo pipefail
export LC_ALL=C
awk '
    function emit(b) { printf "%c", b }
    function wait(n) { while (n > 0) { k = n > 15 ? 15 : n; emit(k * 16 + 10); n -= k } }
    /^#/ || NF < 2 { next }
    { wait($1 - 1 - done); done = $1 - 1; emit($2 < 0 ? 9 : $2) }
    END { wait(60) }
' "$1" >"$2"
