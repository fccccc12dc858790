#!/usr/bin/env bash
# What honouring embedded colour profiles costs a batch: `pixwright run` (mode 3, long edge 1920,
# quality 85) on two copies of a photo folder made here with ImageMagick, one saved as plain sRGB,
# one converted to Adobe RGB (1998) with its profile embedded (same JPEG quality, so both decode
# alike). The runs alternate, sRGB then Adobe RGB, REPEATS times; the medians and the median of
# the pairwise ratios are printed.
#
# usage: bench/colour_compare.sh PHOTO_FOLDER [REPEATS]
# PIXWRIGHT overrides the program (default: build/bin/pixwright beside this script's project).
set -euo pipefail

folder="${1:?usage: $0 PHOTO_FOLDER [REPEATS]}"
repeats="${2:-5}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pixwright="${PIXWRIGHT:-$root/build/bin/pixwright}"
writeprofiles="$root/build/bench/pw_writeprofiles"
[[ -d "$folder" ]] || { echo "$0: $folder is not a folder" >&2; exit 2; }
for tool in "$pixwright" "$writeprofiles"; do
    [[ -x "$tool" ]] || { echo "$0: $tool not built (./scripts/setup.sh builds it)" >&2; exit 2; }
done
command -v convert >/dev/null || { echo "$0: convert missing (scripts/packages.txt)" >&2; exit 2; }

mapfile -t files < <(find "$folder" -maxdepth 1 -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) \
    ! -name '.*' | sort)
((${#files[@]})) || { echo "$0: no JPEG in $folder" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
: > "$work/Set.ini" # defaults only
"$writeprofiles" "$work"
mkdir "$work/srgb" "$work/adobe"
echo "making ${#files[@]} sRGB and Adobe RGB copies..." >&2
for file in "${files[@]}"; do
    name="$(basename "$file")"
    convert "$file" -quality 92 "$work/srgb/$name"
    # A photo without a profile is sRGB: say so, then convert to Adobe RGB and embed its profile.
    convert "$file" -profile "$work/srgb.icc" -profile "$work/adobergb.icc" -quality 92 \
        "$work/adobe/$name"
done

# One run into a fresh output folder: "wall cpu" seconds (cpu: user + system of the run).
timed_run() {
    local line status=0
    rm -rf "$work/out" && mkdir -p "$work/out"
    line="$({ TIMEFORMAT='%R %U %S'; time "$pixwright" run "$1" --settings "$work/Set.ini" \
        --output-root "$work/out" --mode 3 --edge long --length 1920 --quality 85 \
        --rule 0000001 --yes > /dev/null 2> "$work/stderr"; } 2>&1)" || status=$?
    if ((status != 0)); then
        tail -n 20 "$work/stderr" >&2
        echo "$0: pixwright failed on $1 (exit status $status); no timing" >&2
        return 1
    fi
    awk '{ printf "%s %.3f\n", $1, $2 + $3 }' <<< "$line"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: > "$work/times"
for ((i = 0; i < repeats; i++)); do
    srgb="$(timed_run "$work/srgb")" || exit 1
    adobe="$(timed_run "$work/adobe")" || exit 1
    echo "$srgb $adobe" >> "$work/times"
done

echo "files: ${#files[@]} from $folder; $repeats alternating runs of each; $(nproc) cores"
printf '%-26s %10s %10s\n' "median of" "wall s" "cpu s"
printf '%-26s %10.3f %10.3f\n' "sRGB copies" "$(awk '{ print $1 }' "$work/times" | median)" \
    "$(awk '{ print $2 }' "$work/times" | median)"
printf '%-26s %10.3f %10.3f\n' "Adobe RGB copies" "$(awk '{ print $3 }' "$work/times" | median)" \
    "$(awk '{ print $4 }' "$work/times" | median)"
printf '%-26s %10.3f %10.3f\n' "Adobe RGB ÷ sRGB (pairs)" \
    "$(awk '{ print $3 / $1 }' "$work/times" | median)" \
    "$(awk '{ print $4 / $2 }' "$work/times" | median)"
