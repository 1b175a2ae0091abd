#include "followup/Rapports.h"
#include "SGridMsgFixture.h"
#include "followup/RapportDocument.h"
#include "followup/VueRapport.h"
#include "followup/ctrlProgresTemps.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QContextMenuEvent>
#include <QPrinter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

using namespace followup;

namespace {

QString mots(int n, const QString& mot) {
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << mot;
    return l.join(QLatin1Char(' '));
}

TEST(Rapports, TextCutAtTheEightiethThenEightyFirstCharacter) {
    const QString x79(79, QLatin1Char('x')), nl = QStringLiteral("\r\n");
    // Ten-character words: spaces fall at positions 11, 22, ... of each line. The first
    // space at or after 80 is at 88; on the next lines, at or after 81 is again the 8th.
    const QString mot = QStringLiteral("abcdefghij");
    const struct {
        QString texte, coupe;
        int lignes;
    } cas[] = {
        {mots(20, mot), mots(8, mot) + nl + mots(8, mot) + nl + mots(4, mot), 3},
        // A space exactly at 80 cuts there on the first line; the run of spaces after it goes
        // with it, the one at 79 stays.
        {x79.left(78) + QStringLiteral("   fin"),
         x79.left(78) + QStringLiteral(" ") + nl + QStringLiteral("fin"), 2},
        // On a second line the 80th character is not enough, the 81st is.
        {QStringLiteral("court\r\n") + x79 + QStringLiteral(" z ok"),
         QStringLiteral("court\r\n") + x79 + QStringLiteral(" z\r\nok"), 3},
        // The search never crosses a line break; trailing spaces still leave their break.
        {QString(85, QLatin1Char('w')) + QStringLiteral("\r\nun deux"),
         QString(85, QLatin1Char('w')) + QStringLiteral("\r\nun deux"), 2},
        {QString(90, QLatin1Char('v')) + QStringLiteral("  "), QString(90, QLatin1Char('v')) + nl, 2},
        // Short texts take two rows, lines their count.
        {QString(), QString(), 2},
        {QStringLiteral("a\r\nb\r\nc"), QStringLiteral("a\r\nb\r\nc"), 3},
    };
    for (const auto& c : cas) {
        QString t = c.texte;
        EXPECT_EQ(couperTexte(t), c.lignes) << qPrintable(c.texte);
        EXPECT_EQ(t, c.coupe);
    }
    // Positions beyond 16 bits.
    QString long_ = mots(4000, mot);
    EXPECT_EQ(couperTexte(long_), 500);
    // A line longer than a cell is cut where the cell is full, but never between the two
    // halves of a character beyond the first 65,536.
    QStringList morceaux;
    for (const MorceauTexte& m : morceauxTexte(QStringLiteral("abc\U0001F600de"), 1, 4))
        morceaux << m.texte;
    EXPECT_EQ(morceaux.join(QLatin1Char('|')).toStdString(), "abc|\U0001F600de");
}

TEST(Rapports, PageBreakMovesTheBlockThatWouldEndOnAPagesLastRows) {
    SautsDePage s;
    EXPECT_EQ(s.avantBloc(3, 5, 1), 0); // the first block never breaks
    EXPECT_EQ(s.avantBloc(20, 0, 1), 0);
    EXPECT_EQ(s.avantBloc(40, 0, 1), 0);  // r + 2 = 42 < 43
    EXPECT_EQ(s.avantBloc(41, 0, 1), 40); // r + 2 = 43: the block at 40 starts a page
    EXPECT_EQ(s.avantBloc(60, 0, 1), 0);  // page now starts at 40: breaks at r + 2 >= 80
    // Four telephone lines and several recipients: 72 + 4 + 4 >= 80 (71 would not).
    EXPECT_EQ(s.avantBloc(72, 4, 2), 60);
    EXPECT_EQ(s.avantBloc(75, 4, 1), 0); // 75 + 3 + 4 = 82 < 100
}

TEST(Rapports, LettersAndHtmlBytes) {
    EXPECT_EQ(lettreEtat(QStringLiteral("Ouvert")), QStringLiteral("O"));
    EXPECT_EQ(lettreEtat(QStringLiteral("A traiter")), QStringLiteral("T"));
    EXPECT_EQ(lettreEtat(QStringLiteral("annulé")), QStringLiteral("N"));
    EXPECT_EQ(lettreEtat(QStringLiteral("État")), QStringLiteral("É"));
    EXPECT_EQ(lettrePriorite(QStringLiteral("urgente")), QStringLiteral("U"));
    // Caller, telephones and escapes are held byte for byte in the report of a grid.
    EXPECT_EQ(octetsHTML(QStringLiteral("é € œ 😀 \u0085")),
              QByteArray("\xE9 &#8364; &#339; &#128512; &#133;"));
    // Characters no page may hold become U+FFFD; tab, line feed and carriage return stay.
    const QString perdus = QStringLiteral("a\u0001b\tc\u001F\r\n") + QChar(0) + QChar(0xFFFE) +
                           QChar(0xFFFF) + QChar(0xD800) + QStringLiteral("x") + QChar(0xDC00) +
                           QStringLiteral("\U0001F600") + QChar(0xD83D);
    EXPECT_EQ(octetsHTML(perdus),
              QByteArray("a&#65533;b\tc&#65533;\r\n&#65533;&#65533;&#65533;&#65533;x&#65533;"
                         "&#128512;&#65533;"));
}

// ---------------------------------------------------------------- progress control

// The time left as the rate so far gives it: one step of 100 took x, the 99 left take 99 x,
// 0.99 s cut towards zero; at max nothing is left; past midnight the elapsed time is negative:
// shown as nothing left. Values above the maximum are ignored; zero or no clock yet computes
// nothing. The labels follow the bar's height once per change, the time label after the caption.
TEST(ProgresTemps, TimeLeftAsTheRateSoFarGivesIt) {
    QTemporaryDir journal;
    services::setErrorLogPath(journal.filePath(QStringLiteral("Erreur.log")));
    const struct {
        float done, total;
        qint64 ms; // past midnight the time of day goes back: negative
        const char* reste;
    } cas[] = {{1, 100, 10, "0 seconde"},      {1, 2, 1000, "1 seconde"},    {1, 2, 45000, "45 secondes"},
               {1, 2, 59700, "59 secondes"},   {1, 2, 60000, "1:00 minute"}, {1, 2, 65000, "1:05 minute"},
               {1, 2, 180000, "3:00 minutes"}, {2, 2, 5000, "0 seconde"},    {1, 2, -4000, "0 seconde"}};
    for (const auto& c : cas) {
        platform::Clock::setFixed(QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
        ctrlProgresTemps p;
        p.setMax(c.total);
        p.SetTimer();
        platform::Clock::advance(c.ms);
        p.setValue(c.done);
        EXPECT_EQ(p.lblTmpsReste()->text(), QString::fromUtf8(c.reste)) << c.ms;
    }
    ctrlProgresTemps c;
    c.setMax(10);
    c.setValue(4);
    EXPECT_TRUE(c.lblTmpsReste()->text().isEmpty()); // no clock yet
    c.SetTimer();
    c.setValue(11);
    EXPECT_EQ(c.Value(), 4);
    platform::Clock::advance(2000);
    c.setValue(0); // no division by zero
    EXPECT_EQ(c.lblTmpsReste()->text() + QString::number(c.Value()), QStringLiteral("0"));
    const int avant = c.Label1()->y();
    c.setPrgBarHeight(480);
    c.setPrgBarHeight(480);
    EXPECT_EQ(c.Label1()->y() - avant, 20); // once: 300 twips at 15 twips a pixel
    c.setCaption(QStringLiteral("Un texte bien plus long qu'avant :"));
    EXPECT_EQ(c.lblTmpsReste()->x(), c.Label1()->geometry().right() + 1);
    EXPECT_GE(c.Label1()->width(), c.Label1()->sizeHint().width());
    platform::Clock::setFixed(QDateTime());
    services::setErrorLogPath(QString());
}

// ---------------------------------------------------------------- viewer

// Closing the viewer deletes its report file, and only a report: not a help page, a page of
// another kind or a web address. Until the page is in, the caption says it is loading.
TEST(BrowserMdi, ClosingDeletesOnlyOurReportFiles) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("adelaide"));
    // In a user's folder whose name holds "aide" a report is still a report.
    const QStringList supprimes =
        QStringLiteral("MessagesRecus1.HTML rapport.html adelaide/MessagesRecus2.HTML")
            .split(QLatin1Char(' '));
    const QStringList gardes = QStringLiteral("garde.HTM Aide_rapport.html http://exemple.ca/rapport.html "
                                              "ftp://exemple.ca/rapport.html disparu.HTML")
                                   .split(QLatin1Char(' '));
    for (const QString& nom : supprimes + gardes) {
        const QString adresse = nom.contains(QLatin1Char(':')) ? nom : dir.filePath(nom);
        QFile f(adresse);
        if (adresse != nom && !nom.startsWith(QLatin1String("disparu")) && f.open(QIODevice::WriteOnly))
            f.write("<html><body>x</body></html>");
        f.close();
        QPointer<frmBrowserMdi> v(new frmBrowserMdi);
        v->StartingAddress = adresse;
        v->show();
        v->RapportCaption = QStringLiteral("Messages reçus");
        EXPECT_EQ(v->windowTitle(), QStringLiteral("Traitement en cours..."));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return v->windowTitle() == QStringLiteral("Messages reçus"); }, 3000));
        const bool existait = QFile::exists(adresse);
        v->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return v.isNull(); }, 3000)); // the window goes with its close
        if (existait) {
            EXPECT_NE(QFile::exists(adresse), supprimes.contains(nom)) << nom.toStdString();
        }
    }
}

// The page prints, and its preview prints the same pages, from the right-click menu: the
// letters the pages draw, as the file's character maps name them, are the page's own.
TEST(BrowserMdi, PrintsAndPreviewsThePageFromItsMenu) {
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("MessagesRecus3.HTML"));
    QFile f(page);
    f.open(QIODevice::WriteOnly);
    f.write("<html><head><meta http-equiv='Content-Type' content='text/html; charset=iso-8859-1'></head>"
            "<body><h1>Messages re\xE7us</h1><p>Rappeler Dupont</p></body></html>");
    f.close();
    frmBrowserMdi v;
    v.setAttribute(Qt::WA_DeleteOnClose, false);
    v.StartingAddress = page;
    v.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !v.Busy(); }, 3000));
    EXPECT_EQ(v.actImprimer()->shortcut(), QKeySequence(QKeySequence::Print));
    ScriptedChooser chooser;
    chooser.menuAnswers = {3, 4};
    for (const char* nom : {"imprime.pdf", "apercu.pdf"}) {
        chooser.printFile = dir.filePath(QLatin1String(nom));
        QContextMenuEvent clic(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(v.brwWebBrowser()->viewport(), &clic);
        QFile pdf(chooser.printFile);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << nom;
        const QByteArray octets = pdf.readAll();
        EXPECT_GE(octets.count("/Type /Page\n"), 1) << nom;
        QString lettres;
        static const QRegularExpression carte(QStringLiteral("<([0-9A-F]{4})> (?=[^\\n]*\\])"));
        for (auto it = carte.globalMatch(QString::fromLatin1(octets)); it.hasNext();)
            lettres += QChar(it.next().captured(1).toUShort(nullptr, 16));
        for (QChar c : QStringLiteral("MessagesreçusRappelerDupont"))
            EXPECT_TRUE(lettres.contains(c)) << nom << " " << qPrintable(lettres);
    }
    ASSERT_EQ(chooser.menusShown.size(), 2);
    EXPECT_EQ(chooser.menusShown[0][3].text + chooser.menusShown[0][4].text,
              QStringLiteral("Imprimer…Aperçu avant impression…"));
    EXPECT_EQ(chooser.titlesShown, (QStringList{QStringLiteral("Imprimer"), QStringLiteral("Aperçu"),
                                                QStringLiteral("Imprimer")}));
}

// A report of `n` messages as the HTML writer lays it out, line by line; message i has
// `lignes(i)` lines of text.
QByteArray rapportHtml(int n, const std::function<int(int)>& lignes) {
    QStringList l{QStringLiteral("<html>"),
                  QStringLiteral("<head>"),
                  QStringLiteral("<meta http-equiv='Content-Type' content='text/html; charset=iso-8859-1'>"),
                  QStringLiteral("<title>MessagesRecus</title>"),
                  QStringLiteral("<link rel='StyleSheet' type='Text/css' href='styleRapport.css'>"),
                  QStringLiteral("</head>\r\n"),
                  QStringLiteral("<body>"),
                  QStringLiteral("<h1>Messages reçus</h1>"),
                  QStringLiteral("<p align=right>Date d'impression : 2025-12-16</p>"),
                  QStringLiteral("<br>")};
    for (int i = 1; i <= n; ++i) {
        l << QStringLiteral("<table width='100%' border='1' cellpadding='0' cellspacing='0'>");
        for (const char* w : {"3", "3", "7", "24", "9", "6", "14", "14", "20"})
            l << QStringLiteral("<col width='%1%'>").arg(QLatin1String(w));
        QStringList texte;
        for (int k = 0; k < lignes(i); ++k)
            texte << QStringLiteral(
                         "Le client demande qu'on le rappelle au sujet de la facture %1 du mois dernier.")
                         .arg(k + 1);
        l << QStringLiteral("<tr>") << QStringLiteral("<td>U</td>") << QStringLiteral("<td>O</td>")
          << QStringLiteral("<td>%1 (2)</td>").arg(i)
          << QStringLiteral("<td>Tremblay-Gagnon, Marie-Ève, Cie %1</td>").arg(i)
          << QStringLiteral("<td>2025-12-%1</td>").arg(1 + i % 28, 2, 10, QLatin1Char('0'))
          << QStringLiteral("<td>09:%1</td>").arg(i % 60, 2, 10, QLatin1Char('0'))
          << QStringLiteral("<td>Jean-Philippe Bélanger</td>") << QStringLiteral("<td>Julie</td>")
          << QStringLiteral("<td rowspan=3>") << QStringLiteral("Tél.: (514)555-0101")
          << QStringLiteral("<br>") << QStringLiteral("Cell.: (438)555-0102") << QStringLiteral("&nbsp</td>")
          << QStringLiteral("<tr>") << QStringLiteral("<td colspan=8>Type de message: Rappeler</td>")
          << QStringLiteral("<tr>") << QStringLiteral("<td colspan=8>Dossier: D-%1</td>").arg(i)
          << QStringLiteral("<tr >")
          << QStringLiteral("<td colspan=9>") + texte.join(QStringLiteral("<br>")) +
                 QStringLiteral("&nbsp</td>")
          << QStringLiteral("<tr height=70><td colspan=9 valign=top>Notes:\n\n</td>")
          << QStringLiteral("</table><br>");
    }
    l << QStringLiteral("</body>") << QStringLiteral("</html>");
    return (l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
}

QString ecrire(const QTemporaryDir& dir, const QString& nom, const QByteArray& octets) {
    const QString chemin = dir.filePath(nom);
    QFile f(chemin);
    f.open(QIODevice::WriteOnly);
    f.write(octets);
    return chemin;
}

QList<QTextTable*> tables(QTextDocument* doc) {
    QList<QTextTable*> t;
    if (!doc) return t;
    for (QTextFrame* f : doc->rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(f)) t << table;
    return t;
}

// Reading in small parts, for the tests: a report of a few hundred messages is read in several.
struct PetitesParties {
    int premiere = LecteurRapport::blocsPremierePartie, etape = LecteurRapport::blocsParEtape;
    PetitesParties(int p, int e) {
        LecteurRapport::blocsPremierePartie = p;
        LecteurRapport::blocsParEtape = e;
    }
    ~PetitesParties() {
        LecteurRapport::blocsPremierePartie = premiere;
        LecteurRapport::blocsParEtape = etape;
    }
};

// The report is read in parts on another thread; once loaded the window shows all of it, as
// the browser reads the whole file at once, and Tout sélectionner takes all of it. The reading
// thread ends with the window.
TEST(BrowserMdi, ShowsTheWholeReportReadInParts) {
    const PetitesParties parties(5, 40);
    const int avant = threadsRapportsActifs(); // the readers of other viewers still open
    QTemporaryDir dir;
    const QByteArray octets = rapportHtml(203, [](int i) { return 1 + i % 3; });
    auto fenetre = std::make_unique<frmBrowserMdi>();
    frmBrowserMdi& v = *fenetre;
    v.setAttribute(Qt::WA_DeleteOnClose, false);
    v.StartingAddress = ecrire(dir, QStringLiteral("MessagesRecus4.HTML"), octets);
    v.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !v.Busy(); }, 20000)) << "the report never finished loading";
    QTextDocument attendu;
    attendu.setHtml(pourLeNavigateur(QString::fromLatin1(octets)));
    QTextDocument* doc = v.brwWebBrowser()->document();
    EXPECT_EQ(tables(doc).size(), 203);
    // Laid out for the maximised window with its vertical scroll bar: nothing runs under the bar.
    EXPECT_TRUE(v.brwWebBrowser()->verticalScrollBar()->isVisible());
    EXPECT_EQ(v.brwWebBrowser()->horizontalScrollBar()->maximum(), 0)
        << "the report is wider than the window: its right edge is cut";
    const QString vu = doc->toPlainText(), lu = attendu.toPlainText();
    qsizetype ecart = 0;
    while (ecart < vu.size() && ecart < lu.size() && vu[ecart] == lu[ecart])
        ++ecart;
    EXPECT_TRUE(vu == lu) << "the text shown differs from the file's at character " << ecart << ": «"
                          << vu.mid(ecart, 60).toStdString() << "» for «" << lu.mid(ecart, 60).toStdString()
                          << "»";
    ScriptedChooser chooser;
    chooser.menuAnswers = {2};
    QContextMenuEvent clic(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(v.brwWebBrowser()->viewport(), &clic);
    EXPECT_EQ(v.brwWebBrowser()->textCursor().selectionEnd(), attendu.characterCount() - 1);
    fenetre.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return threadsRapportsActifs() <= avant; }, 15000))
        << threadsRapportsActifs() - avant << " reading thread(s) still running";
}

// Closed while a large report loads: it does not wait for the end of the reading, deletes its
// file, and the reading stops by itself. Printing before the end says the report is loading.
TEST(BrowserMdi, ClosedWhileLoadingDeletesItsFileAndStopsReading) {
    const PetitesParties parties(5, 20);
    const int avant = threadsRapportsActifs(); // the readers of other viewers still open
    QTemporaryDir dir;
    const QString fichier = ecrire(dir, QStringLiteral("MessagesRecus5.HTML"),
                                   rapportHtml(3000, [](int i) { return 1 + i % 4; }));
    QPointer<frmBrowserMdi> v(new frmBrowserMdi);
    v->StartingAddress = fichier;
    v->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tables(v->brwWebBrowser()->document()).isEmpty(); }, 10000))
        << "the first messages were never shown";
    ASSERT_TRUE(v->Busy()) << "the report loaded too fast for this case";
    EXPECT_EQ(v->windowTitle(), QStringLiteral("Traitement en cours..."));
    ScriptedChooser chooser;
    chooser.menuAnswers = {3, 4};
    chooser.printFile = dir.filePath(QStringLiteral("trop-tot.pdf"));
    for (int i = 0; i < 2; ++i) {
        QContextMenuEvent clic(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(v->brwWebBrowser()->viewport(), &clic);
    }
    EXPECT_FALSE(QFile::exists(chooser.printFile)) << "printed a report still loading";
    ASSERT_EQ(chooser.messagesShown.size(), 2);
    EXPECT_TRUE(chooser.messagesShown[0].startsWith(QStringLiteral("Le rapport est encore en chargement.")))
        << chooser.messagesShown[0].toStdString();
    v->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return v.isNull(); }, 3000)) << "the window stayed";
    EXPECT_FALSE(QFile::exists(fichier)) << "the report's file was left";
    EXPECT_TRUE(QTest::qWaitFor([&] { return threadsRapportsActifs() <= avant; }, 15000))
        << threadsRapportsActifs() - avant << " reading thread(s) still running";
}

// On screen and on paper: the notes row 70 pixels high, dates, times and numbers on one line,
// and a message block that fits on a page printed on one page; a block longer than a page
// starts a page and goes on over the next ones.
TEST(BrowserMdi, PrintedBlocksStayWholeWithRoomForNotes) {
    QTemporaryDir dir;
    // Blocks of 1 to 9 lines, and message 17 longer than a page.
    auto lignes = [](int i) { return i == 17 ? 120 : 1 + i * 7 % 9; };
    frmBrowserMdi v;
    v.setAttribute(Qt::WA_DeleteOnClose, false);
    v.StartingAddress = ecrire(dir, QStringLiteral("MessagesRecus6.HTML"), rapportHtml(40, lignes));
    v.show();
    v.resize(900, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !v.Busy(); }, 10000));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("pages.pdf")));
    const PagesRapport pages(*v.brwWebBrowser()->document(), &printer);
    for (QTextDocument* doc : {v.brwWebBrowser()->document(), pages.document()}) {
        SCOPED_TRACE(doc == pages.document() ? "on paper" : "on screen");
        QAbstractTextDocumentLayout* l = doc->documentLayout();
        const QList<QTextTable*> t = tables(doc);
        ASSERT_EQ(t.size(), 40);
        for (int i = 0; i < t.size(); ++i) {
            const QTextBlock notes = doc->findBlock(t[i]->cellAt(t[i]->rows() - 1, 0).firstPosition());
            ASSERT_TRUE(notes.text().startsWith(QStringLiteral("Notes:"))) << notes.text().toStdString();
            EXPECT_GE(l->frameBoundingRect(t[i]).bottom() - l->blockBoundingRect(notes).top(), 70)
                << "block " << i + 1;
            for (int col : {2, 4, 5, 6, 7}) { // number, date, time, sender, recipient
                const QTextBlock b = doc->findBlock(t[i]->cellAt(0, col).firstPosition());
                EXPECT_EQ(b.layout()->lineCount(), 1)
                    << "block " << i + 1 << " breaks " << b.text().toStdString();
            }
        }
    }

    const QList<PagesRapport::Page>& p = pages.pages();
    ASSERT_GE(p.size(), 3);
    QAbstractTextDocumentLayout* l = pages.document()->documentLayout();
    const QList<QTextTable*> t = tables(pages.document());
    for (int i = 0; i < t.size(); ++i) {
        const QRectF r = l->frameBoundingRect(t[i]);
        const auto debut = std::find_if(p.begin(), p.end(), [&](const auto& pg) { return pg.bas > r.top(); });
        ASSERT_NE(debut, p.end());
        EXPECT_LE(debut->haut, r.top()) << "block " << i + 1 << " does not start a page where it begins";
        if (r.height() <= pages.hauteurUtile()) {
            EXPECT_LE(r.bottom(), debut->bas) << "block " << i + 1 << " is split over two pages";
        } else {
            EXPECT_DOUBLE_EQ(debut->haut, r.top()) << "the long block does not start a page";
        }
    }
    for (int k = 0; k < p.size(); ++k) {
        EXPECT_LE(p[k].bas - p[k].haut, pages.hauteurUtile() + 0.01) << "page " << k + 1 << " is too long";
        if (k > 0) {
            EXPECT_GE(p[k].haut, p[k - 1].bas) << "pages " << k << " and " << k + 1 << " overlap";
        }
    }

    // Printed from the menu on the same paper, every page.
    ScriptedChooser chooser;
    chooser.menuAnswers = {3};
    chooser.printFile = dir.filePath(QStringLiteral("imprime.pdf"));
    QContextMenuEvent clic(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(v.brwWebBrowser()->viewport(), &clic);
    QFile pdf(chooser.printFile);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.readAll().count("/Type /Page\n"), p.size());
}

} // namespace
