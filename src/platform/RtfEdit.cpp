#include "platform/RtfEdit.h"

#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QKeyEvent>
#include <QTextCharFormat>

namespace platform {

RtfEdit::RtfEdit(QWidget* parent) : QTextEdit(parent) {
    document()->setDefaultFont(QFont(RtfWriter::defaultFontFamily(), int(RtfWriter::kDefaultPointSize)));
}

void RtfEdit::setTextRTF(const QString& rtf) {
    RtfReader::read(rtf, document());
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
