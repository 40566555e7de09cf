#!/usr/bin/env bash
# Builds the readers' fuzz targets in build-fuzz/ (clang, libFuzzer, ASan,
# UBSan), replays each committed corpus, then fuzzes each target.
#   scripts/fuzz.sh [--seconds N] [--skip READER]...
#     N seconds per target (default 20); --skip leaves a reader out
#     (xlsx, xls, csv, html, compound).
# New inputs found go to build-fuzz/corpus/<reader>/ (the committed seeds
# stay as they are); a crash leaves its input in build-fuzz/findings/.
# Inputs that once broke a reader stay in its committed corpus.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${QUILLON_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_EACH=20
SKIP=" "
while (($#)); do
  case "$1" in
    --seconds) SECONDS_EACH="$2"; shift 2 ;;
    --skip) SKIP+="$2 "; shift 2 ;;
    *) echo "usage: $0 [--seconds N]" >&2; exit 2 ;;
  esac
done

if [ ! -f "$BUILD/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLON_FUZZ=ON -DQUILLON_BUILD_GUI=OFF -DQUILLON_BUILD_BENCH=OFF
fi
cmake --build "$BUILD" --parallel "$(nproc)"

# The largest seed is a legacy workbook of about 60 KB.
declare -A MAX_LEN=([xlsx]=131072 [xls]=131072 [compound]=131072 [csv]=65536 [html]=65536)
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$BUILD/findings"
for reader in xlsx xls csv html compound; do
  if [[ "$SKIP" == *" $reader "* ]]; then
    echo "== $reader: skipped"
    continue
  fi
  target="$BUILD/bin/${reader}_fuzz"
  seeds="$ROOT/tests/fuzz/corpus/$reader"
  found="$BUILD/corpus/$reader"
  mkdir -p "$found"
  options=(-detect_leaks=1 -rss_limit_mb=2048 -malloc_limit_mb=1024 -max_len="${MAX_LEN[$reader]}" -timeout=20
           -artifact_prefix="$BUILD/findings/${reader}-")
  echo "== $reader: replaying $(find "$seeds" -type f | wc -l) seeds"
  log="$BUILD/findings/${reader}.log"
  if ! "$target" "${options[@]}" -runs=0 "$seeds" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "a seed of $reader breaks the reader" >&2
    exit 1
  fi
  echo "== $reader: fuzzing for ${SECONDS_EACH}s"
  if ! "$target" "${options[@]}" -max_total_time="$SECONDS_EACH" -print_final_stats=1 "$found" "$seeds" \
      >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "fuzzing $reader found a fault; the input is in $BUILD/findings/" >&2
    exit 1
  fi
  grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
done
echo "fuzzing: all targets ran clean"
