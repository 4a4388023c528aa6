#!/usr/bin/env bash
# Builds the payment-list readers' fuzz targets with clang (folder build-fuzz, installing clang
# with apt-get when it is missing) and runs each of them for SECONDS (default 60), both at once,
# on a copy of its seed list in a new temporary folder; the repository's corpus is never written.
# Exits 1 when a fuzzer finds a crash, a leak, a timeout or runs out of memory: the input that
# did it is kept in the temporary folder, whose path is printed; otherwise the folder is removed.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$root/build-fuzz

# clang and its libFuzzer runtime, which Debian's clang only recommends.
if ! command -v clang++ >/dev/null ||
  [ ! -e "$(clang++ --print-runtime-dir)/libclang_rt.fuzzer-$(uname -m).a" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang libclang-rt-dev >&2
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCHEQUEPRINT_FUZZ=ON \
  -DCHEQUEPRINT_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target fuzz_csv_list fuzz_xlsx_list >&2

: "${UBSAN_OPTIONS:=print_stacktrace=1:halt_on_error=1}"
: "${LSAN_OPTIONS:=suppressions=$root/.ci/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS LSAN_OPTIONS

work=$(mktemp -d /tmp/chequeprint-fuzz.XXXXXX)
# name, longest input, extra options
run() {
  local name=$1 max_len=$2
  shift 2
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  cp "$root/fuzz/corpus/$name/"* "$work/$name/corpus/"
  "$build/fuzz/fuzz_${name}_list" "$work/$name/corpus" -max_total_time="$seconds" \
    -max_len="$max_len" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/$name/artifacts/" "$@" >"$work/$name/log" 2>&1
}
echo "Fuzzing the CSV and workbook readers for ${seconds}s each in $work" >&2
run csv 16384 &
csv=$!
run xlsx 65536 -dict="$root/fuzz/xlsx.dict" &
xlsx=$!
status=0
wait $csv || status=1
wait $xlsx || status=1

for name in csv xlsx; do
  # The last status line (runs, coverage, corpus, speed) and the final figures.
  grep -E '^#[0-9]+' "$work/$name/log" | tail -n 1 | sed "s/^/$name: /" >&2 || true
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
    "$work/$name/log" | sed "s/^/$name: /" >&2 || true
done
found=$(find "$work" -path '*/artifacts/*' -type f)
if [ "$status" -ne 0 ] || [ -n "$found" ]; then
  for name in csv xlsx; do
    if grep -qE '^==[0-9]+==|^== payment list reader|^SUMMARY|Test unit written' "$work/$name/log"; then
      echo "---- $name: $work/$name/log" >&2
      tail -n 60 "$work/$name/log" >&2
    fi
  done
  echo "A fuzzer failed; the inputs that did it:" >&2
  echo "${found:-(none written; see the logs in $work)}" >&2
  exit 1
fi
rm -rf "$work"
