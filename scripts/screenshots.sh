#!/usr/bin/env bash
# Renders the program's windows to docs/screenshots/ on a virtual X display, as a user sees
# them with the Noto CJK fonts: every window at 100 % on a 1600x1000 desktop, the three steps
# also at 200 % (step1@2x.png, step2@2x.png, step3@2x.png), step 2 at 200 % on a 1920x1080
# screen (step2@2x-1920x1080.png: 960x540 to lay out in, so the page scrolls) and steps 1 and 2
# in English (step1-en.png, step2-en.png).
# usage: scripts/screenshots.sh [NAME...]   (names as `build/app/pw_screenshots --list` gives)
# To add a window, add a row to kShots in app/screenshots.cpp.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
build="${PIXWRIGHT_BUILD_DIR:-$root/build}"
tool="$build/app/pw_screenshots"
out="$root/docs/screenshots"
mkdir -p "$out"

render() { # OUTPUT_FOLDER SCALE SCREEN NAME...: a desktop of SCREEN physical pixels at SCALE
    local folder="$1" scale="$2" screen="$3"
    shift 3
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
        xvfb-run -a -s "-screen 0 ${screen}x24" "$tool" "$folder" "$@"
}

ARGS="$*"

LC_ALL= LC_MESSAGES= LANG=zh_CN.UTF-8 render "$out" 1 1600x1000 "$@"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for name in step1 step2 step3; do
    if [[ -z "$ARGS" || " $ARGS " == *" $name "* ]]; then
        LC_ALL= LC_MESSAGES= LANG=zh_CN.UTF-8 render "$tmp" 2 3200x2000 "$name" >/dev/null
        mv "$tmp/$name.png" "$out/$name@2x.png"
        echo "$out/$name@2x.png"
    fi
done
if [[ -z "$ARGS" || " $ARGS " == *" step2 "* ]]; then
    LC_ALL= LC_MESSAGES= LANG=zh_CN.UTF-8 render "$tmp" 2 1920x1080 step2 >/dev/null
    mv "$tmp/step2.png" "$out/step2@2x-1920x1080.png"
    echo "$out/step2@2x-1920x1080.png"
fi
for name in step1 step2; do
    if [[ -z "$ARGS" || " $ARGS " == *" $name "* ]]; then
        LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8 render "$tmp" 1 1600x1000 "$name" >/dev/null
        mv "$tmp/$name.png" "$out/$name-en.png"
        echo "$out/$name-en.png"
    fi
done
