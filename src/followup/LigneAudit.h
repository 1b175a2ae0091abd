#pragma once

#include "platform/Database.h"

#include <QString>
#include <functional>

class QDateTime;

// Writes to a message that other workstations may be changing at the same moment.
// Each change reads the stored text and writes it back, so it runs as one transaction
// that locks the message row first: a second workstation's change waits for the first
// one and then reads the text with the first one's line in it.
namespace followup {

using platform::enTransaction;

// Appends the audit line of state `idEtat` chosen by employee `noEmploye` at `now` to
// the stored text of the message; to be run inside a transaction. Returns the line
// appended (after its line feed), empty for the initial state, which has none.
// `sql` holds the statement being run when a DbError leaves.
QString ajouterLigneAudit(platform::Database& db, int idEtat, qint32 idMessage, qint32 noEmploye,
                          const QDateTime& now, QString& sql);

// Gives every recipient row of the message state `idEtat` and appends its audit line,
// as one transaction, so that the last line always names the state the rows keep.
// Returns the line appended.
QString changerEtatMessage(platform::Database& db, int idEtat, qint32 idMessage, qint32 noEmploye,
                           const QDateTime& now, QString& sql);

} // namespace followup
