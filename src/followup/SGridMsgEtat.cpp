// What a pick in the priority and state picker writes: the priority, a recipient's state
// (through the multi-recipient dialog when the message has several), the audit line
// appended to the message text, and the unread flag of the employee looking at the list.
#include "followup/SGridMsg.h"

#include "entry/EntryQueries.h"
#include "followup/EditQueries.h"
#include "followup/LigneAudit.h"
#include "followup/frmChangeEtatMsg.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "services/Session.h"

#include <QComboBox>
#include <QLineEdit>

using platform::Recordset;

// The host window's cancel flag, written and read by name: the multi-recipient dialog
// writes the same property.
void SGridMsg::setBooAnnule(bool value) {
    window()->setProperty("booAnnule", value);
}

bool SGridMsg::booAnnule() const {
    return window()->property("booAnnule").toBool();
}

void SGridMsg::ImgCbo_Click() {
    const int index = m_ImgCbo->currentIndex();
    if (index < 0) return;

    platform::Grid* g = m_SGrid;
    QString sql;
    try {
        int row = m_ImgCboTag.section(QLatin1Char(';'), 0, 0).toInt();
        const int col = m_ImgCboTag.section(QLatin1Char(';'), 1, 1).toInt();
        const qint32 idMessage = g->CellItemData(row, colNo);
        const int id = m_ImgCbo->itemData(index).toInt();
        bool remplir = false;

        if (m_typeEdition == QLatin1String("Priorite")) {
            g->CellDetails(row, col, {}, kUneLigne, m_ImgCbo->itemData(index, kRoleImagePicker).toInt() - 1);
            sql = followup::sqlUpdatePriorite(id, idMessage);
            connexion().execute(sql);
        } else if (m_typeEdition == QLatin1String("Etat")) {
            sql = followup::sqlNoEmplA(idMessage);
            const Recordset destinataires = connexion().open(sql);
            bool ligneEcrite = false;
            QString ligne;
            if (destinataires.recordCount() <= 1) {
                setBooAnnule(false);
                ligne = followup::changerEtatMessage(
                    connexion(), id, idMessage, services::Session::lngNoEmploye, platform::Clock::now(), sql);
                ligneEcrite = true;
            } else {
                // The dialog writes the rows the user leaves ticked with the audit line and
                // clears the flag when it wrote at least one.
                setBooAnnule(true);
                followup::frmChangeEtatMsg dialogue(window());
                dialogue.txtIdMsg()->setText(QString::number(idMessage));
                dialogue.txtEtat()->setText(QString::number(id));
                dialogue.Mere = window();
                const platform::ModalLoop boucle;
                dialogue.exec();
                // Anything may have refilled the grid meanwhile: the row is found again.
                row = ligneDuMessage(idMessage, row);
                if (!booAnnule() && dialogue.ligneEcrite()) {
                    ligne = dialogue.ligneAjoutee();
                    ligneEcrite = true;
                }
            }

            if (!booAnnule()) {
                if (ligneEcrite)
                    afficherLigneAudit(row, ligne);
                else
                    UpdateMsgEtat(id, idMessage, row);
                // The state shown is the chosen employee's own in his received list, else
                // the state just chosen.
                sql = m_booRecu && intNoEmploye >= 1 ? followup::sqlOrdreEtatEmploye(intNoEmploye, idMessage)
                                                     : followup::sqlOrdreEtat(id);
                const Recordset etat = connexion().open(sql);
                if (row == 0) {
                    remplir = true;
                } else if (!etat.eof()) {
                    const int ordre = etat.field(QStringLiteral("Ordre")).toInt();
                    QFont font = g->GridFont();
                    font.setStrikeOut(ordre == followup::kOrdreBarre);
                    g->CellDetails(row, col, {}, kUneLigne, ordre + 2);
                    for (int c = colNo; c <= colMessage; ++c)
                        g->setCellFont(row, c, font);
                } else {
                    remplir = true;
                }
            }
        }

        if (m_booRecu && intNoEmploye >= 1) {
            sql = entry::sql::marquerLu(idMessage, intNoEmploye);
            connexion().execute(sql);
            for (int c = colNo; c <= colDestinataire && row > 0; ++c)
                g->setCellForeColor(row, c, -1);
            if (services::Session::verifMessages) services::Session::verifMessages(true);
        }

        CacherEditeurs();
        if (remplir) Remplir();
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("ImgCbo_Click"), sql);
    }
}

int SGridMsg::ligneDuMessage(qint32 idMessage, int row) const {
    const platform::Grid* g = m_SGrid;
    const auto porte = [&](int r) { return !g->RowIsGroup(r) && g->CellItemData(r, colNo) == idMessage; };
    if (row >= 1 && row <= g->Rows() && porte(row)) return row;
    for (int r = 1; r <= g->Rows(); ++r)
        if (porte(r)) return r;
    return 0;
}

void SGridMsg::UpdateMsgEtat(int idEtat, qint32 idMessage, int row) {
    if (idEtat == followup::kEtatOuvert) return;
    QString sql;
    try {
        platform::Database& db = connexion();
        QString ligne;
        followup::enTransaction(db, [&] {
            ligne = followup::ajouterLigneAudit(db, idEtat, idMessage, services::Session::lngNoEmploye,
                                                platform::Clock::now(), sql);
        });
        afficherLigneAudit(row, ligne);
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("UpdateMsgEtat"), sql);
    }
}

void SGridMsg::afficherLigneAudit(int row, const QString& ligne) {
    if (ligne.isEmpty() || row <= 0) return;
    platform::Grid* g = m_SGrid;
    g->setCellText(row, colMessage, g->CellText(row, colMessage) + ligne);
    HauteurLigne(row);
    g->setRedraw(true);
}
