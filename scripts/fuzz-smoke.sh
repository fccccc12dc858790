#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset, build-fuzz/) and runs each over its seed
# corpus for a few seconds, so a target that no longer builds, or that crashes on its own corpus,
# fails here rather than at the next long fuzzing session. CI runs it.
#   scripts/fuzz-smoke.sh [SECONDS]     seconds per target after the corpus, 10 by default
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-10}"
cd "$root"

if [[ ! -f build-fuzz/build.ninja ]]; then
    cmake --preset fuzz >/dev/null
fi
cmake --build --preset fuzz -j "$(nproc)" >&2

# The picture target writes each input to a file under $TMPDIR: keep that in memory.
scratch="$(mktemp -d "$( [[ -w /dev/shm ]] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/pw-fuzz-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
artifacts="$root/build-fuzz/artifacts"
mkdir -p "$artifacts"

status=0
for target in exif/fuzz_exif settings/fuzz_settings imaging/fuzz_picture; do
    name="${target#*/}"
    mkdir -p "$scratch/$name"
    # New inputs go to the scratch folder; the seed corpus in the tree is only read. A crash
    # leaves its input in build-fuzz/artifacts/ and ends the loop with a failure.
    # A fixed seed and a cap on the runs: the same binary and corpus try the same inputs, so CI
    # does not turn on luck or on how fast the machine is.
    # The decoders' own libraries are held to scripts/lsan.supp as in the sanitizer suite.
    if TMPDIR="$scratch" LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
        build-fuzz/bin/"$name" -seed=1 -runs=5000 -dict="$target.dict" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
        "$scratch/$name" "${target}_corpus" >"$scratch/$name.log" 2>&1; then
        echo "fuzz-smoke: $name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' \
            "$scratch/$name.log" | grep -o '[0-9]*$') runs, no finding"
    else
        echo "fuzz-smoke: $name FAILED; its log:" >&2
        tail -n 60 "$scratch/$name.log" >&2
        status=1
    fi
done
exit "$status"
