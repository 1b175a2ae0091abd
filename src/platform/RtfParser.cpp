#include "platform/RtfParser.h"

#include "platform/RtfKeywords.h"
#include "platform/Windows1252.h"

#include <QStringDecoder>
#include <limits>
#include <string_view>

namespace platform {

namespace {

using Word = RtfWord;

// Deeper nesting than any real message; groups past it share their parent's state.
constexpr size_t kMaxDepth = 512;
constexpr int kMaxWordLength = 32;
constexpr int kMaxParamDigits = 10;

bool isLetter(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char16_t c) {
    return c >= '0' && c <= '9';
}
// Characters that stand for themselves in message text.
bool isPlainText(char16_t c) {
    return c >= 0x20 && c != u'\\' && c != u'{' && c != u'}' && c != 0x2028 && c != 0x2029;
}
int hexValue(char16_t c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

RtfParser::RtfParser(Sink& sink) : m_sink(sink) {}
RtfParser::~RtfParser() = default;

QString RtfParser::fontName(int index) const {
    const auto it = m_fonts.find(index);
    return it != m_fonts.end() ? it->second.name : QString();
}

QColor RtfParser::colour(int index) const {
    if (index <= 0 || size_t(index) >= m_colours.size()) return {};
    return m_colours[size_t(index)];
}

void RtfParser::parse(QStringView rtf) {
    m_pos = rtf.data();
    m_end = m_pos + rtf.size();
    while (m_pos < m_end && *m_pos != u'{')
        ++m_pos;
    while (m_pos < m_end && !m_done) {
        const char16_t c = m_pos->unicode();
        ++m_pos;
        switch (c) {
        case u'{':
            openGroup();
            break;
        case u'}':
            closeGroup();
            break;
        case u'\\': {
            if (m_pos == m_end) break; // a lone backslash ends a truncated text
            if (isLetter(m_pos->unicode())) {
                const QChar* start = m_pos;
                while (m_pos < m_end && isLetter(m_pos->unicode()))
                    ++m_pos;
                // An overlong word is no word we know: it is read whole and ignored.
                QStringView name(start, m_pos - start);
                if (name.size() > kMaxWordLength) name = QStringView();
                bool negative = false;
                if (m_pos + 1 < m_end && *m_pos == u'-' && isDigit(m_pos[1].unicode())) {
                    negative = true;
                    ++m_pos;
                }
                bool hasParam = false;
                qint64 value = 0;
                int digits = 0;
                while (m_pos < m_end && isDigit(m_pos->unicode())) {
                    if (digits++ < kMaxParamDigits) value = value * 10 + (m_pos->unicode() - '0');
                    hasParam = true;
                    ++m_pos;
                }
                if (m_pos < m_end && *m_pos == u' ') ++m_pos; // the delimiter belongs to the word
                if (negative) value = -value;
                value = qBound(qint64(std::numeric_limits<int>::min()), value,
                               qint64(std::numeric_limits<int>::max()));
                controlWord(name, hasParam, int(value));
            } else {
                const QChar symbol = *m_pos++;
                controlSymbol(symbol);
            }
            break;
        }
        case u'\r':
        case u'\n':
            break; // line breaks of the RTF source are not text
        default:
            if (m_skipChars == 0 && m_state.dest == Dest::Text && isPlainText(c)) {
                // Most of a message is plain characters: take them as one chunk.
                const QChar* start = m_pos - 1;
                while (m_pos < m_end && isPlainText(m_pos->unicode()))
                    ++m_pos;
                appendChunk(QStringView(start, m_pos - start));
            } else {
                textChar(c);
            }
            break;
        }
    }
    flushBytes();
    if (m_state.dest == Dest::FontTable) commitFont();
    flushRun();
}

void RtfParser::openGroup() {
    flushBytes();
    m_skipChars = 0; // a \u fallback never reaches across a brace
    if (m_stack.size() < kMaxDepth)
        m_stack.push_back(m_state);
    else
        ++m_overflowDepth;
}

void RtfParser::closeGroup() {
    flushBytes();
    m_skipChars = 0;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_state.dest == Dest::FontTable) commitFont();
    if (m_stack.empty()) {
        m_done = true;
        return;
    }
    m_state = m_stack.back();
    m_stack.pop_back();
    if (m_stack.empty()) m_done = true; // the document's own closing brace
}

void RtfParser::controlWord(QStringView name, bool hasParam, int param) {
    char buf[kMaxWordLength];
    for (qsizetype i = 0; i < name.size(); ++i)
        buf[i] = char(name[i].unicode());
    const RtfWordInfo* info = findRtfWord(std::string_view(buf, size_t(name.size())));

    if (info && info->word == Word::Bin) {
        // Binary data: skipped by length, whatever it holds (braces included).
        if (hasParam && param > 0) m_pos += qMin<qint64>(param, m_end - m_pos);
        return;
    }
    if (m_skipChars > 0) { // a control word stands for one fallback character
        --m_skipChars;
        return;
    }
    flushBytes();
    if (m_state.dest == Dest::Skip || !info) return;
    const bool on = !hasParam || param != 0;

    switch (info->word) {
    case Word::SkipDest:
        m_state.dest = Dest::Skip;
        return;
    case Word::FontTable:
        m_state.dest = Dest::FontTable;
        m_fontIndex = -1;
        return;
    case Word::ColourTable:
        m_state.dest = Dest::ColourTable;
        m_colours.clear();
        return;
    default:
        break;
    }

    if (m_state.dest == Dest::FontTable) {
        if (info->word == Word::Font) {
            commitFont();
            m_fontIndex = param;
        } else if (info->word == Word::FontCharset) {
            m_pendingFont.codePage = codePageOfCharset(param);
        } else if (info->word == Word::FontCodePage && param > 0 && param < 100000) {
            m_pendingFont.codePage = param;
        }
        return;
    }
    if (m_state.dest == Dest::ColourTable) {
        const int v = qBound(0, param, 255);
        if (info->word == Word::Red) m_red = v;
        if (info->word == Word::Green) m_green = v;
        if (info->word == Word::Blue) m_blue = v;
        return;
    }

    CharFormat& f = m_state.format;
    switch (info->word) {
    case Word::AnsiCodePage:
        if (param > 0 && param < 100000) m_ansiCodePage = param;
        break;
    case Word::DefaultFont:
        m_defaultFont = param;
        f.font = param;
        break;
    case Word::Par:
        paragraph();
        break;
    case Word::Line:
        appendChar(0x2028);
        break;
    case Word::Tab:
    case Word::Cell:
        appendChar(u'\t');
        break;
    case Word::Char:
        appendChar(info->ch);
        break;
    case Word::Unicode: {
        int code = param;
        if (code < 0) code += 65536;
        if (hasParam && code >= 0 && code <= 0xFFFF) appendChar(char16_t(code));
        m_skipChars = m_state.uc;
        break;
    }
    case Word::UnicodeSkip:
        m_state.uc = qBound(0, param, 16);
        break;
    case Word::Plain:
        f = CharFormat{false, false, false, false, m_defaultFont, 24, 0};
        break;
    case Word::Bold:
        f.bold = on;
        break;
    case Word::Italic:
        f.italic = on;
        break;
    case Word::Underline:
        f.underline = on;
        break;
    case Word::UnderlineNone:
        f.underline = false;
        break;
    case Word::Strike:
        f.strike = on;
        break;
    case Word::Font:
        if (hasParam) f.font = param;
        break;
    case Word::FontSize:
        f.halfPoints = (hasParam && param > 0) ? qMin(param, 3276) : 24;
        break;
    case Word::ColourFore:
        f.colour = qMax(0, param);
        break;
    default:
        break;
    }
}

void RtfParser::controlSymbol(QChar symbol) {
    const char16_t s = symbol.unicode();
    if (s == u'\'') {
        // \'hh: one byte of the current code page.
        const int hi = m_pos < m_end ? hexValue(m_pos[0].unicode()) : -1;
        const int lo = m_pos + 1 < m_end ? hexValue(m_pos[1].unicode()) : -1;
        if (hi < 0 || lo < 0) return; // malformed: dropped, the text around it stays
        m_pos += 2;
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        if (m_state.dest != Dest::Skip) m_bytes.append(char(hi * 16 + lo));
        return;
    }
    if (m_skipChars > 0) {
        --m_skipChars;
        return;
    }
    flushBytes();
    switch (s) {
    case u'*':
        m_state.dest = Dest::Skip;
        break; // destinations we do not know are skipped
    case u'\\':
    case u'{':
    case u'}':
        textChar(s);
        break;
    case u'~':
        appendChar(0x00A0);
        break;
    case u'_':
        appendChar(u'-');
        break;
    case u'\r':
    case u'\n':
        paragraph();
        break; // a backslash before a line break is a \par
    case u'\t':
        appendChar(u'\t');
        break;
    default:
        break; // \- optional hyphen, \| \: and unknown symbols
    }
}

void RtfParser::textChar(char16_t ch) {
    if (m_skipChars > 0) {
        --m_skipChars;
        return;
    }
    flushBytes();
    switch (m_state.dest) {
    case Dest::Text:
        appendChar(ch);
        break;
    case Dest::FontTable:
        if (ch == u';')
            commitFont();
        else
            m_pendingFont.name.append(QChar(ch));
        break;
    case Dest::ColourTable:
        if (ch == u';') {
            const bool any = m_red >= 0 || m_green >= 0 || m_blue >= 0;
            m_colours.push_back(any ? QColor(qMax(m_red, 0), qMax(m_green, 0), qMax(m_blue, 0)) : QColor());
            m_red = m_green = m_blue = -1;
        }
        break;
    case Dest::Skip:
        break;
    }
}

void RtfParser::appendChar(char16_t ch) {
    if (m_state.dest != Dest::Text) {
        if (m_state.dest == Dest::FontTable) m_pendingFont.name.append(QChar(ch));
        return;
    }
    if (ch < 0x20 && ch != u'\t') return; // control characters are no text
    if (ch == 0x2029) return paragraph();
    if (m_run.isEmpty())
        m_runFormat = m_state.format;
    else if (m_runFormat != m_state.format) {
        flushRun();
        m_runFormat = m_state.format;
    }
    m_run.append(QChar(ch));
}

void RtfParser::appendChunk(QStringView chunk) {
    flushBytes();
    if (m_run.isEmpty())
        m_runFormat = m_state.format;
    else if (m_runFormat != m_state.format) {
        flushRun();
        m_runFormat = m_state.format;
    }
    m_run.append(chunk);
}

void RtfParser::flushBytes() {
    if (m_bytes.isEmpty()) return;
    const int cp = currentCodePage();
    if (cp == 1252) {
        for (char b : std::as_const(m_bytes))
            appendChar(windows1252::toUnicode(uchar(b)));
    } else {
        const QString text = decode(m_bytes, cp);
        for (QChar c : text)
            appendChar(c.unicode());
    }
    m_bytes.resize(0); // keeps its buffer for the next escapes
}

void RtfParser::flushRun() {
    if (m_run.isEmpty()) return;
    m_sink.text(m_run, m_runFormat);
    m_run.resize(0);
}

void RtfParser::paragraph() {
    if (m_state.dest != Dest::Text) return;
    flushBytes();
    flushRun();
    m_sink.paragraph();
}

void RtfParser::commitFont() {
    if (m_fontIndex >= 0 || !m_pendingFont.name.isEmpty()) {
        m_pendingFont.name = m_pendingFont.name.trimmed();
        if (m_fontIndex >= 0) m_fonts[m_fontIndex] = m_pendingFont;
    }
    m_pendingFont = Font();
    m_fontIndex = -1;
}

int RtfParser::currentCodePage() const {
    if (m_state.dest == Dest::Text) {
        const auto it = m_fonts.find(m_state.format.font);
        if (it != m_fonts.end() && it->second.codePage > 0) return it->second.codePage;
    } else if (m_state.dest == Dest::FontTable && m_pendingFont.codePage > 0) {
        return m_pendingFont.codePage;
    }
    return m_ansiCodePage;
}

QString RtfParser::decode(const QByteArray& bytes, int codePage) {
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end()) {
        auto decoder = std::make_unique<QStringDecoder>(
            QByteArray("windows-" + QByteArray::number(codePage)).constData(),
            QStringConverter::Flag::Stateless);
        if (!decoder->isValid())
            decoder =
                std::make_unique<QStringDecoder>(QByteArray("cp" + QByteArray::number(codePage)).constData(),
                                                 QStringConverter::Flag::Stateless);
        if (!decoder->isValid()) decoder.reset(); // unknown page: read as Windows-1252
        it = m_decoders.emplace(codePage, std::move(decoder)).first;
    }
    if (!it->second) {
        QString text;
        for (char b : bytes)
            text.append(QChar(windows1252::toUnicode(uchar(b))));
        return text;
    }
    return it->second->decode(bytes);
}

} // namespace platform
