#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs the tests. The core and the command line
# are built and tested without the GUI (which proves the core needs no Qt); then the full
# program with the GUI is built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=${JOBS:-2}
cmake -S . -B build-core -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDRIFTSCOPE_GUI=OFF -DDRIFTSCOPE_WERROR=ON -DDRIFTSCOPE_BENCH=OFF
cmake --build build-core -j "$jobs"
ctest --test-dir build-core -j "$jobs" --output-on-failure

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDRIFTSCOPE_GUI=ON -DDRIFTSCOPE_WERROR=ON -DDRIFTSCOPE_TESTS=OFF -DDRIFTSCOPE_FUZZ=OFF
cmake --build build -j "$jobs"
