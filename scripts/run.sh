#!/usr/bin/env bash
# Sets up and builds the program alone (see setup.sh), then runs it with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
CHEQUEPRINT_WERROR="${CHEQUEPRINT_WERROR:-OFF}" CHEQUEPRINT_TARGETS="${CHEQUEPRINT_TARGETS:-chequeprint}" \
  "$root/scripts/setup.sh"
exec "${CHEQUEPRINT_BUILD_DIR:-$root/build}/src/app/chequeprint" "$@"
