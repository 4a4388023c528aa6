#!/usr/bin/env bash
# Installs the build into a fresh folder and fails unless the program, its desktop entry and
# its icon landed where a desktop looks for them, each the same as in the source tree, its
# manual page where man looks for it, compressed as gzip -9n compresses the page of the build,
# and the software centre's entry is valid and names them.
#   check-install-tree.sh BUILD_DIR SOURCE_DIR BINDIR DATADIR MANDIR
set -euo pipefail
build=${1:?usage: check-install-tree.sh BUILD_DIR SOURCE_DIR BINDIR DATADIR MANDIR}
src=${2:?}
bindir=${3:?}
datadir=${4:?}
mandir=${5:?}
tree="$build/install-check"
prefix="$tree/usr"

rm -rf "$tree"
# A DESTDIR from the caller's environment would put the files somewhere else.
env -u DESTDIR cmake --install "$build" --prefix "$prefix" >/dev/null

failed=0
fail() {
  echo "install tree: $*" >&2
  failed=1
}
program="$prefix/$bindir/chequeprint"
if [ ! -f "$program" ] || [ ! -x "$program" ]; then
  fail "no executable $program"
fi
for pair in "resources/chequeprint.desktop:$datadir/applications/chequeprint.desktop" \
            "resources/chequeprint.svg:$datadir/icons/hicolor/scalable/apps/chequeprint.svg"; do
  from="$src/${pair%%:*}"
  to="$prefix/${pair#*:}"
  if [ ! -f "$to" ]; then
    fail "missing $to"
  elif ! cmp -s "$from" "$to"; then
    fail "$to differs from $from"
  fi
done
page="$prefix/$mandir/man1/chequeprint.1.gz"
if [ ! -f "$page" ]; then
  fail "missing $page"
elif ! gzip -9nc "$build/src/app/chequeprint.1" | cmp -s - "$page"; then
  fail "$page is not $build/src/app/chequeprint.1 compressed by gzip -9n"
fi
# The one warning kept: the component's id is the program's name, not a reversed domain name,
# because the project has no domain of its own yet and an id, once published, never changes.
appstreamcli validate-tree --no-net --pedantic --override=cid-desktopapp-is-not-rdns=info "$tree" ||
  fail "the AppStream metadata is not valid"
[ "$failed" -eq 0 ] &&
  echo "install tree: program, manual page, desktop entry, icon and metadata in place under $prefix"
exit "$failed"
