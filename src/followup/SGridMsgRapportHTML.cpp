// The HTML report of the grid, the export buttons, and what both reports read of a message.
#include "followup/EditQueries.h"
#include "followup/Rapports.h"
#include "followup/SGridMsg.h"
#include "followup/ctrlProgresTemps.h"
#include "followup/frmBrowserMdi.h"
#include "followup/frmProgressPopUp.h"
#include "platform/CauseFichier.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "services/ErrorLogger.h"
#include "services/ExcelSession.h"
#include "services/ReportTexts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <cerrno>
#include <memory>
#include <stdexcept>

using followup::echapperHTML;
using platform::Recordset;

namespace {

const QString kForm = QStringLiteral("SGridMsg");
QString s_dossierRapports;

// Ids a report puts in one statement: a long report takes a few statements, each well
// under the server's packet size and short enough for the windows to run their events
// between two of them.
constexpr qsizetype kIdsParStatement = 2000;

// The report's file could not be written; errno says why.
struct EchecFichier {
    int cause;
};
int s_rapportsEnCours = 0;

QString champ(const Recordset& rs, const char* name) {
    return rs.field(QLatin1String(name)).text();
}
qint32 entier(const Recordset& rs, const char* name) {
    return rs.field(QLatin1String(name)).toInt();
}

// Characters a file name cannot hold on the office's workstations.
QString nomDeFichier(QString nom) {
    for (QChar& c : nom)
        if (QStringView(u"\\/:*?\"<>|").contains(c) || c.unicode() < 0x20) c = QLatin1Char('_');
    return nom;
}

} // namespace

SGridMsg::RapportEnCours::RapportEnCours() {
    ++s_rapportsEnCours;
}

SGridMsg::RapportEnCours::~RapportEnCours() {
    --s_rapportsEnCours;
}

bool SGridMsg::rapportEnCours() {
    return s_rapportsEnCours > 0;
}

QString SGridMsg::dossierRapports() {
    if (!s_dossierRapports.isEmpty()) return s_dossierRapports;
    const QString programme = QCoreApplication::applicationDirPath();
    if (QFileInfo(programme).isWritable()) return programme;
    // Qt gives no temporary folder when TMPDIR names one that does not exist: the report
    // goes there all the same, and its failure says so, rather than to the disk's root.
    const QString temporaire = QDir::tempPath();
    return temporaire.isEmpty() ? qEnvironmentVariable("TMPDIR") : temporaire;
}

void SGridMsg::setDossierRapports(const QString& folder) {
    s_dossierRapports = folder;
}

QString SGridMsg::NomFichierHTML(int noEmploye) {
    QString base = m_booRecu ? QStringLiteral("MessagesRecus") : QStringLiteral("MessagesEnvoyes");
    if (noEmploye > 0) {
        const Recordset rs = connexion().open(followup::sqlNomEmploye(noEmploye));
        base += QLatin1Char('_') + nomDeFichier(rs.field(QStringLiteral("Nom")).text());
    }
    QString dossier = dossierRapports();
    if (!dossier.endsWith(QLatin1Char('/')) && !dossier.endsWith(QLatin1Char('\\')))
        dossier += QLatin1Char('/');
    const qint64 secondes = qRound64(platform::Clock::time().msecsSinceStartOfDay() / 1000.0);
    const QString debut = dossier + base + QString::number(secondes);
    // Two reports of the same second must not share a file: the first viewer to close
    // would delete the other's.
    QString nom = debut + QStringLiteral(".HTML");
    for (int n = 2; QFileInfo::exists(nom); ++n)
        nom = debut + QLatin1Char('_') + QString::number(n) + QStringLiteral(".HTML");
    return nom;
}

std::unique_ptr<followup::frmProgressPopUp> SGridMsg::ouvrirProgres() const {
    auto progres = std::make_unique<followup::frmProgressPopUp>();
    followup::ctrlProgresTemps* p = progres->progres();
    p->setMin(0);
    p->setValue(0);
    p->setMax(float(m_SGrid->Rows()));
    progres->show();
    return progres;
}

QList<SGridMsg::LigneRapport> SGridMsg::lignesRapport(qint32 row) const {
    QList<LigneRapport> lignes;
    const int premiere = row == kToutesLesLignes ? 1 : row;
    const int derniere = row == kToutesLesLignes ? m_SGrid->Rows() : std::min(row, m_SGrid->Rows());
    for (int r = std::max(1, premiere); r <= derniere; ++r)
        lignes.append({m_SGrid->RowIsGroup(r), m_SGrid->CellItemData(r, colNo), m_SGrid->CellText(r, colNo)});
    return lignes;
}

bool SGridMsg::lireMessagesRapport(const QList<LigneRapport>& lignes, int noEmploye,
                                   QHash<qint32, followup::RapportMessage>& messages, QString& sql) {
    // Round trips are what a long report waits for: the ids go by thousands in each statement.
    QList<QList<qint32>> lots(1);
    QSet<qint32> vus;
    for (const LigneRapport& l : lignes) {
        if (l.groupe || vus.contains(l.id)) continue;
        vus.insert(l.id);
        if (lots.last().size() == kIdsParStatement) lots.append(QList<qint32>());
        lots.last().append(l.id);
    }
    if (lots.first().isEmpty()) return true;
    QPointer<SGridMsg> self(this);
    const bool recu = m_booRecu;
    platform::Database& db = connexion();
    for (const QList<qint32>& lot : lots) {
        sql = followup::sqlRapportMessages(lot, noEmploye, recu);
        Recordset rs = db.open(sql);
        // Columns found once by name for the whole statement.
        enum {
            Id,
            Date,
            Heure,
            De,
            A,
            Etat,
            Priorite,
            Nom,
            Prenom,
            Cie,
            Tel,
            Bureau,
            Cell,
            Autre,
            Fax,
            Texte,
            N
        };
        const char* const noms[N] = {"IdMessage",  "DateSaisie", "HeureSaisie", "EmplDe",
                                     "EmplA",      "Etat",       "Priorite",    "Nom",
                                     "Prenom",     "NomCie",     "Telephone",   "TelBureau",
                                     "Cellulaire", "AutreTel",   "Fax",         "Message"};
        int c[N];
        for (int i = 0; i < N; ++i)
            c[i] = rs.fieldIndex(QLatin1String(noms[i]));
        for (; !rs.eof(); rs.moveNext()) {
            auto t = [&](int i) { return rs.field(c[i]).text(); };
            followup::RapportMessage& m = messages[rs.field(c[Id]).toInt()];
            m.dateSaisie = rs.field(c[Date]).toDate();
            m.heureSaisie = t(Heure);
            m.emplDe = t(De);
            m.emplA = t(A);
            m.etat = t(Etat);
            m.priorite = t(Priorite);
            m.nom = t(Nom);
            m.prenom = t(Prenom);
            m.nomCie = t(Cie);
            m.telephones = followup::lignesTelephone(t(Tel), t(Bureau), t(Cell), t(Autre), t(Fax));
            m.messageRtf = t(Texte);
        }
        QCoreApplication::processEvents();
        if (!self) return false;
    }
    // Names of one column for the messages read above, in the statement's order.
    auto lireNoms = [&](QString (*requete)(const QList<qint32>&), const char* colonne,
                        QStringList followup::RapportMessage::*liste) {
        for (const QList<qint32>& lot : lots) {
            sql = requete(lot);
            for (Recordset rs = db.open(sql); !rs.eof(); rs.moveNext()) {
                const auto it = messages.find(entier(rs, "IdMessage"));
                if (it != messages.end()) ((*it).*liste) << champ(rs, colonne);
            }
            QCoreApplication::processEvents();
            if (!self) return false;
        }
        return true;
    };
    if (!lireNoms(followup::sqlRapportTypes, "Description", &followup::RapportMessage::types) ||
        !lireNoms(followup::sqlRapportDestinataires, "Nom", &followup::RapportMessage::destinataires))
        return false;
    sql.clear();
    QStringList requetes;
    for (const QList<qint32>& lot : lots)
        requetes << followup::sqlRapportDossiers(lot);
    QHash<qint32, QString> dossiers;
    if (!lireTextes(requetes, "NoDos", QStringLiteral("GetDossierDetail"), dossiers)) return false;
    for (auto it = messages.begin(); it != messages.end(); ++it)
        it->dossiers = dossiers.value(it.key());
    return true;
}

void SGridMsg::cmdExport_Click(int Index) {
    if (m_SGrid->Rows() == 0 || rapportEnCours()) return;
    QPointer<SGridMsg> self(this);
    QPointer<QWidget> hote(window());
    setCursor(Qt::WaitCursor);
    hote->setEnabled(false);
    try {
        if (Index == 0) {
            ExportMsgExcel(services::xlSheet, kToutesLesLignes);
        } else {
            // Named, headed and filled after the employee the grid lists.
            const QString fichier = NomFichierHTML(intNoEmploye);
            const bool recu = m_booRecu;
            if (ExportMsgHTML(fichier, kToutesLesLignes)) {
                auto* v = new followup::frmBrowserMdi;
                v->StartingAddress = fichier;
                v->show();
                v->RapportCaption =
                    recu ? QStringLiteral("Messages reçus") : QStringLiteral("Messages envoyés");
            } else {
                QFile::remove(fichier);
            }
        }
    } catch (const platform::DbError& e) {
        if (hote) hote->setEnabled(true);
        if (self) {
            unsetCursor();
            erreur(e, QStringLiteral("cmdExport_Click"), QString());
        }
        return;
    }
    if (hote) hote->setEnabled(true);
    if (self) unsetCursor();
}

bool SGridMsg::ExportMsgHTML(const QString& fileName, qint32 row) {
    if (rapportEnCours()) return false;
    const RapportEnCours enCours;
    QPointer<SGridMsg> self(this);
    QString sql;
    // Unbuffered: a write that fails (a full disk) fails here, with the system's reason,
    // rather than unseen when the file is closed.
    QFile fichier(fileName);
    // A report cut short is no report: its file goes (not a device or a folder the name
    // may lead to), and the caller opens no viewer.
    const auto retirer = [&] {
        fichier.close();
        if (QFileInfo(fileName).isFile()) QFile::remove(fileName);
    };
    try {
        const QList<LigneRapport> lignes = lignesRapport(row);

        auto progres = ouvrirProgres();
        followup::ctrlProgresTemps* p = progres->progres();

        errno = 0;
        if (!fichier.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            throw EchecFichier{errno};
        // A block's lines are gathered and turned into bytes, written by pieces of 64 KB.
        QString tampon;
        QByteArray octets;
        auto ecrire = [&](const QString& ligne) {
            tampon += ligne;
            tampon += QLatin1String("\r\n");
        };
        auto vider = [&](bool tout) {
            octets += followup::octetsHTML(tampon);
            tampon.clear();
            if (octets.size() < 65536 && !tout) return;
            errno = 0;
            if (fichier.write(octets) != octets.size()) throw EchecFichier{errno};
            octets.clear();
        };

        const bool recu = m_booRecu;
        const int choisi = intNoEmploye;
        ecrire(QStringLiteral("<html>"));
        ecrire(
            services::EnteteHTML(recu ? QStringLiteral("MessagesRecus") : QStringLiteral("MessagesEnvoyes")));
        ecrire(QStringLiteral("<body>"));
        if (choisi > 0) {
            sql = followup::sqlNomEmploye(choisi);
            const QString nom = connexion().open(sql).field(QStringLiteral("Nom")).text();
            sql.clear();
            ecrire((recu ? QStringLiteral("<h1>Messages reçus par ")
                         : QStringLiteral("<h1>Messages envoyés par ")) +
                   echapperHTML(nom) + QStringLiteral("</h1>"));
        } else {
            ecrire(recu ? QStringLiteral("<h1>Messages reçus</h1>")
                        : QStringLiteral("<h1>Messages envoyés</h1>"));
        }
        ecrire(QStringLiteral("<p align=right>Date d'impression : ") +
               platform::Clock::today().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("</p>"));
        ecrire(QStringLiteral("<br>"));

        QHash<qint32, followup::RapportMessage> messages;
        const bool lu = lireMessagesRapport(lignes, choisi, messages, sql);
        if (!self || !lu) retirer();
        if (!self) return false;
        if (!lu) {
            window()->setEnabled(true);
            unsetCursor();
            return false;
        }
        // The lines that open every block's table, the same for each.
        QString enteteTable =
            QStringLiteral("<table width='100%' border='1' cellpadding='0' cellspacing='0'>\r\n");
        for (int w : {3, 3, 7, 24, 9, 6, 14, 14, 20})
            enteteTable += QStringLiteral("<col width='%1%'>\r\n").arg(w);
        p->SetTimer();
        followup::Attente attente(p);
        for (const LigneRapport& l : lignes) {
            const auto it = messages.constFind(l.id);
            if (!l.groupe && it != messages.constEnd()) {
                const followup::RapportMessage& m = *it;
                auto td = [&](const QString& t) {
                    ecrire(QStringLiteral("<td>") + t + QStringLiteral("</td>"));
                };
                tampon += enteteTable;
                ecrire(QStringLiteral("<tr>"));
                td(echapperHTML(followup::lettrePriorite(m.priorite)));
                td(echapperHTML(followup::lettreEtat(m.etat)));
                td(echapperHTML(l.no));
                const QString client = followup::texteClient(m.nom, m.prenom, m.nomCie);
                td(client.isEmpty() ? QStringLiteral("&nbsp") : echapperHTML(client));
                td(m.dateSaisie.toString(QStringLiteral("yyyy-MM-dd")));
                td(echapperHTML(m.heureSaisie.left(std::max<qsizetype>(0, m.heureSaisie.size() - 3))));
                td(echapperHTML(m.emplDe));
                td(echapperHTML(m.emplA));
                ecrire(QStringLiteral("<td rowspan=3>"));
                for (int i = 0; i < m.telephones.size(); ++i) {
                    if (i > 0) ecrire(QStringLiteral("<br>"));
                    ecrire(echapperHTML(m.telephones[i]));
                }
                ecrire(QStringLiteral("&nbsp</td>"));
                ecrire(QStringLiteral("<tr>"));
                const QString types = m.types.join(QStringLiteral(", "));
                ecrire(QStringLiteral("<td colspan=8>Type de message: ") +
                       (types.isEmpty() ? QStringLiteral("&nbsp") : echapperHTML(types)) +
                       QStringLiteral("</td>"));
                ecrire(QStringLiteral("<tr>"));
                ecrire(QStringLiteral("<td colspan=8>Dossier: ") + echapperHTML(m.dossiers) +
                       QStringLiteral("</td>"));
                if (m.destinataires.size() > 1) {
                    ecrire(QStringLiteral("<tr>"));
                    ecrire(QStringLiteral("<td colspan=9>Destinataires multiples: ") +
                           echapperHTML(m.destinataires.join(QStringLiteral(", "))) +
                           QStringLiteral("</td>"));
                }
                ecrire(QStringLiteral("<tr >"));
                m_txtRtfTransfert.setTextRTF(m.messageRtf);
                ecrire(QStringLiteral("<td colspan=9>") +
                       echapperHTML(m_txtRtfTransfert.text())
                           .replace(QStringLiteral("\r\n"), QStringLiteral("<br>")) +
                       QStringLiteral("&nbsp</td>"));
                ecrire(QStringLiteral("<tr height=70><td colspan=9 valign=top>Notes:\n\n</td>"));
                ecrire(QStringLiteral("</table><br>"));
                vider(false);
            }
            if (attente.ligneFaite() && !self) {
                retirer();
                return false;
            }
        }
        attente.fin();
        ecrire(QStringLiteral("</body>"));
        ecrire(QStringLiteral("</html>"));
        vider(true);
        errno = 0;
        fichier.close();
        if (fichier.error() != QFileDevice::NoError) throw EchecFichier{errno};
        QCoreApplication::processEvents();
        return true;
    } catch (const EchecFichier& e) {
        retirer();
        // The user is told what failed and where; the office's error log keeps it too.
        const QString texte = QStringLiteral("Le rapport n'a pas pu être écrit dans %1 : %2.")
                                  .arg(QDir::toNativeSeparators(fileName), platform::causeFichier(e.cause));
        services::DoErreur(QString::number(e.cause), texte, QStringLiteral("corvel"), kForm,
                           QStringLiteral("ExportMsgHTML"), QString());
        if (!self) return false;
        window()->setEnabled(true);
        unsetCursor();
        platform::messageBox(this, texte, QStringLiteral("Créer rapport HTML"),
                             platform::MsgIcon::Exclamation);
        return false;
    } catch (const platform::DbError& e) {
        retirer();
        if (!self) return false;
        window()->setEnabled(true);
        unsetCursor();
        erreur(e, QStringLiteral("ExportMsgHTML"), sql);
        return false;
    }
}
