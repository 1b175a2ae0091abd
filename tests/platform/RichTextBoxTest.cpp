#include "platform/RichTextBox.h"
#include "platform/RtfEdit.h"
#include "platform/RtfReader.h"
#include "support/Etapes.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

namespace {
const QString kStored =
    u"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 Rappeler \\b M. L\\'e9vesque\\b0  \\u26085?\\par\r\n}\r\n"_s;
}

// A stored text is stored again byte for byte when nothing changed; the closing paragraph mark
// is no line. An edit of the document shows in both the RTF and the text, keeping the bold
// around it.
TEST(RichTextBox, KeepsStoredTextEditsItAndAppendsPlainLines) {
    RichTextBox box;
    box.setTextRTF(kStored);
    EXPECT_EQ(box.textRTF(), kStored);
    EXPECT_EQ(box.text(), u"Rappeler M. Lévesque 日"_s);
    EXPECT_EQ(box.document()->blockCount(), 1);
    QTextCursor cursor(box.document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    cursor.insertText(u"ajouté"_s, italic);
    EXPECT_EQ(box.text(), u"Rappeler M. Lévesque 日ajouté"_s);
    EXPECT_TRUE(box.textRTF().contains(u"\\b M. L\\'e9vesque\\b0"_s)) << box.textRTF().toStdString();
    EXPECT_TRUE(box.textRTF().contains(u"\\i ajout\\'e9\\par\r\n}"_s)) << box.textRTF().toStdString();

    // Recording a state change appends a line: the formatting goes, the characters stay.
    ETAPE("a state change's line appended");
    box.setTextRTF(kStored);
    box.setText(box.text() + u"\nTraité le 2024-03-05 à 10:15 par Côté"_s);
    EXPECT_FALSE(box.textRTF().contains(u"\\b"_s));
    EXPECT_EQ(RtfReader::toPlainText(box.textRTF()),
              u"Rappeler M. Lévesque 日\r\nTraité le 2024-03-05 à 10:15 par Côté"_s);
    // Plain text that happens to look like RTF stays plain text.
    box.setText(u"{\\rtf1 tapé tel quel}"_s);
    EXPECT_EQ(RtfReader::toPlainText(box.textRTF()), u"{\\rtf1 tapé tel quel}"_s);
    // A stored text that is not RTF is kept as plain text and written back as RTF.
    box.setTextRTF(u"ancien message\nsur deux lignes"_s);
    EXPECT_EQ(box.text(), u"ancien message\r\nsur deux lignes"_s);
    EXPECT_TRUE(RtfReader::isRtf(box.textRTF()));
    EXPECT_EQ(RtfReader::toPlainText(box.textRTF()), box.text());
}

// Loaded, the editor starts at the top with nothing to undo; the keys that format and type
// are saved as RTF that loads again the same.
TEST(RtfEdit, LoadsEditsAndSavesRtf) {
    RtfEdit edit;
    edit.setTextRTF(kStored);
    EXPECT_EQ(edit.textCursor().position(), 0);
    EXPECT_FALSE(edit.document()->isUndoAvailable());
    edit.moveCursor(QTextCursor::End);
    for (const auto& [key, text] :
         {std::pair{Qt::Key_B, "gras"}, {Qt::Key_B, ""}, {Qt::Key_I, ""}, {Qt::Key_U, "it"}}) {
        QTest::keyClick(&edit, key, Qt::ControlModifier);
        QTest::keyClicks(&edit, QLatin1String(text));
    }
    const QString rtf = edit.textRTF();
    EXPECT_TRUE(rtf.contains(u"\\b gras\\b0\\i\\ul it\\par\r\n}"_s)) << rtf.toStdString();
    RtfEdit again;
    again.setTextRTF(rtf);
    EXPECT_EQ(again.textRTF(), rtf);
    EXPECT_EQ(again.text(), u"Rappeler M. Lévesque 日grasit"_s);
}

// A paste or a drop laying a word too long to wrap at word ends into a paragraph (alone or
// with the letters on either side of the cursor) switches the editor to wrapping anywhere
// before it goes in, as loading such a text does; an ordinary paste keeps words whole. The
// pasted text goes in whole either way.
TEST(RtfEdit, APasteMakingAWordTooLongToWrapAtWordEndsWrapsAnywhere) {
    const qsizetype limite = RtfEdit::kLongestWrappedWord;
    // A long text shown by its ends and its length.
    auto resume = [](const QString& t) {
        return (t.left(24) + u"…"_s + t.right(12) +
                u" (%1 caractères, empreinte %2)"_s.arg(t.size()).arg(qHash(t)))
            .toStdString();
    };
    auto coller = [](RtfEdit& edit, QMimeData* mime) {
        QApplication::clipboard()->setMimeData(mime);
        edit.paste();
    };
    auto texte = [](const QString& t) {
        auto* mime = new QMimeData;
        mime->setText(t);
        return mime;
    };
    RtfEdit edit;
    edit.setTextRTF(u"Clé :  fin"_s);
    ASSERT_EQ(edit.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextCursor c = edit.textCursor();
    c.setPosition(6); // between the two blanks
    edit.setTextCursor(c);

    QStringList ordinaire;
    for (int i = 0; i < 500; ++i)
        ordinaire << u"un texte ordinaire"_s;
    coller(edit, texte(ordinaire.join(u' ')));
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere) << "blanks every few letters";
    EXPECT_EQ(resume(edit.toPlainText()), resume(u"Clé : "_s + ordinaire.join(u' ') + u" fin"_s));

    edit.setTextRTF(u"abc def"_s);
    edit.moveCursor(QTextCursor::End);
    coller(edit, texte(QString(limite - 3, u'x')));
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere)
        << "def and the paste make the limit";
    coller(edit, texte(QString(u'\u00A0') + u"y z"_s));
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAnywhere) << "a no-break space holds the word together";
    EXPECT_EQ(resume(edit.document()->toRawText()),
              resume(u"abc def"_s + QString(limite - 3, u'x') + u"\u00A0y z"_s));

    // The letters after the cursor count too, and a paste of formatted text alone.
    edit.setTextRTF(u"abc"_s);
    coller(edit, texte(u"z "_s + QString(limite - 2, u'x')));
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAnywhere) << "the paste's last word and abc";
    edit.setTextRTF(QString());
    auto* html = new QMimeData;
    html->setHtml(u"<p>a <b>"_s + QString(limite + 1, u'x') + u"</b></p>"_s);
    coller(edit, html);
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAnywhere) << "a word in formatted text";
    EXPECT_EQ(resume(edit.toPlainText()), resume(u"a "_s + QString(limite + 1, u'x')));
    // Loading a text with short words goes back to wrapping at word ends.
    edit.setTextRTF(u"abc"_s);
    EXPECT_EQ(edit.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}
