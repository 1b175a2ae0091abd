#include "platform/RtfEdit.h"

#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocumentFragment>
#include <algorithm>

namespace platform {

RtfEdit::RtfEdit(QWidget* parent) : QTextEdit(parent) {
    document()->setDefaultFont(QFont(RtfWriter::defaultFontFamily(), int(RtfWriter::kDefaultPointSize)));
}

namespace {

// A blank a line may break at: the no-break spaces hold the words on either side together.
bool blanc(QChar c) {
    return c.isSpace() && c != QChar::Nbsp && c.unicode() != 0x2007 && c.unicode() != 0x202F;
}

// Longest run of characters with no blank to wrap at.
qsizetype longestWord(const QString& text) {
    qsizetype longest = 0, run = 0;
    for (const QChar c : text) {
        run = blanc(c) ? 0 : run + 1;
        longest = qMax(longest, run);
    }
    return longest;
}

// The same, in any paragraph of a document.
qsizetype longestWord(const QTextDocument& document) {
    qsizetype longest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        longest = qMax(longest, longestWord(block.text()));
    return longest;
}

// Characters with no blank just before `position` in `text`, and just from it.
qsizetype motAvant(const QString& text, qsizetype position) {
    qsizetype debut = position;
    while (debut > 0 && !blanc(text.at(debut - 1)))
        --debut;
    return position - debut;
}

qsizetype motApres(const QString& text, qsizetype position) {
    qsizetype fin = position;
    while (fin < text.size() && !blanc(text.at(fin)))
        ++fin;
    return fin - position;
}

} // namespace

void RtfEdit::setTextRTF(const QString& rtf) {
    // Wrapping at word ends looks, for each line of a word longer than the line, all
    // the way to the word's end: a text of one long word (a pasted key, a base64 blob)
    // takes time growing with the square of its length to lay out. Such a text wraps
    // anywhere instead, which is what happens to a word longer than a line anyway.
    // The document is laid out as it loads, so it loads under the cheap rule.
    setWordWrapMode(QTextOption::WrapAnywhere);
    RtfReader::read(rtf, document());
    setWordWrapMode(longestWord(*document()) > kLongestWrappedWord
                        ? QTextOption::WrapAnywhere
                        : QTextOption::WrapAtWordBoundaryOrAnywhere);
    moveCursor(QTextCursor::Start);
}

void RtfEdit::insertFromMimeData(const QMimeData* source) {
    // Laid out as it goes in: wrapped at word ends, a pasted line of a million characters
    // without a blank would hold the window for minutes (see setTextRTF). The word the
    // text makes with what stands on either side of the cursor counts, so that pasting
    // pieces one after the other does not build the long word unnoticed.
    if (source && wordWrapMode() != QTextOption::WrapAnywhere) {
        QString colle = source->text();
        if (colle.isEmpty() && source->hasHtml() && acceptRichText())
            colle = QTextDocumentFragment::fromHtml(source->html()).toPlainText();
        const QTextCursor c = textCursor();
        const QTextBlock debut = document()->findBlock(c.selectionStart());
        const QTextBlock fin = document()->findBlock(c.selectionEnd());
        const qsizetype avant = motAvant(debut.text(), c.selectionStart() - debut.position());
        const qsizetype apres = motApres(fin.text(), c.selectionEnd() - fin.position());
        const qsizetype tete = motApres(colle, 0);
        const qsizetype mot =
            tete == colle.size()
                ? avant + tete + apres
                : std::max({avant + tete, longestWord(colle), motAvant(colle, colle.size()) + apres});
        if (mot > kLongestWrappedWord) setWordWrapMode(QTextOption::WrapAnywhere);
    }
    QTextEdit::insertFromMimeData(source);
}

QString RtfEdit::textRTF() const {
    return RtfWriter().write(*document());
}

QString RtfEdit::text() const {
    return RtfReader::plainText(*document());
}

void RtfEdit::keyPressEvent(QKeyEvent* event) {
    int keyAscii = 0;
    switch (event->key()) {
    case Qt::Key_Escape:
        keyAscii = 27;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        keyAscii = 13;
        break;
    case Qt::Key_Backspace:
        keyAscii = 8;
        break;
    case Qt::Key_Tab:
        keyAscii = 9;
        break;
    default:
        if (event->modifiers() & Qt::ControlModifier && event->key() >= Qt::Key_A &&
            event->key() <= Qt::Key_Z)
            keyAscii = event->key() - Qt::Key_A + 1;
        else if (!event->text().isEmpty())
            keyAscii = event->text().at(0).unicode();
    }
    if (keyAscii != 0) emit keyPress(keyAscii);

    if (event->key() == Qt::Key_Escape) {
        // Taken here: passed on, it would close a dialog the editor sits in.
        event->accept();
        return;
    }
    if (event->modifiers() == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_B:
            toggle(QTextFormat::FontWeight);
            return;
        case Qt::Key_I:
            toggle(QTextFormat::FontItalic);
            return;
        case Qt::Key_U:
            toggle(QTextFormat::TextUnderlineStyle);
            return;
        default:
            break;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void RtfEdit::toggle(QTextFormat::Property property) {
    const QTextCharFormat current = currentCharFormat();
    QTextCharFormat change;
    switch (property) {
    case QTextFormat::FontWeight:
        change.setFontWeight(current.fontWeight() >= QFont::DemiBold ? QFont::Normal : QFont::Bold);
        break;
    case QTextFormat::FontItalic:
        change.setFontItalic(!current.fontItalic());
        break;
    default:
        change.setFontUnderline(!current.fontUnderline());
        break;
    }
    mergeCurrentCharFormat(change);
}

} // namespace platform
