#!/usr/bin/env bash
# The demo office loads over db/schema.sql and reads like a real week: a presence row for
# every working day around the loading day (none on weekends and holidays), vacation notes
# that name the day the person is really back, nothing dated after the loading moment,
# and folder numbers on most messages of company callers.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
[ -n "${CORVEL_TEST_DB_PORT:-}" ] || { echo "CORVEL_TEST_DB_* absentes: test sauté"; exit 77; }
DB=corvel_demo_check_$$
W=$(mktemp -d "${TMPDIR:-/tmp}/corvel-demo.XXXXXX")
sql() {
  mariadb --no-defaults --protocol=tcp -h"${CORVEL_TEST_DB_HOST:-127.0.0.1}" -P"$CORVEL_TEST_DB_PORT" \
    -u"${CORVEL_TEST_DB_USER:-corvel}" -p"${CORVEL_TEST_DB_PASSWORD:-}" --default-character-set=utf8mb4 -N "$@"
}
trap 'sql -e "DROP DATABASE IF EXISTS $DB" || true; rm -rf "$W"' EXIT
fail() { echo "ÉCHEC: $*" >&2; exit 1; }
expect() { # what, expected, query
  local got
  got=$(sql "$DB" -e "$3" | tr '\t' ' ')
  [ "$got" = "$2" ] || fail "$1: $got au lieu de $2"
}

# A Monday with Christmas and New Year's Day on the board, loaded at 10 h.
/usr/bin/python3 "$ROOT/scripts/make_demo.py" --today 2026-12-21 --now 10:00 -o "$W/demo.sql" 2>/dev/null
sql -e "CREATE DATABASE $DB CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci"
sql "$DB" <"$ROOT/db/schema.sql"
sql "$DB" <"$W/demo.sql"

# 11 active employees, 9 weeks from 2026-11-23 to 2027-01-22, less 2 holidays: 43 days.
expect "présences" "473 43 0" "SELECT COUNT(*), COUNT(DISTINCT DatePresence),
  SUM(WEEKDAY(DatePresence) > 4 OR DatePresence IN ('2026-12-25', '2027-01-01')) FROM tblpresences"
expect "retours de vacances démentis" "0" "
  SELECT COUNT(*) FROM tblpresences v WHERE v.EtatAM = 3 AND v.DescripAM LIKE 'Retour le %' AND v.DescripAM <> (
    SELECT CONCAT('Retour le ', ELT(WEEKDAY(n.DatePresence) + 1, 'lundi', 'mardi', 'mercredi', 'jeudi', 'vendredi'),
                  ' ', DAY(n.DatePresence), ' ', ELT(MONTH(n.DatePresence), 'janvier', 'février', 'mars', 'avril',
                  'mai', 'juin', 'juillet', 'août', 'septembre', 'octobre', 'novembre', 'décembre'))
    FROM tblpresences n WHERE n.NoEmploye = v.NoEmploye AND n.DatePresence > v.DatePresence
      AND n.EtatAM IN (1, 5) ORDER BY n.DatePresence LIMIT 1)
    OR v.DescripAM LIKE 'Retour le %' AND EXISTS (SELECT 1 FROM tblpresences b WHERE b.NoEmploye = v.NoEmploye
      AND b.DatePresence > v.DatePresence AND b.EtatAM NOT IN (1, 3, 5) AND b.DatePresence < (
        SELECT MIN(n.DatePresence) FROM tblpresences n WHERE n.NoEmploye = v.NoEmploye
          AND n.DatePresence > v.DatePresence AND n.EtatAM <> 3))"
expect "malades à l'avance" "0" "SELECT COUNT(*) FROM tblpresences WHERE DatePresence > '2026-12-21' AND 7 IN (EtatAM, EtatPM)"
expect "dates impossibles" "0 0 0" "SELECT
  (SELECT COUNT(*) FROM tblmessage WHERE TIMESTAMP(DateSaisie, HeureSaisie) > '2026-12-21 10:00:00'),
  (SELECT COUNT(*) FROM tblmessage WHERE WEEKDAY(DateSaisie) > 4),
  (SELECT COUNT(*) FROM tblmessageemploye e JOIN tblmessage m ON m.IdMessage = e.IdMessage
     WHERE e.DateTermine < TIMESTAMP(m.DateSaisie, m.HeureSaisie) OR e.DateTermine > '2026-12-21 10:00:00'
        OR HOUR(e.DateTermine) NOT BETWEEN 8 AND 16)"
expect "une année de messages" "1" "SELECT COUNT(*) BETWEEN 2500 AND 6000 AND MIN(DateSaisie) < '2026-01-15' FROM tblmessage"
expect "dossiers des entreprises" "1" "SELECT AVG(EXISTS (SELECT 1 FROM tblmessagedossier d WHERE d.IdMessage = m.IdMessage)) > 0.7
  FROM tblmessage m JOIN tblclientmsg c ON c.IdClientMsg = m.IdClientMsg WHERE c.NomCie <> ''"
echo "bureau de démonstration cohérent"
