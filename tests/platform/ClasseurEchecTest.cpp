#include "platform/Workbook.h"
#include "support/DisquePlein.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The workbook is written on a thread of its own: a write that fails there is reported to
// the caller with the writer's reason, opens no spreadsheet, and leaves no file behind in
// the temporary folder.
TEST(Classeur, AWriteThatFailsOnItsThreadIsReportedAndLeavesNothing) {
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QByteArray tmpAvant = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dossier.path()));
    ASSERT_EQ(QDir::tempPath(), QDir(dossier.path()).canonicalPath());
    QStringList ouverts;
    const auto ouvreur = platform::ExcelApplication::setOpener([&](const QString& path) {
        ouverts << path;
        return true;
    });

    QString erreur;
    QStringList ecrits;
    {
        platform::ExcelApplication app;
        platform::Worksheet* ws = app.AddWorkbook()->sheet(0);
        for (int r = 1; r <= 200; ++r)
            ws->setValue(r, 1, u"Ligne %1 d'un long rapport"_s.arg(r));
        app.setVisible(true);
        const DisquePlein plein;
        ecrits = app.release(&erreur);
    }
    platform::ExcelApplication::setOpener(ouvreur);
    const QStringList restes = QDir(dossier.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    if (tmpAvant.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", tmpAvant);

    EXPECT_FALSE(erreur.isEmpty()) << "the writer's failure did not reach the caller";
    EXPECT_TRUE(erreur.contains(dossier.path()) || erreur.contains(QDir::tempPath()))
        << "the message names the file: " << erreur.toStdString();
    EXPECT_EQ(ecrits.join(u", "_s).toStdString(), "") << "a failed workbook is not among those written";
    EXPECT_EQ(ouverts.join(u", "_s).toStdString(), "") << "a failed workbook is opened in no spreadsheet";
    EXPECT_EQ(restes.join(u", "_s).toStdString(), "") << "files left in the temporary folder";
}

} // namespace
