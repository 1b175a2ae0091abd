#include "services/Langue.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace services {

bool installerFrancais() {
    const QLocale francais(QLocale::French, QLocale::Canada);
    QLocale::setDefault(francais);
    static QTranslator* qtbase = nullptr;
    if (qtbase) return true;
    auto* t = new QTranslator(QCoreApplication::instance());
    if (!t->load(francais, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    qtbase = t;
    return true;
}

bool frenchTranslationsLoad() {
    return QCoreApplication::translate("QPlatformTheme", "Cancel") == QStringLiteral("Annuler");
}

void installerPolices() {
    const QString comic = QStringLiteral("Comic Sans MS");
    if (!QFont::substitutes(comic).isEmpty()) return;
    // The desktop's own general face is a plain sans one; the named faces cover a platform
    // that reports none.
    QStringList faces = {
        QStringLiteral("Comic Neue"), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(),
        QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans")};
    faces.removeAll(comic);
    faces.removeAll(QString());
    faces.removeDuplicates();
    QFont::insertSubstitutions(comic, faces);
}

QString policeDesFenetres() {
    return QFontInfo(QFont(QStringLiteral("Comic Sans MS"))).family();
}

} // namespace services
