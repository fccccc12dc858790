#!/usr/bin/env bash
# Times a whole batch per source format: the photos converted at bench time (turned upright by vips;
# HEIC and AVIF encoded by libheif's heif-enc at its fastest settings, WebP and TIFF by vips) to
# HEIC, AVIF, WebP and TIFF, then `pixwright run` (mode 3, long edge 1920, quality 85) against
# vipsthumbnail doing the same job on the same files. Nothing converted is kept.
#
# usage: bench/formats_compare.sh [PHOTO_FOLDER] [COUNT] [REPEATS] [FORMATS]
#   PHOTO_FOLDER  default ../shared/photos beside the repository
#   COUNT         the first COUNT JPEGs of the folder (default: all); AV1 encoding is slow
#   REPEATS       runs per contender; the median is reported (default 3)
#   FORMATS       default "heic avif webp tiff"
# PIXWRIGHT overrides the program (default: build/bin/pixwright).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
folder="${1:-$root/../shared/photos}"
count="${2:-0}"
repeats="${3:-3}"
formats="${4:-heic avif webp tiff}"
pixwright="${PIXWRIGHT:-$root/build/bin/pixwright}"
[[ -d "$folder" ]] || { echo "$0: $folder is not a folder" >&2; exit 2; }
[[ -x "$pixwright" ]] || { echo "$0: $pixwright not built (./run.sh --version builds it)" >&2; exit 2; }
for tool in vips vipsthumbnail heif-enc; do
    command -v "$tool" >/dev/null || { echo "$0: $tool missing (scripts/packages.txt)" >&2; exit 2; }
done

mapfile -t photos < <(find "$(cd "$folder" && pwd)" -maxdepth 1 -type f -iname '*.jpg' | sort)
((count > 0)) && photos=("${photos[@]:0:count}")
((${#photos[@]})) || { echo "$0: no JPEG in $folder" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
: > "$work/Set.ini" # defaults only; the user's remembered settings stay out of the measurement

# One photo, upright, as FORMAT: a phone's HEIC and AVIF quality (the fastest encoder settings:
# libheif's default x265 preset takes minutes for a 20-megapixel photo), a lossy WebP, an
# uncompressed TIFF as scanners and raw converters write them.
convert_photo() {
    local format="$1" photo="$2" out="$3"
    case "$format" in
    heic) vips autorot "$photo" "$work/upright.jpg[Q=95]" &&
        heif-enc -q 80 -p preset=ultrafast -o "$out" "$work/upright.jpg" > /dev/null ;;
    avif) vips autorot "$photo" "$work/upright.jpg[Q=95]" &&
        heif-enc -A -q 60 -p speed=9 -o "$out" "$work/upright.jpg" > /dev/null ;;
    webp) vips autorot "$photo" "$out[Q=85]" ;;
    tiff) vips autorot "$photo" "$out" ;;
    esac
}

# The median of REPEATS runs of "$@" (each into a fresh output folder): "wall cpu" seconds, cpu
# being user + system time of the run and its children. A failed run ends the comparison.
median_of() {
    local walls=() cpus=() line status
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
        walls+=("$(awk '{ print $1 }' <<< "$line")")
        cpus+=("$(awk '{ printf "%.3f", $2 + $3 }' <<< "$line")")
    done
    local mid=$((repeats / 2))
    echo "$(printf '%s\n' "${walls[@]}" | sort -g | sed -n "$((mid + 1))p")" \
        "$(printf '%s\n' "${cpus[@]}" | sort -g | sed -n "$((mid + 1))p")"
}

echo "photos: ${#photos[@]} from $folder; median of $repeats; $(nproc) cores; long edge 1920, Q85"
printf '%-6s %9s %14s %14s %8s %9s\n' "format" "size" "pixwright s" "vipsthumb s" "÷ wall" "÷ cpu"
for format in $formats; do
    set_dir="$work/$format"
    mkdir -p "$set_dir"
    start=$SECONDS
    for photo in "${photos[@]}"; do
        name="$(basename "${photo%.*}")"
        ext="$format"; [[ "$format" == tiff ]] && ext=tif
        convert_photo "$format" "$photo" "$set_dir/$name.$ext"
    done
    converted=$((SECONDS - start))
    mapfile -t files < <(find "$set_dir" -maxdepth 1 -type f | sort)
    cat "${files[@]}" > /dev/null # the same warm file cache for both

    run_pixwright() {
        "$pixwright" run "$set_dir" --settings "$work/Set.ini" --output-root "$work/out" \
            --types "$format" --mode 3 --edge long --length 1920 --quality 85 --rule 0000001 --yes
    }
    run_vips() {
        vipsthumbnail --size '1920x1920>' -o "$work/out/%s.jpg[Q=85]" "${files[@]}"
    }
    pw_times="$(median_of run_pixwright)" || exit 1
    vips_times="$(median_of run_vips)" || exit 1
    read -r pw pw_cpu <<< "$pw_times"
    read -r vips vips_cpu <<< "$vips_times"
    printf '%-6s %9s %7.2f (%5.2f) %7.2f (%5.2f) %8.2f %9.2f   (converted in %ds)\n' \
        "$format" "$(du -sh "$set_dir" | cut -f1)" "$pw" "$pw_cpu" "$vips" "$vips_cpu" \
        "$(awk -v a="$vips" -v b="$pw" 'BEGIN { printf "%.2f", a / b }')" \
        "$(awk -v a="$vips_cpu" -v b="$pw_cpu" 'BEGIN { printf "%.2f", a / b }')" "$converted"
    rm -rf "$set_dir"
done
echo "(÷: vipsthumbnail time divided by pixwright's; above 1 means pixwright is faster)"
