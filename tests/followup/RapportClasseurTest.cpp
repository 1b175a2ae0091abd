// The spreadsheet report when its workbook cannot be written: the user is told, and no
// spreadsheet program is started on a file that is not there.
#include "SGridMsgFixture.h"
#include "followup/ctrlProgresTemps.h"
#include "followup/frmProgressPopUp.h"
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
    EXPECT_TRUE(chooser.messagesShown[0].startsWith(
        QStringLiteral("Le classeur n'a pas pu être écrit dans %1 : ").arg(dossier.path())))
        << "the message names the workbook's folder, in French: " << chooser.messagesShown[0].toStdString();
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

namespace {

followup::frmProgressPopUp* progresAffiche() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<followup::frmProgressPopUp*>(w); p && p->isVisible()) return p;
    return nullptr;
}

// The time left counts from the first row written, not from the start of the read: a read
// of 5000 s, then rows written in no time, leave no time to wait for.
TEST_F(RapportClasseur, TheTimeLeftCountsFromTheFirstRowWritten) {
    capturerRapports();
    constexpr int kMessages = 2000; // enough rows for the window to be updated while they are written
    QStringList messages, destinataires;
    const QString rtf = platform::sqlRichText(QStringLiteral("{\\rtf1\\ansi Bonjour}"));
    for (int id = 1; id <= kMessages; ++id) {
        messages << QStringLiteral("(%1, '2024-03-14', '09:05:33', 2, 0, %2)").arg(id).arg(rtf);
        destinataires << QStringLiteral("(%1, 3, 2, 0, 1)").arg(id);
    }
    exec(
        QStringLiteral("INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, "
                       "Message) VALUES ") +
        messages.join(QLatin1Char(',')));
    exec(QStringLiteral(
             "INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat) VALUES ") +
         destinataires.join(QLatin1Char(',')));
    SGridMsg g;
    g.Remplir();
    ASSERT_EQ(g.SGrid()->Rows(), kMessages);

    bool lu = false;
    QString reste; // the first time left shown while the rows are written
    QTimer espion;
    QObject::connect(&espion, &QTimer::timeout, &espion, [&] {
        followup::frmProgressPopUp* p = progresAffiche();
        if (!p) return;
        if (!lu) {
            lu = true;
            platform::Clock::advance(5000 * 1000); // the read took 5000 s
            return;
        }
        const QString texte = p->progres()->lblTmpsReste()->text();
        if (reste.isEmpty() && !texte.isEmpty()) reste = texte;
    });
    espion.start(0);
    g.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);
    espion.stop();
    ASSERT_TRUE(lu) << "the progress window never answered during the read";
    EXPECT_EQ(reste.toStdString(), "0 seconde") << "the time left shown while the rows are written";
    EXPECT_EQ(classeurs.size(), 1);
}

} // namespace
