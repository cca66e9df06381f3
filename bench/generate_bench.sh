#!/usr/bin/env bash
# The generator's speed: brakko-generate for seeds 1 to COUNT of each difficulty, one process a level, and
# per difficulty the median and 95th percentile of the time to a proven level and the largest peak memory.
# Usage: bench/generate_bench.sh <brakko-generate> [COUNT]
set -uo pipefail
generate=$1 count=${2:-100}
measured=$(mktemp)
trap 'rm -f "$measured"' EXIT
printf '%-8s %6s %9s %9s %9s %10s\n' difficulty found median p95 p95/med "peak MiB"
for difficulty in easy medium hard; do
    times=() peak=0 found=0
    for seed in $(seq 1 "$count"); do
        /usr/bin/time -o "$measured" -f '%e %M' "$generate" --seed "$seed" --difficulty "$difficulty" \
            >/dev/null 2>&1 && found=$((found + 1))
        out=$(tail -1 "$measured")
        times+=("${out% *}")
        kib=${out#* }
        [ "$kib" -gt "$peak" ] && peak=$kib
    done
    sorted=($(printf '%s\n' "${times[@]}" | sort -g))
    median=${sorted[$((count / 2))]}
    p95=${sorted[$((count * 95 / 100))]}
    printf '%-8s %6d %8ss %8ss %9.1f %10.1f\n' "$difficulty" "$found" "$median" "$p95" \
        "$(echo "$p95 / $median" | bc -l)" "$(echo "$peak / 1024" | bc -l)"
done
