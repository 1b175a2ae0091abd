#include "followup/Rapports.h"
#include "followup/ctrlProgresTemps.h"
#include "followup/frmBrowserMdi.h"
#include "platform/Clock.h"
#include "services/ErrorLogger.h"
#include "support/ScriptedChooser.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

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

class ProgresTemps : public ::testing::Test {
protected:
    void SetUp() override { services::setErrorLogPath(m_dir.filePath(QStringLiteral("Erreur.log"))); }
    void TearDown() override {
        platform::Clock::setFixed(QDateTime());
        services::setErrorLogPath(QString());
    }
    // The time left shown after `done` of `total` steps took `elapsedMs`.
    QString resteApres(float done, float total, qint64 elapsedMs, QTime start = QTime(10, 0)) {
        platform::Clock::setFixed(QDateTime(QDate(2024, 3, 15), start));
        ctrlProgresTemps c;
        c.setMin(0);
        c.setMax(total);
        c.SetTimer();
        platform::Clock::advance(elapsedMs);
        c.setValue(done);
        return c.lblTmpsReste()->text();
    }
    QTemporaryDir m_dir;
};

TEST_F(ProgresTemps, TimeLeftAsTheRateSoFarGivesIt) {
    // One step of 100 took x: the 99 left take 99 x, 0.99 s cut towards zero. At max
    // nothing is left; past midnight the elapsed time is negative: shown as nothing left.
    const struct {
        float done, total;
        qint64 ms;
        const char* reste;
    } cas[] = {{1, 100, 10, "0 seconde"},      {1, 2, 1000, "1 seconde"},    {1, 2, 45000, "45 secondes"},
               {1, 2, 59700, "59 secondes"},   {1, 2, 60000, "1:00 minute"}, {1, 2, 65000, "1:05 minute"},
               {1, 2, 180000, "3:00 minutes"}, {2, 2, 5000, "0 seconde"}};
    for (const auto& c : cas)
        EXPECT_EQ(resteApres(c.done, c.total, c.ms), QString::fromUtf8(c.reste)) << c.ms;
    EXPECT_EQ(resteApres(1, 2, 4000, QTime(23, 59, 58)), QStringLiteral("0 seconde"));
}

// Values above the maximum are ignored; zero or no clock yet computes no time left. The labels
// follow the bar's height once per change, and the time label sits after the caption.
TEST_F(ProgresTemps, ValuesAboveMaxZeroOrBeforeTheClockComputeNothing) {
    platform::Clock::setFixed(QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
    ctrlProgresTemps c;
    c.setMax(10);
    c.setValue(4);
    EXPECT_TRUE(c.lblTmpsReste()->text().isEmpty()); // no clock yet
    c.SetTimer();
    c.setValue(11);
    EXPECT_EQ(c.Value(), 4);
    platform::Clock::advance(2000);
    c.setValue(0); // no division by zero
    EXPECT_EQ(c.ProgressBar()->value() + c.lblTmpsReste()->text().size(), 0);
    c.setValue(5);
    EXPECT_EQ(c.lblTmpsReste()->text(), QStringLiteral("2 secondes"));
    const int avant = c.Label1()->y();
    c.setPrgBarHeight(480);
    c.setPrgBarHeight(480);
    EXPECT_EQ(c.Label1()->y() - avant, 20); // once: 300 twips at 15 twips a pixel
    c.setCaption(QStringLiteral("Un texte bien plus long qu'avant :"));
    EXPECT_EQ(c.lblTmpsReste()->x(), c.Label1()->geometry().right() + 1);
    EXPECT_GE(c.Label1()->width(), c.Label1()->sizeHint().width());
}

// ---------------------------------------------------------------- viewer

TEST(BrowserMdi, ClosingDeletesOnlyOurReportFiles) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("adelaide"));
    auto fichier = [&](const QString& nom) {
        const QString p = dir.filePath(nom);
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write("<html><body>x</body></html>");
        return p;
    };
    struct Cas {
        QString adresse;
        bool supprime;
    } cas[] = {
        {fichier(QStringLiteral("MessagesRecus1.HTML")), true},
        {fichier(QStringLiteral("adelaide/MessagesRecus2.HTML")), true}, // a user's folder, not a help page
        {fichier(QStringLiteral("rapport.html")), true},
        {fichier(QStringLiteral("garde.HTM")), false},
        {fichier(QStringLiteral("Aide_rapport.html")), false},
        {QStringLiteral("http://exemple.ca/rapport.html"), false},
        {QStringLiteral("ftp://exemple.ca/rapport.html"), false},
        {dir.filePath(QStringLiteral("disparu.HTML")), false},
    };
    for (const Cas& c : cas) {
        auto* v = new frmBrowserMdi;
        v->StartingAddress = c.adresse;
        v->show();
        v->RapportCaption = QStringLiteral("Messages reçus");
        EXPECT_EQ(v->windowTitle(), QStringLiteral("Traitement en cours...")); // until the page is in
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return v->windowTitle() == QStringLiteral("Messages reçus"); }, 3000))
            << qPrintable(v->windowTitle());
        const bool existait = QFile::exists(c.adresse);
        QPointer<frmBrowserMdi> p(v);
        v->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return p.isNull(); }, 3000)); // the window goes with its close
        if (existait) {
            EXPECT_EQ(!QFile::exists(c.adresse), c.supprime) << qPrintable(c.adresse);
        }
    }
}

// The page prints, and its preview prints the same pages, from the right-click menu.
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
        // The letters the pages draw, as the file's character maps name them.
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

TEST(BrowserMdi, EmptyAddressLeavesTheCaptionAndTheRetryIsBounded) {
    frmBrowserMdi v;
    v.setAttribute(Qt::WA_DeleteOnClose, false);
    v.show();
    QTest::qWait(150);
    EXPECT_FALSE(v.timTimer()->isActive());
    EXPECT_TRUE(v.windowTitle().isEmpty());

    int essais = 0;
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("tenu.HTML"));
    QFile(p).open(QIODevice::WriteOnly);
    // Held twice, then released.
    EXPECT_TRUE(frmBrowserMdi::supprimerFichier(
        p, 10, 1, [&](const QString& f) { return ++essais > 2 && QFile::remove(f); }));
    EXPECT_EQ(essais, 3);
    // Held for good: given up after the tries allowed.
    essais = 0;
    const QString q = dir.filePath(QStringLiteral("autre.HTML"));
    QFile(q).open(QIODevice::WriteOnly);
    EXPECT_FALSE(frmBrowserMdi::supprimerFichier(q, 4, 1, [&](const QString&) { return ++essais < 0; }));
    EXPECT_EQ(essais, 4);
}

} // namespace
