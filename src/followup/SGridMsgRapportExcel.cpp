// The spreadsheet report of the grid: two title rows repeated on every printed page, then
// one framed block per message, with page breaks that keep each block on one page.
#include "followup/EditQueries.h"
#include "followup/Rapports.h"
#include "followup/SGridMsg.h"
#include "followup/ctrlProgresTemps.h"
#include "followup/frmProgressPopUp.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/Workbook.h"
#include "services/ExcelSession.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <memory>

using platform::Worksheet;

namespace {

struct LimiteFeuille {};

QString rangee(const char* col, qint32 premiere, const char* derniereCol, qint32 derniere) {
    return QLatin1String(col) + QString::number(premiere) + QLatin1Char(':') + QLatin1String(derniereCol) +
           QString::number(derniere);
}

void encadrer(Worksheet* ws, const QString& plage, bool cloisons = false) {
    for (int bord :
         {platform::xlEdgeLeft, platform::xlEdgeTop, platform::xlEdgeBottom, platform::xlEdgeRight})
        ws->setBorderWeight(plage, bord, platform::xlThin);
    if (cloisons) ws->setBorderWeight(plage, platform::xlInsideVertical, platform::xlThin);
}

// A merged A..H band over some rows, framed, holding a text.
void bande(Worksheet* ws, qint32 ligne, qint32 hauteur, const QString& texte) {
    const QString plage = rangee("A", ligne, "H", ligne + hauteur - 1);
    ws->Merge(plage);
    encadrer(ws, plage);
    ws->setValue(ligne, 1, texte);
}

} // namespace

void SGridMsg::ExportMsgExcel(platform::Worksheet*& sheet, qint32 row) {
    if (rapportEnCours()) return;
    const RapportEnCours enCours;
    QPointer<SGridMsg> self(this);
    QString sql;
    std::unique_ptr<followup::frmProgressPopUp> progres;
    try {
        const QList<LigneRapport> lignes = lignesRapport(row);

        services::InitExcel();
        sheet = services::xlSheet;
        Worksheet* ws = sheet;
        progres = ouvrirProgres();
        followup::ctrlProgresTemps* p = progres->progres();

        const char* colonnes[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
        const double largeurs[] = {2, 2, 7.57, 30, 10, 7, 16, 16, 24};
        for (int i = 0; i < 9; ++i)
            ws->setColumnWidth(QLatin1String(colonnes[i]), largeurs[i]);
        // Rows of 12.5 pt in a 10-point font: the page model's 40 rows and the title rows fit
        // the printed page whatever the spreadsheet program's own default row.
        ws->setStandardFont(QStringLiteral("Arial"), followup::kTaillePolice);
        ws->setStandardRowHeight(followup::kHauteurLigne);
        ws->setRowHeight(1, followup::kHauteurTitre);
        platform::CellFormat titre;
        titre.fontSize = 14;
        titre.bold = true;
        titre.underline = true;
        ws->setFormat(1, 1, titre);
        if (intNoEmploye < 1) {
            ws->setValue(1, 1,
                         m_booRecu ? QStringLiteral("Messages reçus") : QStringLiteral("Messages envoyés"));
        } else {
            sql = followup::sqlNomEmploye(intNoEmploye);
            const QString nom = connexion().open(sql).field(QStringLiteral("Nom")).text();
            sql.clear();
            ws->setValue(1, 1,
                         (m_booRecu ? QStringLiteral("Messages reçus par ")
                                    : QStringLiteral("Messages envoyés par ")) +
                             nom);
        }
        ws->setValue(1, 6,
                     QStringLiteral("Date d'impression : ") +
                         platform::Clock::today().toString(QStringLiteral("yyyy-MM-dd")));

        ws->ResetAllPageBreaks();
        platform::PageSetup& page = ws->pageSetup();
        page.Orientation = platform::xlLandscape;
        page.CenterFooter = QStringLiteral("Page &P de &N");
        page.PrintTitleRows = QStringLiteral("$1:$2");
        page.TopMargin = 40;
        page.BottomMargin = 40;
        page.FooterMargin = 30;
        page.HeaderMargin = 30;
        page.RightMargin = 30;
        page.LeftMargin = 30;

        QHash<qint32, followup::RapportMessage> messages;
        const bool lu = lireMessagesRapport(lignes, intNoEmploye, messages, sql);
        if (!self) {
            services::FermerExcel();
            return;
        }
        if (!lu) {
            services::FermerExcel();
            progres.reset();
            window()->setEnabled(true);
            unsetCursor();
            return;
        }
        p->SetTimer();
        qint32 r = 3;
        followup::SautsDePage sauts;
        followup::Attente attente(p);
        auto formater = [ws](qint32 ligne, int col, auto&& changer) {
            platform::CellFormat f = ws->format(ligne, col);
            changer(f);
            ws->setFormat(ligne, col, f);
        };
        for (const LigneRapport& l : lignes) {
            const auto it = messages.constFind(l.id);
            if (!l.groupe && it != messages.constEnd()) {
                const followup::RapportMessage& m = *it;
                m_txtRtfTransfert.setTextRTF(m.messageRtf);
                QString texte = m_txtRtfTransfert.text();
                // A text longer than a cell goes on in the rows below it.
                const QList<followup::MorceauTexte> morceaux =
                    followup::morceauxTexte(texte, followup::couperTexte(texte));
                qint32 t = 0;
                for (const followup::MorceauTexte& mt : morceaux)
                    t += mt.lignes;
                const bool plusieurs = m.destinataires.size() > 1;
                const qint32 hauteur = 2 + (plusieurs ? 1 : 0) + (m.dossiers.isEmpty() ? 0 : 1) + t + 3;
                if (r + hauteur - 1 > Worksheet::maxRows()) throw LimiteFeuille{};

                const int n = int(m.telephones.size());
                if (const qint32 saut = sauts.avantBloc(r, n, int(m.destinataires.size())))
                    ws->AddHPageBreak(saut);

                const qint32 k = n >= 4 ? n : 3;
                const QString tel = rangee("I", r, "I", r + k - 1);
                ws->Merge(tel);
                encadrer(ws, tel);
                encadrer(ws, rangee("A", r, "H", r), true);
                ws->setValue(r, 9, m.telephones.join(QLatin1Char('\n')));

                ws->setValue(r, 1, followup::lettrePriorite(m.priorite));
                ws->setValue(r, 2, followup::lettreEtat(m.etat));
                bool entier = false;
                const qint32 no = l.no.toInt(&entier);
                ws->setValue(r, 3, entier ? QVariant(double(no)) : QVariant(l.no));
                ws->setValue(r, 4, followup::texteClient(m.nom, m.prenom, m.nomCie));
                formater(r, 5,
                         [](platform::CellFormat& f) { f.numberFormat = QStringLiteral("yyyy-mm-dd"); });
                ws->setValue(r, 5, m.dateSaisie);
                formater(r, 6, [](platform::CellFormat& f) { f.numberFormat = QStringLiteral("hh:mm"); });
                const QString heure = m.heureSaisie.left(std::max<qsizetype>(0, m.heureSaisie.size() - 3));
                const QTime h = QTime::fromString(heure, QStringLiteral("HH:mm"));
                ws->setValue(r, 6, h.isValid() ? QVariant(h) : QVariant(heure));
                formater(r, 7, [](platform::CellFormat& f) { f.shrinkToFit = true; });
                ws->setValue(r, 7, m.emplDe);
                formater(r, 8, [](platform::CellFormat& f) { f.shrinkToFit = true; });
                ws->setValue(r, 8, m.emplA);
                ++r;

                bande(ws, r, 1, QStringLiteral("Type de message: ") + m.types.join(QStringLiteral(", ")));
                ++r;
                if (plusieurs) {
                    bande(ws, r, 1,
                          QStringLiteral("Destinataires multiples: ") +
                              m.destinataires.join(QStringLiteral(", ")));
                    ++r;
                }
                if (!m.dossiers.isEmpty()) {
                    bande(ws, r, 1, QStringLiteral("Dossier: ") + m.dossiers);
                    ++r;
                }
                for (const followup::MorceauTexte& mt : morceaux) {
                    bande(ws, r, mt.lignes, mt.texte);
                    r += mt.lignes;
                }
                bande(ws, r, 3, QStringLiteral("Notes:"));
                formater(r, 1, [](platform::CellFormat& f) { f.verticalAlignment = platform::xlTop; });
                r += 4;
            }
            if (attente.ligneFaite() && !self) {
                services::FermerExcel();
                return;
            }
        }
        attente.fin();
        if (const qint32 saut = sauts.avantBloc(r, 0, 0)) ws->AddHPageBreak(saut);
        ws->Application()->setVisible(true);
        p->setCaption(QStringLiteral("Écriture du classeur…"));
        p->lblTmpsReste()->clear();
        QCoreApplication::processEvents();
        QString erreurClasseur;
        services::FermerExcel(&erreurClasseur);
        progres.reset();
        if (!erreurClasseur.isEmpty())
            platform::messageBox(self ? this : nullptr, erreurClasseur, QStringLiteral("Excel"),
                                 platform::MsgIcon::Exclamation);
    } catch (const LimiteFeuille&) {
        services::FermerExcel();
        progres.reset();
        window()->setEnabled(true);
        unsetCursor();
        platform::messageBox(
            this,
            QStringLiteral("Le rapport dépasse les %1 lignes que peut contenir une feuille de calcul. "
                           "Il a été arrêté.")
                .arg(Worksheet::maxRows()),
            QStringLiteral("Exporter dans excel"), platform::MsgIcon::Exclamation);
    } catch (const platform::DbError& e) {
        services::FermerExcel();
        progres.reset();
        if (!self) return;
        window()->setEnabled(true);
        unsetCursor();
        erreur(e, QStringLiteral("ExportMsgExcel"), sql);
    }
}
