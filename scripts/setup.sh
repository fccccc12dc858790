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

# ccache speeds up rebuilds when it is installed; nothing needs it.
if [[ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]] && command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

build="${PIXWRIGHT_BUILD_DIR:-$root/build}"
# PIXWRIGHT_CMAKE_ARGS adds configure options (./test.sh uses it for the sanitizers). A build
# configured with other options is configured again, so a tree never keeps options the caller
# did not ask for. Warnings are errors by default, so that ./run.sh, ./test.sh and
# scripts/screenshots.sh share build/ instead of rebuilding it with other flags in turn.
args="-DCMAKE_BUILD_TYPE=Release ${PIXWRIGHT_CMAKE_ARGS--DPW_WERROR=ON}"
stamp="$build/.pixwright-configure-args"
if [[ ! -f "$build/build.ninja" || "$(cat "$stamp" 2>/dev/null)" != "$args" ]]; then
    # shellcheck disable=SC2086
    cmake -S "$root" -B "$build" -G Ninja $args >&2
    echo "$args" >"$stamp"
fi
cmake --build "$build" -j "$(nproc)" >&2
