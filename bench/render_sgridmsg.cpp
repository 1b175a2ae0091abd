// Renders a filled message grid to a PNG so that its look can be checked by eye.
//   render_sgridmsg DATABASE OUT.png [employee]
// The server comes from DB_HOST/DB_PORT/DB_USER/DB_PASSWORD (scripts/db.sh env).
#include "BenchDatabase.h"
#include "followup/SGridMsg.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DATABASE OUT.png [employee]\n", argv[0]);
        return 2;
    }
    QTemporaryDir logDir;
    services::setErrorLogPath(logDir.filePath(QStringLiteral("Erreur.log")));
    platform::Database db;
    if (!openBenchDatabase(db, QString::fromLocal8Bit(argv[1]))) return 1;
    services::Session::lngNoEmploye = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 2;

    SGridMsg grid;
    grid.setChoixEmpl(true);
    grid.setBooRecu(true);
    grid.resize(1180, 720);
    grid.show();
    grid.Remplir();
    // Scrolled to the newest messages, where the unread ones are.
    const int last = grid.SGrid()->Rows();
    if (last >= 3) {
        grid.SGrid()->setSelectedRow(last - 2);
        grid.SGrid()->EnsureVisible(last, 1);
    }
    app.processEvents();
    const bool ok = grid.grab().save(QString::fromLocal8Bit(argv[2]));
    services::Session::setConnection(nullptr);
    return ok ? 0 : 1;
}
