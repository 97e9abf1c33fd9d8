#!/usr/bin/env bash
# Installs what the build needs from Debian packages (when missing), then
# configures and builds one configuration.
#   scripts/setup.sh [--sanitize] [--bench] [--fuzz] [--game]
# Build folders: build/ (normal), build-asan/ (AddressSanitizer + UBSan),
# build-fuzz/ (clang; only the libFuzzer targets are built).
# --game builds only the game and its content (the generator and the
# archives), not the tests; a later run without it builds the rest.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(build-essential cmake pkg-config ccache
  libsdl1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev libsdl-image1.2-dev
  libx11-dev zlib1g-dev libogg-dev libvorbis-dev libtheora-dev libpng-dev libjpeg62-turbo-dev
  libgtest-dev libbenchmark-dev fonts-dejavu-core xvfb xauth)

BUILD_DIR=build
CMAKE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
BUILD_TARGET=()
for arg in "$@"; do
  case "$arg" in
    --sanitize) BUILD_DIR=build-asan; CMAKE_ARGS=(-DCMAKE_BUILD_TYPE=Debug -DTSL_SANITIZE=ON) ;;
    --bench) CMAKE_ARGS+=(-DTSL_BUILD_BENCH=ON); PACKAGES+=(libsdl-gfx1.2-dev) ;;
    --fuzz)
      # libFuzzer comes with clang's runtime libraries, a package of its own.
      PACKAGES+=(clang libclang-rt-dev)
      BUILD_DIR=build-fuzz
      CMAKE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTSL_FUZZ=ON
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
      BUILD_TARGET=(--target fuzzers) ;;
    --game) BUILD_TARGET=(--target game) ;;
    *) echo "setup: unknown option $arg" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then SUDO=""; elif command -v sudo >/dev/null; then SUDO="sudo"; else
    echo "setup: these Debian packages are missing and I am not root (no sudo either):" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B "$BUILD_DIR" "${CMAKE_ARGS[@]}" >&2
cmake --build "$BUILD_DIR" -j"$(nproc)" "${BUILD_TARGET[@]}" >&2
echo "$BUILD_DIR"
