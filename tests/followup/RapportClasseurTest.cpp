// The spreadsheet report when its workbook cannot be written: the user is told, and no
// spreadsheet program is started on a file that is not there.
#include "SGridMsgFixture.h"
#include "services/ExcelSession.h"
#include "support/DisquePlein.h"

namespace {

class RapportClasseur : public SGridMsgDb {};

TEST_F(RapportClasseur, AWorkbookThatCannotBeWrittenIsSaidToTheUser) {
    capturerRapports();
    message(10, QStringLiteral("Rappeler Luc"));
    recipient(10, 3, 2);
    SGridMsg g;
    g.Remplir();
    ASSERT_EQ(g.SGrid()->Rows(), 1);

    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QByteArray tmpAvant = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dossier.path()));
    ScriptedChooser chooser;
    {
        const DisquePlein plein;
        g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    }
    if (tmpAvant.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", tmpAvant);

    ASSERT_EQ(chooser.messagesShown.size(), 1) << "the failed write is said once";
    EXPECT_TRUE(chooser.messagesShown[0].contains(QStringLiteral(".xlsx")))
        << "the message names the workbook: " << chooser.messagesShown[0].toStdString();
    EXPECT_EQ(classeurs.join(QStringLiteral(", ")).toStdString(), "") << "opened though not written";
    EXPECT_TRUE(g.window()->isEnabled());
}

} // namespace

namespace {

// Column widths count in the workbook's own font: it is the sheet's Arial, or a spreadsheet
// program without Calibri would widen every column and push the last onto pages of their own.
TEST_F(RapportClasseur, TheWorkbooksOwnFontIsTheSheetsFont) {
    capturerRapports();
    message(10, QStringLiteral("Rappeler Luc"));
    recipient(10, 3, 2);
    SGridMsg g;
    g.Remplir();
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    ASSERT_EQ(classeurs.size(), 1);
    EXPECT_EQ(relire("f = openpyxl.load_workbook(sys.argv[1])._fonts[0]\nprint(f.name, f.sz)").toStdString(),
              "Arial 10.0");
}

} // namespace
