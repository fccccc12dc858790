#!/usr/bin/env bash
# A long fuzzing session for one target, at night priority: builds the `fuzz` preset, grows a
# corpus kept in build-fuzz/corpus/<target>/ from the seeds in the tree, and prints executions,
# coverage and findings at the end. Inputs that crash land in build-fuzz/artifacts/.
#   scripts/fuzz-long.sh TARGET RUNS [WORKERS]
#   TARGET: exif, settings or picture; RUNS: executions per worker; WORKERS: 1 by default
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

case "${1:-}" in
    exif) folder=exif ;;
    settings) folder=settings ;;
    picture) folder=imaging ;;
    *) echo "usage: scripts/fuzz-long.sh exif|settings|picture RUNS [WORKERS]" >&2; exit 2 ;;
esac
name="fuzz_$1"
runs="${2:?executions per worker}"
workers="${3:-1}"

if [[ ! -f build-fuzz/build.ninja ]]; then
    cmake --preset fuzz >/dev/null
fi
cmake --build --preset fuzz -j "$(nproc)" >&2

corpus="$root/build-fuzz/corpus/$name"
artifacts="$root/build-fuzz/artifacts"
logs="$root/build-fuzz/logs/$name-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$corpus" "$artifacts" "$logs"
# The picture target writes each input to a file under $TMPDIR: keep that in memory.
scratch="$(mktemp -d "$( [[ -w /dev/shm ]] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/pw-fuzz-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
before="$(find "$corpus" -type f | wc -l)"
findings_before="$(find "$artifacts" -type f -name "$name-*" | wc -l)"

# At night priority under a busy machine an input that takes milliseconds can wait seconds for
# the processor: the time-out is for real hangs only.
run_worker() {
    TMPDIR="$scratch" LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
        nice -n 19 build-fuzz/bin/"$name" -runs="$runs" -dict="$folder/$name.dict" -timeout=120 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
        "$corpus" "$folder/${name}_corpus" >"$logs/worker-$1.log" 2>&1
}

status=0
pids=()
for ((i = 0; i < workers; i++)); do
    run_worker "$i" &
    pids+=("$!")
done
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done

total=0
for log in "$logs"/worker-*.log; do
    executed="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)"
    total=$((total + executed))
    echo "$name $(basename "$log" .log): $executed runs, last: $(grep -E '^#[0-9]+' "$log" | tail -n 1)"
done
echo "$name: $total runs in all; corpus $before -> $(find "$corpus" -type f | wc -l) inputs; logs in $logs"
findings="$(($(find "$artifacts" -type f -name "$name-*" | wc -l) - findings_before))"
if ((findings > 0)); then
    echo "$name: $findings FINDING(S) in $artifacts; see the logs" >&2
    status=1
elif [[ "$status" -ne 0 ]]; then
    echo "$name: a worker ended with a failure but left no input behind; see the logs" >&2
fi
exit "$status"
