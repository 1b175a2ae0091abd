#include "services/Config.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace services;
using namespace Qt::Literals::StringLiterals;

namespace {

class ConfigFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(u"vevu.cfg"_s); }
    // Writes the file; a file that cannot be written is said here, and the read that follows
    // fails on its own.
    void write(const QByteArray& bytes) {
        QFile f(path());
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        else
            ADD_FAILURE() << "cannot write " << path().toStdString();
    }
    // Writes the file, reads it and expects success.
    Config read(const QByteArray& bytes) {
        write(bytes);
        Config c;
        QString error = u"stale"_s;
        EXPECT_TRUE(readConfig(path(), &c, &error)) << error.toStdString();
        EXPECT_TRUE(error.isEmpty());
        return c;
    }
    // Writes the file (when given), reads it and expects failure; returns the message.
    QString failure(const char* bytes = nullptr) {
        if (bytes) write(bytes);
        Config c;
        QString error;
        EXPECT_FALSE(readConfig(path(), &c, &error));
        EXPECT_TRUE(error.contains(path())) << error.toStdString();
        return error;
    }
};

// Keys in any case with spaces around, CR LF line ends; the [MySQL] section wins over
// [Access], and the first of two equal keys counts.
TEST_F(ConfigFile, ReadsEveryValueWithCrLfMixedCaseKeysAndSpaces) {
    const Config c = read(
        "; poste de Marie\r\n[Access]\r\nServeur=access\r\nSource=x.mdb\r\n[mysql]\r\n"
        "  serveur = 192.168.1.20 \r\nPORT=3307\r\nBd=orbel\r\nUTILISATEUR=orbelmsg\r\nMotDePasse=a=b c\r\n"
        "PathMysqlEXE=C:\\mysql\\bin\r\nPathPosteCanada=D:\\poste\r\nSERVEUR=deuxieme\r\nBD=autre\r\n");
    EXPECT_EQ(c.port, 3307);
    EXPECT_EQ((QStringList{c.serveur, c.bd, c.utilisateur, c.motDePasse, c.pathMysqlExe, c.pathPosteCanada}),
              u"192.168.1.20|orbel|orbelmsg|a=b c|C:\\mysql\\bin|D:\\poste"_s.split(u'|'));
}

// Workstations wrote the file in the ANSI page, in UTF-8 or in UTF-16 of either byte order.
TEST_F(ConfigFile, AccentsReadInEveryEncodingAWorkstationWrites) {
    const QString text = u"[MySQL]\r\nServeur=poste-é\r\nBD=b\r\nUtilisateur=u\r\nMotDePasse=Éléphant€\r\n"_s;
    QList<QByteArray> files{
        "[MySQL]\r\nServeur=poste-\xE9\r\nBD=b\r\nUtilisateur=u\r\nMotDePasse=\xC9l\xE9phant\x80\r\n"};
    for (const auto e : {QStringConverter::Utf8, QStringConverter::Utf16LE, QStringConverter::Utf16BE})
        files << QStringEncoder(e, QStringConverter::Flag::WriteBom).encode(text);
    for (const QByteArray& bytes : files) {
        const Config c = read(bytes);
        // An absent port is the server's usual one.
        EXPECT_EQ(std::tuple(c.serveur, c.motDePasse, c.port),
                  std::tuple(u"poste-é"_s, u"Éléphant€"_s, 3306));
    }
}

TEST_F(ConfigFile, EachFaultIsNamedAndNothingIsRead) {
    EXPECT_EQ(failure(), u"Le fichier de configuration « %1 » est introuvable."_s.arg(path()));
    const QString prefix = u"Dans le fichier de configuration « %1 », la valeur "_s.arg(path());
    const std::pair<QByteArray, QString> cases[] = {
        {QByteArray("[MySQL]\nServeur=serv\x01"
                    "eur\nBD=b\nUtilisateur=u\n"),
         prefix + u"« Serveur » contient des caractères de contrôle : retapez-la."_s},
        {"[MySQL]\nServeur=s\nBD=b\x1B\nUtilisateur=u\n", u"« BD » contient"_s},
        {"[Access]\r\nSource=C:\\orbel.mdb\r\n", u"seules les bases de données MySQL"_s},
        {"Serveur=s\nBD=b\nUtilisateur=u\n", u"[MySQL]"_s},
        {"[MySQL]\nServeur=s\nUtilisateur=u\n[Autre]\nBD=b\n", u"« BD » est absente"_s},
        {"[MySQL]\nServeur=\nBD=b\nUtilisateur=u\n", u"« Serveur » est absente"_s},
        {"[MySQL]\nServeur=s\nBD=b\n", u"« Utilisateur » est absente"_s},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_TRUE(failure(bytes.constData()).contains(expected)) << expected.toStdString();
    }
    // The port is a number from 1 to 65535.
    for (const char* bad : {"abc", "0", "65536", "-5", "33 06", ""}) {
        EXPECT_EQ(
            failure((QByteArray("[MySQL]\nServeur=s\nPort=") + bad + "\nBD=b\nUtilisateur=u\n").constData()),
            prefix + u"« Port » est invalide."_s)
            << bad;
    }
    EXPECT_EQ(read("[MySQL]\nServeur=s\nPort=65535\nBD=b\nUtilisateur=u\n").port, 65535);
}

} // namespace
