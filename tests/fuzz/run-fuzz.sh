#!/bin/sh
# run-fuzz.sh [SECONDS=60]: builds the fuzz targets with clang in build-fuzz/ (or
# $TONVALE_FUZZ_BUILD_DIR) and fails on a crash, a leak or undefined behaviour.
# The seconds are shared: half for the recording file reader, half for the
# song reader (seeded with the songs that come with Tonvale).
set -eu
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${TONVALE_FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
seconds=${1:-60}
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_C_COMPILER="${CLANG:-clang}" \
  -DCMAKE_CXX_COMPILER="${CLANGXX:-clang++}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONVALE_FUZZ=ON \
  -DTONVALE_BUILD_BENCH=OFF >/dev/null
ninja -C "$build_dir" fuzz_qvi_reader fuzz_song_reader
# Written corpora go to the build folder; the seeds are only read.
mkdir -p "$build_dir/fuzz-corpus" "$build_dir/song-fuzz-corpus" "$build_dir/fuzz-artifacts"
"$build_dir/tests/fuzz/fuzz_qvi_reader" -max_total_time=$(((seconds + 1) / 2)) -max_len=8192 \
  -timeout=10 -print_final_stats=1 -artifact_prefix="$build_dir/fuzz-artifacts/" \
  "$build_dir/fuzz-corpus" "$source_dir/tests/fuzz/corpus"
"$build_dir/tests/fuzz/fuzz_song_reader" -max_total_time=$((seconds / 2)) -max_len=4096 \
  -timeout=10 -print_final_stats=1 -artifact_prefix="$build_dir/fuzz-artifacts/song-" \
  -dict="$source_dir/tests/fuzz/song.dict" \
  "$build_dir/song-fuzz-corpus" "$source_dir/tests/fuzz/song-corpus" "$source_dir/songs"
