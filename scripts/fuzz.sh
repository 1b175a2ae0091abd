#!/usr/bin/env bash
# Builds the RTF reader's libFuzzer target with clang into build-fuzz/ (or
# $FUZZ_BUILD_DIR) and runs it for a bounded time: scripts/fuzz.sh [seconds, default 20].
# Exits non-zero when the fuzzer finds a crash or a broken invariant.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
B=${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}
SECONDS_TO_RUN=${1:-20}
CXX=${FUZZ_CXX:-clang++}
mkdir -p "$B/corpus"

SOURCES=(
  "$ROOT/src/platform/Windows1252.cpp"
  "$ROOT/src/platform/RtfKeywords.cpp"
  "$ROOT/src/platform/RtfParser.cpp"
  "$ROOT/src/platform/RtfReader.cpp"
  "$ROOT/src/platform/RtfWriter.cpp"
  "$ROOT/fuzz/rtf_fuzz.cpp"
)
# Rebuild only when a source changed.
if [ ! -x "$B/rtf_fuzz" ] || [ -n "$(find "${SOURCES[@]}" "$ROOT"/src/platform/Rtf*.h "$ROOT/src/platform/Windows1252.h" -newer "$B/rtf_fuzz")" ]; then
  # shellcheck disable=SC2046
  "$CXX" -std=c++17 -g -O1 -Wall -Wextra -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -DQT_NO_CAST_FROM_ASCII -I"$ROOT/src" $(pkg-config --cflags Qt6Core Qt6Gui) \
    "${SOURCES[@]}" $(pkg-config --libs Qt6Core Qt6Gui) -o "$B/rtf_fuzz"
fi

cd "$B"
# New inputs go into the build directory's corpus; the committed seeds are read only.
# Leak checks are off: Qt's per-process caches (fonts, formats) look like leaks.
./rtf_fuzz -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=10 -detect_leaks=0 \
  -print_final_stats=1 corpus "$ROOT/fuzz/corpus"
