#!/usr/bin/env bash
# Installs what is missing, builds, starts a private database server and runs every test.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/install-deps.sh"
# Qt wants a private runtime folder; without one the test programs warn, from their
# listing at build time on.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ] || [ ! -O "$XDG_RUNTIME_DIR" ]; then
  export XDG_RUNTIME_DIR=$ROOT/run/xdg
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
fi
BUILD_DIR=${BUILD_DIR:-$ROOT/build} "$ROOT/scripts/build.sh"
B=${BUILD_DIR:-$ROOT/build}
# The RTF reader meets texts from other workstations: fuzz it for a bounded time first.
"$ROOT/scripts/fuzz.sh" "${FUZZ_SECONDS:-20}" >"$B/fuzz.log" 2>&1 || { tail -40 "$B/fuzz.log"; exit 1; }
echo "fuzz: $(grep -o "stat::number_of_executed_units: *[0-9]*" "$B/fuzz.log" | grep -o "[0-9]*$") runs, no failure"
RUN=$ROOT/run/testdb
"$ROOT/scripts/db.sh" start "$RUN"
trap '"$ROOT/scripts/db.sh" stop "$RUN"' EXIT
# shellcheck disable=SC1091
. "$RUN/env"
export CORVEL_TEST_DB_HOST=$DB_HOST CORVEL_TEST_DB_PORT=$DB_PORT CORVEL_TEST_DB_USER=$DB_USER CORVEL_TEST_DB_PASSWORD=$DB_PASSWORD
export QT_QPA_PLATFORM=offscreen
cd "$B"
ctest --output-on-failure -j"$(nproc)" "$@"
