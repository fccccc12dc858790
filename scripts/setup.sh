#!/usr/bin/env bash
# Installs the missing packages of scripts/packages.txt, then configures and builds.
# Quiet and quick when everything is already there.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    status="$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)"
    [[ "$status" == installed ]] || missing+=("$pkg")
done < "$root/scripts/packages.txt"

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}" >&2
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >&2
fi

build="${PIXWRIGHT_BUILD_DIR:-$root/build}"
if [[ ! -f "$build/build.ninja" ]]; then
    # PIXWRIGHT_CMAKE_ARGS adds configure options (./test.sh --sanitize uses it).
    # shellcheck disable=SC2086
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release ${PIXWRIGHT_CMAKE_ARGS:-} >&2
fi
cmake --build "$build" -j "$(nproc)" >&2
