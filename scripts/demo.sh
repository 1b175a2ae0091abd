#!/usr/bin/env bash
# Installs what is missing, builds, starts a private database server loaded with the
# demo office, writes vevu.cfg beside the program and starts it as a demo employee.
#   scripts/demo.sh [--employe N]      (default: the chooser window)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh"
B=${BUILD_DIR:-$ROOT/build}
RUN=$ROOT/run/demodb
"$ROOT/scripts/db.sh" start "$RUN"
# shellcheck disable=SC1091
. "$RUN/env"
if [ "${CORVEL_KEEP_DEMO:-0}" != 1 ] || ! mariadb --no-defaults --protocol=socket --socket="$DB_SOCKET" -uroot -e 'USE corvel_demo' 2>/dev/null; then
  "$ROOT/scripts/db.sh" load "$RUN" corvel_demo "$ROOT/db/schema.sql" "$ROOT/db/demo.sql"
fi
cat >"$B/vevu.cfg" <<CFG
[MySQL]
Serveur=$DB_HOST
Port=$DB_PORT
BD=corvel_demo
Utilisateur=$DB_USER
MotDePasse=$DB_PASSWORD
CFG
echo "Base de démonstration prête (port $DB_PORT). Arrêt du serveur: scripts/db.sh stop run/demodb"
exec "$B/corvel" "$@"
