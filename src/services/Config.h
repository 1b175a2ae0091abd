#pragma once

#include "platform/Database.h"

#include <QString>

// The connection settings file vevu.cfg in the program folder:
//   [MySQL]
//   Serveur=...  Port=...  BD=...  Utilisateur=...  MotDePasse=...
//   PathMysqlEXE=...  PathPosteCanada=...   (optional)
// Keys are read without regard to case; the file may be UTF-8, Windows-1252 or UTF-16
// with a byte-order mark.
namespace services {

struct Config {
    QString serveur;
    int port = 3306;
    QString bd;
    QString utilisateur;
    QString motDePasse;
    QString pathMysqlExe;
    QString pathPosteCanada;

    platform::ConnectionSettings connectionSettings() const;
};

// Reads the file; on a missing file, a missing section or a missing or invalid
// value, returns false and puts a French message for the user in *error.
bool readConfig(const QString& path, Config* config, QString* error);
// vevu.cfg beside the executable.
QString defaultConfigPath();

} // namespace services
