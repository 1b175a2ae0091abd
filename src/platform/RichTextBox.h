#pragma once

#include <QString>
#include <memory>

class QTextDocument;

namespace platform {

// The hidden rich-text box the message windows use to go between a stored message's
// RTF and its plain text. Nothing is parsed until asked for: setting RTF and reading
// the plain text back (what filling a grid row does) never builds a document.
class RichTextBox {
public:
    RichTextBox();
    ~RichTextBox();
    RichTextBox(const RichTextBox&) = delete;
    RichTextBox& operator=(const RichTextBox&) = delete;

    // A text that is not RTF is taken as plain text.
    void setTextRTF(const QString& rtf);
    // Exactly the RTF last set while nothing changed it; otherwise freshly written.
    QString textRTF() const;

    // Replaces the text; character formatting is dropped, the whole text takes the
    // default font. CR LF, lone CR and lone LF each end a line.
    void setText(const QString& plain);
    // Lines joined by CR LF.
    QString text() const;

    // The content as a document, built on first use; edits made to it are what
    // textRTF() and text() then give.
    QTextDocument* document();

private:
    enum class Holds { Rtf, Plain, Document };
    Holds m_holds = Holds::Plain;
    QString m_source; // the RTF or plain text set last, while m_holds is not Document
    std::unique_ptr<QTextDocument> m_document;
};

} // namespace platform
