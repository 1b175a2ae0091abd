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
        const followup::MessageFilter f = filtre();
        sql = followup::sqlEtatsMessage();
        Recordset etats = connexion().open(sql);
        QString texte;
        for (; !etats.eof(); etats.moveNext()) {
            sql = followup::sqlCompteEtat(f, etats.field(QStringLiteral("IdEtat")).toInt());
            Recordset rs = connexion().open(sql);
            if (rs.eof()) continue;
            const int nb = rs.field(QStringLiteral("NbMsg")).toInt();
            if (nb <= 0) continue;
            texte += etats.field(QStringLiteral("Description")).text() + QLatin1Char('(') +
                     QString::number(nb) + QStringLiteral(")   ");
            m_lblStatus->setText(texte);
        }
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
