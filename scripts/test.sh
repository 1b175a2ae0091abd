#!/usr/bin/env bash
# Installs what is missing, builds, starts a private database server and runs every test.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/install-deps.sh"
BUILD_DIR=${BUILD_DIR:-$ROOT/build} "$ROOT/scripts/build.sh"
B=${BUILD_DIR:-$ROOT/build}
RUN=$ROOT/run/testdb
"$ROOT/scripts/db.sh" start "$RUN"
trap '"$ROOT/scripts/db.sh" stop "$RUN"' EXIT
# shellcheck disable=SC1091
. "$RUN/env"
export CORVEL_TEST_DB_HOST=$DB_HOST CORVEL_TEST_DB_PORT=$DB_PORT CORVEL_TEST_DB_USER=$DB_USER CORVEL_TEST_DB_PASSWORD=$DB_PASSWORD
export QT_QPA_PLATFORM=offscreen
cd "$B"
ctest --output-on-failure -j"$(nproc)" "$@"
