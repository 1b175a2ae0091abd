#include "platform/RtfWriter.h"

#include "platform/Windows1252.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <vector>

namespace platform {

namespace {

const char kHex[] = "0123456789abcdef";

void appendWord(QString& out, const char* word, int param) {
    out += QLatin1Char('\\');
    out += QLatin1String(word);
    out += QString::number(param);
}

QString header(const QStringList& fonts, const std::vector<QColor>& colours) {
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl");
    for (int i = 0; i < fonts.size(); ++i) {
        out += QStringLiteral("{\\f") + QString::number(i) + QStringLiteral("\\fnil\\fcharset0 ");
        RtfWriter::appendEscaped(out, fonts[i]);
        out += QStringLiteral(";}");
    }
    out += QStringLiteral("}\r\n");
    if (!colours.empty()) {
        out += QStringLiteral("{\\colortbl ;");
        for (const QColor& c : colours) {
            appendWord(out, "red", c.red());
            appendWord(out, "green", c.green());
            appendWord(out, "blue", c.blue());
            out += QLatin1Char(';');
        }
        out += QStringLiteral("}\r\n");
    }
    return out;
}

const QString kPar = QStringLiteral("\\par\r\n");

// The formatting of a run as the RTF writes it.
struct RunFormat {
    bool bold = false, italic = false, underline = false, strike = false;
    int font = 0, halfPoints = 20, colour = 0;
};

} // namespace

QString RtfWriter::defaultFontFamily() {
    return QStringLiteral("Comic Sans MS");
}

RtfWriter::RtfWriter() : RtfWriter(defaultFontFamily(), kDefaultPointSize) {}

RtfWriter::RtfWriter(const QString& defaultFamily, qreal defaultPointSize)
    : m_family(defaultFamily), m_pointSize(defaultPointSize > 0 ? defaultPointSize : kDefaultPointSize) {}

void RtfWriter::appendEscaped(QString& out, QStringView text) {
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}') out += QLatin1Char('\\');
            out += qc;
        } else if (c == u'\t') {
            out += QStringLiteral("\\tab ");
        } else if (c == 0x2028) {
            out += QStringLiteral("\\line ");
        } else if (c < 0x20) {
            // Control characters have no place in a message text.
        } else if (const int b = windows1252::fromUnicode(c); b >= 0) {
            out += QLatin1String("\\'");
            out += QLatin1Char(kHex[b >> 4]);
            out += QLatin1Char(kHex[b & 15]);
        } else {
            appendWord(out, "u", c > 0x7FFF ? int(c) - 0x10000 : int(c));
            out += QLatin1Char('?');
        }
    }
}

QString RtfWriter::writePlain(const QString& text) const {
    QString out = header({m_family}, {});
    out.reserve(out.size() + text.size() + text.size() / 4 + 64);
    out += QStringLiteral("\\viewkind4\\uc1\\pard\\f0\\fs") + QString::number(qRound(m_pointSize * 2)) +
           QLatin1Char(' ');
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        appendEscaped(out, QStringView(text).mid(start, i - start));
        out += kPar;
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    appendEscaped(out, QStringView(text).mid(start));
    out += kPar; // the closing paragraph mark every rich-text control writes
    out += QLatin1Char('}');
    return out;
}

QString RtfWriter::write(const QTextDocument& document) const {
    const QString& docFamily = m_family;
    const qreal docSize = m_pointSize;

    QStringList fonts{docFamily};
    std::vector<QColor> colours;
    auto familyOf = [&](const QTextCharFormat& f) {
        const QStringList families = f.fontFamilies().toStringList();
        return families.isEmpty() || families.first().isEmpty() ? docFamily : families.first();
    };
    auto runFormat = [&](const QTextCharFormat& f) {
        RunFormat r;
        r.bold = f.fontWeight() >= QFont::DemiBold;
        r.italic = f.fontItalic();
        r.underline = f.fontUnderline();
        r.strike = f.fontStrikeOut();
        const QString family = familyOf(f);
        r.font = int(fonts.indexOf(family));
        if (r.font < 0) {
            r.font = int(fonts.size());
            fonts << family;
        }
        const qreal size = f.fontPointSize() > 0 ? f.fontPointSize() : docSize;
        r.halfPoints = qBound(2, qRound(size * 2), 3276);
        if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
            const QColor c = f.foreground().color().toRgb();
            const QColor opaque(c.red(), c.green(), c.blue());
            auto it = std::find(colours.begin(), colours.end(), opaque);
            if (it == colours.end()) it = colours.insert(colours.end(), opaque);
            r.colour = int(it - colours.begin()) + 1;
        }
        return r;
    };

    QString body;
    body.reserve(document.characterCount() * 2 + 64);
    RunFormat cur;
    cur.halfPoints = qBound(2, qRound(docSize * 2), 3276);
    body +=
        QStringLiteral("\\viewkind4\\uc1\\pard\\f0\\fs") + QString::number(cur.halfPoints) + QLatin1Char(' ');
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) body += kPar;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const RunFormat r = runFormat(fragment.charFormat());
            const qsizetype before = body.size();
            if (r.bold != cur.bold) body += r.bold ? QStringLiteral("\\b") : QStringLiteral("\\b0");
            if (r.italic != cur.italic) body += r.italic ? QStringLiteral("\\i") : QStringLiteral("\\i0");
            if (r.underline != cur.underline)
                body += r.underline ? QStringLiteral("\\ul") : QStringLiteral("\\ulnone");
            if (r.strike != cur.strike)
                body += r.strike ? QStringLiteral("\\strike") : QStringLiteral("\\strike0");
            if (r.font != cur.font) appendWord(body, "f", r.font);
            if (r.halfPoints != cur.halfPoints) appendWord(body, "fs", r.halfPoints);
            if (r.colour != cur.colour) appendWord(body, "cf", r.colour);
            if (body.size() != before) body += QLatin1Char(' '); // ends the control words
            cur = r;
            appendEscaped(body, fragment.text());
        }
    }
    body += kPar; // the closing paragraph mark every rich-text control writes
    body += QLatin1Char('}');
    return header(fonts, colours) + body;
}

} // namespace platform
