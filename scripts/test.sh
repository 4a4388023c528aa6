#!/usr/bin/env bash
# Sets up and builds (see setup.sh), then runs the whole test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
ctest --test-dir "${CHEQUEPRINT_BUILD_DIR:-$root/build}" -j2 --output-on-failure
