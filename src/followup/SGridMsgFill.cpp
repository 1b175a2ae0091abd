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
#include <QHash>
#include <QLineEdit>
#include <array>

using platform::Recordset;

namespace {

constexpr int kNiveauxGroupe = 11;

QString champ(const Recordset& rs, const char* name) {
    return rs.field(QLatin1String(name)).text();
}
// A column's position; a missing column throws as reading it would.
int position(const Recordset& rs, const char* name) {
    const int i = rs.fieldIndex(QLatin1String(name));
    if (i < 0)
        throw platform::DbError(
            3265, QStringLiteral("Élément introuvable dans la collection: ") + QLatin1String(name),
            QString());
    return i;
}

} // namespace

struct SGridMsg::ColonnesMessage {
    explicit ColonnesMessage(const Recordset& rs)
        : id(position(rs, "IdMessage")), etat(position(rs, "IdEtat")), ordre(position(rs, "Ordre")),
          priorite(position(rs, "IdPriorite")), nouveau(position(rs, "Nouveau")),
          noEmplA(position(rs, "NoEmplA")), jourRecu(position(rs, "NoMsgJourRecu")),
          jourEnvoi(position(rs, "NoMsgJourEnvoi")), client(position(rs, "Client")),
          date(position(rs, "DateSaisie")), heure(position(rs, "HeureSaisie")),
          emplDe(position(rs, "EmplDe")), emplA(position(rs, "EmplA")), message(position(rs, "Message")) {
        int i = 0;
        for (const char* name : {"Telephone", "Cellulaire", "TelBureau", "AutreTel", "Fax"})
            telephones[i++] = position(rs, name);
    }
    int id, etat, ordre, priorite, nouveau, noEmplA, jourRecu, jourEnvoi, client, date, heure, emplDe, emplA,
        message;
    int telephones[5]; // the main number first, in the order the cell shows them

    // The caller's numbers without empty ones, ", " between them.
    QString telephonesTexte(const Recordset& rs) const {
        QString out;
        for (const int i : telephones) {
            const QString t = rs.field(i).text();
            if (t.isEmpty()) continue;
            if (!out.isEmpty()) out += QStringLiteral(", ");
            out += t;
        }
        return out;
    }
};

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

        // The rows come back in the query's order within the groups: no header may show a sort
        // they lack. The groups keep their own order, and the columns' tags stay, so that each
        // column keeps its turn.
        g->sortKeys().clear();

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
        platform::Database& db = connexion();
        sql = followup::sqlMessages(f);
        // A record per listed message, texts included: read as the rows are added.
        platform::Cursor rs = db.openCursor(sql);
        const ColonnesMessage c(rs.record());
        const bool tousTermines = f.affTermine && !f.intervalle;
        // The rows' font, plain and struck through: every row shares one of the two.
        std::array<QFont, 2> polices{g->GridFont(), g->GridFont()};
        polices[0].setStrikeOut(false);
        polices[1].setStrikeOut(true);

        // What a row shows besides its record, for every listed message at once.
        QHash<qint32, QList<qint32>> qualifies;
        if (!rs.eof() && !tousTermines && IdMessage <= 0) {
            sql = followup::sqlVerifDestinatairesListe(f);
            Recordset v = db.open(sql);
            for (const int id = position(v, "IdMessage"), a = position(v, "NoEmplA"); !v.eof(); v.moveNext())
                qualifies[v.field(id).toInt()] << v.field(a).toInt();
        }
        QHash<qint32, QStringList> destinataires;
        if (!rs.eof()) {
            sql = followup::sqlDestinatairesListe(f);
            Recordset d = db.open(sql);
            for (const int id = position(d, "IdMessage"), a = position(d, "EmplA"); !d.eof(); d.moveNext())
                destinataires[d.field(id).toInt()] << partage(d.field(a).text());
        }
        sql.clear();
        QHash<qint32, QString> types, dossiers;
        if (!rs.eof() &&
            !(lireTextes({followup::sqlTypesListe(f)}, "Descr", QStringLiteral("GetTypeMessage"), types) &&
              lireTextes({followup::sqlDossiersListe(f)}, "NoDos", QStringLiteral("GetDossierDetail"),
                         dossiers))) {
            // The connection is gone: the window is closing, there is nothing more to show.
            abandonRemplir();
            return;
        }

        for (; !rs.eof(); rs.moveNext()) {
            const Recordset& r = rs.record();
            const qint32 id = r.field(c.id).toInt();
            bool barre = false;
            bool affiche = r.field(c.etat).toInt() != 4 || tousTermines || IdMessage > 0;
            if (!affiche) {
                // This record's recipient row is finished: the message stays when another
                // of its rows still qualifies, struck through in the chosen employee's
                // received list when that row is not his.
                const auto it = qualifies.constFind(id);
                if (it != qualifies.constEnd()) {
                    affiche = true;
                    barre = m_booRecu && intNoEmploye > 0 && !it->contains(intNoEmploye);
                }
            }
            if (affiche) {
                // A message has one record: its details are let go as its row takes them.
                const DetailsLigne details{types.take(id), dossiers.take(id), destinataires.take(id)};
                ajouterLigne(r, c, details, polices[barre ? 1 : 0], selection);
            }
            // The newest message listed: hidden ones are no longer read, and as message
            // numbers follow the order of entry the probe's question stays the same.
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
        abandonRemplir();
        erreur(e, QStringLiteral("Remplir"), sql);
    }
}

// A fill that cannot go on: painting and pointers back, no status line, no Refresh.
void SGridMsg::abandonRemplir() {
    m_textesVus.clear();
    m_SGrid->setRedraw(true);
    booChargement = false;
    unsetCursor();
    if (window() != this) window()->unsetCursor();
}

// Reads the texts of one detail column for every listed message, joined by ", " in the
// order returned, from one statement or a few (a long list of messages read in parts).
// A failure is reported once, under the name of the procedure that reads the same text for
// one message, and leaves the column empty; false when the connection itself is gone.
bool SGridMsg::lireTextes(const QStringList& sqls, const char* champTexte, const QString& procedure,
                          QHash<qint32, QString>& textes) {
    for (const QString& sql : sqls) {
        try {
            Recordset rs = connexion().open(sql);
            for (const int id = position(rs, "IdMessage"), t = position(rs, champTexte); !rs.eof();
                 rs.moveNext()) {
                QString& texte = textes[rs.field(id).toInt()];
                if (!texte.isEmpty()) texte += QStringLiteral(", ");
                texte += rs.field(t).text();
            }
        } catch (const platform::DbError& e) {
            textes.clear();
            erreur(e, procedure, sql);
            return !e.isTimeout();
        }
    }
    return true;
}

// End of a fill that went through: status line, refresh button, and the host is told.
void SGridMsg::finRemplir() {
    m_textesVus.clear();
    unsetCursor();
    UpdateStatus();
    setRechercheBackColor(platform::kSysButtonFace);
    booChargement = false;
    emit Refresh();
}

void SGridMsg::ajouterLigne(const Recordset& rs, const ColonnesMessage& c, const DetailsLigne& details,
                            const QFont& font, qint32 idSelection) {
    platform::Grid* g = m_SGrid;
    m_txtRtfTransfert.setTextRTF(rs.field(c.message).text());
    const int row = g->AddRow();
    ecrireColonnes(row, rs, c, font, details);
    ecrireTexte(row, font);

    const qint32 idMessage = rs.field(c.id).toInt();
    if (idSelection == idMessage) {
        g->setSelectedRow(row);
        g->EnsureVisible(row, colPriorite);
    }
}

QString SGridMsg::partage(const QString& texte) {
    if (!booChargement || texte.isEmpty()) return texte;
    const auto it = m_textesVus.constFind(texte);
    if (it != m_textesVus.constEnd()) return *it;
    m_textesVus.insert(texte);
    return texte;
}

// Columns 1 to 11 of a row from a message record and its details; 12 is the text's.
void SGridMsg::ecrireColonnes(int row, const Recordset& rs, const ColonnesMessage& c, const QFont& font,
                              const DetailsLigne& details) {
    platform::Grid* g = m_SGrid;
    const qint32 id = rs.field(c.id).toInt();
    const qint64 couleur = rs.field(c.nouveau).toInt() == 1 ? kRouge : -1;

    g->CellDetails(row, colPriorite, QString(), kUneLigne, rs.field(c.priorite).toInt() - 1);
    g->CellDetails(row, colEtat, QString(), kUneLigne, rs.field(c.ordre).toInt() + 2);

    QString no = QString::number(id);
    if (intNoEmploye >= 1)
        no += QStringLiteral(" (") + rs.field(m_booRecu ? c.jourRecu : c.jourEnvoi).text() + QLatin1Char(')');
    g->CellDetails(row, colNo, no, kUneLigne, {}, {}, couleur, font, {}, {}, id);

    QString heure = rs.field(c.heure).text();
    if (heure.size() > 3) heure.chop(3);

    const std::pair<int, QString> textes[] = {
        {colClient, partage(rs.field(c.client).text())},
        {colTelephone, partage(c.telephonesTexte(rs))},
        {colDate, partage(rs.field(c.date).text())},
        {colHeure, partage(heure)},
        {colExpediteur, partage(rs.field(c.emplDe).text())},
        {colTypeMessage, partage(details.types)},
        {colDossier, details.dossiers},
    };
    for (const auto& [col, texte] : textes)
        g->CellDetails(row, col, texte, kUneLigne, {}, {}, couleur, font);
    g->CellDetails(row, colDestinataire, partage(details.destinataires.join(QStringLiteral(", "))), kUneLigne,
                   {}, details.destinataires.size() > 1 ? kRougePale : -1, couleur, font);
}

// The message text under the row, and the row's height: tall enough for the text, up to
// twenty rows, after which the text is cut and shown in green to say so.
void SGridMsg::ecrireTexte(int row, const QFont& font) {
    platform::Grid* g = m_SGrid;
    // The text is read into room made for the rich text: the row keeps only what it needs.
    QString texte = m_txtRtfTransfert.text();
    texte.squeeze();
    g->CellDetails(row, colMessage, texte, platform::kAlignWordBreak, {}, -1, kBleuFonce, font);
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
        const ColonnesMessage c(rs);

        // Every recipient's name; the row itself is the chosen employee's own in his
        // received list (his daily number, state and unread flag), else the first one.
        DetailsLigne details;
        int propre = -1;
        for (int i = 0; !rs.eof(); rs.moveNext(), ++i) {
            details.destinataires << rs.field(c.emplA).text();
            if (propre < 0 && m_booRecu && intNoEmploye > 0 && rs.field(c.noEmplA).toInt() == intNoEmploye)
                propre = i;
        }
        rs.moveFirst();
        for (int i = 0; i < propre; ++i)
            rs.moveNext();
        details.types = GetTypeMessage(IdMessage);
        details.dossiers = GetDossierDetail(IdMessage);

        // The row keeps the strike-through its fill gave it: whether another recipient's
        // row is what lists it is a question for the next fill.
        QFont font = g->GridFont();
        font.setStrikeOut(g->CellFont(row, colNo).strikeOut());
        ecrireColonnes(row, rs, c, font, details);
        m_txtRtfTransfert.setTextRTF(rs.field(c.message).text());
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
