#include "platform/RtfReader.h"

#include "platform/RtfParser.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace platform {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A rich-text control always ends its text with one paragraph mark that belongs to
// no line: "abc" is stored as "abc\par }" and reads back as "abc". So a paragraph
// mark is held until text follows it, and the last one held at the end is dropped.
class PlainSink : public RtfParser::Sink {
public:
    explicit PlainSink(qsizetype capacity) { out.reserve(capacity); }
    void text(const QString& run, const RtfParser::CharFormat&) override {
        for (; pending > 0; --pending)
            out += kCrLf;
        if (!run.contains(QChar::LineSeparator)) {
            out += run;
            return;
        }
        for (QChar c : run) {
            if (c == QChar::LineSeparator)
                out += kCrLf;
            else
                out += c;
        }
    }
    void paragraph() override { ++pending; }
    void finish() {
        for (; pending > 1; --pending)
            out += kCrLf;
        pending = 0;
    }
    QString out;
    int pending = 0;
};

class DocumentSink : public RtfParser::Sink {
public:
    explicit DocumentSink(QTextDocument* document) : m_cursor(document) {}
    void setParser(const RtfParser* parser) { m_parser = parser; }

    void text(const QString& run, const RtfParser::CharFormat& format) override {
        for (; m_pending > 0; --m_pending)
            m_cursor.insertBlock(QTextBlockFormat(), m_charFormat);
        if (!m_hasFormat || format != m_format) {
            m_format = format;
            m_hasFormat = true;
            m_charFormat = toQt(format);
        }
        m_cursor.insertText(run, m_charFormat);
    }
    void paragraph() override { ++m_pending; }
    // The document's final paragraph mark is not a line of its own (see PlainSink).
    void finish() {
        for (; m_pending > 1; --m_pending)
            m_cursor.insertBlock(QTextBlockFormat(), m_charFormat);
        m_pending = 0;
    }

    QTextCursor& cursor() { return m_cursor; }

private:
    QTextCharFormat toQt(const RtfParser::CharFormat& f) const {
        QTextCharFormat q;
        q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
        q.setFontItalic(f.italic);
        q.setFontUnderline(f.underline);
        q.setFontStrikeOut(f.strike);
        const QString family = m_parser->fontName(f.font);
        if (!family.isEmpty()) q.setFontFamilies(QStringList{family});
        q.setFontPointSize(f.halfPoints / 2.0);
        const QColor colour = m_parser->colour(f.colour);
        if (colour.isValid()) q.setForeground(colour);
        return q;
    }

    QTextCursor m_cursor;
    const RtfParser* m_parser = nullptr;
    RtfParser::CharFormat m_format;
    bool m_hasFormat = false;
    QTextCharFormat m_charFormat;
    int m_pending = 0;
};

} // namespace

bool RtfReader::isRtf(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return text.mid(i).startsWith(u"{\\rtf");
}

QString RtfReader::normalizePlainText(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n') ++i;
            out += kCrLf;
        } else if (c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            out += kCrLf;
        } else if (c.unicode() >= 0x20 || c == u'\t') {
            out += c;
        }
    }
    return out;
}

QString RtfReader::toPlainText(const QString& rtf) {
    if (!isRtf(rtf)) return normalizePlainText(rtf);
    PlainSink sink(rtf.size() / 2);
    RtfParser parser(sink);
    parser.parse(rtf);
    sink.finish();
    return sink.out;
}

namespace {
// Loading is not an edit: nothing of it goes on the undo stack.
template <typename Fill> void load(QTextDocument* document, Fill fill) {
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    {
        DocumentSink sink(document);
        sink.cursor().beginEditBlock();
        fill(sink);
        sink.cursor().endEditBlock();
    }
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
}
} // namespace

void RtfReader::read(const QString& rtf, QTextDocument* document) {
    if (!isRtf(rtf)) return readPlain(rtf, document);
    load(document, [&](DocumentSink& sink) {
        RtfParser parser(sink);
        sink.setParser(&parser);
        parser.parse(rtf);
        sink.finish();
    });
}

void RtfReader::readPlain(const QString& text, QTextDocument* document) {
    load(document, [&](DocumentSink& sink) {
        QString lines = normalizePlainText(text);
        lines.replace(kCrLf, QStringLiteral("\n"));
        sink.cursor().insertText(lines);
    });
}

QString RtfReader::plainText(const QTextDocument& document) {
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) out += kCrLf;
        QString text = block.text();
        text.replace(QChar::LineSeparator, kCrLf);
        out += text;
    }
    return out;
}

} // namespace platform
