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
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <vector>

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
        : id(position(rs, "IdMessage")), priorite(position(rs, "IdPriorite")), client(position(rs, "Client")),
          date(position(rs, "DateSaisie")), heure(position(rs, "HeureSaisie")),
          message(position(rs, "Message")) {
        int i = 0;
        for (const char* name : {"Telephone", "Cellulaire", "TelBureau", "AutreTel", "Fax"})
            telephones[i++] = position(rs, name);
    }
    int id, priorite, client, date, heure, message;
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

namespace {

// Positions of a recipient row's own columns; the daily numbers and Compte may be left out
// (-1: 0 and counting).
std::array<int, 8> positionsDestinataire(const Recordset& rs) {
    return {position(rs, "IdMessage"),
            position(rs, "NoEmplA"),
            position(rs, "NoEmplDe"),
            position(rs, "IdEtat"),
            position(rs, "Nouveau"),
            rs.fieldIndex(QStringLiteral("NoMsgJourRecu")),
            rs.fieldIndex(QStringLiteral("NoMsgJourEnvoi")),
            rs.fieldIndex(QStringLiteral("Compte"))};
}

} // namespace

SGridMsg::Destinataire SGridMsg::lireDestinataire(const Recordset& rs, const int* p) {
    Destinataire d;
    d.idMessage = rs.field(p[0]).toInt();
    d.noEmplA = rs.field(p[1]).toInt();
    d.noEmplDe = rs.field(p[2]).toInt();
    d.idEtat = rs.field(p[3]).toInt();
    d.nouveau = rs.field(p[4]).toInt();
    d.jourRecu = p[5] < 0 ? 0 : rs.field(p[5]).toInt();
    d.jourEnvoi = p[6] < 0 ? 0 : rs.field(p[6]).toInt();
    d.compte = p[7] < 0 || rs.field(p[7]).toInt() != 0;
    return d;
}

int SGridMsg::ligneRetenue(const Destinataire* lignes, int nombre) const {
    int retenue = -1;
    for (int i = 0; i < nombre; ++i) {
        const Destinataire& d = lignes[i];
        const bool employe = intNoEmploye == 0 ? d.noEmplA > -1
                             : m_booRecu       ? d.noEmplA == intNoEmploye
                                               : d.noEmplDe == intNoEmploye;
        if (!employe || !d.aConnu || !d.deConnu || !d.ordreConnu) continue;
        if (d.idEtat != 4) return i;
        if (retenue < 0) retenue = i;
    }
    return retenue;
}

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
        // The probe's reference, read first: a message entered while the list is read is
        // then newer than it, and "!" tells of it. Hidden finished messages count, so that
        // one reopened elsewhere is not taken for a new one; none read leaves it as it was,
        // and so does a fill that fails.
        sql = followup::sqlDernierMessageLu(f);
        qint32 dernierLu = lngDernierIdMessage;
        if (const Recordset dernier = db.open(sql); !dernier.eof()) dernierLu = dernier.field(0).toInt();

        sql = followup::sqlMessages(f);
        // A record per message that may be listed, texts included: read as the rows are added.
        platform::Cursor rs = db.openCursor(sql);
        const ColonnesMessage c(rs.record());
        const bool tousTermines = f.affTermine && !f.intervalle;
        // The rows' font, plain and struck through: every row shares one of the two.
        std::array<QFont, 2> polices{g->GridFont(), g->GridFont()};
        polices[0].setStrikeOut(false);
        polices[1].setStrikeOut(true);
        // A row's text is read from its rich text and laid out for its height when the row is
        // first shown or asked for (a menu, an editor, a row refresh): until then it keeps the
        // stored text and the height of one line. The text is read in a box of its own: the
        // row may be asked for while txtRtfTransfert holds another message.
        g->setRowPreparer([this](int row, const QByteArray& rtf) {
            platform::RichTextBox transfert;
            transfert.setTextRTF(QString::fromUtf8(rtf));
            QString texte = transfert.text();
            texte.squeeze(); // read into room made for the rich text: keep only what it needs
            m_SGrid->setCellText(row, colMessage, texte);
            HauteurLigne(row);
        });
        const int hauteurUneLigne = QFontMetrics(polices[0]).height() + g->DefaultRowHeight() + 4;

        // Every recipient row of those messages, grouped by message in the order written:
        // the row each record carries, whether it is listed and struck, and the names.
        std::vector<Destinataire> lignes;
        QMap<int, QString> etats; // descriptions by state number
        QHash<int, QString> noms; // employees' names by number
        if (!rs.eof()) {
            // Names and states are few: looked up here rather than joined to every row.
            QHash<int, int> ordres;
            sql = followup::sqlNomsEmployes();
            for (Recordset e = db.open(sql); !e.eof(); e.moveNext())
                noms.insert(e.field(0).toInt(),
                            e.field(1).text().isNull() ? QStringLiteral("") : e.field(1).text());
            sql = followup::sqlOrdresEtats();
            for (Recordset e = db.open(sql); !e.eof(); e.moveNext()) {
                ordres.insert(e.field(0).toInt(), e.field(1).toInt());
                etats.insert(e.field(0).toInt(), e.field(2).text());
            }

            sql = followup::sqlDestinatairesLignes(f);
            platform::Cursor d = db.openCursor(sql);
            const std::array<int, 8> p = positionsDestinataire(d.record());
            for (; !d.eof(); d.moveNext()) {
                Destinataire l = lireDestinataire(d.record(), p.data());
                // A missing employee or state leaves its name or order unknown (null).
                l.aConnu = noms.contains(l.noEmplA);
                l.deConnu = noms.contains(l.noEmplDe);
                const auto ordre = ordres.constFind(l.idEtat);
                l.ordreConnu = ordre != ordres.constEnd();
                if (l.ordreConnu) l.ordre = *ordre;
                lignes.push_back(std::move(l));
            }
            std::stable_sort(lignes.begin(), lignes.end(), [](const Destinataire& x, const Destinataire& y) {
                return x.idMessage < y.idMessage;
            });
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

        // With every finished message shown, the messages and rows read are all those the
        // status line counts (any state, under the same employee, caller and telephone
        // filters): it is counted from them instead of by a statement of its own.
        const bool compterEtats = tousTermines && IdMessage <= 0 && intNoEmploye >= 0;
        QMap<int, int> comptes; // messages with a row in each state, by state number
        for (; !rs.eof(); rs.moveNext()) {
            const Recordset& r = rs.record();
            const qint32 id = r.field(c.id).toInt();
            const auto debut =
                std::lower_bound(lignes.cbegin(), lignes.cend(), id,
                                 [](const Destinataire& x, qint32 valeur) { return x.idMessage < valeur; });
            auto fin = debut;
            while (fin != lignes.cend() && fin->idMessage == id)
                ++fin;
            if (compterEtats) {
                QVarLengthArray<int, 8> vus; // each state counts a message once
                for (auto l = debut; l != fin; ++l) {
                    const bool employe = intNoEmploye < 1 ? l->noEmplA > -1
                                         : m_booRecu      ? l->noEmplA == intNoEmploye
                                                          : l->noEmplDe == intNoEmploye;
                    if (!employe || vus.contains(l->idEtat)) continue;
                    vus.append(l->idEtat);
                    ++comptes[l->idEtat];
                }
            }
            const int nombre = int(fin - debut);
            const int retenue = ligneRetenue(nombre > 0 ? &*debut : nullptr, nombre);
            if (retenue < 0) continue; // no row of the chosen employee's that may be shown
            const Destinataire& porte = debut[retenue];
            bool barre = false;
            bool affiche = porte.idEtat != 4 || tousTermines || IdMessage > 0;
            if (!affiche) {
                // The row it carries is finished, and so are all its others that could be:
                // the message stays when one of its rows still counts, struck through in
                // the chosen employee's received list when none of those is his.
                bool sien = false;
                for (auto l = debut; l != fin; ++l) {
                    if (!l->compte) continue;
                    affiche = true;
                    sien = sien || l->noEmplA == intNoEmploye;
                }
                barre = affiche && m_booRecu && intNoEmploye > 0 && !sien;
            }
            if (!affiche) continue;
            DetailsLigne details{types.value(id), dossiers.value(id), {}, noms.value(porte.noEmplDe)};
            for (auto l = debut; l != fin; ++l)
                if (l->aConnu) details.destinataires << noms.value(l->noEmplA);
            ajouterLigne(r, c, porte, details, polices[barre ? 1 : 0], hauteurUneLigne, selection);
        }
        lngDernierIdMessage = dernierLu;
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
        if (compterEtats) {
            // As the statement gives them: the states that exist and have a message, in order.
            QString status;
            for (auto it = etats.cbegin(); it != etats.cend(); ++it)
                if (const int n = comptes.value(it.key()); n > 0)
                    status += *it + QLatin1Char('(') + QString::number(n) + QStringLiteral(")   ");
            finRemplir(&status);
        } else {
            finRemplir();
        }
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
void SGridMsg::finRemplir(const QString* status) {
    m_textesVus.clear();
    unsetCursor();
    if (status)
        m_lblStatus->setText(*status);
    else
        UpdateStatus();
    setRechercheBackColor(platform::kSysButtonFace);
    booChargement = false;
    emit Refresh();
}

void SGridMsg::ajouterLigne(const Recordset& rs, const ColonnesMessage& c, const Destinataire& d,
                            const DetailsLigne& details, const QFont& font, int hauteurUneLigne,
                            qint32 idSelection) {
    platform::Grid* g = m_SGrid;
    const int row = g->AddRow();
    ecrireColonnes(row, rs, c, d, font, details);
    // The text, its height (and green when cut) once the row is looked at: its rich text is
    // kept till then as the server sent it, in UTF-8 (mostly ASCII, half the room).
    g->CellDetails(row, colMessage, QString(), platform::kAlignWordBreak, {}, -1, kBleuFonce, font);
    g->setRowHeight(row, hauteurUneLigne);
    g->setRowHeightPending(row, rs.field(c.message).value().toByteArray());

    const qint32 idMessage = rs.field(c.id).toInt();
    if (idSelection == idMessage) {
        g->setSelectedRow(row);
        g->EnsureVisible(row, colPriorite);
    }
}

QString SGridMsg::dateTexte(const platform::Field& date) {
    // Rows come in order of entry: most have the date of the row before, written once.
    if (date.value() != m_dateVue || m_dateVueTexte.isNull()) {
        m_dateVue = date.value();
        m_dateVueTexte = date.text();
    }
    return m_dateVueTexte;
}

QString SGridMsg::partage(const QString& texte) {
    if (!booChargement || texte.isEmpty()) return texte;
    const auto it = m_textesVus.constFind(texte);
    if (it != m_textesVus.constEnd()) return *it;
    m_textesVus.insert(texte);
    return texte;
}

// Columns 1 to 11 of a row from a message record and its details; 12 is the text's.
void SGridMsg::ecrireColonnes(int row, const Recordset& rs, const ColonnesMessage& c, const Destinataire& d,
                              const QFont& font, const DetailsLigne& details) {
    platform::Grid* g = m_SGrid;
    const qint32 id = rs.field(c.id).toInt();
    const qint64 couleur = d.nouveau == 1 ? kRouge : -1;

    g->CellDetails(row, colPriorite, QString(), kUneLigne, rs.field(c.priorite).toInt() - 1);
    g->CellDetails(row, colEtat, QString(), kUneLigne, d.ordre + 2);

    QString no = QString::number(id);
    if (intNoEmploye >= 1)
        no += QStringLiteral(" (") + QString::number(m_booRecu ? d.jourRecu : d.jourEnvoi) + QLatin1Char(')');
    g->CellDetails(row, colNo, no, kUneLigne, {}, {}, couleur, font, {}, {}, id);

    QString heure = rs.field(c.heure).text();
    if (heure.size() > 3) heure.chop(3);

    const std::pair<int, QString> textes[] = {
        {colClient, partage(rs.field(c.client).text())},
        {colTelephone, partage(c.telephonesTexte(rs))},
        {colDate, dateTexte(rs.field(c.date))},
        {colHeure, partage(heure)},
        {colExpediteur, details.expediteur},
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

        // Every recipient's name; the row carried is the one a fill would carry, or the
        // first one when the filters no longer let any through.
        DetailsLigne details;
        std::vector<Destinataire> lignes;
        const std::array<int, 8> p = positionsDestinataire(rs);
        const int ordre = position(rs, "Ordre"), emplA = position(rs, "EmplA"),
                  emplDe = position(rs, "EmplDe");
        QStringList expediteurs;
        for (; !rs.eof(); rs.moveNext()) {
            // Joined: every row here has its employees and state.
            Destinataire l = lireDestinataire(rs, p.data());
            l.ordre = rs.field(ordre).toInt();
            l.ordreConnu = l.aConnu = l.deConnu = true;
            details.destinataires << rs.field(emplA).text();
            expediteurs << rs.field(emplDe).text();
            lignes.push_back(l);
        }
        const int retenue = std::max(0, ligneRetenue(lignes.data(), int(lignes.size())));
        details.expediteur = expediteurs.value(retenue);
        rs.moveFirst();
        details.types = GetTypeMessage(IdMessage);
        details.dossiers = GetDossierDetail(IdMessage);

        // The row keeps the strike-through its fill gave it: whether another recipient's
        // row is what lists it is a question for the next fill.
        QFont font = g->GridFont();
        font.setStrikeOut(g->CellFont(row, colNo).strikeOut());
        ecrireColonnes(row, rs, c, lignes[size_t(retenue)], font, details);
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
