#include "entry/frmSuiviAppel.h"
#include "followup/frmListeMsg.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Pictures.h"
#include "platform/RichTextBox.h"
#include "presence/frmPresence.h"
#include "services/Config.h"
#include "services/Langue.h"
#include "services/Session.h"
#include "shell/EmployeeChooser.h"
#include "shell/frmUpdate.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

const QString kTitle = QStringLiteral("Corvel");

// Each check of the self-test returns why it failed, empty when it passed.
using Check = std::pair<const char*, std::function<QString()>>;

QString checkPictures() {
    for (const platform::ImageList& list : {platform::messageImages(), platform::eventImages()}) {
        if (list.count() == 0) return QStringLiteral("aucune image");
        for (int i = 0; i < list.count(); ++i) {
            const QImage image = list.pixmap(i).toImage();
            if (image.isNull()) return QStringLiteral("image %1 absente").arg(i);
            bool drawn = false;
            for (int y = 0; y < image.height() && !drawn; ++y)
                for (int x = 0; x < image.width() && !drawn; ++x)
                    drawn = qAlpha(image.pixel(x, y)) != 0;
            if (!drawn) return QStringLiteral("image %1 vide").arg(i);
        }
    }
    return QString();
}

QString checkRtfRoundTrip() {
    const QString text = QStringLiteral("Élève « ça » {C:\\dossier} 50 € 日本\r\nDeuxième ligne");
    platform::RichTextBox out;
    out.setText(text);
    platform::RichTextBox in;
    in.setTextRTF(out.textRTF());
    return in.text() == text ? QString() : QStringLiteral("relu « %1 »").arg(in.text());
}

// Checks what a broken build or installation would break, then opens every main object
// without showing anything and closes it (offscreen, with or without a database).
// Returns the number of failed checks.
int selfTest(const services::Config& config, bool haveConfig, bool configGiven, const QString& configError) {
    const QList<Check> checks = {
        {"images", checkPictures},
        {"RTF", checkRtfRoundTrip},
        {"configuration", [&] { return haveConfig || !configGiven ? QString() : configError; }},
        // A missing translations package leaves Qt's own buttons in English.
        {"traductions",
         [] { return services::frenchTranslationsLoad() ? QString() : QStringLiteral("qtbase_fr absent"); }},
        // A script face in place of the windows' font makes the lists hard to read.
        {"police",
         [] {
             const QFontInfo info(QFont(QStringLiteral("Comic Sans MS")));
             return info.italic() ? QStringLiteral("« %1 » penchée").arg(info.family()) : QString();
         }},
    };
    printf("police des fenêtres : %s\n", qUtf8Printable(services::policeDesFenetres()));
    int failures = 0;
    for (const auto& [name, check] : checks) {
        const QString why = check();
        if (why.isEmpty()) continue;
        ++failures;
        fprintf(stderr, "self-test %s: %s\n", name, qUtf8Printable(why));
    }

    auto db = std::make_unique<platform::Database>();
    if (haveConfig) {
        try {
            db->open(config.connectionSettings());
        } catch (const platform::DbError&) {
            db.reset();
        }
    } else {
        db.reset();
    }
    {
        shell::frmUpdate main(std::move(db), config);
        main.VerifMessages(false);
        shell::frmUpdate::UnloadAllForms();
    }
    return failures;
}

// Developer aid for looking at the program under Xvfb: CORVEL_SCREENSHOT=file.png
// saves the whole screen after CORVEL_SCREENSHOT_AFTER ms (default 3000), then quits;
// CORVEL_OPEN=consultation|presences opens that window first (the board on the week of
// CORVEL_OPEN_DATE when it is given).
void armScreenshot(shell::frmUpdate& main) {
    const QString open = qEnvironmentVariable("CORVEL_OPEN");
    if (open == QStringLiteral("consultation"))
        QTimer::singleShot(300, &main, [&main] { main.mnuConsult_Click(); });
    if (open == QStringLiteral("presences"))
        QTimer::singleShot(300, &main, [&main] {
            main.mnuPresences_Click();
            // CORVEL_OPEN_DATE=yyyy-MM-dd shows the week of that day instead of this one.
            const QDate d = QDate::fromString(qEnvironmentVariable("CORVEL_OPEN_DATE"), Qt::ISODate);
            if (d.isValid()) presence::frmPresence::instance()->SetDate(d);
        });
    const QString file = qEnvironmentVariable("CORVEL_SCREENSHOT");
    if (file.isEmpty()) return;
    const int after = qEnvironmentVariableIsEmpty("CORVEL_SCREENSHOT_AFTER")
                          ? 3000
                          : qEnvironmentVariableIntValue("CORVEL_SCREENSHOT_AFTER");
    QTimer::singleShot(after, &main, [file] {
        if (QScreen* screen = QGuiApplication::primaryScreen()) screen->grabWindow(0).save(file);
        QApplication::quit();
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    services::installerFrancais();
    services::installerPolices();
    QApplication::setApplicationName(QStringLiteral("Corvel"));
    QApplication::setOrganizationName(QStringLiteral("Corvel"));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Messages téléphoniques et présences du bureau"));
    parser.addHelpOption();
    QCommandLineOption employe(QStringLiteral("employe"), QStringLiteral("Ouvre la session de l'employé N."),
                               QStringLiteral("N"));
    QCommandLineOption configPath(QStringLiteral("config"), QStringLiteral("Fichier de configuration."),
                                  QStringLiteral("fichier"), services::defaultConfigPath());
    QCommandLineOption selfTestOpt(QStringLiteral("self-test"),
                                   QStringLiteral("Ouvre et ferme le programme."));
    parser.addOptions({employe, configPath, selfTestOpt});
    parser.process(app);

    services::Config config;
    QString error;
    const bool haveConfig = services::readConfig(parser.value(configPath), &config, &error);
    if (parser.isSet(selfTestOpt))
        return selfTest(config, haveConfig, parser.isSet(configPath), error) == 0 ? 0 : 1;
    if (!haveConfig) {
        platform::messageBox(nullptr, error, kTitle, platform::MsgIcon::Critical);
        return 2;
    }

    auto db = std::make_unique<platform::Database>();
    try {
        db->open(config.connectionSettings());
    } catch (const platform::DbError& e) {
        platform::messageBox(
            nullptr,
            QStringLiteral("Le serveur de base de données n'a pas été trouvé, veuillez spécifier "
                           "les paramètres de connection") +
                QStringLiteral("\n\n") + e.text(),
            kTitle, platform::MsgIcon::Critical);
        return 3;
    }

    // Who is at this workstation: given on the command line, else chosen from the list.
    QList<QPair<qint32, QString>> employees;
    try {
        employees = shell::employeesInOrder(*db);
    } catch (const platform::DbError& e) {
        platform::messageBox(nullptr, e.text(), kTitle, platform::MsgIcon::Critical);
        return 3;
    }
    qint32 no = 0;
    QString nom;
    if (parser.isSet(employe)) {
        if (const int status = shell::employeeFromCommandLine(*db, parser.value(employe), &no, &nom))
            return status;
    } else {
        shell::EmployeeChooser chooser(employees);
        if (chooser.exec() != QDialog::Accepted || chooser.chosenEmployee() == 0) return 0;
        no = chooser.chosenEmployee();
        nom = chooser.chosenName();
    }
    services::Session::lngNoEmploye = no;
    services::Session::strNomEmploye = nom;

    shell::frmUpdate mainWindow(std::move(db), config);
    mainWindow.hooks.openPresence = [] { presence::frmPresence::ouvrir(); };
    mainWindow.hooks.openMessageList = followup::ouvrirListeMsg;
    mainWindow.hooks.probeMessageList = followup::sonderListeMsg;
    entry::frmSuiviAppel::ouvrirListeMsg = followup::ouvrirListeMsg;
    if (mainWindow.usesFallbackWindow()) mainWindow.show();
    armScreenshot(mainWindow);
    return app.exec();
}
