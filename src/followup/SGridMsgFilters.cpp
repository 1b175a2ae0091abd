// The caller and telephone lists of the filter bar, rebuilt for the listed messages.
#include "followup/SGridMsg.h"

#include "platform/Database.h"

#include <QComboBox>

using platform::Recordset;

void SGridMsg::RemplirCboClientMsg() {
    QString sql;
    try {
        m_cboClient->clear();
        sql = followup::sqlCboClientMsg(filtre());
        Recordset rs = connexion().open(sql);
        m_cboClient->addItem(QStringLiteral("Tous"), 0);
        for (; !rs.eof(); rs.moveNext()) {
            QString texte = rs.field(QStringLiteral("Nom")).text();
            for (const char* part : {"Prenom", "NomCie"}) {
                const QString t = rs.field(QLatin1String(part)).text();
                if (!t.isEmpty()) texte += QStringLiteral(", ") + t;
            }
            m_cboClient->addItem(texte, rs.field(QStringLiteral("IdClientMsg")).toInt());
        }
        // After a rebuild no caller filter is in force.
        m_cboClient->setCurrentIndex(0);
        lngIdClientMsg = 0;
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("RemplirCboClientMsg"), sql);
    }
}

void SGridMsg::RemplirCboTelephone() {
    QString sql;
    try {
        m_cboTel->clear();
        m_cboTel->addItem(QStringLiteral("Tous"), 0);
        sql = followup::sqlCboTelephone(filtre());
        Recordset rs = connexion().open(sql);
        for (; !rs.eof(); rs.moveNext()) {
            // One number per caller: the first one he has.
            QString numero;
            for (const char* name : {"Telephone", "TelBureau", "Cellulaire", "AutreTel", "Fax"}) {
                numero = rs.field(QLatin1String(name)).text();
                if (!numero.isEmpty()) break;
            }
            // The list stays sorted by character code, so "Tous" follows every number.
            int at = 0;
            bool present = false;
            for (; at < m_cboTel->count(); ++at) {
                const int cmp = QString::compare(m_cboTel->itemText(at), numero, Qt::CaseSensitive);
                if (cmp == 0) present = true;
                if (cmp >= 0) break;
            }
            if (!present) m_cboTel->insertItem(at, numero, 0);
        }
        // The last entry is "Tous" with numbers in their stored form: no telephone filter.
        m_cboTel->setCurrentIndex(m_cboTel->count() - 1);
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("RemplirCboTelephone"), sql);
    }
}
