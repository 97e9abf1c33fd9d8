#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (installing clang and its runtime
# when missing) into build-fuzz/, building nothing else of the tree.
#   scripts/run-fuzz.sh            build, then list the targets
#   scripts/run-fuzz.sh --brief    build, then run every target for a few
#                                  seconds from its seeds (CI)
# The targets over stored formats start from saves the game's own code makes
# at build time (build-fuzz/fuzz/seeds/<target>/); the others from nothing.
# FUZZ_SECONDS sets how long each target runs with --brief (default 5).
# A crash leaves its input in build-fuzz/artifacts/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

BRIEF=0
for arg in "$@"; do
  case "$arg" in
    --brief) BRIEF=1 ;;
    *) echo "run-fuzz: unknown option $arg" >&2; exit 2 ;;
  esac
done

BUILD_DIR=$(bash scripts/setup.sh --fuzz | tail -n 1)
mapfile -t TARGETS < <(find "$BUILD_DIR/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | sort)
if [ ${#TARGETS[@]} -eq 0 ]; then
  echo "run-fuzz: no fuzz targets in $BUILD_DIR/fuzz" >&2
  exit 1
fi
if [ "$BRIEF" -eq 0 ]; then
  echo "Fuzz targets (run one with a corpus folder of your own, e.g. $BUILD_DIR/fuzz/fuzz_xml corpus/;"
  echo "seeds for some are in $BUILD_DIR/fuzz/seeds/):"
  printf '  %s\n' "${TARGETS[@]}"
  exit 0
fi

SECONDS_EACH=${FUZZ_SECONDS:-5}
ARTIFACTS="$BUILD_DIR/artifacts"
mkdir -p "$ARTIFACTS"
CORPUS_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/fuzz-corpus.XXXXXX")
trap 'rm -rf "$CORPUS_ROOT"' EXIT
failed=()
for target in "${TARGETS[@]}"; do
  name=$(basename "$target")
  mkdir -p "$CORPUS_ROOT/$name"
  if [ -d "$BUILD_DIR/fuzz/seeds/$name" ]; then cp "$BUILD_DIR/fuzz/seeds/$name"/* "$CORPUS_ROOT/$name"/; fi
  echo "run-fuzz: $name for ${SECONDS_EACH} s"
  # -timeout: one input taking longer is a hang; the rss limit catches runaway
  # allocations well below the machine's memory.
  if ! "$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$ARTIFACTS/$name-" -print_final_stats=1 "$CORPUS_ROOT/$name" \
      >"$CORPUS_ROOT/$name.log" 2>&1; then
    tail -n 60 "$CORPUS_ROOT/$name.log" >&2
    failed+=("$name")
  else
    grep -E '^stat::number_of_executed_units' "$CORPUS_ROOT/$name.log" || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "run-fuzz: failed: ${failed[*]} (inputs in $ARTIFACTS)" >&2
  exit 1
fi
echo "run-fuzz: ${#TARGETS[@]} targets ran clean"
