#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {
class Database;
}

namespace entry {

// Workstations saving a new message take turns on this lock, so that two messages saved at
// the same moment never get the same daily number.
inline const QString kVerrouNumeros = QStringLiteral("corvel.numeros");
constexpr int kAttenteNumerosSecondes = 3;

struct NouveauMessage {
    // Its date is also the day its numbers count in.
    QDateTime moment;
    int idPriorite = 0;
    qint32 idClientMsg = 0;
    QString rtf;
    QStringList dossiers;
    qint32 noEmplDe = 0;
    QList<qint32> destinataires;
    int idEtat = 1;
    QList<int> types;
};

// Writes the message with its folders, one row per recipient and its types, all or none,
// and returns its IdMessage. The sender's daily number and each recipient's are one more
// than the highest of that day. Throws DbError, leaving nothing written.
qint32 enregistrerMessage(platform::Database& db, const NouveauMessage& m);

} // namespace entry
