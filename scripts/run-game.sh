#!/usr/bin/env bash
# Sets up, builds and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=$(bash scripts/setup.sh | tail -n 1)
if [ ! -x "$BUILD_DIR/src/beachbar" ]; then
  echo "The game itself is not written yet: only the libraries and their tests exist so far."
  echo "Run the tests with: bash scripts/run-tests.sh"
  exit 0
fi
# The build made the sample content too (tools/contentgen): the archives lie
# beside the program, where it opens them.
cd "$BUILD_DIR/src"
exec ./beachbar "$@"
