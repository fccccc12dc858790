#!/usr/bin/env bash
# Sets up and builds, then runs build/bin/pixwright with the given arguments.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
build="${PIXWRIGHT_BUILD_DIR:-$root/build}"
exec "$build/bin/pixwright" "$@"
