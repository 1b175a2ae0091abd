#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <gtest/gtest.h>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

namespace {

// Each run of a document as "text|flags|family size|colour", flags b, i, u, s for bold, italic,
// underline and strike-out; a run without a family or size shows the messages' own.
QStringList runs(const QTextDocument& d) {
    QStringList out;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const bool on[] = {f.fontWeight() >= QFont::DemiBold, f.fontItalic(), f.fontUnderline(),
                               f.fontStrikeOut()};
            QString flags;
            for (int i = 0; i < 4; ++i)
                if (on[i]) flags += QLatin1Char("bius"[i]);
            out << u"%1|%2|%3 %4|%5"_s
                       .arg(it.fragment().text(), flags,
                            families.isEmpty() ? RtfWriter::defaultFontFamily() : families.first())
                       .arg(f.fontPointSize() > 0 ? f.fontPointSize() : RtfWriter::kDefaultPointSize)
                       .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name()
                                                                        : u"auto"_s);
        }
    return out;
}

// As WordPad and the rich-text box of other workstations write a message.
const char* const kWordPadMessage =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
    "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\lang1036\\f0\\fs20 Appeler M. "
    "L\\'e9vesque au sujet du dossier \\b 1234\\b0 .\\par\r\n"
    "Montant : 50 \\'80 \\'93urgent\\'94 \\cf1 rouge\\cf0\\par\r\n"
    "\\f1\\fs28\\i Fin\\i0\\f0\\fs20\\par\r\n"
    "}\r\n";

} // namespace

// Each text read both ways: as plain text and into a document.
TEST(RtfReader, TextOfWhatWindowsControlsWrite) {
    const std::pair<QString, QString> cases[] = {
        // Control words, destinations and binary data that carry no text.
        {uR"({\rtf1\ansi{\stylesheet{\s0 Normal;}}{\info{\title Titre}{\author Moi}})"
         uR"({\*\panose 020b0604020202020204}{\*\unknowndest cach\'e9}{\pict\wmetafile8\picw10 0102abcd})"
         uR"({\*\bkmkstart x}a{\pntext\f1\'b7\tab}{\field{\*\fldinst HYPERLINK "http://x"}{\fldrslt lien}})"
         uR"( z\bin3 {}}b})"_s,
         u"alien zb"_s},
        // Control symbols and named characters; line breaks of the source are not text, but a
        // backslash before one is a \par.
        {uR"({\rtf1 C:\\dos\{x\}\~\_\-y\emdash\lquote q\rquote\tab t)"
         u"un\r\ndeux\\\r\ntrois}"_s,
         u"C:\\dos{x}\u00A0-y\u2014\u2018q\u2019\ttundeux\r\ntrois"_s},
        // Unicode escapes; the fallback counts bytes of a DBCS fallback, none with \uc0, per group.
        // A control word or symbol stands for one fallback character; a brace ends the fallback.
        {uR"({\rtf1\ansi\uc1 \u26085?\u26412? \u-10179?\u-8704?{\uc2\u26085\'93\'fa}x)"
         uR"({\uc0\u233 t\u233}t\u233?\u8364\'80 \u8364\par x\u233{y}\u8364 {\b x}})"_s,
         u"日本 😀日xétété€ €xéy€x"_s},
        // Windows-1252 by default, hexadecimal digits in either case.
        {uR"({\rtf1\ansi \'80\'85\'8c\'9c\'91\'92\'93\'94\'e0\'ff\'E9t\'C9\'FF \'9C})"_s,
         u"€…Œœ‘’“”àÿétÉÿ œ"_s},
        // A font's character set overrides the document's page while that font is on;
        // double-byte pages decode the two bytes together; an unknown page reads as 1252.
        {uR"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0 Arial;}{\f1\fcharset238 Arial CE;}{\f2\fcharset128 MS Gothic;}})"
         uR"(\'b9{\f1 \'b9}\'b9{\f2 \'82\'a0}})"_s,
         u"¹ą¹あ"_s},
        {uR"({\rtf1\ansi\ansicpg99999 \'e9})"_s, u"é"_s},
        // Lines are joined by CR LF; the closing paragraph mark of every control is no line.
        {uR"(  {\rtf1 ab\par })"_s, u"ab"_s}, // spaces before the RTF too
        {uR"({\rtf1 a\line b\par\par c\par\par })"_s, u"a\r\nb\r\n\r\nc\r\n"_s},
        // Malformed input keeps the readable text: never closed,
        // bad hex digits, numbers out of range, an over-long control word.
        {uR"({\rtf1 abc{\b def)"_s, u"abcdef"_s},
        {uR"({\rtf1 a\'zzb\fs99999999999999999999 c\u99999999999 ?d\cf-5 e\uc999999 \u233 bcd})"_s,
         u"azzbcdeé"_s},
        {uR"({\rtf1 x\)"_s + QString(5000, u'a') + uR"( y\u13?\u0?\u8232?z})"_s, u"xy\r\nz"_s},
        // Deep nesting neither overflows the stack nor loses text.
        {u"{\\rtf1 a"_s + QString(200000, u'{') + u"\\b x"_s + QString(200000, u'}') + u"b}"_s, u"axb"_s},
    };
    for (const auto& [rtf, expected] : cases) {
        EXPECT_EQ(RtfReader::toPlainText(rtf), expected) << rtf.left(60).toStdString();
        QTextDocument doc;
        RtfReader::read(rtf, &doc);
        EXPECT_EQ(RtfReader::plainText(doc), expected) << rtf.left(60).toStdString();
    }
    // Not RTF: taken as plain text, its line breaks made CR LF.
    EXPECT_EQ(RtfReader::toPlainText(u"Rappeler\nM. Côté\r\nvite\r"_s), u"Rappeler\r\nM. Côté\r\nvite\r\n"_s);
    EXPECT_EQ(RtfReader::toPlainText(u"{rtf pas du RTF}"_s), u"{rtf pas du RTF}"_s);
}

// A message keeps its character formatting, which ends with its group or its own off switch;
// loading is not an edit. Written and read again, each run looks as it did, and written again
// the text is the same: nothing drifts from save to save.
TEST(RtfReader, DocumentKeepsCharacterFormattingAndGroupScope) {
    const QString scope = uR"({\rtf1 a{\b b{\i\ul c\ulnone d}\strike e\strike0 f}g\plain\line h\par})"_s;
    for (const QString& rtf : {QString::fromUtf8(kWordPadMessage), scope}) {
        QTextDocument doc, back;
        RtfReader::read(rtf, &doc);
        EXPECT_FALSE(doc.isUndoAvailable());
        EXPECT_FALSE(doc.isModified());
        const QString written = RtfWriter().write(doc);
        RtfReader::read(written, &back);
        EXPECT_EQ(runs(back), runs(doc));
        EXPECT_EQ(RtfWriter().write(back), written);
        QStringList looks;
        for (const QString& run : runs(doc))
            looks << (rtf == scope ? run.section(u'|', 0, 1) : run);
        // Each run: its text, then its look (bold, italic, underline, strike), font and colour.
        EXPECT_EQ(looks, rtf == scope
                             ? (QStringList{u"a|"_s, u"b|b"_s, u"c|biu"_s, u"d|bi"_s, u"e|bs"_s, u"f|b"_s,
                                            u"g\u2028h|"_s})
                             : (QStringList{u"Appeler M. Lévesque au sujet du dossier ||Arial 10|auto"_s,
                                            u"1234|b|Arial 10|auto"_s, u".||Arial 10|auto"_s,
                                            u"Montant : 50 € “urgent” ||Arial 10|auto"_s,
                                            u"rouge||Arial 10|#ff0000"_s, u"Fin|i|Comic Sans MS 14|auto"_s}));
    }
}

TEST(RtfWriter, PlainTextIsWrittenInAsciiAndReadsBackExactly) {
    // Windows-1252 characters as \' escapes, others as \u with a fallback.
    EXPECT_TRUE(RtfWriter()
                    .writePlain(u"é€œ日😀\\{}\"\tx"_s)
                    .endsWith(uR"(\fs20 \'e9\'80\'9c\u26085?\u-10179?\u-8704?\\\{\}"\tab x\par)"
                              u"\r\n}"_s));
    for (const QString& text : {QString(), u"Rappeler Mme Bérubé au 555-1234\r\nDossier 42\r\n"_s,
                                u"\r\n\r\n"_s, u"Coût : 12 € — « très urgent » œuvre…‘’“”"_s, u"日本 😀 ẞ Ω"_s,
                                uR"(C:\dossiers\{2024}\"client"\)"_s, u"  espaces  \ttab\t"_s,
                                uR"(\par \b not a control word {\rtf1})"_s}) {
        const QString rtf = RtfWriter().writePlain(text);
        EXPECT_EQ(RtfReader::toPlainText(rtf), text) << rtf.toStdString();
        // Only ASCII goes out: the text survives any 8-bit path a Windows control reads from.
        EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](QChar c) { return c.unicode() < 0x80; }));
    }
    // Lone CR and lone LF are line breaks too.
    EXPECT_EQ(RtfReader::toPlainText(RtfWriter().writePlain(u"a\nb\rc\r\n\nd"_s)), u"a\r\nb\r\nc\r\n\r\nd"_s);
}
