#include "services/ComboHelpers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace services;
using namespace Qt::Literals::StringLiterals;

namespace {

// A filter combo wired as the message grid wires its own: key-down then change.
class TypeAhead : public ::testing::Test {
protected:
    void SetUp() override {
        combo.setEditable(true);
        combo.setCompleter(nullptr);
        combo.setInsertPolicy(QComboBox::NoInsert);
        const int ids[] = {0, 4, 7, 9, 12};
        for (const QString& name : u"Tous|Bélanger, Marc|Bouchard|Boucher|bouchard, Luc"_s.split(u'|'))
            combo.addItem(name, ids[combo.count()]);
        QObject::connect(&combo, &QComboBox::editTextChanged, &combo, [this] {
            ++changes;
            CboChange(&combo);
        });
        combo.lineEdit()->clear();
        setCboCompletionEnabled(false);
        changes = 0;
    }
    // Types the text, or the key when one is given; then the text and its selected part.
    QString type(const QString& text, int keyCode = 0, Qt::Key key = Qt::Key_unknown) {
        for (const QChar c : text) {
            CboKeyDown(&combo, c.toUpper().unicode());
            QTest::keyClicks(combo.lineEdit(), QString(c));
        }
        if (keyCode) {
            CboKeyDown(&combo, keyCode);
            QTest::keyClick(combo.lineEdit(), key, Qt::NoModifier);
        }
        return combo.lineEdit()->text() + u'|' + combo.lineEdit()->selectedText();
    }

    QComboBox combo;
    int changes = 0;
};

// Each letter completes with the first entry that begins with the text, case ignored, and
// selects the rest; writing the completion raises no change of its own.
TEST_F(TypeAhead, CompletesWithFirstEntryAndSelectsTheRest) {
    EXPECT_EQ(type(u"b"_s), u"Bélanger, Marc|élanger, Marc"_s);
    EXPECT_EQ(type(u"OU"_s), u"Bouchard|chard"_s);
    EXPECT_EQ(combo.lineEdit()->selectionStart(), 3);
    EXPECT_EQ(type(u"che"_s), u"Boucher|r"_s);
    EXPECT_EQ(changes, 6);
}

// Backspace removes the selected completion and Delete a letter, each without completing;
// the change turns completion back on.
TEST_F(TypeAhead, BackspaceAndDeleteSuspendOneCompletion) {
    type(u"bou"_s);
    EXPECT_EQ(type(QString(), 8, Qt::Key_Backspace), u"Bou|"_s);
    EXPECT_TRUE(cboCompletionEnabled());
    EXPECT_EQ(type(u"c"_s), u"Bouchard|hard"_s);
    combo.lineEdit()->setCursorPosition(0);
    EXPECT_EQ(type(QString(), 46, Qt::Key_Delete), u"ouchard|"_s);
}

// An item data chooses its entry, an unknown one leaves the choice alone; a text no entry
// begins with stays as typed.
TEST_F(TypeAhead, NoMatchLeavesTextAndItemDataChooses) {
    EXPECT_TRUE(CboSetListIndex(&combo, 9));
    EXPECT_FALSE(CboSetListIndex(&combo, 99));
    EXPECT_EQ(combo.currentIndex(), 3);
    combo.lineEdit()->clear();
    EXPECT_EQ(type(u"z"_s), u"z|"_s);
}

TEST(KeyFilter, OnlyDigitsAndBackspacePass) {
    for (int c : {0, 8, 13, 27, 32, 45, 46, 47, 48, 57, 58, 65, 97, 233})
        EXPECT_EQ(ValidNumeriqueSeulement(c), c == 8 || c == 48 || c == 57 ? c : 0) << c;
}

} // namespace
