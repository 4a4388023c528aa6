#!/usr/bin/env bash
# Fails when a source file outside gui/ and app/ of the given source folder includes a
# QtWidgets header or names a QtWidgets class: the logic must run without widgets.
#   check-widget-boundary.sh SRC_DIR
set -euo pipefail
src=${1:?usage: check-widget-boundary.sh SRC_DIR}

widgets_dir=$(find /usr/include /usr/local/include -maxdepth 4 -type d -path '*qt6/QtWidgets' \
              2>/dev/null | head -n1)
if [ -z "$widgets_dir" ]; then
  echo "widget boundary: no QtWidgets headers found" >&2
  exit 2
fi
# The class headers of QtWidgets (QLabel, QWidget ...), less the names that QtGui or QtCore
# also have.
other_dirs=$(dirname "$widgets_dir")
classes=$(comm -23 \
  <(ls "$widgets_dir" | grep -E '^Q[A-Za-z0-9]+$' | sort -u) \
  <(ls "$other_dirs/QtGui" "$other_dirs/QtCore" | grep -E '^Q[A-Za-z0-9]+$' | sort -u))
pattern="QtWidgets|\\b($(echo "$classes" | paste -sd'|'))\\b"

found=0
hits=$(mktemp)
trap 'rm -f "$hits"' EXIT
while IFS= read -r -d '' file; do
  if grep -nE "$pattern" "$file" >"$hits"; then
    echo "${file#"$src"/}:"
    sed 's/^/    /' "$hits"
    found=$((found + 1))
  fi
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) \
           -not -path "$src/gui/*" -not -path "$src/app/*" -print0 | sort -z)
echo "widget boundary: $found file(s) outside gui/ and app/ use widgets"
[ "$found" -eq 0 ]
