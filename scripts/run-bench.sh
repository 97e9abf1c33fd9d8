#!/usr/bin/env bash
# Builds the benchmarks (scripts/setup.sh --bench, into build/) and runs them
# headless.
#   scripts/run-bench.sh            every benchmark in full, one program after another
#   scripts/run-bench.sh --brief    every benchmark once, at its smallest size,
#                                   only to prove each still runs to its end (CI)
#   scripts/run-bench.sh --help     this text
# A program that aborts, crashes or reports an error fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
usage() {
  sed -n '2,8s/^# \{0,1\}//p' "$0"
}

BRIEF=0
for arg in "$@"; do
  case "$arg" in
    --help|-h) usage; exit 0 ;;
    --brief) BRIEF=1 ;;
    *) echo "run-bench: unknown option '$arg'" >&2; usage >&2; exit 2 ;;
  esac
done

BUILD_DIR=$(bash scripts/setup.sh --bench | tail -n 1)
mapfile -t PROGRAMS < <(find "$BUILD_DIR/bench" -maxdepth 1 -type f -name 'bench_*' -perm -u+x | sort)
if [ ${#PROGRAMS[@]} -eq 0 ]; then
  echo "run-bench: no benchmarks in $BUILD_DIR/bench" >&2
  exit 1
fi
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
if [ "$BRIEF" -eq 1 ]; then export TSL_BENCH_BRIEF=1; else unset TSL_BENCH_BRIEF; fi

# The first case of each benchmark, as the program lists them: a benchmark
# of several sizes registers its smallest first. Prints a filter matching
# exactly those names.
first_cases() {
  "$1" --benchmark_list_tests | awk -F/ '!seen[$1]++' | sed 's/[][\\.^$*+?(){}|]/\\&/g' |
    awk 'BEGIN { printf "^(" } NR > 1 { printf "|" } { printf "%s", $0 } END { printf ")$" }'
}

OUTPUT=$(mktemp "${TMPDIR:-/tmp}/run-bench.XXXXXX")
trap 'rm -f "$OUTPUT"' EXIT
failed=()
for program in "${PROGRAMS[@]}"; do
  name=$(basename "$program")
  arguments=()
  if [ "$BRIEF" -eq 1 ]; then
    # The minimum time is for the benchmarks that set no pace of their own;
    # the others take theirs from TSL_BENCH_BRIEF (bench/pace.h).
    arguments=(--benchmark_filter="$(first_cases "$program")" --benchmark_min_time=0.000000001
               --benchmark_repetitions=1)
  fi
  echo "run-bench: $name"
  # A full run shows its figures as they come; a brief one only on failure.
  set +e
  if [ "$BRIEF" -eq 1 ]; then
    "$program" "${arguments[@]}" >"$OUTPUT" 2>&1
    status=$?
  else
    "$program" 2>&1 | tee "$OUTPUT"
    status=${PIPESTATUS[0]}
  fi
  set -e
  if [ "$status" -ne 0 ] || grep -q 'ERROR OCCURRED' "$OUTPUT"; then
    [ "$BRIEF" -eq 1 ] && tail -n 40 "$OUTPUT" >&2
    echo "run-bench: $name failed (exit status $status)" >&2
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "run-bench: failed: ${failed[*]}" >&2
  exit 1
fi
echo "run-bench: ${#PROGRAMS[@]} programs ran to their end"
