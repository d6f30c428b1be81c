#!/usr/bin/env bash
# Runs the benchmarks (on demand; never part of the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DDRIFTSCOPE_GUI=OFF \
    -DDRIFTSCOPE_TESTS=OFF -DDRIFTSCOPE_FUZZ=OFF >/dev/null
cmake --build build-bench -j "${JOBS:-2}"
build-bench/bench/driftscope_bench
build-bench/bench/compare_bench
build-bench/bench/export_bench
packet="${TMPDIR:-/tmp}/driftscope_memory_modules.xml"
build-bench/bench/packet_memory "$packet"
build-bench/bench/packet_memory "$packet"
rm -f "$packet"
tree="${TMPDIR:-/tmp}/driftscope_bench_tree"
build-bench/bench/folder_reader "$tree"
rm -rf "$tree"
