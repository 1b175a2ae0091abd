#include "platform/RtfEdit.h"

#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCharFormat>

namespace platform {

RtfEdit::RtfEdit(QWidget* parent) : QTextEdit(parent) {
    document()->setDefaultFont(QFont(RtfWriter::defaultFontFamily(), int(RtfWriter::kDefaultPointSize)));
}

namespace {

// Longest run of characters with no blank to wrap at, in any paragraph.
qsizetype longestWord(const QTextDocument& document) {
    qsizetype longest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        qsizetype run = 0;
        for (const QChar c : text) {
            run = c.isSpace() ? 0 : run + 1;
            longest = qMax(longest, run);
        }
    }
    return longest;
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
