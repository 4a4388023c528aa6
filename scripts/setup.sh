#!/usr/bin/env bash
# Installs the Debian packages the program needs when they are missing, then configures and
# builds it. Safe to run again: it only installs, configures and builds what changed.
#   CHEQUEPRINT_BUILD_DIR   build folder (default: build)
#   CHEQUEPRINT_CMAKE_ARGS  extra CMake options for that folder, e.g. -DCHEQUEPRINT_SANITIZE=ON
#   CHEQUEPRINT_WERROR      ON (default): warnings are errors; OFF for a user's build
#   CHEQUEPRINT_TARGETS     what to build (default: everything, the tests included)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CHEQUEPRINT_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libqt6svg6 qt6-translations-l10n
          libqt6sql6-sqlite libqt6sql6-psql libcups2-dev libxlsxwriter-dev libzip-dev zlib1g-dev libsqlite3-dev libpq-dev fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai
          fonts-wqy-zenhei poppler-utils mupdf-tools sqlite3 python3 python3-openpyxl xvfb xauth desktop-file-utils
          appstream man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# Warnings stop the build of developers and CI (test.sh); a user's first build (run.sh) goes on,
# and builds the program alone.
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -G Ninja -DCHEQUEPRINT_WERROR="${CHEQUEPRINT_WERROR:-ON}" \
  ${CHEQUEPRINT_CMAKE_ARGS:-} >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j2 ${CHEQUEPRINT_TARGETS:+--target $CHEQUEPRINT_TARGETS} >&2
