#!/usr/bin/env bash
# Sets up, checks formatting, builds and runs every test. Exits non-zero on any failure.
# Warnings are errors here (-DPW_WERROR=ON), as in CI.
#   ./test.sh [CTEST ARGS]              the normal build in build/
#   ./test.sh --sanitize [CTEST ARGS]   a second build in build-sanitize/ with AddressSanitizer and
#                                       UndefinedBehaviorSanitizer; every test runs under them
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [[ "${1:-}" == --sanitize ]]; then
    shift
    export PIXWRIGHT_BUILD_DIR="${PIXWRIGHT_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
    # The benchmarks are not run under the sanitizers, so they are not built there.
    export PIXWRIGHT_CMAKE_ARGS="-DPW_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPW_WERROR=ON -DPW_BUILD_BENCH=OFF"
    # A report ends the program with a failure; leaks in the system's libraries are not ours.
    export ASAN_OPTIONS="abort_on_error=0:detect_leaks=1:halt_on_error=1:strict_string_checks=1"
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
    export PIXWRIGHT_CMAKE_ARGS="-DPW_WERROR=ON"
fi
"$root/scripts/setup.sh"
"$root/scripts/check-format.sh"
build="${PIXWRIGHT_BUILD_DIR:-$root/build}"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
