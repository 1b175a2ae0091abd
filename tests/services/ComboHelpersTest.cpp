#include "services/ComboHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace services;

namespace {

// A filter combo wired as the message grid wires its own: key-down then change.
class TypeAhead : public ::testing::Test {
protected:
    void SetUp() override {
        combo.setEditable(true);
        combo.setCompleter(nullptr);
        combo.setInsertPolicy(QComboBox::NoInsert);
        const int ids[] = {0, 4, 7, 9, 12};
        for (const QString& name :
             QStringLiteral("Tous|Bélanger, Marc|Bouchard|Boucher|bouchard, Luc").split(u'|'))
            combo.addItem(name, ids[combo.count()]);
        QObject::connect(&combo, &QComboBox::editTextChanged, &combo, [this] {
            ++changes;
            CboChange(&combo);
        });
        combo.lineEdit()->clear();
        setCboCompletionEnabled(false);
        changes = 0;
    }
    QLineEdit* edit() { return combo.lineEdit(); }
    void type(int keyCode, Qt::Key key) {
        CboKeyDown(&combo, keyCode);
        QTest::keyClick(edit(), key, Qt::NoModifier);
    }
    void typeText(const QString& text) {
        for (const QChar c : text) {
            CboKeyDown(&combo, c.toUpper().unicode());
            QTest::keyClicks(edit(), QString(c));
        }
    }

    QWidget window; // before the combo: the combo leaves it first
    QComboBox combo;
    int changes = 0;
};

TEST_F(TypeAhead, CompletesWithFirstEntryAndSelectsTheRest) {
    typeText(QStringLiteral("b"));
    EXPECT_EQ(edit()->text(), QStringLiteral("Bélanger, Marc"));
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("élanger, Marc"));
    typeText(QStringLiteral("OU"));
    EXPECT_EQ(edit()->text(), QStringLiteral("Bouchard"));
    EXPECT_EQ(edit()->selectionStart(), 3);
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("chard"));
    typeText(QStringLiteral("che"));
    EXPECT_EQ(edit()->text(), QStringLiteral("Boucher"));
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("r"));
    // Writing the completion raised no change of its own.
    EXPECT_EQ(changes, 6);
}

TEST_F(TypeAhead, BackspaceAndDeleteSuspendOneCompletion) {
    typeText(QStringLiteral("bou"));
    ASSERT_EQ(edit()->text(), QStringLiteral("Bouchard"));
    type(8, Qt::Key_Backspace); // removes the selected completion
    EXPECT_EQ(edit()->text(), QStringLiteral("Bou"));
    EXPECT_TRUE(cboCompletionEnabled()); // the change turned it back on
    typeText(QStringLiteral("c"));
    EXPECT_EQ(edit()->text(), QStringLiteral("Bouchard"));

    edit()->setCursorPosition(0);
    type(46, Qt::Key_Delete);
    EXPECT_EQ(edit()->text(), QStringLiteral("ouchard"));
}

TEST_F(TypeAhead, NoMatchLeavesTextItemDataChoosesAndEnterFocusesTheCombo) {
    EXPECT_TRUE(CboSetListIndex(&combo, 9));
    EXPECT_EQ(combo.currentIndex(), 3);
    EXPECT_FALSE(CboSetListIndex(&combo, 99)); // an unknown value leaves the choice alone
    EXPECT_EQ(combo.currentIndex(), 3);
    combo.lineEdit()->clear();
    typeText(QStringLiteral("z"));
    EXPECT_EQ(edit()->text(), QStringLiteral("z"));
    EXPECT_TRUE(edit()->selectedText().isEmpty());

    // Enter moves the focus to the combo from elsewhere in its window, leaving the flag alone.
    QLineEdit other(&window);
    combo.setParent(&window);
    other.move(0, 40);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other.setFocus();
    ASSERT_TRUE(other.hasFocus());
    const bool before = cboCompletionEnabled();
    CboKeyDown(&combo, 13);
    EXPECT_EQ(cboCompletionEnabled(), before);
    EXPECT_FALSE(other.hasFocus());
    EXPECT_TRUE(combo.hasFocus());
}

TEST(KeyFilter, OnlyDigitsAndBackspacePass) {
    for (int c : {48, 57, 8})
        EXPECT_EQ(ValidNumeriqueSeulement(c), c);
    for (int c : {0, 13, 27, 32, 45, 46, 47, 58, 65, 97, 233})
        EXPECT_EQ(ValidNumeriqueSeulement(c), 0) << c;
}

} // namespace
