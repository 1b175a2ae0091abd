#pragma once

#include <QTextEdit>

namespace platform {

// The in-place editor of a message text: loads and gives back RTF, keeps the usual
// formatting keys of a Windows rich-text box (Ctrl+B, Ctrl+I, Ctrl+U) and reports
// every key as its character code so that its host can act on Escape.
class RtfEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit RtfEdit(QWidget* parent = nullptr);

    // A text holding a word longer than this wraps anywhere rather than at word ends.
    static constexpr qsizetype kLongestWrappedWord = 2000;

    // Replaces the text (not undoable) and puts the caret at the start.
    void setTextRTF(const QString& rtf);
    QString textRTF() const;
    // Plain text, lines joined by CR LF.
    QString text() const;

    // Free text the host keeps with the editor (the row being edited).
    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

signals:
    // The character code of a key typed (27 for Escape, 13 for Enter, 8 for
    // Backspace, 2 for Ctrl+B...). Escape goes no further than this signal.
    void keyPress(int keyAscii);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Pasted or dropped text holding a word too long to wrap at word ends switches the editor
    // to wrapping anywhere before the text goes in.
    void insertFromMimeData(const QMimeData* source) override;

private:
    void toggle(QTextFormat::Property property);

    QString m_tag;
};

} // namespace platform
