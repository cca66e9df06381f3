#!/usr/bin/env bash
# Builds the libraries, the game and its unit tests a second time under AddressSanitizer and UBSan, in
# <build-dir>/asan, and runs those tests there, one after another: this runs inside the outer CTest, which
# runs other tests beside it, and a second level of parallel tests would only make each slower. The
# real-window scripts stay with the normal build.
# Usage: sanitized_build.sh <project-root> <build-dir>
set -uo pipefail

root=$(realpath "$1")
tree=$(realpath -m "$2/asan")
log=$tree.log

if ! { cmake -S "$root" -B "$tree" -DBRAKKO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug &&
    cmake --build "$tree" -j 2; } >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "sanitized_build: the sanitized build failed (whole log in $log)"
    exit 1
fi

# Any report fails the test: UBSan stops at the first finding, and the leak checker ignores only the
# pictures and musics the game keeps to the end of a run (lsan.supp). SDL and the libraries under it are
# built without frame pointers, so only the slow unwinder follows an allocation's stack back into our code,
# where the suppressions can name it.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/quality/lsan.supp:print_suppressions=0

cd "$tree" || exit 1
ctest --output-on-failure -E '_e2e$'
