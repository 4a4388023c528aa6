#!/usr/bin/env bash
# Sets up and builds (see setup.sh), then runs the program with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
exec "${CHEQUEPRINT_BUILD_DIR:-$root/build}/src/app/chequeprint" "$@"
