#!/usr/bin/env bash
# Renders the program's windows to docs/screenshots/ on a virtual X display, as a user sees
# them with the Noto CJK fonts: every window at 100 %, the three steps also at 200 %
# (step1@2x.png, step2@2x.png, step3@2x.png).
# usage: scripts/screenshots.sh [NAME...]   (names as `build/app/pw_screenshots --list` gives)
# To add a window, add a row to kShots in app/screenshots.cpp.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
build="${PIXWRIGHT_BUILD_DIR:-$root/build}"
tool="$build/app/pw_screenshots"
out="$root/docs/screenshots"
mkdir -p "$out"

render() { # OUTPUT_FOLDER SCALE NAME...: a 1600x1000 desktop at that scale
    local folder="$1" scale="$2"
    shift 2
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
        xvfb-run -a -s "-screen 0 $((1600 * scale))x$((1000 * scale))x24" "$tool" "$folder" "$@"
}

render "$out" 1 "$@"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for name in step1 step2 step3; do
    if (($# == 0)) || [[ " $* " == *" $name "* ]]; then
        render "$tmp" 2 "$name" >/dev/null
        mv "$tmp/$name.png" "$out/$name@2x.png"
        echo "$out/$name@2x.png"
    fi
done
