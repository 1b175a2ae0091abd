#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR); JOBS limits the parallel compilers,
# TARGET builds one target only (the demo needs only "corvel").
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
B=${BUILD_DIR:-$ROOT/build}
LAUNCHER=()
if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$ROOT" -B "$B" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${LAUNCHER[@]}" "$@" >/dev/null
cmake --build "$B" -j"${JOBS:-$(nproc)}" ${TARGET:+--target "$TARGET"}
