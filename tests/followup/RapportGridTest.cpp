#include "SGridMsgFixture.h"
#include "followup/ctrlProgresTemps.h"
#include "followup/frmProgressPopUp.h"

namespace {

class RapportDb : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        capturerRapports();
        clients(QStringLiteral("(1, 'Dupont', NULL, 'Acme & fils', '(514)555-0001', "
                               "'(514)555-0002', '(438)555-0003', '(450)555-0004', '(514)555-0005')"));
        // Two recipients; Julie's row is cancelled ("Annulé" prints N).
        message(10, QStringLiteral("Rappeler <vite> \\'80\\par au bureau"), 1, 1);
        recipient(10, 3, 2, 5, 0, QString(), 4, 7);
        recipient(10, 3, 4, 1, 0, QString(), 1, 7);
        exec(QStringLiteral("INSERT INTO tblmessagetype (IdMessage, IdType) VALUES (10, 1), (10, 2)"));
        exec(QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (10, 'D-1')"));
        // No caller, no type, no folder, one recipient.
        message(11, QStringLiteral("Bonjour"), 0, 2, QStringLiteral("2024-03-14"),
                QStringLiteral("10:00:00"));
        recipient(11, 3, 2, 1, 0, QString(), 5, 8);
    }
};

// Values of the progress bar each time the report lets other work run.
struct EspionProgres {
    QList<float> valeurs;
    QTimer timer;
    EspionProgres() {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<followup::frmProgressPopUp*>(w)) valeurs << p->progres()->Value();
        });
        timer.start(0);
    }
};

TEST_F(RapportDb, HtmlReportByteForByte) {
    SGridMsg g;
    g.Remplir();
    g.SGrid()->setColumnIsGrouped(SGridMsg::colExpediteur, true); // a group row over both
    ASSERT_EQ(g.SGrid()->Rows(), 3);
    const QString fichier = g.NomFichierHTML(2);
    EXPECT_EQ(fichier, m_dir.filePath(QStringLiteral("MessagesRecus_Julie36000.HTML")));
    EspionProgres espion;
    g.ExportMsgHTML(fichier, SGridMsg::kToutesLesLignes);
    ASSERT_FALSE(espion.valeurs.isEmpty());
    EXPECT_EQ(espion.valeurs.last(), 3); // the group row counts too

    const QString col =
        QStringLiteral("<col width='3%'>\r\n<col width='3%'>\r\n<col width='7%'>\r\n<col "
                       "width='24%'>\r\n<col width='9%'>\r\n"
                       "<col width='6%'>\r\n<col width='14%'>\r\n<col width='14%'>\r\n<col width='20%'>\r\n");
    const QString table =
        QStringLiteral("<table width='100%' border='1' cellpadding='0' cellspacing='0'>\r\n");
    const QString notes =
        QStringLiteral("<tr height=70><td colspan=9 valign=top>Notes:\n\n</td>\r\n</table><br>\r\n");
    const QString attendu =
        QStringLiteral("<html>\r\n<head>\r\n"
                       "<meta http-equiv='Content-Type' content='text/html; charset=iso-8859-1'>\r\n"
                       "<title>MessagesRecus</title>\r\n"
                       "<link rel='StyleSheet' type='Text/css' href='styleRapport.css'>\r\n</head>\r\n\r\n"
                       "<body>\r\n<h1>Messages reçus par Julie</h1>\r\n"
                       "<p align=right>Date d'impression : 2024-03-15</p>\r\n<br>\r\n") +
        table + col +
        QStringLiteral(
            "<tr>\r\n<td>U</td>\r\n<td>N</td>\r\n<td>10 (4)</td>\r\n<td>Dupont, Acme &amp; fils</td>\r\n"
            "<td>2024-03-14</td>\r\n<td>09:05</td>\r\n<td>Marc</td>\r\n<td>Julie</td>\r\n"
            "<td rowspan=3>\r\nTél.: (514)555-0001\r\n<br>\r\nBureau: (514)555-0002\r\n<br>\r\n"
            "Cell.: (438)555-0003\r\n<br>\r\nAutre: (450)555-0004\r\n<br>\r\nFax: (514)555-0005\r\n"
            "&nbsp</td>\r\n<tr>\r\n<td colspan=8>Type de message: Rappeler, Information</td>\r\n"
            "<tr>\r\n<td colspan=8>Dossier: D-1</td>\r\n"
            "<tr>\r\n<td colspan=9>Destinataires multiples: Julie, Sophie</td>\r\n"
            "<tr >\r\n<td colspan=9>Rappeler &lt;vite&gt; &#8364;<br>au bureau&nbsp</td>\r\n") +
        notes + table + col +
        QStringLiteral("<tr>\r\n<td>N</td>\r\n<td>O</td>\r\n<td>11 (5)</td>\r\n<td>&nbsp</td>\r\n"
                       "<td>2024-03-14</td>\r\n<td>10:00</td>\r\n<td>Marc</td>\r\n<td>Julie</td>\r\n"
                       "<td rowspan=3>\r\n&nbsp</td>\r\n<tr>\r\n<td colspan=8>Type de message: &nbsp</td>\r\n"
                       "<tr>\r\n<td colspan=8>Dossier: </td>\r\n"
                       "<tr >\r\n<td colspan=9>Bonjour&nbsp</td>\r\n") +
        notes + QStringLiteral("</body>\r\n</html>\r\n");
    EXPECT_EQ(lire(fichier), attendu);

    // One row: the same head and that row's block; a group row gives the head alone.
    const QString un = m_dir.filePath(QStringLiteral("un.HTML"));
    g.ExportMsgHTML(un, 3);
    EXPECT_EQ(lire(un).count(QStringLiteral("<table")), 1);
    EXPECT_TRUE(lire(un).contains(QStringLiteral("<td>11 (5)</td>")));
    g.ExportMsgHTML(un, 1);
    EXPECT_TRUE(lire(un).endsWith(QStringLiteral("2024-03-15</p>\r\n<br>\r\n</body>\r\n</html>\r\n")));
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(RapportDb, HtmlButtonNamesShowsAndDeletesItsReport) {
    exec(QStringLiteral("UPDATE tblemploye SET Nom = 'Marc/Éric <M>' WHERE NoEmploye = 3"));
    SGridMsg g;
    g.setBooRecu(false);
    g.cboEmpl()->setCurrentIndex(0); // "Tous"
    g.setNoEmploye(0);
    g.Remplir();
    ASSERT_EQ(g.SGrid()->Rows(), 2);
    // A name already taken in the same second gets a number.
    QFile(m_dir.filePath(QStringLiteral("MessagesEnvoyes36000.HTML"))).open(QIODevice::WriteOnly);
    g.cmdExport_Click(1);
    EXPECT_TRUE(g.isEnabled());
    ASSERT_EQ(visionneuses().size(), 1);
    followup::frmBrowserMdi* v = visionneuses()[0];
    const QString fichier = m_dir.filePath(QStringLiteral("MessagesEnvoyes36000_2.HTML"));
    EXPECT_EQ(v->StartingAddress, fichier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return v->windowTitle() == QStringLiteral("Messages envoyés"); }, 3000))
        << qPrintable(v->windowTitle());
    const QString html = lire(fichier);
    EXPECT_TRUE(html.contains(QStringLiteral("<h1>Messages envoyés</h1>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>Marc/Éric &lt;M&gt;</td>"))) << qPrintable(html);
    v->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(fichier); }, 3000));
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("MessagesEnvoyes36000.HTML"))));
    // A name that cannot be part of a file name is made one.
    EXPECT_EQ(g.NomFichierHTML(3), m_dir.filePath(QStringLiteral("MessagesEnvoyes_Marc_Éric _M_36000.HTML")));
}

} // namespace
