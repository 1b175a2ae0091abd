#include "services/Langue.h"

#include <QCoreApplication>
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

} // namespace services
