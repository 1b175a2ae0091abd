#pragma once

#include "platform/Database.h"

#include <QDate>

namespace presence {

// Runs one write of an employee's half-days and reads back the days from `du` to `au` as
// the board's fill reads them (sqlPresencesJours), in one transaction: what the board then
// shows is the row the write left, never a value it worked out itself. Two workstations
// writing the same days at once may deadlock; the loser is tried again.
platform::Recordset ecrireEtRelire(platform::Database& db, const QString& ecriture, qint32 noEmploye,
                                   const QDate& du, const QDate& au);

} // namespace presence
