#!/usr/bin/env bash
# Extracts every text written for tr() into translations/pixwright_en.ts (lupdate keeps the
# English already written; new texts arrive unfinished and need their English). With --check
# it extracts into a scratch copy instead and fails on any lupdate warning: a text lupdate
# cannot place in a context is a text that will never be translated.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lupdate="${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}"
ts="$root/translations/pixwright_en.ts"
if [[ "${1:-}" == --check ]]; then
    scratch="$(mktemp -d)"
    trap 'rm -rf "$scratch"' EXIT
    cp "$ts" "$scratch/"
    ts="$scratch/pixwright_en.ts"
fi
cd "$root"
output="$("$lupdate" -I . -extensions cpp,h,ui -locations none -no-obsolete \
    -source-language zh_CN -target-language en \
    app cli exif imaging naming options platform run settings -ts "$ts" 2>&1)"
warnings="$(grep -v -e '^Scanning directory' -e '^Updating' -e '^    Found' -e '^    Kept' \
    -e '^    Removed' -e '^    Same-text' <<<"$output" || true)"
unfinished="$(grep -c 'type="unfinished"' "$ts" || true)"
echo "update-translations: $(grep -c '<source>' "$ts") texts, $unfinished without English"
if [[ -n "$warnings" ]]; then
    echo "update-translations: lupdate warned:" >&2
    echo "$warnings" >&2
    exit 1
fi
