#!/usr/bin/env bash
# Starts the program on the demo office: installs what is missing, builds the program,
# starts a private database server (run/demodb) and loads the demo office the first time.
#   scripts/demo.sh [--reset] [--employe N]      (default: the chooser window)
# The demo office is kept between runs; --reset loads a new one, dated from today.
# Install, build, server and program output go to run/logs/.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
B=${BUILD_DIR:-$ROOT/build}
RUN=$ROOT/run/demodb
LOGS=$ROOT/run/logs
DB=corvel_demo
mkdir -p "$LOGS"
reset=0
args=()
for a in "$@"; do
  if [ "$a" = --reset ]; then reset=1; else args+=("$a"); fi
done

# Runs a stage with its output in a log; on failure shows the end of that log.
stage() {
  local what=$1 log=$2
  shift 2
  echo "$what"
  if ! "$@" >"$log" 2>&1; then
    echo "Échec. Fin de ${log#"$ROOT"/} :" >&2
    tail -n 20 "$log" >&2
    exit 1
  fi
}

# Qt wants a private runtime folder; without one it warns on every start.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ] || [ ! -O "$XDG_RUNTIME_DIR" ]; then
  export XDG_RUNTIME_DIR=$ROOT/run/xdg
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
fi

stage "Paquets requis…" "$LOGS/install.log" "$ROOT/scripts/install-deps.sh"
stage "Compilation du programme…" "$LOGS/build.log" env TARGET=corvel "$ROOT/scripts/build.sh"
stage "Serveur de base de données (run/demodb)…" "$LOGS/server.log" "$ROOT/scripts/db.sh" start "$RUN"
# Says so when the server had to move to another port.
cat "$LOGS/server.log"
# shellcheck disable=SC1091
. "$RUN/env"

# The demo office is complete when its last statement ran (the pending-update row).
loaded() {
  [ "$(mariadb --no-defaults --protocol=socket --socket="$DB_SOCKET" -uroot -N \
    -e "SELECT COUNT(*) FROM $DB.tblmajencours" 2>/dev/null)" = 1 ]
}
load() {
  /usr/bin/python3 "$ROOT/scripts/make_demo.py" -o "$RUN/demo.sql" &&
    "$ROOT/scripts/db.sh" load "$RUN" "$DB" "$ROOT/db/schema.sql" "$RUN/demo.sql" &&
    date +%F >"$RUN/demo-date"
}
if [ $reset = 1 ] || ! loaded; then
  stage "Chargement du bureau de démonstration, daté d'aujourd'hui…" "$LOGS/load.log" load
else
  since=$(cat "$RUN/demo-date" 2>/dev/null || echo "?")
  echo "Bureau de démonstration conservé (chargé le $since ; scripts/demo.sh --reset le recharge)."
fi

cat >"$B/vevu.cfg" <<CFG
[MySQL]
Serveur=$DB_HOST
Port=$DB_PORT
BD=$DB
Utilisateur=$DB_USER
MotDePasse=$DB_PASSWORD
CFG
"$ROOT/scripts/db.sh" register "$RUN" "$B/vevu.cfg"

echo "Corvel démarre. Journaux : run/logs/"
echo "Arrêter le serveur : scripts/db.sh stop run/demodb"
echo "Repartir d'un bureau neuf : scripts/demo.sh --reset"
status=0
"$B/corvel" "${args[@]}" >"$LOGS/corvel.log" 2>&1 || status=$?
if [ $status -ne 0 ]; then
  echo "Corvel s'est arrêté avec le code $status. Fin de run/logs/corvel.log :" >&2
  tail -n 20 "$LOGS/corvel.log" >&2
  exit $status
fi
