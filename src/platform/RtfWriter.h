#pragma once

#include <QString>

class QTextDocument;

namespace platform {

// Writes message texts as RTF that Windows rich-text controls read:
//   {\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 Comic Sans MS;}...}
//   {\colortbl ;\red..\green..\blue..;}\viewkind4\uc1\pard\f0\fs20 text\par
//   }
// Characters beyond ASCII are written as \'hh where Windows-1252 has them and as
// \uN? otherwise (UTF-16 units, negative above 32767). A paragraph break is written
// as \par and nothing else is, so a text that does not end with a line break does not
// end with \par (see RtfReader for why).
class RtfWriter {
public:
    static QString defaultFontFamily(); // "Comic Sans MS", the messages' font
    static constexpr qreal kDefaultPointSize = 10;

    RtfWriter();
    RtfWriter(const QString& defaultFamily, qreal defaultPointSize);

    // Keeps bold, italic, underline, strike-through, font family, size and colour.
    // Characters without a family or size of their own take this writer's default font.
    QString write(const QTextDocument& document) const;

    // Every CR LF, lone CR and lone LF starts a new paragraph; the whole text is in
    // the default font.
    QString writePlain(const QString& text) const;

    // Appends text with RTF's escapes (\\ \{ \} \tab \line \'hh \uN?).
    static void appendEscaped(QString& out, QStringView text);

private:
    QString m_family;
    qreal m_pointSize;
};

} // namespace platform
