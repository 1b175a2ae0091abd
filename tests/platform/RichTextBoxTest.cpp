#include "platform/RichTextBox.h"
#include "platform/RtfEdit.h"
#include "platform/RtfReader.h"
#include "support/Etapes.h"

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
