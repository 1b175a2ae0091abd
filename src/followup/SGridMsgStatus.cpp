// The status line under the grid (how many messages are in each state) and the probe
// that tells the user, by a red "!", that a refill would bring newer messages.
#include "followup/SGridMsg.h"

#include "platform/Database.h"
#include "platform/Units.h"

#include <QLabel>

using platform::Recordset;

void SGridMsg::UpdateStatus() {
    QString sql;
    try {
        m_lblStatus->setText(QString());
        sql = followup::sqlCompteEtats(filtre());
        QString texte;
        for (Recordset rs = connexion().open(sql); !rs.eof(); rs.moveNext())
            texte += rs.field(QStringLiteral("Description")).text() + QLatin1Char('(') +
                     rs.field(QStringLiteral("NbMsg")).text() + QStringLiteral(")   ");
        m_lblStatus->setText(texte);
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("UpdateStatus"), sql);
    }
}

void SGridMsg::VerifNouveauMsg() {
    // Nothing to tell on a hidden window, nor while one message is searched by number.
    if (!window()->isVisible()) return;
    if (m_rechercheNo) return;
    QString sql;
    try {
        sql = followup::sqlVerifNouveauMsg(filtre(), lngDernierIdMessage);
        Recordset rs = connexion().open(sql);
        // A probe that finds nothing also clears an earlier mark (the message may have
        // been finished since).
        setRechercheBackColor(rs.eof() ? platform::kSysButtonFace : 0x0000FF);
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("VerifNouveauMsg"), sql);
    }
}
