#include "platform/RtfWriter.h"
#include "platform/RtfReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <gtest/gtest.h>

using platform::RtfReader;
using platform::RtfWriter;

TEST(RtfWriter, PlainTextIsWrittenAsAWindowsControlDoesAndReadsBackExactly) {
    EXPECT_EQ(RtfWriter().writePlain(QStringLiteral("ab\r\n")),
              QStringLiteral(
                  "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
                  "\\viewkind4\\uc1\\pard\\f0\\fs20 ab\\par\r\n\\par\r\n}"));
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

    // What each run looks like; a run without a family or size shows the messages' own.
    auto describe = [](const QTextDocument& d) {
        QStringList out;
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                const QStringList families = f.fontFamilies().toStringList();
                out << QStringLiteral("%1|%2%3%4%5|%6 %7|%8")
                           .arg(it.fragment().text())
                           .arg(f.fontWeight() >= QFont::DemiBold)
                           .arg(f.fontItalic())
                           .arg(f.fontUnderline())
                           .arg(f.fontStrikeOut())
                           .arg(families.isEmpty() ? RtfWriter::defaultFontFamily() : families.first())
                           .arg(f.fontPointSize() > 0 ? f.fontPointSize() : RtfWriter::kDefaultPointSize)
                           .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name()
                                                                            : QStringLiteral("auto"));
            }
        return out;
    };
    EXPECT_EQ(describe(back), describe(doc));
    // Written again, the text is the same: nothing drifts from save to save.
    EXPECT_EQ(RtfWriter().write(back), rtf);
}
