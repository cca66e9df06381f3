#!/usr/bin/env bash
# Proves generated levels from outside: for seeds 1 to COUNT of each difficulty, brakko-generate's level is
# won by brakko-solve --weight 0 in exactly the par its file names, in as many moves.
# Usage: proveGenerated.sh <brakko-generate> <brakko-solve> [COUNT]
set -uo pipefail
generate=$1 solve=$2 count=${3:-30}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
proven=0 failed=0
for difficulty in easy medium hard; do
    for seed in $(seq 1 "$count"); do
        level=$scratch/$difficulty-$seed.level
        if ! "$generate" --seed "$seed" --difficulty "$difficulty" >"$level" 2>/dev/null; then
            echo "$difficulty:$seed: no level"; failed=$((failed + 1)); continue
        fi
        par=$(sed -n 's/^par: //p' "$level")
        if "$solve" "$level" --weight 0 2>/dev/null | grep -q "^# won at tick $par (proven shortest), in $par moves$"; then
            echo "$difficulty:$seed: par $par proven"; proven=$((proven + 1))
        else
            echo "$difficulty:$seed: par $par NOT proven"; failed=$((failed + 1))
        fi
    done
done
echo "$proven passed, $failed failed"
[ "$failed" -eq 0 ]
