#include "followup/LigneAudit.h"

#include "followup/EditQueries.h"
#include "platform/Database.h"
#include "platform/RichTextBox.h"

#include <QDateTime>

namespace followup {

QString ajouterLigneAudit(platform::Database& db, int idEtat, qint32 idMessage, qint32 noEmploye,
                          const QDateTime& now, QString& sql) {
    if (idEtat == kEtatOuvert) return QString();
    sql = sqlDescriptionEtat(idEtat);
    const QString description = db.open(sql).field(QStringLiteral("Description")).text();
    sql = sqlNomEmploye(noEmploye);
    const QString nom = db.open(sql).field(QStringLiteral("Nom")).text();
    sql = sqlTexteMessage(idMessage) + QStringLiteral(" FOR UPDATE");
    platform::RichTextBox transfert;
    transfert.setTextRTF(db.open(sql).field(QStringLiteral("Message")).text());

    // The message keeps its characters; its formatting goes with the rewrite.
    const QString texte = transfert.text();
    const QString ligne = ligneAudit(description, now, nom, !texte.isEmpty());
    transfert.setText(texte + ligne);
    sql = sqlUpdateMessage(transfert.textRTF(), idMessage);
    db.execute(sql);
    return ligne;
}

QString changerEtatMessage(platform::Database& db, int idEtat, qint32 idMessage, qint32 noEmploye,
                           const QDateTime& now, QString& sql) {
    QString ligne;
    enTransaction(db, [&] {
        // The message row is locked before its recipients' rows change, so that two
        // changes of the same message write their states and lines in the same order.
        sql = sqlVerrouMessage(idMessage);
        db.open(sql);
        sql = sqlUpdateEtat(idEtat, idMessage, now);
        db.execute(sql);
        ligne = ajouterLigneAudit(db, idEtat, idMessage, noEmploye, now, sql);
    });
    return ligne;
}

} // namespace followup
