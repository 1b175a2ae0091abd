#include "followup/Rapports.h"
#include "SGridMsgFixture.h"
#include "followup/ctrlProgresTemps.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTextBrowser>

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

} // namespace
