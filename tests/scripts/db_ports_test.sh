#!/usr/bin/env bash
# scripts/db.sh: servers started at the same moment get distinct ports; a server
# restarts on its recorded port when it is free, and when it is taken it moves and
# rewrites the files that point at it, so that nothing reaches another server.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DB=$ROOT/scripts/db.sh
command -v mariadbd >/dev/null || { echo "mariadbd absent: test sauté"; exit 77; }
W=$(mktemp -d "${TMPDIR:-/tmp}/corvel-dbports.XXXXXX")
listener=""
cleanup() {
  [ -z "$listener" ] || kill "$listener" 2>/dev/null || true
  for d in "$W"/s*; do [ -d "$d" ] && "$DB" stop "$d" >/dev/null 2>&1 || true; done
  rm -rf "$W"
}
trap cleanup EXIT
fail() { echo "ÉCHEC: $*" >&2; exit 1; }
port() { sed -n 's/^DB_PORT=//p' "$1/env"; }
# The data folder of the server answering on a port: which server a client really reaches.
datadir() { mariadb --no-defaults --protocol=tcp -h127.0.0.1 -P"$1" -ucorvel -pcorvel-pw -N -e 'SELECT @@datadir'; }

pids=()
for i in 1 2 3; do
  "$DB" start "$W/s$i" >"$W/start$i.log" 2>&1 &
  pids+=($!)
done
for i in 0 1 2; do wait "${pids[$i]}" || { cat "$W/start$((i + 1)).log"; fail "le serveur $((i + 1)) n'a pas démarré"; }; done
p1=$(port "$W/s1") p2=$(port "$W/s2") p3=$(port "$W/s3")
[ "$p1" != "$p2" ] && [ "$p1" != "$p3" ] && [ "$p2" != "$p3" ] || fail "ports partagés: $p1 $p2 $p3"
for i in 1 2 3; do
  p=$(port "$W/s$i")
  [ "$(datadir "$p")" = "$W/s$i/data/" ] || fail "le port $p ne mène pas au serveur $i"
done

printf '[MySQL]\nServeur=127.0.0.1\nPort=%s\nBD=corvel\n' "$p1" >"$W/vevu.cfg"
"$DB" register "$W/s1" "$W/vevu.cfg"
"$DB" stop "$W/s1"
"$DB" start "$W/s1" >/dev/null
[ "$(port "$W/s1")" = "$p1" ] || fail "redémarré sur $(port "$W/s1") au lieu de son port libre $p1"

"$DB" stop "$W/s1"
/usr/bin/python3 -c 'import socket, sys, time
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1); s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(); time.sleep(120)' "$p1" &
listener=$!
taken=0
for _ in $(seq 1 50); do (exec 3<>"/dev/tcp/127.0.0.1/$p1") 2>/dev/null && { taken=1; break; }; sleep 0.1; done
[ $taken = 1 ] || fail "le port $p1 n'a pas pu être pris"
"$DB" start "$W/s1" >"$W/move.log"
moved=$(port "$W/s1")
[ "$moved" != "$p1" ] || fail "démarré sur un port pris"
grep -qx "Port=$moved" "$W/vevu.cfg" || fail "vevu.cfg n'a pas suivi: $(grep Port "$W/vevu.cfg")"
[ "$(datadir "$moved")" = "$W/s1/data/" ] || fail "le nouveau port ne mène pas au serveur 1"
grep -q "$W/vevu.cfg" "$W/move.log" || fail "le changement de port n'a pas été dit"
echo "ports $p1 $p2 $p3; déplacé de $p1 à $moved"
