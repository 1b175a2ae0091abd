// Shows the state picker open over a row, the multi-recipient state dialog, and a row
// after a state change, and saves each screen as a PNG to check their look by eye.
//   render_etat DATABASE OUTDIR
// The server comes from DB_HOST/DB_PORT/DB_USER/DB_PASSWORD (scripts/db.sh env). Run it
// under Xvfb so that the picker's drop-down list, a window of its own, is on the screen.
// It changes a state in the database it is given: use a copy of the demo office.
#include "BenchDatabase.h"
#include "followup/SGridMsg.h"
#include "followup/frmChangeEtatMsg.h"
#include "followup/frmListeMsg.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

namespace {

void attendre() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(30);
    }
}

bool capturer(const QString& path, QWidget* w = nullptr) {
    attendre();
    QPixmap p = w ? w->grab() : QApplication::primaryScreen()->grabWindow(0);
    if (!w) p = p.copy(0, 0, 1180, 820);
    const bool ok = p.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// The first row of the grid whose message has the given number of recipients (at least).
int ligneAvec(SGridMsg* g, platform::Database& db, bool plusieurs) {
    for (int r = 1; r <= g->SGrid()->Rows(); ++r) {
        if (g->SGrid()->RowIsGroup(r)) continue;
        const int n = db.open(QStringLiteral("SELECT COUNT(*) FROM tblmessageemploye WHERE IdMessage = %1")
                                  .arg(g->SGrid()->CellItemData(r, SGridMsg::colNo)))
                          .field(0)
                          .toInt();
        if ((n >= 3) == plusieurs && r >= 4) return r;
    }
    return 0;
}

void ouvrirPicker(SGridMsg* g, int row) {
    g->SGrid()->setSelectedRow(row);
    g->SGrid()->setSelectedCol(SGridMsg::colEtat);
    g->SGrid()->EnsureVisible(row, 1);
    bool cancel = false;
    emit g->SGrid()->RequestEdit(row, SGridMsg::colEtat, 0, cancel);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DATABASE OUTDIR\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir logDir;
    services::setErrorLogPath(logDir.filePath(QStringLiteral("Erreur.log")));
    platform::Database db;
    if (!openBenchDatabase(db, QString::fromLocal8Bit(argv[1]))) return 1;
    services::Session::lngNoEmploye = 2;
    services::Session::strNomEmploye = QStringLiteral("Julie Tremblay");

    followup::frmListeMsg w;
    w.move(0, 0);
    w.resize(1180, 820);
    w.show();
    w.Rafraichir();
    SGridMsg* g = w.SGridMsgRecu();
    bool ok = true;

    // 1. The state picker open over a row.
    const int r = ligneAvec(g, db, false);
    ouvrirPicker(g, r);
    g->ImgCbo()->showPopup();
    ok &= capturer(out.filePath(QStringLiteral("etat-picker.png")));
    g->ImgCbo()->hidePopup();

    // 2. The row after "Terminé": audit line appended, state image, read.
    const int fin = g->ImgCbo()->findText(QStringLiteral("Terminé"));
    g->ImgCbo()->setCurrentIndex(fin);
    emit g->ImgCbo()->activated(fin);
    g->SGrid()->setSelectedRow(r);
    ok &= capturer(out.filePath(QStringLiteral("etat-apres.png")), &w);

    // 3. The dialog over the list, for a message with several recipients.
    const int rm = ligneAvec(g, db, true);
    followup::frmChangeEtatMsg d(&w);
    d.txtIdMsg()->setText(QString::number(g->SGrid()->CellItemData(rm, SGridMsg::colNo)));
    d.txtEtat()->setText(QStringLiteral("4"));
    d.Mere = &w;
    d.show();
    d.move(420, 260);
    ok &= capturer(out.filePath(QStringLiteral("etat-dialogue.png")));
    ok &= capturer(out.filePath(QStringLiteral("etat-dialogue-seul.png")), &d);
    d.reject();

    services::Session::setConnection(nullptr);
    return ok ? 0 : 1;
}
