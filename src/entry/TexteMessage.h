#pragma once

#include <QString>

class QWidget;

namespace platform {
class Database;
class RtfEdit;
} // namespace platform

// Saving the text of a message that other workstations may have changed since it was
// opened. The message form and the message list's in-place editor both save through here.
namespace entry {

enum class TexteEnregistre {
    Inchange,   // the text was left as it was: nothing of it written
    Ecrit,      // the editor's text is stored, followed by the lines appended meanwhile
    AutreGarde, // the user kept the other workstation's text, which the editor now shows
    Disparu,    // the message was deleted elsewhere: said, and the editor keeps its text
};

// Stores the text of `editeur` as the text of message `idMessage`, which was `rtfOuvert`
// when the editor opened it. A text left as it was is not written: the rewrite would only
// cost its formatting and could undo another workstation's change; the message is still
// looked up, so that one deleted meanwhile is reported (Disparu) and a newer stored text
// shows in the editor. Lines another workstation appended meanwhile (the audit lines of
// its state changes) are kept after the user's text and shown in the editor; any other
// change asks the user which text to keep.
// `sqlAussi`, when not empty, is run in the same transaction (the user's other changes).
// On return `rtfOuvert` is the stored text. Throws DbError, with `sql` the statement being
// run, leaving nothing written.
TexteEnregistre enregistrerTexteMessage(platform::Database& db, QWidget* parent, qint32 idMessage,
                                        platform::RtfEdit* editeur, QString& rtfOuvert, QString& sql,
                                        const QString& sqlAussi = QString());

// Tells the user, in a message box over `parent`, that a text is longer than the server of
// `db` takes (DbError::kTropLong): the text is his to shorten, nothing was written.
void signalerTexteTropLong(QWidget* parent, const platform::Database& db, const QString& titre);

} // namespace entry
