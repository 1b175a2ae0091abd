#pragma once

#include <QString>
#include <QStringView>

class QTextDocument;

namespace platform {

// Reads the stored message texts. They are RTF as Windows rich-text controls write
// it; a text that is not RTF at all is read as plain text rather than lost.
//
// Plain text has its lines joined by CR LF, as the Windows control's Text gives it:
// every \par and \line is a CR LF, including the \par that ends the text, so
// "{\rtf1 ab\par }" reads as "ab\r\n" and "{\rtf1 ab}" as "ab". The writer mirrors
// this (a CR LF becomes a \par, nothing else does), so plain text survives a round
// trip exactly.
class RtfReader {
public:
    // Starts, after any blanks, with "{\rtf".
    static bool isRtf(QStringView text);

    // The text without its formatting, lines joined by CR LF.
    static QString toPlainText(const QString& rtf);

    // Replaces the document's content with the text and its character formatting
    // (bold, italic, underline, strike-through, font family, size, colour). Not
    // undoable: loading is not an edit.
    static void read(const QString& rtf, QTextDocument* document);

    // Replaces the document's content with plain text in its default format.
    static void readPlain(const QString& text, QTextDocument* document);

    // A document's text with its paragraphs and line breaks as CR LF.
    static QString plainText(const QTextDocument& document);

    // Plain text with every line break (CR LF, lone CR, lone LF, Unicode line and
    // paragraph separators) made a CR LF, and without the other control characters,
    // which RTF cannot carry either.
    static QString normalizePlainText(const QString& text);
};

} // namespace platform
