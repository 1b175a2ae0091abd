#pragma once

#include <QString>
#include <exception>

namespace platform {
class DbError;
}

// The program's error logger. Every procedure that touches the database, a file or
// another window catches its own errors and hands them here with its own names,
// then leaves; nothing is retried.
namespace services {

// Appends a ten-line block to Erreur.log in the program folder, stores a tblerreur
// row while the shared connection is open, and when the error is a lost or timed-out
// connection switches the program to its inactive state (Session::onConnectionLost).
// Never throws: a failure while logging is itself swallowed.
void DoErreur(const QString& number, const QString& description, const QString& source, const QString& form,
              const QString& procedure, const QString& sql);

// Same, from a caught database error (its number, text and SQL text).
void DoErreur(const platform::DbError& error, const QString& form, const QString& procedure);
// Same, from any other caught exception.
void DoErreur(const std::exception& error, const QString& form, const QString& procedure,
              const QString& sql = QString());

// Where Erreur.log is written: the program folder unless a test moved it.
QString errorLogPath();
void setErrorLogPath(const QString& path);

} // namespace services
