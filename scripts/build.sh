#!/usr/bin/env bash
# Configures and builds both trees: build/native (Linux core, tests, simulator, tools) and
# build/win (the Windows programs and their tests, cross-built with MinGW-w64).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${KESTREL_JOBS:-$(nproc)}
# Paths relative to the tree, so clones and worktrees of it share ccache's objects.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DKESTREL_NATIVE_BUILD="$PWD/build/native" >/dev/null
cmake --build build/win -j "$jobs"
