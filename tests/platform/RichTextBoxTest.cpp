#include "platform/RichTextBox.h"
#include "platform/RtfEdit.h"
#include "platform/RtfReader.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using platform::RichTextBox;
using platform::RtfEdit;
using platform::RtfReader;

namespace {
const QString kStored = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 Rappeler \\b M. L\\'e9vesque\\b0  \\u26085?\\par\r\n}\r\n");
}

TEST(RichTextBox, KeepsStoredTextEditsItAndAppendsPlainLines) {
    RichTextBox box;
    box.setTextRTF(kStored);
    EXPECT_EQ(box.textRTF(), kStored); // stored again byte for byte when nothing changed
    EXPECT_EQ(box.text(), QStringLiteral("Rappeler M. Lévesque 日"));
    EXPECT_EQ(box.document()->blockCount(), 1); // the closing paragraph mark is no line

    // An edit of the document shows in both the RTF and the text, keeping the bold around it.
    QTextCursor cursor(box.document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    cursor.insertText(QStringLiteral("ajouté"), italic);
    EXPECT_EQ(box.text(), QStringLiteral("Rappeler M. Lévesque 日ajouté"));
    EXPECT_TRUE(box.textRTF().contains(QStringLiteral("\\b M. L\\'e9vesque\\b0")));
    EXPECT_TRUE(box.textRTF().contains(QStringLiteral("\\i ajout\\'e9\\par\r\n}")));

    // Recording a state change appends a line: the formatting goes, the characters stay.
    box.setTextRTF(kStored);
    box.setText(box.text() + QLatin1Char('\n') + QStringLiteral("Traité le 2024-03-05 à 10:15 par Côté"));
    EXPECT_FALSE(box.textRTF().contains(QStringLiteral("\\b")));
    EXPECT_EQ(RtfReader::toPlainText(box.textRTF()),
              QStringLiteral("Rappeler M. Lévesque 日\r\nTraité le 2024-03-05 à 10:15 par Côté"));

    // Plain text that happens to look like RTF stays plain text.
    box.setText(QStringLiteral("{\\rtf1 tapé tel quel}"));
    EXPECT_EQ(RtfReader::toPlainText(box.textRTF()), QStringLiteral("{\\rtf1 tapé tel quel}"));

    // A stored text that is not RTF is kept as plain text and written back as RTF.
    box.setTextRTF(QStringLiteral("ancien message\nsur deux lignes"));
    EXPECT_EQ(box.text(), QStringLiteral("ancien message\r\nsur deux lignes"));
    EXPECT_TRUE(RtfReader::isRtf(box.textRTF()));
    EXPECT_EQ(RtfReader::toPlainText(box.textRTF()), box.text());
}

TEST(RtfEdit, LoadsEditsAndSavesRtf) {
    RtfEdit edit;
    edit.setTextRTF(kStored);
    EXPECT_EQ(edit.textCursor().position(), 0);
    EXPECT_FALSE(edit.document()->isUndoAvailable());
    EXPECT_EQ(edit.text(), QStringLiteral("Rappeler M. Lévesque 日"));

    edit.moveCursor(QTextCursor::End);
    QTest::keyClick(&edit, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClicks(&edit, QStringLiteral("gras"));
    QTest::keyClick(&edit, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_U, Qt::ControlModifier);
    QTest::keyClicks(&edit, QStringLiteral("it"));
    const QString rtf = edit.textRTF();
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\b gras\\b0\\i\\ul it\\par\r\n}"))) << rtf.toStdString();
    RtfEdit again; // saved and loaded again, it is the same text
    again.setTextRTF(rtf);
    EXPECT_EQ(again.textRTF(), rtf);
    EXPECT_EQ(again.text(), QStringLiteral("Rappeler M. Lévesque 日grasit"));
}

TEST(RtfEdit, ReportsKeysAndKeepsEscapeFromItsParent) {
    QWidget parent;
    auto* edit = new RtfEdit(&parent);
    QSignalSpy keys(edit, &RtfEdit::keyPress);
    QTest::keyClick(edit, Qt::Key_A);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    ASSERT_EQ(keys.count(), 3);
    EXPECT_EQ(QList<int>({keys.at(0).at(0).toInt(), keys.at(1).at(0).toInt(), keys.at(2).at(0).toInt()}),
              QList<int>({'a', 13, 27}));
    EXPECT_EQ(edit->text(), QStringLiteral("a\r\n"));
}
