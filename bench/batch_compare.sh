#!/usr/bin/env bash
# Times a whole batch: `pixwright run` (mode 3, long edge 1920, quality 85) against vipsthumbnail
# and ImageMagick doing the same job (upright, long edge at most 1920, JPEG quality 85) on the
# same files, and prints the time ratios.
#
# usage: bench/batch_compare.sh PHOTO_FOLDER [REPEATS]
# PIXWRIGHT overrides the program (default: build/bin/pixwright beside this script's project).
set -euo pipefail

folder="${1:?usage: $0 PHOTO_FOLDER [REPEATS]}"
repeats="${2:-3}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pixwright="${PIXWRIGHT:-$root/build/bin/pixwright}"
[[ -d "$folder" ]] || { echo "$0: $folder is not a folder" >&2; exit 2; }
[[ -x "$pixwright" ]] || { echo "$0: $pixwright not built (./run.sh --version builds it)" >&2; exit 2; }
for tool in vipsthumbnail mogrify; do
    command -v "$tool" >/dev/null || { echo "$0: $tool missing (scripts/packages.txt)" >&2; exit 2; }
done
folder="$(cd "$folder" && pwd)"

mapfile -t files < <(find "$folder" -maxdepth 1 -type f \
    \( -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.png' -o -iname '*.bmp' \) ! -name '.*' | sort)
((${#files[@]})) || { echo "$0: no JPG, PNG or BMP in $folder" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
: > "$work/Set.ini" # defaults only; the user's remembered settings stay out of the measurement

cat "${files[@]}" > /dev/null # the same warm file cache for every contender

# Best of REPEATS runs of "$@" (each into a fresh output folder): "wall cpu" seconds, cpu being
# user + system time of the run and its children. On a shared machine the CPU time is the steadier.
# A run that fails (non-zero exit, e.g. a file pixwright could not process) ends the comparison:
# timing a failed run would compare nothing.
best_of() {
    local best="" cpu_at_best="" line wall cpu status
    for ((i = 0; i < repeats; i++)); do
        rm -rf "$work/out" && mkdir -p "$work/out"
        status=0
        line="$({ TIMEFORMAT='%R %U %S'; time "$@" > /dev/null 2> "$work/stderr"; } 2>&1)" ||
            status=$?
        if ((status != 0)); then
            tail -n 20 "$work/stderr" >&2
            echo "$0: $1 failed (exit status $status); no timing" >&2
            return 1
        fi
        wall="$(awk '{ print $1 }' <<< "$line")"
        cpu="$(awk '{ printf "%.3f", $2 + $3 }' <<< "$line")"
        if [[ -z "$best" ]] || awk -v e="$wall" -v b="$best" 'BEGIN { exit !(e < b) }'; then
            best="$wall"
            cpu_at_best="$cpu"
        fi
    done
    echo "$best $cpu_at_best"
}

run_pixwright() {
    "$pixwright" run "$folder" --settings "$work/Set.ini" --output-root "$work/out" \
        --mode 3 --edge long --length 1920 --quality 85 --rule 0000001 --yes
}
run_vips() {
    vipsthumbnail --size '1920x1920>' -o "$work/out/%s.jpg[Q=85]" "${files[@]}"
}
run_magick() {
    mogrify -path "$work/out" -auto-orient -resize '1920x1920>' -quality 85 -density 300 \
        -format jpg "${files[@]}"
}

echo "files: ${#files[@]} in $folder ($(du -sh "$folder" | cut -f1)); best of $repeats; $(nproc) cores"
# (A failure inside "$(...)" does not stop the script by itself: check each one.)
pw_times="$(best_of run_pixwright)" || exit 1
vips_times="$(best_of run_vips)" || exit 1
magick_times="$(best_of run_magick)" || exit 1
read -r pw pw_cpu <<< "$pw_times"
read -r vips vips_cpu <<< "$vips_times"
read -r magick magick_cpu <<< "$magick_times"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '%-24s %8s %12s %8s %12s\n' "program" "wall s" "÷ pixwright" "cpu s" "÷ pixwright"
row() { printf '%-24s %8.3f %12s %8.3f %12s\n' "$1" "$2" "$(ratio "$2" "$pw")" "$3" "$(ratio "$3" "$pw_cpu")"; }
row "pixwright run (mode 3)" "$pw" "$pw_cpu"
row "vipsthumbnail" "$vips" "$vips_cpu"
row "ImageMagick mogrify" "$magick" "$magick_cpu"
