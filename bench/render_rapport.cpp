// Writes the two reports of a filled message grid so that their look can be checked by eye:
// OUT-viewer.png, the HTML report in its viewer, OUT-viewer.pdf, its printed pages, and
// OUT.xlsx, the workbook.
//   render_rapport DATABASE OUT [employee]
// The server comes from DB_HOST/DB_PORT/DB_USER/DB_PASSWORD (scripts/db.sh env).
#include "BenchDatabase.h"
#include "followup/SGridMsg.h"
#include "followup/ctrlProgresTemps.h"
#include "followup/RapportDocument.h"
#include "followup/VueRapport.h"
#include "followup/frmBrowserMdi.h"
#include "followup/frmProgressPopUp.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "platform/Workbook.h"
#include "services/ErrorLogger.h"
#include "services/ExcelSession.h"
#include "services/Session.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPixmap>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <cstdio>

namespace {
void attendre(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DATABASE OUT [employee]\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir dir;
    services::setErrorLogPath(dir.filePath(QStringLiteral("Erreur.log")));
    SGridMsg::setDossierRapports(dir.path());
    platform::ExcelApplication::setOpener([out](const QString& path) {
        QFile::remove(out + QStringLiteral(".xlsx"));
        return QFile::copy(path, out + QStringLiteral(".xlsx")) && QFile::remove(path);
    });
    platform::Database db;
    if (!openBenchDatabase(db, QString::fromLocal8Bit(argv[1]))) return 1;
    services::Session::lngNoEmploye = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 2;

    {
        followup::frmProgressPopUp progres;
        followup::ctrlProgresTemps* c = progres.progres();
        c->setMin(0);
        c->setMax(100);
        c->SetTimer();
        progres.show();
        attendre(400);
        c->setValue(4);
        attendre(100);
        progres.grab().save(out + QStringLiteral("-progres.png"));
    }

    SGridMsg grid;
    grid.resize(1180, 720);
    grid.Remplir();
    grid.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes);

    const QString fichier = grid.NomFichierHTML(services::Session::lngNoEmploye);
    grid.ExportMsgHTML(fichier, SGridMsg::kToutesLesLignes);
    auto* v = new followup::frmBrowserMdi;
    v->StartingAddress = fichier;
    v->show();
    v->resize(1280, 960); // as maximised on a common screen (no window manager here)
    v->RapportCaption = QStringLiteral("Messages reçus");
    attendre(600);
    const bool ok = v->grab().save(out + QStringLiteral("-viewer.png"));
    // The report's printed pages, as the viewer's "Imprimer…" lays them out.
    for (int i = 0; i < 300 && v->Busy(); ++i)
        attendre(100);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out + QStringLiteral("-viewer.pdf"));
    followup::PagesRapport(*v->brwWebBrowser()->document(), &printer).imprimer(&printer);
    std::printf("caption: %s\n", qPrintable(v->windowTitle()));
    v->close();
    attendre(100);
    std::printf("report file deleted on close: %s\n", QFile::exists(fichier) ? "no" : "yes");
    services::Session::setConnection(nullptr);
    return ok ? 0 : 1;
}
