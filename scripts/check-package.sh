#!/usr/bin/env bash
# Builds the Debian package from a build folder, checks it with lintian, installs it with
# apt-get, runs the installed program as a new user would (in a temporary HOME), opens its
# window from the menu entry, then removes the package and checks that none of its files is
# left. Installs and removes system-wide: CI runs it, and it refuses to touch a machine where
# chequeprint is already installed.
#   check-package.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

fail() {
  echo "package: $*" >&2
  exit 1
}

tools=(dpkg-dev lintian man-db xvfb xauth xdotool libglib2.0-bin poppler-utils)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
# What dpkg knows of chequeprint: nothing, or not-installed once purged.
known() {
  case $(dpkg-query -W -f='${Status}' chequeprint 2>/dev/null || true) in
    "" | *not-installed) return 1 ;;
  esac
}
if known; then
  fail "chequeprint is already installed here; remove it first (apt-get purge chequeprint)"
fi

echo "== package: build"
rm -f "$build"/chequeprint_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/chequeprint_*.deb)
[ -f "${debs[0]}" ] && [ "${#debs[@]}" -eq 1 ] || fail "cpack made no single chequeprint_*.deb"
deb=${debs[0]}

# The package, the program, the changelog and the software centre's newest release name one
# version.
version=$(dpkg-deb -f "$deb" Version)
program_version=$("$build/src/app/chequeprint" --version | awk '{ print $NF }')
changelog_version=$(dpkg-parsechangelog -l "$root/resources/package/changelog" -S Version)
release_version=$(grep -o -m1 '<release version="[^"]*"' "$root/resources/chequeprint.metainfo.xml.in" |
  cut -d'"' -f2)
for other in "$program_version" "$changelog_version" "$release_version"; do
  [ "$other" = "$version" ] ||
    fail "versions disagree: package $version, program $program_version," \
      "changelog $changelog_version, metainfo $release_version"
done

echo "== package: lintian"
lintian --fail-on error,warning "$deb"

echo "== package: install"
contents=$(mktemp)
home=$(mktemp -d)
installed=0
# A check that fails leaves the machine as it found it: the package goes again.
cleanup() {
  rm -rf "$contents" "$home"
  if [ "$installed" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq chequeprint >/dev/null || true
  fi
}
trap cleanup EXIT
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $NF); print $NF }' >"$contents"
installed=1
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
[ "$(command -v chequeprint)" = /usr/bin/chequeprint ] || fail "chequeprint is not /usr/bin/chequeprint"

echo "== package: run the installed program"
# A new user: a home of their own, no settings, no database yet.
as_user() {
  env -i HOME="$home" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 "$@"
}
amount=$(as_user chequeprint amount 1234.5)
[ "$amount" = $'￥1234.50\t壹仟贰佰叁拾肆元伍角整' ] || fail "amount 1234.5 gave: $amount"
as_user chequeprint print --pdf "$home/cheque.pdf" --field 小写金额=1234.5 --field 票身-收款人=测试单位 ||
  fail "print --pdf failed"
[ -f "$home/.local/share/chequeprint/DATA.db" ] || fail "the first start made no DATA.db in HOME"
printed=$(pdftotext "$home/cheque.pdf" -)
for text in 测试单位 壹仟贰佰叁拾肆元伍角整; do
  grep -q "$text" <<<"$printed" || fail "the printed cheque lacks $text"
done
# (Read whole before grep: grep -q stops early, and the writer's broken pipe would fail it.)
journal=$(as_user chequeprint journal)
grep -q "已打印" <<<"$journal" || fail "the journal holds no 已打印 entry"
as_user man -w chequeprint | grep -qx /usr/share/man/man1/chequeprint.1.gz ||
  fail "man does not find chequeprint(1)"
page=$(as_user man chequeprint 2>/dev/null)
grep -q "init-database" <<<"$page" || fail "man chequeprint shows no page"

# The window, opened the way the desktop's menu opens it: from the installed desktop entry.
# The window's own process is closed afterwards, found through the window.
as_user xvfb-run -a sh -c '
  gio launch /usr/share/applications/chequeprint.desktop &
  pid=$(timeout 60 xdotool search --sync --onlyvisible --class chequeprint getwindowpid) &&
    kill "$pid"' || fail "the menu entry opened no window"

echo "== package: remove"
DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq chequeprint >/dev/null
installed=0
known && fail "dpkg still knows chequeprint after purge"
left=()
while read -r path; do
  [ -e "$path" ] && left+=("$path")
done <"$contents"
[ -d /usr/share/doc/chequeprint ] && left+=(/usr/share/doc/chequeprint)
((${#left[@]} == 0)) || fail "left after removal: ${left[*]}"
echo "package: $(basename "$deb") built, lintian clean, installed, run, removed without a trace"
