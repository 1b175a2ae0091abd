#!/usr/bin/env bash
# A private MariaDB server in a folder of our own.
#   scripts/db.sh start DIR     starts it (if not running) and writes DIR/env
#   scripts/db.sh stop DIR      stops it
#   scripts/db.sh load DIR DB FILE...   creates database DB and loads the files
# DIR/env holds DB_HOST, DB_PORT, DB_USER, DB_PASSWORD for the other scripts.
set -euo pipefail
cmd=${1:?start|stop|load}
D=$(mkdir -p "${2:?folder}" && cd "$2" && pwd)
USER_NAME=corvel
USER_PASS=corvel-pw

admin() { mariadb --no-defaults --protocol=socket --socket="$D/mysqld.sock" -uroot "$@"; }

running() { [ -f "$D/mysqld.pid" ] && kill -0 "$(cat "$D/mysqld.pid")" 2>/dev/null; }

free_port() {
  local p
  for p in $(seq 33306 33999); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then echo "$p"; return; fi
  done
  echo "aucun port libre" >&2; exit 1
}

case "$cmd" in
start)
  if running; then exit 0; fi
  RUN_AS=()
  [ "$(id -u)" -eq 0 ] && RUN_AS=(--user=root)
  if [ ! -d "$D/data/mysql" ]; then
    mkdir -p "$D/data"
    mariadb-install-db --no-defaults "${RUN_AS[@]}" --datadir="$D/data" --auth-root-authentication-method=normal \
      --skip-test-db --lower-case-table-names=1 >"$D/install.log" 2>&1
  fi
  PORT=$(free_port)
  mariadbd --no-defaults "${RUN_AS[@]}" --datadir="$D/data" --socket="$D/mysqld.sock" --pid-file="$D/mysqld.pid" \
    --port="$PORT" --bind-address=127.0.0.1 --skip-name-resolve --lower-case-table-names=1 \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci \
    --log-error="$D/error.log" --innodb-buffer-pool-size=64M --max-connections=500 </dev/null >"$D/stdout.log" 2>&1 &
  for _ in $(seq 1 300); do
    admin -e 'SELECT 1' >/dev/null 2>&1 && break
    sleep 0.1
  done
  admin -e 'SELECT 1' >/dev/null || { echo "MariaDB n'a pas démarré, voir $D/error.log" >&2; exit 1; }
  admin -e "CREATE USER IF NOT EXISTS '$USER_NAME'@'127.0.0.1' IDENTIFIED BY '$USER_PASS';
            CREATE USER IF NOT EXISTS '$USER_NAME'@'localhost' IDENTIFIED BY '$USER_PASS';
            GRANT ALL ON *.* TO '$USER_NAME'@'127.0.0.1'; GRANT ALL ON *.* TO '$USER_NAME'@'localhost';"
  cat >"$D/env" <<ENV
DB_HOST=127.0.0.1
DB_PORT=$PORT
DB_USER=$USER_NAME
DB_PASSWORD=$USER_PASS
DB_SOCKET=$D/mysqld.sock
ENV
  ;;
stop)
  if running; then
    pid=$(cat "$D/mysqld.pid")
    admin shutdown 2>/dev/null || mariadb-admin --no-defaults --protocol=socket --socket="$D/mysqld.sock" -uroot shutdown || kill "$pid"
    for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  ;;
load)
  DB=${3:?database}; shift 3
  admin -e "DROP DATABASE IF EXISTS \`$DB\`; CREATE DATABASE \`$DB\` CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;"
  for f in "$@"; do admin --default-character-set=utf8mb4 "$DB" <"$f"; done
  ;;
*) echo "usage: $0 start|stop|load DIR [DB FILE...]" >&2; exit 2 ;;
esac
