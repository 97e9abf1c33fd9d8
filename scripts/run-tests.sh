#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless.
#   scripts/run-tests.sh              normal build (build/)
#   scripts/run-tests.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build (build-asan/)
#   scripts/run-tests.sh --help       this text
set -euo pipefail
cd "$(dirname "$0")/.."
usage() {
  sed -n '2,5s/^# \{0,1\}//p' "$0"
}
for arg in "$@"; do
  case "$arg" in
    --help|-h) usage; exit 0 ;;
    --sanitize) ;;
    *) echo "run-tests: unknown option '$arg'" >&2; usage >&2; exit 2 ;;
  esac
done
BUILD_DIR=$(bash scripts/setup.sh "$@" | tail -n 1)
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$BUILD_DIR"
ctest --output-on-failure -j"$(nproc)" --timeout 300
