#!/bin/sh
# Builds the recording-file reader's fuzz target with clang in its own build
# folder and runs it on the seed corpus for a bounded time (default 60 s).
# Fails when the fuzzer finds a crash, a leak or undefined behaviour.
#
#   tests/fuzz/run-fuzz.sh [SECONDS]
#   TONVALE_FUZZ_BUILD_DIR=... picks the build folder.
set -eu

seconds=${1:-60}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# Inside the checkout like the other build folders, so two clones never
# share (and fight over) one CMake cache.
build_dir=${TONVALE_FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
clang=${CLANG:-clang}
clangxx=${CLANGXX:-clang++}

cmake -S "$source_dir" -B "$build_dir" -G Ninja \
  -DCMAKE_C_COMPILER="$clang" -DCMAKE_CXX_COMPILER="$clangxx" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONVALE_FUZZ=ON \
  -DTONVALE_BUILD_BENCH=OFF >/dev/null
ninja -C "$build_dir" fuzz_qvi_reader

# New inputs go to a scratch corpus; the committed seeds are only read.
corpus="$build_dir/fuzz-corpus"
artifacts="$build_dir/fuzz-artifacts"
mkdir -p "$corpus" "$artifacts"

"$build_dir/tests/fuzz/fuzz_qvi_reader" \
  -max_total_time="$seconds" -max_len=8192 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" \
  "$corpus" "$source_dir/tests/fuzz/corpus"
