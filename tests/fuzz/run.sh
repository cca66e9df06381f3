#!/usr/bin/env bash
# Builds the fuzz targets with clang in <build-dir>/fuzz and fuzzes the rules, seeded with the solver's
# winning plans, then the replay reader, from the shipped solution, and the level reader, from the pack. Each
# run starts from those seeds alone, in a corpus of its own that is removed afterwards, so that no run
# inherits what an earlier one found.
# Under CTest (no third argument) each target runs a fixed number of inputs from random seed 1, the same run
# every time however loaded the machine is; BRAKKO_SEED=<n> runs another. By hand, a third argument gives
# the seconds to fuzz the rules (each reader gets a quarter of them) from a seed that is printed.
# Usage: run.sh <project-root> <build-dir> [seconds]
set -uo pipefail

root=$(realpath "$1")
tree=$(realpath -m "$2/fuzz")
seconds=${3:-}
log=$tree.log
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if ! { cmake -S "$root/tests/fuzz" -B "$tree" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug &&
    cmake --build "$tree" -j 2; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: the fuzz target did not build (whole log in $log)"
    exit 1
fi

if [ -n "$seconds" ]; then
    seed=${BRAKKO_SEED:-$RANDOM}
    rules_bound=(-max_total_time="$seconds")
    replay_seconds=$((seconds / 4 > 5 ? seconds / 4 : 5))
    replay_bound=(-max_total_time="$replay_seconds")
    level_bound=("${replay_bound[@]}")
    what="$seconds s of the rules and $replay_seconds s of each reader"
else
    seed=${BRAKKO_SEED:-1}
    # About fifteen seconds, five and five of an unloaded machine's time. What else would make one run differ
    # from the next is left out: reloading the corpus on a timer, and comparisons traced from pointers, which
    # the address space's layout decides.
    rules_bound=(-runs=1000 -reload=0 -use_cmp=0)
    replay_bound=(-runs=200000 -reload=0 -use_cmp=0)
    level_bound=(-runs=50000 -reload=0 -use_cmp=0)
    what="1000 inputs to the rules, 200000 to the replay reader and 50000 to the level reader"
fi
echo "fuzz: random seed $seed (BRAKKO_SEED=$seed runs the same again)"

mkdir -p "$tree/crashes" "$scratch/seeds" "$scratch/corpus" "$scratch/replay-corpus" "$scratch/level-corpus"
# The solver's winning plans start the fuzzer next to won games on both levels.
for plan in "$root"/tests/plans/*.plan; do
    [ -e "$plan" ] && bash "$root/tests/fuzz/plan_seed.sh" "$plan" "$scratch/seeds/$(basename "$plan" .plan)"
done

# Runs one fuzz target with the given libFuzzer arguments, shows its totals, and fails with what broke.
fuzz() {
    local target=$1 what=$2 status
    shift 2
    "$tree/$target" "$@" -seed="$seed" -print_final_stats=1 2>"$tree/$target.log"
    status=$?
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$tree/$target.log"
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$tree/$target.log"
        echo "fuzz: $what broke a promise or crashed (random seed $seed); the input is in $tree/crashes"
        exit 1
    fi
}

# An input that runs for a minute holds a tick that never ends: a whole input takes a few hundredths of a
# second with every check, so even a loaded machine stays far below that. Inputs fit the longest plan with
# room to spare.
fuzz rules_fuzz "the rules" "$scratch/corpus" "$scratch/seeds" "${rules_bound[@]}" -timeout=60 -max_len=512 \
    -artifact_prefix="$tree/crashes/"

# The replay reader, from the shipped solution and the format's words; it reads an input in microseconds.
fuzz replay_fuzz "the replay reader" "$scratch/replay-corpus" "$root/replays" "${replay_bound[@]}" \
    -dict="$root/tests/fuzz/replay.dict" -timeout=60 -max_len=4096 -artifact_prefix="$tree/crashes/replay-"

# The level reader, from the pack and the format's words. An accepted level is also set up and searched a
# little, so an input takes about twenty times a replay's.
fuzz level_fuzz "the level reader" "$scratch/level-corpus" "$root/levels" "${level_bound[@]}" \
    -dict="$root/tests/fuzz/level.dict" -timeout=60 -max_len=9000 -artifact_prefix="$tree/crashes/level-"
echo "fuzz: $what found nothing wrong"
