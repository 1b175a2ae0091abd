// Filling the message grid from its filters, and rewriting one message's row.
#include "followup/SGridMsg.h"

#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/Units.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <array>

using platform::Recordset;

namespace {

constexpr int kNiveauxGroupe = 11;

QString champ(const Recordset& rs, const char* name) {
    return rs.field(QLatin1String(name)).text();
}
int entier(const Recordset& rs, const char* name) {
    return rs.field(QLatin1String(name)).toInt();
}

// The caller's numbers, the main one first, without empty ones.
QString telephones(const Recordset& rs) {
    QString out;
    for (const char* name : {"Telephone", "Cellulaire", "TelBureau", "AutreTel", "Fax"}) {
        const QString t = champ(rs, name);
        if (t.isEmpty()) continue;
        if (!out.isEmpty()) out += QStringLiteral(", ");
        out += t;
    }
    return out;
}

} // namespace

void SGridMsg::Remplir() {
    qint32 id = 0;
    Remplir(id);
}

void SGridMsg::Remplir(qint32& IdMessage) {
    platform::Grid* g = m_SGrid;
    QString sql;
    try {
        CacherEditeurs();
        FinEditText();

        g->setRedraw(false);
        g->setGroupingBandHidden(true);

        // The user's grouping and selected message survive the refill.
        std::array<int, kNiveauxGroupe> groupes{};
        for (int c = 1; c <= g->Columns(); ++c) {
            if (!g->ColumnIsGrouped(c)) continue;
            const int niveau = g->ColumnGroupingLevel(c);
            if (niveau >= 0 && niveau < kNiveauxGroupe) groupes[size_t(niveau)] = c;
        }
        for (int niveau = kNiveauxGroupe - 1; niveau >= 0; --niveau)
            if (groupes[size_t(niveau)] > 0) g->setColumnIsGrouped(groupes[size_t(niveau)], false);
        for (int c = 1; c <= g->Columns(); ++c) // a level the memory cannot hold is dropped too
            if (g->ColumnIsGrouped(c)) g->setColumnIsGrouped(c, false);
        const qint32 selection = g->SelectedRow() > 0 ? g->CellItemData(g->SelectedRow(), colNo) : -1;

        booChargement = true;
        g->Clear();
        setCursor(Qt::WaitCursor);

        const QString saisi = m_txtNoMsg->text().trimmed();
        if (!saisi.isEmpty()) {
            bool ok = false;
            const qint32 n = saisi.toInt(&ok);
            if (!ok || n < 0) {
                // Nothing to list for a number that cannot exist; the user is told why.
                g->setRedraw(true);
                unsetCursor();
                booChargement = false;
                platform::messageBox(this, QStringLiteral("Numéro de message invalide."), QString(),
                                     platform::MsgIcon::Exclamation);
                finRemplir();
                return;
            }
            IdMessage = n;
        }

        if (m_DTPicker1->date() > m_DTPicker2->date()) {
            const QDate d = m_DTPicker1->date();
            m_DTPicker1->setDate(m_DTPicker2->date());
            m_DTPicker2->setDate(d);
        }

        const followup::MessageFilter f = filtre(IdMessage);
        platform::Database* db = &connexion();
        sql = followup::sqlMessages(f);
        Recordset rs = db->open(sql);
        const bool tousTermines = f.affTermine && !f.intervalle;
        for (; !rs.eof(); rs.moveNext()) {
            const qint32 id = entier(rs, "IdMessage");
            bool barre = false;
            bool affiche = entier(rs, "IdEtat") != 4 || tousTermines || IdMessage > 0;
            if (!affiche) {
                // This record's recipient row is finished: the message stays when another
                // of its rows still qualifies, struck through in the chosen employee's
                // received list when that row is not his.
                sql = followup::sqlVerifDestinataires(f, id);
                Recordset dest = db->open(sql);
                if (!dest.eof()) {
                    affiche = true;
                    if (m_booRecu && intNoEmploye > 0) {
                        barre = true;
                        for (; !dest.eof(); dest.moveNext())
                            if (entier(dest, "NoEmplA") == intNoEmploye) barre = false;
                    }
                }
            }
            if (affiche) ajouterLigne(rs, id, barre, selection);
            lngDernierIdMessage = id;
        }
        g->setRedraw(true);

        if (g->Rows() > 0) {
            for (int niveau = 0; niveau < kNiveauxGroupe; ++niveau) {
                if (groupes[size_t(niveau)] <= 0) continue;
                g->setColumnIsGrouped(groupes[size_t(niveau)], true);
                g->setGroupingBandHidden(true);
                g->setGroupingBandHidden(false);
            }
            if (g->SelectedRow() > 0) g->EnsureVisible(g->SelectedRow(), colPriorite);
        }
        finRemplir();
    } catch (const platform::DbError& e) {
        g->setRedraw(true);
        booChargement = false;
        unsetCursor();
        if (window() != this) window()->unsetCursor();
        erreur(e, QStringLiteral("Remplir"), sql);
    }
}

// End of a fill that went through: status line, refresh button, and the host is told.
void SGridMsg::finRemplir() {
    unsetCursor();
    UpdateStatus();
    setRechercheBackColor(platform::kSysButtonFace);
    booChargement = false;
    emit Refresh();
}

void SGridMsg::ajouterLigne(const Recordset& rs, qint32 idMessage, bool barre, qint32 idSelection) {
    platform::Grid* g = m_SGrid;
    m_txtRtfTransfert.setTextRTF(champ(rs, "Message"));
    const int row = g->AddRow();
    QFont font = g->GridFont();
    font.setStrikeOut(barre);
    ecrireColonnes(row, rs, font);

    const QString sql = followup::sqlDestinataires(idMessage);
    Recordset dest = connexion().open(sql);
    QString noms;
    for (; !dest.eof(); dest.moveNext()) {
        if (!noms.isEmpty()) noms += QStringLiteral(", ");
        noms += champ(dest, "EmplA");
    }
    g->CellDetails(row, colDestinataire, noms, kUneLigne, {}, dest.recordCount() > 1 ? kRougePale : -1);

    ecrireTexte(row, font);

    if (idSelection == idMessage) {
        g->setSelectedRow(row);
        g->EnsureVisible(row, colPriorite);
    }
}

// Columns 1 to 10 of a row from a message record; 11 and 12 are the caller's.
void SGridMsg::ecrireColonnes(int row, const Recordset& rs, const QFont& font) {
    platform::Grid* g = m_SGrid;
    const qint32 id = entier(rs, "IdMessage");
    const qint64 couleur = entier(rs, "Nouveau") == 1 ? kRouge : -1;

    g->CellDetails(row, colPriorite, QString(), kUneLigne, entier(rs, "IdPriorite") - 1);
    g->CellDetails(row, colEtat, QString(), kUneLigne, entier(rs, "Ordre") + 2);

    QString no = QString::number(id);
    if (intNoEmploye >= 1)
        no += QStringLiteral(" (") + champ(rs, m_booRecu ? "NoMsgJourRecu" : "NoMsgJourEnvoi") +
              QLatin1Char(')');
    g->CellDetails(row, colNo, no, kUneLigne, {}, {}, couleur, font, {}, {}, id);

    QString heure = champ(rs, "HeureSaisie");
    if (heure.size() > 3) heure.chop(3);

    const std::pair<int, QString> textes[] = {
        {colClient, champ(rs, "Client")},     {colTelephone, telephones(rs)},
        {colDate, champ(rs, "DateSaisie")},   {colHeure, heure},
        {colExpediteur, champ(rs, "EmplDe")}, {colTypeMessage, GetTypeMessage(id)},
        {colDossier, GetDossierDetail(id)},
    };
    for (const auto& [col, texte] : textes)
        g->CellDetails(row, col, texte, kUneLigne, {}, {}, couleur, font);
    g->setCellForeColor(row, colDestinataire, couleur);
    g->setCellFont(row, colDestinataire, font);
}

// The message text under the row, and the row's height: tall enough for the text, up to
// twenty rows, after which the text is cut and shown in green to say so.
void SGridMsg::ecrireTexte(int row, const QFont& font) {
    platform::Grid* g = m_SGrid;
    g->CellDetails(row, colMessage, m_txtRtfTransfert.text(), platform::kAlignWordBreak, {}, -1, kBleuFonce,
                   font);
    HauteurLigne(row);
}

void SGridMsg::UpdateLigne(qint32& IdMessage) {
    platform::Grid* g = m_SGrid;
    QString sql;
    try {
        int row = 0;
        for (int r = 1; r <= g->Rows() && row == 0; ++r)
            if (!g->RowIsGroup(r) && g->CellItemData(r, colNo) == IdMessage) row = r;
        if (row == 0) return;

        sql = followup::sqlMessageUnique(IdMessage);
        Recordset rs = connexion().open(sql);
        if (rs.recordCount() < 1) return;

        // The row keeps the strike-through its fill gave it: whether another recipient's
        // row is what lists it is a question for the next fill.
        QFont font = g->GridFont();
        font.setStrikeOut(g->CellFont(row, colNo).strikeOut());
        ecrireColonnes(row, rs, font);
        m_txtRtfTransfert.setTextRTF(champ(rs, "Message"));

        QString noms;
        for (; !rs.eof(); rs.moveNext()) {
            if (!noms.isEmpty()) noms += QStringLiteral(", ");
            noms += champ(rs, "EmplA");
        }
        g->CellDetails(row, colDestinataire, noms, kUneLigne, {}, rs.recordCount() > 1 ? kRougePale : -1);

        ecrireTexte(row, font);
        g->setRedraw(true);
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("UpdateLigne"), sql);
    }
}

QString SGridMsg::GetTypeMessage(qint32 IdMessage) {
    const QString sql = followup::sqlTypeMessage(IdMessage);
    QString out;
    try {
        for (Recordset rs = connexion().open(sql); !rs.eof(); rs.moveNext()) {
            if (!out.isEmpty()) out += QStringLiteral(", ");
            out += champ(rs, "Descr");
        }
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("GetTypeMessage"), sql);
    }
    return out;
}

QString SGridMsg::GetDossierDetail(qint32 IdMessage) {
    const QString sql = followup::sqlDossierDetail(IdMessage);
    QString out;
    try {
        for (Recordset rs = connexion().open(sql); !rs.eof(); rs.moveNext()) {
            if (!out.isEmpty()) out += QStringLiteral(", ");
            out += champ(rs, "NoDos");
        }
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("GetDossierDetail"), sql);
    }
    return out;
}
