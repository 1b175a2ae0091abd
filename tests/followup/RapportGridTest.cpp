// The message grid's reports: the HTML page byte for byte and the workbook as an
// independent reader sees it.
#include "SGridMsgFixture.h"
#include "followup/Rapports.h"
#include "followup/ctrlProgresTemps.h"
#include "followup/frmProgressPopUp.h"
#include "services/ExcelSession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <sys/resource.h>

namespace {

class RapportDb : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        capturerRapports();
        clients(QStringLiteral("(1, 'Dupont', NULL, 'Acme & fils', '(514)555-0001', "
                               "'(514)555-0002', '(438)555-0003', '(450)555-0004', '(514)555-0005')"));
        // Two recipients, listed by name, not in their order of entry; Julie's row is cancelled
        // ("Annulé" prints N).
        message(10, QStringLiteral("Rappeler <vite> \\'80\\par au bureau"), 1, 1);
        recipient(10, 3, 2, 5, 0, QString(), 4, 7);
        recipient(10, 3, 5, 1, 0, QString(), 1, 7);
        exec(QStringLiteral("INSERT INTO tblmessagetype (IdMessage, IdType) VALUES (10, 1), (10, 2)"));
        exec(QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (10, 'D-1')"));
        // No caller, no type, no folder, one recipient, a priority without its row.
        message(11, QStringLiteral("Bonjour"), 0, 9, QStringLiteral("2024-03-14"),
                QStringLiteral("10:00:00"));
        recipient(11, 3, 2, 1, 0, QString(), 5, 8);
    }
};

TEST_F(RapportDb, HtmlReportByteForByte) {
    SGridMsg g;
    g.Remplir();
    g.SGrid()->setColumnIsGrouped(SGridMsg::colExpediteur, true); // a group row over both
    ASSERT_EQ(g.SGrid()->Rows(), 3);
    const QString fichier = g.NomFichierHTML(2);
    EXPECT_EQ(fichier, m_dir.filePath(QStringLiteral("MessagesRecus_Julie36000.HTML")));
    g.ExportMsgHTML(fichier, SGridMsg::kToutesLesLignes);

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
            "<tr>\r\n<td colspan=9>Destinataires multiples: Éric, Julie</td>\r\n"
            "<tr >\r\n<td colspan=9>Rappeler &lt;vite&gt; &#8364;<br>au bureau&nbsp</td>\r\n") +
        notes + table + col +
        QStringLiteral("<tr>\r\n<td></td>\r\n<td>O</td>\r\n<td>11 (5)</td>\r\n<td>&nbsp</td>\r\n"
                       "<td>2024-03-14</td>\r\n<td>10:00</td>\r\n<td>Marc</td>\r\n<td>Julie</td>\r\n"
                       "<td rowspan=3>\r\n&nbsp</td>\r\n<tr>\r\n<td colspan=8>Type de message: &nbsp</td>\r\n"
                       "<tr>\r\n<td colspan=8>Dossier: </td>\r\n"
                       "<tr >\r\n<td colspan=9>Bonjour&nbsp</td>\r\n") +
        notes + QStringLiteral("</body>\r\n</html>\r\n");
    EXPECT_EQ(lire(fichier), attendu);

    // One row: the same head and that row's block; a group row gives the head alone.
    ETAPE("one row, then a group row");
    const QString un = m_dir.filePath(QStringLiteral("un.HTML"));
    g.ExportMsgHTML(un, 3);
    EXPECT_EQ(lire(un).count(QStringLiteral("<table")), 1);
    EXPECT_TRUE(lire(un).contains(QStringLiteral("<td>11 (5)</td>")));
    g.ExportMsgHTML(un, 1);
    EXPECT_TRUE(lire(un).endsWith(QStringLiteral("2024-03-15</p>\r\n<br>\r\n</body>\r\n</html>\r\n")));
    EXPECT_EQ(errorReports(), 0);
}

// The button's report: a name taken in the same second gets a number, a name that cannot be
// part of a file name is made one; the viewer shows it under the grid's caption and deletes it
// on closing. Without the right to see the others the combo says "Tous" and the report is his
// own, named, headed and filled after him. A read that fails shows nothing and leaves no file.
TEST_F(RapportDb, HtmlButtonNamesShowsAndDeletesItsReport) {
    ETAPE("every sent message, a file of that name already there");
    exec(QStringLiteral("UPDATE tblemploye SET Nom = 'Marc/Éric <M>' WHERE NoEmploye = 3"));
    SGridMsg g;
    g.setBooRecu(false);
    g.cboEmpl()->setCurrentIndex(0); // "Tous"
    g.setNoEmploye(0);
    g.Remplir();
    QFile(m_dir.filePath(QStringLiteral("MessagesEnvoyes36000.HTML"))).open(QIODevice::WriteOnly);
    g.cmdExport_Click(1);
    ASSERT_EQ(visionneuses().size(), 1);
    followup::frmBrowserMdi* v = visionneuses()[0];
    const QString fichier = m_dir.filePath(QStringLiteral("MessagesEnvoyes36000_2.HTML"));
    EXPECT_EQ(v->StartingAddress, fichier);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return v->windowTitle() == QStringLiteral("Messages envoyés"); }, 3000));
    EXPECT_TRUE(lire(fichier).contains(QStringLiteral("<h1>Messages envoyés</h1>")));
    EXPECT_TRUE(lire(fichier).contains(QStringLiteral("<td>Marc/Éric &lt;M&gt;</td>")));
    v->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(fichier); }, 3000));
    EXPECT_EQ(g.NomFichierHTML(3), m_dir.filePath(QStringLiteral("MessagesEnvoyes_Marc_Éric _M_36000.HTML")));

    ETAPE("Julie's received messages");
    exec(QStringLiteral("UPDATE tblemploye SET Nom = 'Julie <J>' WHERE NoEmploye = 2"));
    g.setBooRecu(true);
    g.setNoEmploye(2);
    g.Remplir();
    g.cboEmpl()->setCurrentIndex(0);
    g.cmdExport_Click(1);
    ASSERT_EQ(visionneuses().size(), 1);
    const QString sien = visionneuses()[0]->StartingAddress;
    EXPECT_EQ(sien, m_dir.filePath(QStringLiteral("MessagesRecus_Julie _J_36000.HTML")));
    EXPECT_TRUE(lire(sien).contains(QStringLiteral("<h1>Messages reçus par Julie &lt;J&gt;</h1>")));
    EXPECT_EQ(lire(sien).count(QStringLiteral("<table")), 2);

    ETAPE("a report whose read fails: no viewer, no file");
    const QStringList avant = QDir(m_dir.path()).entryList({QStringLiteral("*.HTML")});
    exec(QStringLiteral("RENAME TABLE tbltypemessage TO tbltypemessage_x"));
    g.cmdExport_Click(1);
    exec(QStringLiteral("RENAME TABLE tbltypemessage_x TO tbltypemessage"));
    EXPECT_EQ(visionneuses().size(), 1);
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("*.HTML")}), avant);
    EXPECT_EQ(errorReports(), 1);
}

// The progress window on screen, if any.
followup::frmProgressPopUp* progresVisible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<followup::frmProgressPopUp*>(w); p && p->isVisible()) return p;
    return nullptr;
}

// While a report is written nothing starts another; its clock starts with its first row, after
// the read; a workbook no spreadsheet opens is told once the progress window is gone.
TEST_F(RapportDb, OneReportAtATimeTimedFromItsFirstRowAndItsProgressGoneBeforeItsMessage) {
    SGridMsg g;
    g.Remplir();
    const qsizetype vues = visionneuses().size();
    QString reste;
    QTimer espion;
    QObject::connect(&espion, &QTimer::timeout, &espion, [&] {
        if (!progresVisible()) return;
        if (reste.isNull()) platform::Clock::advance(5000 * 1000); // a read of 5000 s
        reste = progresVisible()->progres()->lblTmpsReste()->text() + QLatin1Char('.');
        g.cmdExport_Click(0);
        g.cmdExport_Click(1);
        g.ExportMsgExcel(services::xlSheet, 1);
    });
    espion.start(0);
    ETAPE("nothing else starts while a report is written; its clock starts with its first row");
    EXPECT_TRUE(g.ExportMsgHTML(m_dir.filePath(QStringLiteral("un.HTML")), 1));
    EXPECT_EQ(reste, QStringLiteral("0 seconde.")); // not 83:20 minutes for the one row left
    EXPECT_EQ(visionneuses().size(), vues);
    EXPECT_TRUE(classeurs.isEmpty());

    struct Temoin : ScriptedChooser {
        bool progresAuMessage = false;
        platform::MsgResult messageBox(QWidget* w, const QString& t, const QString& ti, platform::MsgIcon i,
                                       platform::MsgButtons b) override {
            progresAuMessage |= progresVisible() != nullptr;
            return ScriptedChooser::messageBox(w, t, ti, i, b);
        }
    } chooser;
    ETAPE("a workbook no spreadsheet opens");
    int ouverts = 0;
    const auto ouvreur = platform::ExcelApplication::setOpener([&](const QString&) { return ++ouverts < 0; });
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    platform::ExcelApplication::setOpener(ouvreur);
    EXPECT_EQ(ouverts, 1);
    ASSERT_EQ(chooser.messagesShown.size(), 1);
    EXPECT_TRUE(
        chooser.messagesShown[0].startsWith(QStringLiteral("Aucun tableur n'a pu ouvrir le classeur")));
    EXPECT_FALSE(chooser.progresAuMessage);
}

// What any spreadsheet program will see of the workbook: the cells that have a value or a
// frame, with their font, alignment and number format, and the page set-up.
const char* const kLecteur = R"(
ws = openpyxl.load_workbook(sys.argv[1]).active
cells = {}
for c in (c for row in ws.iter_rows() for c in row):
    b = c.border
    bords = ''.join(k for k, s in (('L', b.left), ('T', b.top), ('B', b.bottom), ('R', b.right)) if s.style == 'thin')
    if c.value is None and not bords: continue
    a = c.alignment
    f = [t for on, t in ((c.font.b, 'bold'), (c.font.u, 'u'), (c.font.sz != 10 or c.font.name != 'Arial', '%s %g' % (c.font.name, c.font.sz or 0)),
                         (a.shrink_to_fit, 'shrink'), (a.wrap_text, 'wrap'), (a.vertical, a.vertical), (c.number_format != 'General', c.number_format)) if on]
    cells[c.coordinate] = {'v': '' if c.value is None else str(c.value), 'b': bords, 'f': ' '.join(f)}
m = ws.page_margins
print(json.dumps({
    'sheets': len(ws.parent.sheetnames), 'cells': cells, 'breaks': [b.id for b in ws.row_breaks.brk], 'rows': ws.max_row,
    'widths': ' '.join('%g' % round(ws.column_dimensions[c].width - 5 / 7, 2) for c in 'ABCDEFGHI'),  # less the file's padding
    'merges': ' '.join(sorted(str(r) for r in ws.merged_cells.ranges)),
    'setup': '%s|%s|%s|%s|%s' % (ws.page_setup.orientation, ws.oddFooter.center.text, ws.print_title_rows,
                              ' '.join(str(round(v * 72)) for v in (m.top, m.bottom, m.footer, m.header, m.right, m.left)),
                              ws.sheet_properties.pageSetUpPr and ws.sheet_properties.pageSetUpPr.fitToPage),
    'printable': 612 - round((m.top + m.bottom) * 72),
    'heights': [ws.row_dimensions[r].height or ws.sheet_format.defaultRowHeight for r in range(1, ws.max_row + 1)],
}))
)";

class RapportExcel : public RapportDb {
protected:
    QJsonObject lu() { return QJsonDocument::fromJson(relire(kLecteur).toUtf8()).object(); }
    // The value (or frame, or format) of one cell.
    static QString cellule(const QJsonObject& o, const char* ref, const char* part = "v") {
        return o[QStringLiteral("cells")]
            .toObject()[QLatin1String(ref)]
            .toObject()[QLatin1String(part)]
            .toString();
    }
    // The same of each cell named, beside its name.
    using Cellules = QList<std::pair<QString, QString>>;
    static Cellules cellules(const QJsonObject& o, const char* refs, const char* part = "v") {
        Cellules out;
        for (const QString& ref : QString::fromLatin1(refs).split(QLatin1Char(' ')))
            out << std::pair(ref, cellule(o, qPrintable(ref), part));
        return out;
    }
};

TEST_F(RapportExcel, BlocksLayoutAndPageSetupReadBack) {
    // The second message comes from a caller without a name, with 160 characters of
    // text: cut once at the first space from the 80th.
    clients(QStringLiteral("(2, '', 'Ana', NULL, '(450)555-0009', NULL, NULL, NULL, NULL)"));
    QString texte;
    for (int i = 0; i < 16; ++i)
        texte += QStringLiteral("mot%1 ").arg(i, 5, 10, QLatin1Char('0'));
    exec(QStringLiteral("DELETE FROM tblmessage WHERE IdMessage = 11"));
    message(11, texte.trimmed(), 2, 9, QStringLiteral("2024-03-14"), QStringLiteral("10:00:00"));

    SGridMsg g;
    g.Remplir();
    ASSERT_EQ(listed(g), (QList<int>{10, 11}));
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    EXPECT_EQ(services::xlSheet, nullptr); // let go once handed over
    ASSERT_EQ(classeurs.size(), 1);
    const QJsonObject o = lu();

    EXPECT_EQ(o[QStringLiteral("sheets")].toInt(), 1); // the empty one is gone
    EXPECT_EQ(o[QStringLiteral("widths")].toString(), QStringLiteral("2 2 7.57 30 10 7 16 16 24"));
    EXPECT_EQ(cellules(o, "A1 F1"),
              (Cellules{
                  {QStringLiteral("A1"), QStringLiteral("Messages reçus par Julie")},
                  {QStringLiteral("F1"), QStringLiteral("Date d'impression : 2024-03-15")},
              }));
    EXPECT_EQ(cellule(o, "A1", "f"), QStringLiteral("bold u Arial 14"));

    // First block from row 3: five telephone lines, several recipients, a folder, two text lines.
    EXPECT_EQ(cellules(o, "A3 B3 C3 D3 E3 F3 G3 H3"),
              (Cellules{
                  {QStringLiteral("A3"), QStringLiteral("U")},
                  {QStringLiteral("B3"), QStringLiteral("N")},
                  {QStringLiteral("C3"), QStringLiteral("10 (4)")},
                  {QStringLiteral("D3"), QStringLiteral("Dupont, Acme & fils")},
                  {QStringLiteral("E3"), QStringLiteral("2024-03-14 00:00:00")},
                  {QStringLiteral("F3"), QStringLiteral("09:05:00")},
                  {QStringLiteral("G3"), QStringLiteral("Marc")},
                  {QStringLiteral("H3"), QStringLiteral("Julie")},
              }));
    EXPECT_EQ(cellules(o, "E3 F3 G3 A9 I3 A7 A4", "f"),
              (Cellules{
                  {QStringLiteral("E3"), QStringLiteral("yyyy-mm-dd")},
                  {QStringLiteral("F3"), QStringLiteral("hh:mm")},
                  {QStringLiteral("G3"), QStringLiteral("shrink")},
                  {QStringLiteral("A9"), QStringLiteral("top")},
                  {QStringLiteral("I3"), QStringLiteral("wrap")},
                  {QStringLiteral("A7"), QStringLiteral("wrap")},
                  {QStringLiteral("A4"), QString()},
              }));
    EXPECT_EQ(cellules(o, "I3 A4 A5 A6 A7 A9"),
              (Cellules{
                  {QStringLiteral("I3"), QStringLiteral("Tél.: (514)555-0001\nBureau: (514)555-0002\n"
                                                        "Cell.: (438)555-0003\nAutre: (450)555-0004\n"
                                                        "Fax: (514)555-0005")},
                  {QStringLiteral("A4"), QStringLiteral("Type de message: Rappeler, Information")},
                  {QStringLiteral("A5"), QStringLiteral("Destinataires multiples: Éric, Julie")},
                  {QStringLiteral("A6"), QStringLiteral("Dossier: D-1")},
                  {QStringLiteral("A7"), QStringLiteral("Rappeler <vite> €\nau bureau")},
                  {QStringLiteral("A9"), QStringLiteral("Notes:")},
              }));
    // A framed range reads back with all its edges on its first cell.
    EXPECT_EQ(cellules(o, "A3 D3 A7 H8", "b"), (Cellules{
                                                   {QStringLiteral("A3"), QStringLiteral("LTBR")},
                                                   {QStringLiteral("D3"), QStringLiteral("LTBR")},
                                                   {QStringLiteral("A7"), QStringLiteral("LTBR")},
                                                   {QStringLiteral("H8"), QStringLiteral("BR")},
                                               }));
    // Second block at 13: no recipients or folder line, the cut text over its two lines.
    EXPECT_EQ(cellules(o, "A13 C13 D13 I13 A14 A17"),
              (Cellules{
                  {QStringLiteral("A13"), QString()},
                  {QStringLiteral("C13"), QStringLiteral("11 (5)")},
                  {QStringLiteral("D13"), QStringLiteral(", Ana")},
                  {QStringLiteral("I13"), QStringLiteral("Tél.: (450)555-0009")},
                  {QStringLiteral("A14"), QStringLiteral("Type de message: ")},
                  {QStringLiteral("A17"), QStringLiteral("Notes:")},
              }));
    const QString coupe = cellule(o, "A15");
    EXPECT_EQ(coupe.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(coupe.indexOf(QLatin1Char('\n')), 80); // the space at the 81st character became the break

    EXPECT_EQ(o[QStringLiteral("merges")].toString(),
              QStringLiteral("A14:H14 A15:H16 A17:H19 A4:H4 A5:H5 A6:H6 A7:H8 A9:H11 I13:I15 I3:I7"));
    EXPECT_EQ(o[QStringLiteral("setup")].toString(),
              QStringLiteral("landscape|Page &P de &N|$1:$2|40 40 30 30 30 30|None"));
    EXPECT_TRUE(o[QStringLiteral("breaks")].toArray().isEmpty());
    EXPECT_EQ(errorReports(), 0);
}

// A text longer than a cell goes on in the rows below, each cell whole, and reads back whole;
// four telephones take four rows.
TEST_F(RapportExcel, LongTextGoesOnInTheRowsBelowAndFourTelephonesTakeFourRows) {
    clients(QStringLiteral("(3, 'Roy', NULL, NULL, '1', '2', '3', '4', NULL)"));
    QString texte;
    for (int i = 0; i < 4000; ++i)
        texte += QStringLiteral("mot%1 ").arg(i, 5, 10, QLatin1Char('0'));
    texte += QStringLiteral("FIN");
    exec(QStringLiteral("DELETE FROM tblmessage WHERE IdMessage IN (10, 11)"));
    message(12, texte, 3);
    recipient(12, 3, 2);
    SGridMsg g;
    g.Remplir();
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    const QJsonObject o = lu();
    EXPECT_EQ(cellules(o, "C3 I3"),
              (Cellules{
                  {QStringLiteral("C3"), QStringLiteral("12 (0)")},
                  {QStringLiteral("I3"), QStringLiteral("Tél.: 1\nBureau: 2\nCell.: 3\nAutre: 4")},
              }));
    EXPECT_TRUE(
        o[QStringLiteral("merges")].toString().split(QLatin1Char(' ')).contains(QStringLiteral("I3:I6")));
    QString attendu = texte; // plain words: the stored text reads back as it was given
    followup::couperTexte(attendu);
    QStringList morceaux; // the text cells down to the notes
    for (int r = 5; r < 2000; ++r) {
        const QString v = cellule(o, qPrintable(QStringLiteral("A%1").arg(r)));
        if (v == QStringLiteral("Notes:")) break;
        if (!v.isEmpty()) morceaux << v;
    }
    EXPECT_EQ(morceaux.size(), 2);
    EXPECT_EQ(morceaux.join(QLatin1Char('\n')),
              attendu.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// Both reports read their messages in as many statements for forty messages as for two. The
// forty fill pages: each break sits above a block's first row; a sheet too short for the last
// block by one row stops the export with a message and hands nothing over.
TEST_F(RapportExcel, StatementsDoNotGrowWithTheMessagesPagesBreakBetweenBlocksAndTheSheetEnds) {
    SGridMsg g;
    const auto statements = [&](int premier, int dernier) {
        for (int id = premier; id <= dernier; ++id) {
            message(id);
            recipient(id, 3, 2);
            recipient(id, 3, 4);
            exec(QStringLiteral("INSERT INTO tblmessagetype (IdMessage, IdType) VALUES (%1, 1)").arg(id));
            exec(QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (%1, 'D')")
                     .arg(id));
        }
        g.Remplir();
        const qint64 avant = db().statementCount();
        g.ExportMsgHTML(m_dir.filePath(QStringLiteral("r.HTML")), SGridMsg::kToutesLesLignes);
        g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
        return db().statementCount() - avant;
    };
    ETAPE("statements for two messages, then forty");
    const qint64 deux = statements(1, 2);
    EXPECT_EQ(statements(12, 47), deux);
    ASSERT_EQ(g.SGrid()->Rows(), 40);
    ASSERT_EQ(classeurs.size(), 2);
    const QJsonObject o = lu();
    // Each page, the last one too, holds its rows and the title rows within the printable height.
    ETAPE("the pages of forty messages");
    const QJsonArray h = o[QStringLiteral("heights")].toArray();
    QList<int> pages;
    for (const QJsonValue& b : o[QStringLiteral("breaks")].toArray())
        pages << b.toInt() + 1; // the row below the break: a block's first row
    ASSERT_GE(pages.size(), 3);
    pages << int(h.size()) + 1;
    for (int debut = 3, p = 0; p < pages.size(); debut = pages[p++]) {
        EXPECT_NE(cellule(o, qPrintable(QStringLiteral("C%1").arg(debut))), QString()) << debut;
        double hauteur = h[0].toDouble() + h[1].toDouble();
        for (int r = debut; r < pages[p]; ++r)
            hauteur += h[r - 1].toDouble();
        EXPECT_LE(hauteur, o[QStringLiteral("printable")].toDouble()) << debut;
    }
    ETAPE("a sheet whose last row the last block ends on, then one row short");
    ScriptedChooser chooser;
    for (const int manque : {0, 1}) {
        classeurs.clear();
        platform::Worksheet::setMaxRows(o[QStringLiteral("rows")].toInt() - manque);
        g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
        EXPECT_EQ(classeurs.size(), 1 - manque);
        EXPECT_EQ(chooser.messagesShown.size(), manque);
    }
    ASSERT_EQ(chooser.messagesShown.size(), 1);
    EXPECT_TRUE(chooser.messagesShown[0].contains(
        QStringLiteral("%1 lignes").arg(o[QStringLiteral("rows")].toInt() - 1)));
    EXPECT_EQ(services::xlApp, nullptr);
    EXPECT_TRUE(g.isEnabled());
    EXPECT_EQ(errorReports(), 0);
}

// Texts holding what a paste can bring: U+FFFE and U+FFFF, halves of surrogate pairs, a C0
// control. Both reports of such messages stay readable whole: the sheet parses as XML and
// holds every block, the page holds no control byte; what was lost shows as U+FFFD.
TEST_F(RapportExcel, CharactersNoFileMayHoldBecomeReplacementCharacters) {
    const QChar nonCar(0xFFFE);
    clients(QStringLiteral("(5, 'Du") + nonCar + QStringLiteral("pont', 'An") + QChar(1) +
            QStringLiteral("ne', NULL, NULL, NULL, NULL, NULL, NULL)"));
    exec(QStringLiteral("DELETE FROM tblmessage WHERE IdMessage IN (10, 11)"));
    // RTF's \uN counts from -32768: -2 is U+FFFE, -1 U+FFFF, -10240 U+D800, -9216 U+DC00;
    // -10179 then -8704 is the pair of U+1F600.
    message(20, QStringLiteral("Avant \\u-2?milieu\\u-1?apr\\'e8s"), 5);
    message(21, QStringLiteral("Seul \\u-10240?haut, seul \\u-9216?bas, paire \\u-10179?\\u-8704? fin"));
    message(22, QStringLiteral("Bonjour"));
    for (int id : {20, 21, 22})
        recipient(id, 3, 2);
    SGridMsg g;
    g.Remplir();
    ASSERT_EQ(listed(g), (QList<int>{20, 21, 22}));
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    ASSERT_EQ(classeurs.size(), 1);
    // The sheet as an XML parser reads it: a character XML forbids stops it with an error.
    const QJsonObject o = QJsonDocument::fromJson(relire(R"(
import zipfile, xml.etree.ElementTree as ET
m = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
with zipfile.ZipFile(sys.argv[1]) as z:
    feuille = ET.fromstring(z.read('xl/worksheets/sheet1.xml'))
cells = {c.get('r'): ''.join(t.text or '' for t in c.iter(m + 't')) for c in feuille.iter(m + 'c')}
print(json.dumps({'blocs': sum(v == 'Notes:' for v in cells.values()), 'cells': cells}))
)")
                                                      .toUtf8())
                              .object();
    ASSERT_FALSE(o.isEmpty()) << "the sheet is not well-formed XML";
    EXPECT_EQ(o[QStringLiteral("blocs")].toInt(), 3);
    const QJsonObject c = o[QStringLiteral("cells")].toObject();
    const QString fffd(QChar::ReplacementCharacter);
    const auto texte = [&](const char* ref) { return c[QLatin1String(ref)].toString().toStdString(); };
    // A C0 control keeps the spreadsheet's own escape.
    EXPECT_EQ(texte("D3"), (QStringLiteral("Du") + fffd + QStringLiteral("pont, An_x0001_ne")).toStdString());
    EXPECT_EQ(texte("A5"),
              (QStringLiteral("Avant ") + fffd + QStringLiteral("milieu") + fffd + QStringLiteral("après"))
                  .toStdString());
    EXPECT_EQ(texte("A13"), (QStringLiteral("Seul ") + fffd + QStringLiteral("haut, seul ") + fffd +
                             QStringLiteral("bas, paire \U0001F600 fin"))
                                .toStdString());

    const QString page = m_dir.filePath(QStringLiteral("c.HTML"));
    ASSERT_TRUE(g.ExportMsgHTML(page, SGridMsg::kToutesLesLignes));
    const QString html = lire(page);
    for (QChar ch : html)
        if (ch.unicode() < 0x20 && ch != QLatin1Char('\t') && ch != QLatin1Char('\n') &&
            ch != QLatin1Char('\r'))
            ADD_FAILURE() << "control byte " << ch.unicode() << " in the page";
    for (const QString& attendu :
         {QStringLiteral("<td>Du&#65533;pont, An&#65533;ne</td>"),
          QStringLiteral("Avant &#65533;milieu&#65533;apr\u00e8s&nbsp"),
          QStringLiteral("Seul &#65533;haut, seul &#65533;bas, paire &#128512; fin&nbsp")})
        EXPECT_TRUE(html.contains(attendu)) << attendu.toStdString() << " not in\n" << html.toStdString();
}

// The HTML report into a folder that is missing, read-only or on a full disk: the user is
// told what failed, where and why; no viewer opens and no partial file stays, from the
// export button as from the row menu.
TEST_F(RapportDb, HtmlReportThatCannotBeWrittenIsToldAndLeavesNothing) {
    const QString texte = QString(30000, QLatin1Char('x')); // a report of more than 30 KB
    exec(QStringLiteral("DELETE FROM tblmessage WHERE IdMessage = 11"));
    message(11, texte);
    ScriptedChooser chooser;
    SGridMsg g;
    g.Remplir();
    ASSERT_EQ(g.SGrid()->Rows(), 2);
    const qsizetype vues = visionneuses().size();
    int essais = 0; // each one logged once
    const QString nom = QStringLiteral("/MessagesRecus_Julie36000.HTML");
    // The last message shown, "" when none.
    const auto dit = [&] {
        return (chooser.messagesShown.isEmpty() ? QString() : chooser.messagesShown.takeLast()).toStdString();
    };
    const auto parMenu = [&] {
        g.SGrid()->setSelectedRow(2);
        int gauche, haut, largeur, hauteur;
        g.SGrid()->CellBoundary(2, SGridMsg::colNo, gauche, haut, largeur, hauteur);
        chooser.menuAnswers = {7}; // "Imprimer le message." > "Html"
        emit g.SGrid()->MouseUp(2, 0, 0.0f, float(haut));
    };

    {
        SCOPED_TRACE("missing folder, from the button");
        ++essais;
        const QString absent = m_dir.filePath(QStringLiteral("absent"));
        SGridMsg::setDossierRapports(absent);
        g.cmdExport_Click(1);
        EXPECT_EQ(dit(), (QStringLiteral("Le rapport n'a pas pu être écrit dans ") + absent + nom +
                          QStringLiteral(" : le dossier n'existe pas."))
                             .toStdString());
        EXPECT_TRUE(g.window()->isEnabled());
    }
    {
        SCOPED_TRACE("folder under a file, from the row menu");
        ++essais;
        QFile f(m_dir.filePath(QStringLiteral("fichier")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        SGridMsg::setDossierRapports(f.fileName() + QStringLiteral("/sous"));
        parMenu();
        EXPECT_EQ(dit(), (QStringLiteral("Le rapport n'a pas pu être écrit dans ") + f.fileName() +
                          QStringLiteral("/sous") + nom + QStringLiteral(" : le dossier n'existe pas."))
                             .toStdString());
    }
    if (QFileInfo(QStringLiteral("/sys")).isDir()) {
        // A folder no one writes in, root included.
        SCOPED_TRACE("read-only folder, from the row menu");
        ++essais;
        SGridMsg::setDossierRapports(QStringLiteral("/sys"));
        parMenu();
        EXPECT_EQ(dit(), (QStringLiteral("Le rapport n'a pas pu être écrit dans /sys") + nom +
                          QStringLiteral(" : le dossier est en lecture seule."))
                             .toStdString());
    }
#ifdef RLIMIT_FSIZE
    {
        // Files of this process stop growing at 8 KB: the report's first bytes are written,
        // the next ones fail, as on a disk that fills up while the report is written.
        SCOPED_TRACE("file cut short, from the row menu");
        ++essais;
        SGridMsg::setDossierRapports(m_dir.path());
        rlimit avant{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &avant), 0);
        rlimit petit = avant;
        petit.rlim_cur = 8192;
        const auto signalAvant = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &petit), 0);
        parMenu();
        setrlimit(RLIMIT_FSIZE, &avant);
        std::signal(SIGXFSZ, signalAvant);
        EXPECT_EQ(dit(), (QStringLiteral("Le rapport n'a pas pu être écrit dans ") + m_dir.path() + nom +
                          QStringLiteral(" : le fichier dépasse la taille permise."))
                             .toStdString());
        EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("*.HTML")}), QStringList());
    }
#endif
    {
        // /dev/full takes no byte: every write fails as on a full disk. Reached through a
        // link, the report's name stays the test's.
        SCOPED_TRACE("full disk");
        const QString lien = m_dir.filePath(QStringLiteral("plein.HTML"));
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), lien));
        // The whole report, and one short message, less than any write buffer holds.
        for (const qint32 ligne : {SGridMsg::kToutesLesLignes, 1}) {
            ++essais;
            EXPECT_FALSE(g.ExportMsgHTML(lien, ligne)) << ligne;
            EXPECT_EQ(dit(), (QStringLiteral("Le rapport n'a pas pu être écrit dans ") + lien +
                              QStringLiteral(" : le disque est plein."))
                                 .toStdString())
                << ligne;
        }
        ASSERT_TRUE(QFileInfo::exists(QStringLiteral("/dev/full"))); // the device is not a report
    }
    EXPECT_EQ(visionneuses().size(), vues);
    EXPECT_TRUE(chooser.messagesShown.isEmpty())
        << chooser.messagesShown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblerreur WHERE Fonction = 'ExportMsgHTML'")),
              essais);
}

// A workbook that cannot be written is told in French, with its folder and the cause, and
// nothing is handed to the spreadsheet program.
TEST_F(RapportDb, WorkbookThatCannotBeWrittenIsToldInFrench) {
    SGridMsg g;
    g.Remplir();
    ScriptedChooser chooser;
    QFile f(m_dir.filePath(QStringLiteral("fichier")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString sous = f.fileName() + QStringLiteral("/sous");
    QList<std::pair<QString, QString>> cas = {{sous, QStringLiteral("le dossier n'existe pas")}};
    if (QFileInfo(QStringLiteral("/sys")).isDir())
        cas.append({QStringLiteral("/sys"), QStringLiteral("le dossier est en lecture seule")});
    for (const auto& [dossier, cause] : cas) {
        SCOPED_TRACE(dossier.toStdString());
        qputenv("TMPDIR", QFile::encodeName(dossier));
        g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
        EXPECT_EQ(chooser.messagesShown.join(QLatin1Char('|')).toStdString(),
                  QStringLiteral("Le classeur n'a pas pu être écrit dans %1 : %2.")
                      .arg(dossier, cause)
                      .toStdString());
        chooser.messagesShown.clear();
    }
    EXPECT_TRUE(classeurs.isEmpty());
    EXPECT_TRUE(g.isEnabled());
}

// The same on a full disk, which /dev/full is to every write.
TEST(Classeur, FullDiskIsToldInFrenchWithTheFolder) {
    platform::ExcelApplication app;
    platform::Workbook* b = app.AddWorkbook();
    b->sheet(0)->setValue(1, 1, QStringLiteral("Messages reçus"));
    QString erreur;
    EXPECT_FALSE(b->SaveAs(QStringLiteral("/dev/full"), &erreur));
    EXPECT_EQ(erreur.toStdString(), "Le classeur n'a pas pu être écrit dans /dev : le disque est plein.");
}

// A long export of 41 blocks of 8, 9 and 12 rows: each break sits above a block's first row,
// and every page, the last one too, holds its rows and the title rows within the printable
// height. With blocks of 8 rows the last page's fifth block needs the break after the last
// message.
TEST_F(RapportExcel, LongExportBreaksBetweenBlocksUpToTheLastPage) {
    SGridMsg g;
    for (int lignes : {3, 4, 7}) { // text rows: blocks of 5 + 3, 5 + 4 and 5 + 7 rows
        SCOPED_TRACE(QStringLiteral("blocks of %1 rows").arg(5 + lignes).toStdString());
        exec(QStringLiteral("DELETE FROM tblmessage"));
        exec(QStringLiteral("DELETE FROM tblmessageemploye"));
        for (int id = 21; id <= 61; ++id) {
            message(id, QStringList(lignes, QStringLiteral("ligne")).join(QStringLiteral("\\par ")), 0, 2,
                    QStringLiteral("2024-03-14"),
                    QTime(8, 0).addSecs(id * 60).toString(QStringLiteral("HH:mm:ss")));
            recipient(id, 3, 2);
        }
        g.Remplir();
        ASSERT_EQ(g.SGrid()->Rows(), 41);
        classeurs.clear();
        g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
        ASSERT_EQ(classeurs.size(), 1);
        const QJsonObject o = lu();
        const QJsonArray h = o[QStringLiteral("heights")].toArray();
        ASSERT_EQ(h.size(), 3 + 41 * (6 + lignes) - 2);
        QList<int> pages;
        for (const QJsonValue& b : o[QStringLiteral("breaks")].toArray())
            pages << b.toInt() + 1; // the row below the break: a block's first row
        ASSERT_GE(pages.size(), 5);
        pages << int(h.size()) + 1;
        for (int debut = 3, p = 0; p < pages.size(); debut = pages[p++]) {
            SCOPED_TRACE(QStringLiteral("the page from row %1").arg(debut).toStdString());
            EXPECT_EQ(cellule(o, qPrintable(QStringLiteral("A%1").arg(debut))), QStringLiteral("N"));
            double hauteur = h[0].toDouble() + h[1].toDouble();
            for (int r = debut; r < pages[p]; ++r)
                hauteur += h[r - 1].toDouble();
            EXPECT_LE(hauteur, o[QStringLiteral("printable")].toDouble());
        }
    }
}

} // namespace
