#pragma once

#include <QString>

class QLineEdit;

// Texts held to a column's length. Lengths count characters, as the database's columns
// do (an emoji is one, though a QString holds it in two units); a cut never ends inside a
// character (an emoji's two halves, a letter and its accent), which the server would
// store as "?".
namespace platform {

// The number of characters of `text`, as a column counts them.
qsizetype nombreCaracteres(const QString& text);

// The longest start of `text` of at most `max` characters that ends between two characters.
QString couperTexte(const QString& text, int max);

// Holds a text box to `max` characters: what is typed or pasted past it is dropped, whole
// characters at a time.
void limiterSaisie(QLineEdit* edit, int max);

} // namespace platform
