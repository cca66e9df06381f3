#!/usr/bin/env bash
# Builds the fuzz targets with clang in <build-dir>/fuzz and fuzzes the rules for a bounded time (20 s by
# default), seeded with the solver's winning plans, then the replay reader for a quarter of it; the corpora
# stay there for later runs.
# Usage: run.sh <project-root> <build-dir> [seconds]
set -uo pipefail

root=$(realpath "$1")
tree=$(realpath -m "$2/fuzz")
seconds=${3:-20}
log=$tree.log

if ! { cmake -S "$root/tests/fuzz" -B "$tree" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug &&
    cmake --build "$tree" -j 2; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: the fuzz target did not build (whole log in $log)"
    exit 1
fi

mkdir -p "$tree/corpus" "$tree/crashes" "$tree/seeds"
# The solver's winning plans start the fuzzer next to won games on both levels.
for plan in "$root"/tests/plans/*.plan; do
    [ -e "$plan" ] && bash "$root/tests/fuzz/plan_seed.sh" "$plan" "$tree/seeds/$(basename "$plan" .plan)"
done

# Runs one fuzz target with the given libFuzzer arguments, shows its totals, and fails with what broke.
fuzz() {
    local target=$1 what=$2 status
    shift 2
    "$tree/$target" "$@" -print_final_stats=1 2>"$tree/$target.log"
    status=$?
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$tree/$target.log"
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$tree/$target.log"
        echo "fuzz: $what broke a promise or crashed; the input is in $tree/crashes"
        exit 1
    fi
}

# An input that runs past ten seconds holds a tick that never ends: a whole input takes about a quarter of
# a second with every check, and a loaded machine can make that several times longer. Inputs fit the
# longest plan with room to spare.
fuzz rules_fuzz "the rules" "$tree/corpus" "$tree/seeds" -max_total_time="$seconds" -timeout=10 -max_len=512 \
    -artifact_prefix="$tree/crashes/"

# The replay reader for a quarter of the time, from the shipped solution and the format's words.
replay_seconds=$((seconds / 4 > 5 ? seconds / 4 : 5))
mkdir -p "$tree/replay-corpus"
fuzz replay_fuzz "the replay reader" "$tree/replay-corpus" "$root/replays" \
    -dict="$root/tests/fuzz/replay.dict" -max_total_time="$replay_seconds" -timeout=1 -max_len=4096 \
    -artifact_prefix="$tree/crashes/replay-"
echo "fuzz: $seconds s of fuzzing the rules and $replay_seconds s the replay reader found nothing wrong"
