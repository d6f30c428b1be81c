#!/usr/bin/env bash
# Sets up, builds Driftscope and runs it with the given arguments (none: the desktop window).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRIFTSCOPE_TESTS=OFF \
    -DDRIFTSCOPE_FUZZ=OFF >/dev/null
cmake --build build -j "${JOBS:-2}" --target driftscope
exec build/driftscope "$@"
