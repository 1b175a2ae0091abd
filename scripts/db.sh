#!/usr/bin/env bash
# A private MariaDB server in a folder of our own.
#   scripts/db.sh start DIR     starts it (if not running) and writes DIR/env
#   scripts/db.sh stop DIR      stops it
#   scripts/db.sh load DIR DB FILE...   creates database DB and loads the files
#   scripts/db.sh register DIR FILE     FILE holds the server's port on a "Port=" line
# DIR/env holds DB_HOST, DB_PORT, DB_USER, DB_PASSWORD for the other scripts.
#
# A server restarts on the port it had, so that what points at it keeps reaching it.
# When that port is taken (by another server of this machine, say), it starts on a
# free one and rewrites DIR/env and every registered file: a program must never reach
# another server that happens to listen on the old port.
set -euo pipefail
cmd=${1:?start|stop|load|register}
D=$(mkdir -p "${2:?folder}" && cd "$2" && pwd)
USER_NAME=corvel
USER_PASS=corvel-pw
# Every folder of this machine chooses its port under this lock, so that servers
# started at the same moment by different checkouts never pick the same one.
PORT_LOCK=${CORVEL_DB_PORT_LOCK:-/tmp/corvel-db-ports.lock}
FIRST_PORT=${CORVEL_DB_FIRST_PORT:-33306}

admin() { mariadb --no-defaults --protocol=socket --socket="$D/mysqld.sock" -uroot "$@"; }

running() {
  [ -f "$D/mysqld.pid" ] || return 1
  local pid
  pid=$(cat "$D/mysqld.pid")
  kill -0 "$pid" 2>/dev/null && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = mariadbd ]
}

recorded_port() { [ -f "$D/env" ] && sed -n 's/^DB_PORT=//p' "$D/env" || true; }

# Free when nothing answers on it and it can be bound (a connect alone misses a port
# bound by a server that does not listen yet). Like the server, the check reuses an
# address left in TIME_WAIT by closed connections.
port_free() {
  if (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; then return 1; fi
  [ -x /usr/bin/python3 ] || return 0
  /usr/bin/python3 -c 'import socket, sys
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
try:
    s.bind(("127.0.0.1", int(sys.argv[1])))
except OSError:
    sys.exit(1)' "$1"
}

free_port() {
  local p
  for p in $(seq "$FIRST_PORT" $((FIRST_PORT + 700))); do
    case " $* " in *" $p "*) continue ;; esac
    if port_free "$p"; then echo "$p"; return; fi
  done
  echo "aucun port libre" >&2
  return 1
}

# Starts mariadbd on $1; 0 when it answers, 2 when the port was taken meanwhile.
launch() {
  local port=$1 pid seen
  seen=$(stat -c %s "$D/error.log" 2>/dev/null || echo 0)
  # 9>&- : the server must not inherit the port lock.
  mkdir -p "$D/tmp"
  mariadbd --no-defaults "${RUN_AS[@]}" --datadir="$D/data" --tmpdir="$D/tmp" --socket="$D/mysqld.sock" --pid-file="$D/mysqld.pid" \
    --port="$port" --bind-address=127.0.0.1 --skip-name-resolve --lower-case-table-names=1 \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci \
    --log-error="$D/error.log" --innodb-buffer-pool-size=256M --max-connections=500 \
    </dev/null >"$D/stdout.log" 2>&1 9>&- &
  pid=$!
  for _ in $(seq 1 600); do
    admin -e 'SELECT 1' >/dev/null 2>&1 && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  { kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; } || true
  tail -c +$((seen + 1)) "$D/error.log" | grep -q "Bind on TCP/IP port\|Address already in use" && return 2
  return 1
}

write_env() {
  cat >"$D/env" <<ENV
DB_HOST=127.0.0.1
DB_PORT=$1
DB_USER=$USER_NAME
DB_PASSWORD=$USER_PASS
DB_SOCKET=$D/mysqld.sock
ENV
}

case "$cmd" in
start)
  if running; then exit 0; fi
  RUN_AS=()
  [ "$(id -u)" -eq 0 ] && RUN_AS=(--user=root)
  if [ ! -d "$D/data/mysql" ]; then
    mkdir -p "$D/data" "$D/tmp"
    # A private temporary folder: servers set up at the same moment in a shared /tmp
    # collide on their temporary tables' names.
    mariadb-install-db --no-defaults "${RUN_AS[@]}" --datadir="$D/data" --tmpdir="$D/tmp" --auth-root-authentication-method=normal \
      --skip-test-db --lower-case-table-names=1 >"$D/install.log" 2>&1 ||
      { echo "MariaDB n'a pas pu créer ses fichiers, voir $D/install.log" >&2; exit 1; }
  fi
  old=$(recorded_port)
  # Without the lock (a file another account made), a port taken meanwhile is still retried.
  if { exec 9>>"$PORT_LOCK"; } 2>/dev/null; then
    chmod a+rw "$PORT_LOCK" 2>/dev/null || true
    flock -w 120 9 || { echo "Délai dépassé en attendant $PORT_LOCK" >&2; exit 1; }
  fi
  tried=()
  PORT=""
  for _ in 1 2 3 4 5; do
    if [ -n "$old" ] && [ ${#tried[@]} -eq 0 ] && port_free "$old"; then p=$old; else p=$(free_port "${tried[@]}" "$old"); fi
    rc=0
    launch "$p" || rc=$?
    if [ $rc -eq 0 ]; then PORT=$p; break; fi
    [ $rc -eq 2 ] || { echo "MariaDB n'a pas démarré, voir $D/error.log" >&2; exit 1; }
    tried+=("$p")
  done
  exec 9>&-
  [ -n "$PORT" ] || { echo "MariaDB n'a trouvé aucun port libre, voir $D/error.log" >&2; exit 1; }
  admin -e "CREATE USER IF NOT EXISTS '$USER_NAME'@'127.0.0.1' IDENTIFIED BY '$USER_PASS';
            CREATE USER IF NOT EXISTS '$USER_NAME'@'localhost' IDENTIFIED BY '$USER_PASS';
            GRANT ALL ON *.* TO '$USER_NAME'@'127.0.0.1'; GRANT ALL ON *.* TO '$USER_NAME'@'localhost';"
  write_env "$PORT"
  if [ -n "$old" ] && [ "$old" != "$PORT" ]; then
    changed=()
    if [ -f "$D/clients" ]; then
      while IFS= read -r f; do
        [ -f "$f" ] || continue
        sed -i "s/^\(Port[[:space:]]*=[[:space:]]*\)[0-9]*/\1$PORT/" "$f"
        changed+=("$f")
      done <"$D/clients"
    fi
    echo "Le port $old étant pris, le serveur écoute sur le port $PORT${changed[*]:+ (mis à jour: ${changed[*]})}."
  fi
  ;;
stop)
  if running; then
    pid=$(cat "$D/mysqld.pid")
    admin shutdown 2>/dev/null || kill "$pid"
    for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  ;;
load)
  DB=${3:?database}; shift 3
  admin -e "DROP DATABASE IF EXISTS \`$DB\`; CREATE DATABASE \`$DB\` CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;"
  for f in "$@"; do admin --default-character-set=utf8mb4 "$DB" <"$f"; done
  ;;
register)
  F=$(cd "$(dirname "${3:?file}")" && pwd)/$(basename "$3")
  grep -qxF "$F" "$D/clients" 2>/dev/null || echo "$F" >>"$D/clients"
  ;;
*) echo "usage: $0 start|stop|load|register DIR [DB FILE...]" >&2; exit 2 ;;
esac
