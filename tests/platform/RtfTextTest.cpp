#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <gtest/gtest.h>

using platform::RtfReader;
using platform::RtfWriter;

namespace {

// Each run of a document as "text|flags|family size|colour", flags b, i, u, s for bold, italic,
// underline and strike-out; a run without a family or size shows the messages' own.
QStringList runs(const QTextDocument& d) {
    const auto flag = [](bool on, char c) { return on ? QString(QLatin1Char(c)) : QString(); };
    QStringList out;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            out << QStringLiteral("%1|%2%3%4%5|%6 %7|%8")
                       .arg(it.fragment().text(), flag(f.fontWeight() >= QFont::DemiBold, 'b'),
                            flag(f.fontItalic(), 'i'), flag(f.fontUnderline(), 'u'),
                            flag(f.fontStrikeOut(), 's'),
                            families.isEmpty() ? RtfWriter::defaultFontFamily() : families.first(),
                            QString::number(f.fontPointSize() > 0 ? f.fontPointSize()
                                                                  : RtfWriter::kDefaultPointSize),
                            f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name()
                                                                        : QStringLiteral("auto"));
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

struct Case {
    QString rtf;
    QString expected;
};

// Each text read both ways: as plain text and into a document.
void expectText(const Case& c) {
    EXPECT_EQ(RtfReader::toPlainText(c.rtf), c.expected) << c.rtf.left(60).toStdString();
    QTextDocument doc;
    RtfReader::read(c.rtf, &doc);
    EXPECT_EQ(RtfReader::plainText(doc), c.expected) << c.rtf.left(60).toStdString();
}

} // namespace

TEST(RtfReader, TextOfWhatWindowsControlsWrite) {
    const Case cases[] = {
        {QString::fromUtf8(kWordPadMessage),
         QStringLiteral(
             "Appeler M. Lévesque au sujet du dossier 1234.\r\nMontant : 50 € “urgent” rouge\r\nFin")},
        // Control words, destinations and binary data that carry no text.
        {QStringLiteral("{\\rtf1\\ansi{\\stylesheet{\\s0 Normal;}}{\\info{\\title Titre}{\\author Moi}}"
                        "{\\*\\panose 020b0604020202020204}{\\*\\unknowndest cach\\'e9}"
                        "{\\pict\\wmetafile8\\picw10 0102abcd}{\\*\\bkmkstart x}a{\\pntext\\f1\\'b7\\tab}"
                        "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt lien}} z\\bin3 {}}b}"),
         QStringLiteral("alien zb")},
        // Control symbols and named characters.
        {QStringLiteral("{\\rtf1 C:\\\\dos\\{x\\}\\~\\_\\-y\\emdash\\lquote q\\rquote\\tab t}"),
         QStringLiteral("C:\\dos{x}\u00A0-y\u2014\u2018q\u2019\tt")},
        // Line breaks of the source are not text; a backslash before one is a \par.
        {QStringLiteral("{\\rtf1 un\r\ndeux\\\r\ntrois}"), QStringLiteral("undeux\r\ntrois")},
        {QStringLiteral("  {\\rtf1 ok}"), QStringLiteral("ok")},
        // Unicode escapes; the fallback counts bytes of a DBCS fallback, none with \uc0, per group.
        {QStringLiteral("{\\rtf1\\ansi\\uc1 \\u26085?\\u26412? \\u-10179?\\u-8704?}"),
         QStringLiteral("日本 😀")},
        {QStringLiteral("{\\rtf1 {\\uc2\\u26085\\'93\\'fa}x}"), QStringLiteral("日x")},
        {QStringLiteral("{\\rtf1 {\\uc0\\u233 t\\u233}t\\u233?}"), QStringLiteral("étété")},
        // A control word or symbol stands for one fallback character; a brace ends the fallback.
        {QStringLiteral("{\\rtf1 \\u8364\\'80 \\u8364\\par x\\u233{y}}"), QStringLiteral("€ €x\u00e9y")},
        {QStringLiteral("{\\rtf1 \\u8364 {\\b x}}"), QStringLiteral("€x")},
        // Windows-1252 by default, hexadecimal digits in either case.
        {QStringLiteral("{\\rtf1\\ansi \\'80\\'85\\'8c\\'9c\\'91\\'92\\'93\\'94\\'e0\\'ff}"),
         QStringLiteral("€…Œœ‘’“”àÿ")},
        {QStringLiteral("{\\rtf1\\ansi \\'E9t\\'C9 \\'9C}"), QStringLiteral("étÉ œ")},
        {QStringLiteral("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}"), QStringLiteral("Аб")},
        // A font's character set overrides the document's page while that font is on.
        {QStringLiteral("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}}"
                        "\\'b9{\\f1 \\'b9}\\'b9}"),
         QStringLiteral("¹ą¹")},
        // Double-byte pages decode the two bytes together; an unknown page reads as 1252.
        {QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset128 MS Gothic;}}\\f1 \\'82\\'a0}"),
         QStringLiteral("あ")},
        {QStringLiteral("{\\rtf1\\ansi\\ansicpg99999 \\'e9}"), QStringLiteral("é")},
        // Lines are joined by CR LF; the closing paragraph mark of every control is no line.
        {QStringLiteral("{\\rtf1 ab\\par }"), QStringLiteral("ab")},
        {QStringLiteral("{\\rtf1 ab\\par\\par }"), QStringLiteral("ab\r\n")},
        {QStringLiteral("{\\rtf1 a\\line b\\par\\par c}"), QStringLiteral("a\r\nb\r\n\r\nc")},
        {QStringLiteral("{\\rtf1 }"), QString()},
        // Malformed input keeps the readable text.
        {QStringLiteral("{\\rtf1 abc{\\b def"), QStringLiteral("abcdef")}, // never closed
        {QStringLiteral("{\\rtf1 abc}}def"), QStringLiteral("abc")},       // text after the end
        {QStringLiteral("{\\rtf1 abc\\"), QStringLiteral("abc")},          // truncated control
        {QStringLiteral("{\\rtf1 abc\\'4"), QStringLiteral("abc4")},       // truncated escape
        {QStringLiteral("{\\rtf1 a\\'zzb}"), QStringLiteral("azzb")},      // bad hex digits
        {QStringLiteral("{\\rtf1 a\\u"), QStringLiteral("a")},             // \u without number
        {QStringLiteral("{\\rtf1 \\fs99999999999999999999 a\\u99999999999 ?b\\cf-5 c}"),
         QStringLiteral("abc")},
        {QStringLiteral("{\\rtf1 a\\bin999999999 bc}"), QStringLiteral("a")}, // \bin past the end
        {QStringLiteral("{\\rtf1 a\\uc999999 \\u233 bcd}"), QStringLiteral("a\u00e9")},
        {QStringLiteral("{\\rtf1 x\\") + QString(5000, u'a') + QStringLiteral(" y}"), QStringLiteral("xy")},
        {QStringLiteral("{\\rtf1 \\u13?\\u0?\\u8232?z}"), QStringLiteral("\r\nz")}, // controls as \u
        // Deep nesting neither overflows the stack nor loses text.
        {QStringLiteral("{\\rtf1 a") + QString(200000, u'{') + QStringLiteral("\\b x") +
             QString(200000, u'}') + QStringLiteral("b}"),
         QStringLiteral("axb")},
    };
    for (const Case& c : cases)
        expectText(c);
    // Not RTF: taken as plain text, its line breaks made CR LF.
    EXPECT_EQ(RtfReader::toPlainText(QStringLiteral("Rappeler\nM. Côté\r\nvite\r")),
              QStringLiteral("Rappeler\r\nM. Côté\r\nvite\r\n"));
    EXPECT_EQ(RtfReader::toPlainText(QStringLiteral("{rtf pas du RTF}")), QStringLiteral("{rtf pas du RTF}"));
}

TEST(RtfReader, DocumentKeepsCharacterFormattingAndGroupScope) {
    QTextDocument doc;
    RtfReader::read(QString::fromUtf8(kWordPadMessage), &doc);
    EXPECT_EQ(doc.blockCount(), 3);
    EXPECT_EQ(runs(doc).join(QLatin1Char('\n')),
              QStringLiteral("Appeler M. Lévesque au sujet du dossier ||Arial 10|auto\n1234|b|Arial 10|auto\n"
                             ".||Arial 10|auto\nMontant : 50 € “urgent” ||Arial 10|auto\n"
                             "rouge||Arial 10|#ff0000\nFin|i|Comic Sans MS 14|auto"));
    // Formatting ends with its group or its own off switch.
    RtfReader::read(QStringLiteral("{\\rtf1 a{\\b b{\\i\\ul c\\ulnone d}\\strike e\\strike0 f}g\\plain}"),
                    &doc);
    QStringList looks;
    for (const QString& run : runs(doc))
        looks << run.section(QLatin1Char('|'), 0, 1);
    EXPECT_EQ(looks.join(QLatin1Char(' ')), QStringLiteral("a| b|b c|biu d|bi e|bs f|b g|"));
    // Loading is not an edit.
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_FALSE(doc.isModified());
}

TEST(RtfWriter, PlainTextIsWrittenInAsciiAndReadsBackExactly) {
    // Windows-1252 characters as \' escapes, others as \u with a fallback.
    EXPECT_TRUE(RtfWriter()
                    .writePlain(QStringLiteral("é€œ日😀\\{}\"\tx"))
                    .endsWith(QStringLiteral(
                        "\\fs20 \\'e9\\'80\\'9c\\u26085?\\u-10179?\\u-8704?\\\\\\{\\}\"\\tab x\\par\r\n}")));
    const QString texts[] = {
        QString(),
        QStringLiteral("Rappeler Mme Bérubé au 555-1234\r\nDossier 42\r\n"),
        QStringLiteral("\r\n\r\n"),
        QStringLiteral("Coût : 12 € — « très urgent » œuvre…‘’“”"),
        QStringLiteral("日本 😀 ẞ Ω"),
        QStringLiteral("C:\\dossiers\\{2024}\\\"client\"\\"),
        QStringLiteral("  espaces  \ttab\t"),
        QStringLiteral("\\par \\b not a control word {\\rtf1}"),
    };
    for (const QString& text : texts) {
        const QString rtf = RtfWriter().writePlain(text);
        EXPECT_EQ(RtfReader::toPlainText(rtf), text) << rtf.toStdString();
        // Only ASCII goes out: the text survives any 8-bit path a Windows control reads from.
        EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](QChar c) { return c.unicode() < 0x80; }));
    }
    // Lone CR and lone LF are line breaks too.
    EXPECT_EQ(RtfReader::toPlainText(RtfWriter().writePlain(QStringLiteral("a\nb\rc\r\n\nd"))),
              QStringLiteral("a\r\nb\r\nc\r\n\r\nd"));
}

TEST(RtfWriter, DocumentRoundTripKeepsFormatting) {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    auto add = [&](const QString& text, auto setUp) {
        QTextCharFormat f;
        setUp(f);
        cursor.insertText(text, f);
    };
    add(QStringLiteral("normal "), [](QTextCharFormat&) {});
    add(QStringLiteral("gras "), [](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); });
    add(QStringLiteral("italique "), [](QTextCharFormat& f) { f.setFontItalic(true); });
    add(QStringLiteral("souligné "), [](QTextCharFormat& f) { f.setFontUnderline(true); });
    add(QStringLiteral("barré "), [](QTextCharFormat& f) { f.setFontStrikeOut(true); });
    cursor.insertBlock();
    add(QStringLiteral("Arial 14 rouge"), [](QTextCharFormat& f) {
        f.setFontFamilies({QStringLiteral("Arial")});
        f.setFontPointSize(14);
        f.setForeground(QColor(200, 0, 0));
        f.setFontWeight(QFont::Bold);
    });
    add(QString(QChar::LineSeparator) + QStringLiteral("bleu {€}"),
        [](QTextCharFormat& f) { f.setForeground(QColor(0, 0, 255)); });
    cursor.insertBlock();

    const QString rtf = RtfWriter().write(doc);
    QTextDocument back;
    RtfReader::read(rtf, &back);
    EXPECT_EQ(RtfReader::plainText(back),
              QStringLiteral("normal gras italique souligné barré \r\nArial 14 rouge\r\nbleu {€}\r\n"));

    EXPECT_EQ(runs(back), runs(doc)); // each run looks as it did
    // Written again, the text is the same: nothing drifts from save to save.
    EXPECT_EQ(RtfWriter().write(back), rtf);
}
