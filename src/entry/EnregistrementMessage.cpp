#include "entry/EnregistrementMessage.h"

#include "entry/EntryQueries.h"
#include "platform/Database.h"

namespace entry {

namespace {
int noMax(platform::Database& db, const QString& sql) {
    auto rs = db.open(sql);
    return rs.eof() ? 0 : rs.field(QStringLiteral("NoMax")).toInt(); // NULL reads 0: none yet today
}
} // namespace

qint32 enregistrerMessage(platform::Database& db, const NouveauMessage& m) {
    const QDate jour = m.moment.date();
    // The highest numbers are read and the new ones written while no other workstation
    // saves: the lock is let go only once the transaction has ended. One lock for all
    // messages rather than locking reads of the rows, which two saves would take in
    // different orders and end in deadlocks.
    platform::NamedLock tour(db, kVerrouNumeros, kAttenteNumerosSecondes);
    // All rows of the message or none: a message without its recipients would be saved
    // again as a second copy.
    platform::Transaction transaction(db);
    db.execute(sql::messageInsert(jour, m.moment.time(), m.idPriorite, m.idClientMsg, m.rtf));
    const qint32 id = qint32(db.lastInsertId());

    for (const QString& dossier : m.dossiers)
        db.execute(sql::dossierInsert(id, dossier));

    // The sender's number is the message's: every recipient row of it carries the same.
    const int noEnvoi = noMax(db, sql::maxNoMsgJourEnvoi(m.noEmplDe, jour)) + 1;
    for (const qint32 a : m.destinataires) {
        const int noRecu = noMax(db, sql::maxNoMsgJourRecu(a, jour)) + 1;
        db.execute(sql::destinataireInsert(id, m.noEmplDe, a, m.idEtat, noRecu, noEnvoi));
    }

    for (const int type : m.types)
        db.execute(sql::typeInsert(id, type));
    transaction.commit();
    return id;
}

} // namespace entry
