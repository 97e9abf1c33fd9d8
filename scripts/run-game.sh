#!/usr/bin/env bash
# Sets up, builds and starts the game. Only the game and its content are
# built, so the first start does not wait for the test programs
# (scripts/run-tests.sh builds those).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=$(bash scripts/setup.sh --game | tail -n 1)
if [ ! -x "$BUILD_DIR/src/beachbar" ]; then
  echo "The build made no game program in $BUILD_DIR/src." >&2
  exit 1
fi
# The build made the sample content too (tools/contentgen): the archives lie
# beside the program, where it opens them.
cd "$BUILD_DIR/src"
exec ./beachbar "$@"
