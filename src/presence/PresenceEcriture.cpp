#include "presence/PresenceEcriture.h"

#include "presence/PresenceQueries.h"

namespace presence {

platform::Recordset ecrireEtRelire(platform::Database& db, const QString& ecriture, qint32 noEmploye,
                                   const QDate& du, const QDate& au) {
    platform::Recordset relu;
    platform::enTransaction(db, [&] {
        db.execute(ecriture);
        relu = db.open(sqlPresencesJours({noEmploye}, du, au));
    });
    return relu;
}

} // namespace presence
