#include "platform/TexteLimite.h"

#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QValidator>

namespace platform {

qsizetype nombreCaracteres(const QString& text) {
    qsizetype n = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        if (text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate()) --n;
    return n;
}

QString couperTexte(const QString& text, int max) {
    if (nombreCaracteres(text) <= max) return text;
    // The unit after the first `max` characters, then back to where a character begins.
    qsizetype fin = 0;
    for (int n = 0; n < max && fin < text.size(); ++n)
        fin += text.at(fin).isHighSurrogate() && fin + 1 < text.size() && text.at(fin + 1).isLowSurrogate()
                   ? 2
                   : 1;
    QTextBoundaryFinder limites(QTextBoundaryFinder::Grapheme, text);
    limites.setPosition(fin);
    if (!limites.isAtBoundary()) limites.toPreviousBoundary();
    return text.left(std::max<qsizetype>(0, limites.position()));
}

namespace {

// Keeps a text box's text within its characters: what went in last (before the cursor)
// is cut first, as the box's own length limit does.
class LimiteCaracteres : public QValidator {
public:
    LimiteCaracteres(int max, QObject* parent) : QValidator(parent), m_max(max) {}
    State validate(QString& input, int& pos) const override {
        if (nombreCaracteres(input) <= m_max) return Acceptable;
        QString debut = input.left(pos);
        QString fin = input.mid(pos);
        const qsizetype place = m_max - nombreCaracteres(fin);
        if (place < 0) {
            debut.clear();
            fin = couperTexte(fin, m_max);
        } else {
            debut = couperTexte(debut, int(place));
        }
        input = debut + fin;
        pos = int(debut.size());
        return Acceptable;
    }

private:
    int m_max;
};

} // namespace

void limiterSaisie(QLineEdit* edit, int max) {
    // The box counts units: room for every character to take two.
    edit->setMaxLength(2 * max);
    delete edit->validator();
    edit->setValidator(new LimiteCaracteres(max, edit));
}

} // namespace platform
