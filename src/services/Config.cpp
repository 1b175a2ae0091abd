#include "services/Config.h"

#include "platform/Windows1252.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace services {

namespace {

QString fromCp1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes)
        out += QChar(platform::windows1252::toUnicode(static_cast<uchar>(ch)));
    return out;
}

// The file was written by hand on Windows machines for years (ANSI) and may now be
// saved as UTF-8, or as "Unicode" (UTF-16 with its byte-order mark): follow the mark
// when there is one, else take UTF-8 when the bytes are valid UTF-8, else the ANSI page.
QString decodeConfigText(QByteArray bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        return utf16.decode(bytes.mid(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return fromCp1252(bytes);
}

// A control character (a stray NUL of a half-converted file, a pasted tab or escape)
// in a name the connection uses would only surface as a puzzling socket error.
bool hasControlCharacter(const QString& value) {
    for (const QChar c : value)
        if (c.category() == QChar::Other_Control) return true;
    return false;
}

QString inFile(const QString& path) {
    return QStringLiteral("Dans le fichier de configuration « %1 », ").arg(path);
}

} // namespace

platform::ConnectionSettings Config::connectionSettings() const {
    platform::ConnectionSettings s;
    s.host = serveur;
    s.port = port;
    s.database = bd;
    s.user = utilisateur;
    s.password = motDePasse;
    return s;
}

bool readConfig(const QString& path, Config* config, QString* error) {
    auto failWith = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return failWith(QStringLiteral("Le fichier de configuration « %1 » est introuvable.").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return failWith(QStringLiteral("Le fichier de configuration « %1 » ne peut pas être lu.").arg(path));
    const QString text = decodeConfigText(file.readAll());

    // Section name (lower case) -> key (lower case) -> value.
    QHash<QString, QHash<QString, QString>> sections;
    QString current;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed(); // also drops the CR of CR LF endings
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = line.mid(1, line.size() - 2).trimmed().toLower();
            sections[current]; // an empty section still counts as present
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || current.isEmpty()) continue;
        const QString key = line.left(eq).trimmed().toLower();
        // The first occurrence wins, as a reader scanning top-down would find it.
        if (!sections[current].contains(key)) sections[current].insert(key, line.mid(eq + 1).trimmed());
    }

    const QString mysql = QStringLiteral("mysql");
    if (!sections.contains(mysql)) {
        if (sections.contains(QStringLiteral("access")))
            return failWith(
                QStringLiteral("Le fichier de configuration « %1 » décrit une base de données "
                               "Access : seules les bases de données MySQL sont prises en charge.")
                    .arg(path));
        return failWith(
            QStringLiteral("Le fichier de configuration « %1 » ne contient pas de section [MySQL].")
                .arg(path));
    }
    const QHash<QString, QString>& values = sections[mysql];

    Config c;
    const struct {
        const char* key;
        QString label;
        QString* target;
    } required[] = {{"serveur", QStringLiteral("Serveur"), &c.serveur},
                    {"bd", QStringLiteral("BD"), &c.bd},
                    {"utilisateur", QStringLiteral("Utilisateur"), &c.utilisateur}};
    for (const auto& r : required) {
        const QString v = values.value(QLatin1String(r.key));
        if (v.isEmpty())
            return failWith(inFile(path) + QStringLiteral("la valeur « %1 » est absente.").arg(r.label));
        if (hasControlCharacter(v))
            return failWith(inFile(path) + QStringLiteral("la valeur « %1 » contient des caractères de "
                                                          "contrôle : retapez-la.")
                                               .arg(r.label));
        *r.target = v;
    }
    const QString portKey = QStringLiteral("port");
    if (values.contains(portKey)) {
        bool ok = false;
        const int port = values.value(portKey).toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return failWith(inFile(path) + QStringLiteral("la valeur « Port » est invalide."));
        c.port = port;
    }
    c.motDePasse = values.value(QStringLiteral("motdepasse"));
    c.pathMysqlExe = values.value(QStringLiteral("pathmysqlexe"));
    c.pathPosteCanada = values.value(QStringLiteral("pathpostecanada"));
    if (config) *config = c;
    if (error) error->clear();
    return true;
}

QString defaultConfigPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vevu.cfg");
}

} // namespace services
