#!/usr/bin/env bash
# Sets up and builds (see setup.sh), then runs the whole test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# The data tests run once more on a shared PostgreSQL database of a throwaway server, when one
# can start here; otherwise those runs skip and say so.
if [ -z "${CHEQUEPRINT_TEST_POSTGRES:-}" ] && ls /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1; then
  pgdir=$(mktemp -d /tmp/chequeprint-pg.XXXXXX)
  if url=$("$root/scripts/pg-test-server.sh" start "$pgdir"); then
    export CHEQUEPRINT_TEST_POSTGRES=$url
    trap '"$root/scripts/pg-test-server.sh" stop "$pgdir"' EXIT
  else
    echo "The PostgreSQL test server did not start (see $pgdir): its tests skip." >&2
  fi
fi
ctest --test-dir "${CHEQUEPRINT_BUILD_DIR:-$root/build}" -j2 --output-on-failure
