#pragma once

#include <QColor>
#include <QString>
#include <QStringView>
#include <map>
#include <memory>
#include <vector>

class QStringDecoder;

namespace platform {

// Walks RTF as Windows rich-text controls write it and hands the readable text to a
// sink in runs of equal character formatting. Tables and destinations that carry no
// message text (stylesheet, info, pictures, {\*...}) are skipped. Built to survive
// anything: no recursion, bounded numbers and words, input never read past its end.
class RtfParser {
public:
    struct CharFormat {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strike = false;
        int font = 0;        // \f index into the font table
        int halfPoints = 24; // \fs; RTF's own default is 12 pt
        int colour = 0;      // \cf index into the colour table, 0 = automatic

        bool operator==(const CharFormat& o) const {
            return bold == o.bold && italic == o.italic && underline == o.underline && strike == o.strike &&
                   font == o.font && halfPoints == o.halfPoints && colour == o.colour;
        }
        bool operator!=(const CharFormat& o) const { return !(*this == o); }
    };

    class Sink {
    public:
        virtual ~Sink() = default;
        // A run may hold line breaks (\line) as QChar::LineSeparator.
        virtual void text(const QString& run, const CharFormat& format) = 0;
        virtual void paragraph() = 0;
    };

    explicit RtfParser(Sink& sink);
    ~RtfParser();
    RtfParser(const RtfParser&) = delete;
    RtfParser& operator=(const RtfParser&) = delete;

    // Reads from the first '{' to the brace that closes it (or to the end of a
    // truncated text); whatever follows the closing brace is not part of the text.
    void parse(QStringView rtf);

    // Font family of a font-table entry; empty when the table has no such entry.
    QString fontName(int index) const;
    // Colour of a colour-table entry; invalid for "automatic" and unknown entries.
    QColor colour(int index) const;

private:
    enum class Dest : quint8 { Text, Skip, FontTable, ColourTable };
    struct State {
        CharFormat format;
        Dest dest = Dest::Text;
        int uc = 1; // fallback characters that follow each \u
    };
    struct Font {
        QString name;
        int codePage = 0; // 0: the document's \ansicpg
    };

    void openGroup();
    void closeGroup();
    void controlWord(QStringView name, bool hasParam, int param);
    void controlSymbol(QChar symbol);
    void textChar(char16_t ch);
    void appendChar(char16_t ch);
    void appendChunk(QStringView chunk); // plain characters of the text destination
    void flushBytes();
    void flushRun();
    void paragraph();
    void commitFont();
    int currentCodePage() const;
    QString decode(const QByteArray& bytes, int codePage);

    Sink& m_sink;
    State m_state;
    std::vector<State> m_stack;
    int m_overflowDepth = 0; // groups opened beyond the nesting limit
    bool m_done = false;
    int m_skipChars = 0; // \u fallback characters still to drop
    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    const QChar* m_pos = nullptr;
    const QChar* m_end = nullptr;

    QByteArray m_bytes; // pending \'hh bytes, decoded together (double-byte pages)
    QString m_run;
    CharFormat m_runFormat;

    std::map<int, Font> m_fonts; // a message has one or two: a tree node each, no table to set up
    int m_fontIndex = -1;
    Font m_pendingFont;
    std::vector<QColor> m_colours;
    int m_red = -1, m_green = -1, m_blue = -1;

    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};

} // namespace platform
