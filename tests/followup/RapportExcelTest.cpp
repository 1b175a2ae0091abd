#include "SGridMsgFixture.h"
#include "platform/Workbook.h"
#include "services/ExcelSession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// Reads a workbook back with an independent reader: what any spreadsheet program will see.
const char* const kLecteur = R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
cells = {}
for row in ws.iter_rows():
    for c in row:
        b = c.border
        bords = ''.join(k for k, s in (('L', b.left), ('T', b.top), ('B', b.bottom), ('R', b.right)) if s.style == 'thin')
        if c.value is None and not bords:
            continue
        f = []
        if c.font.b: f.append('bold')
        if c.font.u: f.append('u')
        if c.font.sz and c.font.sz != 11: f.append('sz%g' % c.font.sz)
        if c.alignment.shrink_to_fit: f.append('shrink')
        if c.alignment.wrap_text: f.append('wrap')
        if c.alignment.vertical: f.append(c.alignment.vertical)
        if c.number_format != 'General': f.append(c.number_format)
        cells[c.coordinate] = {'v': '' if c.value is None else str(c.value), 'b': bords, 'f': ' '.join(f)}
m = ws.page_margins
print(json.dumps({
    'sheets': wb.sheetnames,
    'widths': [round(ws.column_dimensions[c].width - 5 / 7, 2) for c in 'ABCDEFGHI'],  # less the file's padding
    'cells': cells,
    'merges': sorted(str(r) for r in ws.merged_cells.ranges),
    'orientation': ws.page_setup.orientation,
    'footer': ws.oddFooter.center.text,
    'titles': ws.print_title_rows,
    'breaks': [b.id for b in ws.row_breaks.brk],
    'margins': [round(v * 72) for v in (m.top, m.bottom, m.footer, m.header, m.right, m.left)],
}))
)";

class RapportExcel : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        m_avant = platform::ExcelApplication::setOpener([this](const QString& path) {
            m_ouverts << path;
            return true;
        });
    }
    void TearDown() override {
        if (m_avant) platform::ExcelApplication::setOpener(m_avant);
        platform::Worksheet::setMaxRows(0);
        for (const QString& f : m_ouverts)
            QFile::remove(f);
        SGridMsgDb::TearDown();
    }
    QJsonObject relire() {
        if (m_ouverts.isEmpty()) return {};
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(kLecteur), m_ouverts.last()});
        py.waitForFinished(60000);
        const QByteArray out = py.readAllStandardOutput();
        if (out.isEmpty()) ADD_FAILURE() << py.readAllStandardError().constData();
        return QJsonDocument::fromJson(out).object();
    }
    static QString cellule(const QJsonObject& o, const char* ref, const char* part = "v") {
        return o[QStringLiteral("cells")]
            .toObject()[QLatin1String(ref)]
            .toObject()[QLatin1String(part)]
            .toString();
    }
    static QStringList liste(const QJsonValue& v) {
        QStringList l;
        for (const QJsonValue& x : v.toArray())
            l << (x.isDouble() ? QString::number(x.toDouble()) : x.toString());
        return l;
    }
    platform::ExcelApplication::Opener m_avant;
    QStringList m_ouverts;
};

TEST_F(RapportExcel, BlocksLayoutAndPageSetupReadBack) {
    exec(QStringLiteral("INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, NomCie, Telephone, TelBureau, "
                        "Cellulaire, AutreTel, Fax) VALUES (1, 'Dupont', NULL, 'Acme', '(514)555-0001', "
                        "'(514)555-0002', '(438)555-0003', '(450)555-0004', '(514)555-0005'),"
                        " (2, '', 'Ana', NULL, '(450)555-0009', NULL, NULL, NULL, NULL)"));
    message(10, QStringLiteral("Rappeler\\par au bureau"), 1, 1);
    recipient(10, 3, 2, 5, 0, QString(), 4, 7);
    recipient(10, 3, 4, 1, 0, QString(), 1, 7);
    exec(QStringLiteral("INSERT INTO tblmessagetype (IdMessage, IdType) VALUES (10, 1), (10, 2)"));
    exec(QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (10, 'D-1')"));
    // 160 characters: cut once at the first space from the 80th.
    QString texte;
    for (int i = 0; i < 16; ++i)
        texte += QStringLiteral("mot%1 ").arg(i, 5, 10, QLatin1Char('0'));
    message(11, texte.trimmed(), 2, 2, QStringLiteral("2024-03-14"), QStringLiteral("10:00:00"));
    recipient(11, 3, 2, 1, 0, QString(), 5, 8);

    SGridMsg g;
    g.Remplir();
    ASSERT_EQ(listed(g), (QList<int>{10, 11}));
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    EXPECT_EQ(services::xlSheet, nullptr); // let go once handed over
    ASSERT_EQ(m_ouverts.size(), 1);
    const QJsonObject o = relire();

    EXPECT_EQ(liste(o[QStringLiteral("sheets")]).size(), 1); // the empty one is gone
    EXPECT_EQ(liste(o[QStringLiteral("widths")]).join(QLatin1Char(' ')),
              QStringLiteral("2 2 7.57 30 10 7 16 16 24"));
    EXPECT_EQ(cellule(o, "A1"), QStringLiteral("Messages reçus par Julie"));
    EXPECT_EQ(cellule(o, "A1", "f"), QStringLiteral("bold u sz14"));
    EXPECT_EQ(cellule(o, "F1"), QStringLiteral("Date d'impression : 2024-03-15"));

    // First block from row 3: five telephone lines, several recipients, a folder, two text lines.
    const QStringList premiere{cellule(o, "A3"), cellule(o, "B3"), cellule(o, "C3"), cellule(o, "D3"),
                               cellule(o, "E3"), cellule(o, "F3"), cellule(o, "G3"), cellule(o, "H3")};
    EXPECT_EQ(premiere,
              (QStringList{QStringLiteral("U"), QStringLiteral("N"), QStringLiteral("10 (4)"),
                           QStringLiteral("Dupont, Acme"), QStringLiteral("2024-03-14 00:00:00"),
                           QStringLiteral("09:05:00"), QStringLiteral("Marc"), QStringLiteral("Julie")}));
    EXPECT_EQ(cellule(o, "A3", "b"), QStringLiteral("LTBR"));
    EXPECT_EQ(cellule(o, "D3", "b"), QStringLiteral("LTBR"));
    EXPECT_EQ(cellule(o, "E3", "f"), QStringLiteral("yyyy-mm-dd"));
    EXPECT_EQ(cellule(o, "F3", "f"), QStringLiteral("hh:mm"));
    EXPECT_EQ(cellule(o, "G3", "f"), QStringLiteral("shrink"));
    EXPECT_EQ(cellule(o, "I3"),
              QStringLiteral("Tél.: (514)555-0001\nBureau: (514)555-0002\nCell.: (438)555-0003\n"
                             "Autre: (450)555-0004\nFax: (514)555-0005"));
    EXPECT_EQ(cellule(o, "A4"), QStringLiteral("Type de message: Rappeler, Information"));
    EXPECT_EQ(cellule(o, "A5"), QStringLiteral("Destinataires multiples: Julie, Sophie"));
    EXPECT_EQ(cellule(o, "A6"), QStringLiteral("Dossier: D-1"));
    EXPECT_EQ(cellule(o, "A7"), QStringLiteral("Rappeler\nau bureau"));
    EXPECT_EQ(cellule(o, "A9"), QStringLiteral("Notes:"));
    EXPECT_EQ(cellule(o, "A9", "f"), QStringLiteral("top"));
    // A framed range reads back with all its edges on its first cell.
    EXPECT_EQ(cellule(o, "A7", "b"), QStringLiteral("LTBR"));
    EXPECT_EQ(cellule(o, "H8", "b"), QStringLiteral("BR"));
    // Second block at 13: no recipients or folder line, the cut text over its two lines.
    EXPECT_EQ(cellule(o, "C13"), QStringLiteral("11 (5)"));
    EXPECT_EQ(cellule(o, "D13"), QStringLiteral(", Ana"));
    EXPECT_EQ(cellule(o, "I13"), QStringLiteral("Tél.: (450)555-0009"));
    EXPECT_EQ(cellule(o, "A14"), QStringLiteral("Type de message: "));
    const QString coupe = cellule(o, "A15");
    EXPECT_EQ(coupe.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(coupe.indexOf(QLatin1Char('\n')), 80); // the space at the 81st character became the break
    EXPECT_EQ(cellule(o, "A17"), QStringLiteral("Notes:"));

    EXPECT_EQ(liste(o[QStringLiteral("merges")]),
              (QStringList{QStringLiteral("A14:H14"), QStringLiteral("A15:H16"), QStringLiteral("A17:H19"),
                           QStringLiteral("A4:H4"), QStringLiteral("A5:H5"), QStringLiteral("A6:H6"),
                           QStringLiteral("A7:H8"), QStringLiteral("A9:H11"), QStringLiteral("I13:I15"),
                           QStringLiteral("I3:I7")}));
    EXPECT_EQ(o[QStringLiteral("orientation")].toString(), QStringLiteral("landscape"));
    EXPECT_EQ(o[QStringLiteral("footer")].toString(), QStringLiteral("Page &P de &N"));
    EXPECT_EQ(o[QStringLiteral("titles")].toString(), QStringLiteral("$1:$2"));
    EXPECT_EQ(liste(o[QStringLiteral("margins")]).join(QLatin1Char(' ')),
              QStringLiteral("40 40 30 30 30 30"));
    EXPECT_TRUE(o[QStringLiteral("breaks")].toArray().isEmpty());
    EXPECT_EQ(errorReports(), 0);
}

// A long export: each break sits above a block's first row and no page outgrows 40 rows.
// An export past the sheet's last row stops with a message and hands nothing over.
TEST_F(RapportExcel, LongExportBreaksBetweenBlocksAndStopsAtTheSheetsEnd) {
    for (int id = 1; id <= 30; ++id) {
        message(id, QStringLiteral("Texte %1").arg(id), 0, 2, QStringLiteral("2024-03-14"),
                QTime(8, 0).addSecs(id * 60).toString(QStringLiteral("HH:mm:ss")));
        recipient(id, 3, 2);
        if (id % 7 == 0) recipient(id, 3, 4);
    }
    SGridMsg g;
    g.Remplir();
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    const QJsonObject o = relire();
    QList<int> sauts;
    for (const QJsonValue& b : o[QStringLiteral("breaks")].toArray())
        sauts << b.toInt() + 1; // the row below the break
    ASSERT_GE(sauts.size(), 5);
    int debut = 3;
    for (int s : sauts) {
        EXPECT_FALSE(cellule(o, qPrintable(QStringLiteral("A%1").arg(s))).isEmpty())
            << s; // a block's first row
        EXPECT_LE(s - debut, 37) << s;
        debut = s;
    }

    m_ouverts.clear();
    platform::Worksheet::setMaxRows(100);
    ScriptedChooser chooser;
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    EXPECT_TRUE(m_ouverts.isEmpty());
    ASSERT_EQ(chooser.messagesShown.size(), 1);
    EXPECT_TRUE(chooser.messagesShown[0].contains(QStringLiteral("100 lignes")));
    EXPECT_EQ(services::xlApp, nullptr);
    EXPECT_TRUE(g.isEnabled());
}

// Both reports read their messages in as many statements for forty messages as for two.
TEST_F(RapportExcel, ReportStatementsDoNotGrowWithTheMessages) {
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
    const qint64 deux = statements(1, 2);
    EXPECT_EQ(statements(3, 40), deux);
    EXPECT_EQ(g.SGrid()->Rows(), 40);
    EXPECT_EQ(m_ouverts.size(), 2);
    EXPECT_EQ(errorReports(), 0);
}

} // namespace
