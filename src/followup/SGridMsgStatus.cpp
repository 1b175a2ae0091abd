// The status line under the grid: how many messages are in each state.
#include "followup/SGridMsg.h"

#include "platform/Database.h"

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
