#include "platform/TexteLimite.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The server counts characters: an emoji is one (two UTF-16 units), a letter and its
// combining accent are two. A cut keeps whole characters and never parts a letter from
// its accent, which the server would store as "?" or a bare letter.
TEST(TexteLimite, CountsAndCutsWholeCharacters) {
    const QString accent = u"cafe\u0301"_s; // "café" with the accent as a character of its own
    struct Cas {
        const char* quoi;
        QString texte;
        qsizetype caracteres;
        int max;
        QString coupe;
    };
    const Cas cas[] = {
        {"an emoji first", u"😀abc"_s, 4, 2, u"😀a"_s},
        {"emojis before the cut", u"😀😀😀abc"_s, 6, 4, u"😀😀😀a"_s},
        {"an emoji last, kept whole", u"ab😀c"_s, 4, 3, u"ab😀"_s},
        {"a cut after the letter of a combining accent", accent + u's', 6, 4, u"caf"_s},
        {"the letter and its accent both in", accent + u's', 6, 5, accent},
        {"short enough: unchanged", u"😀é"_s, 2, 2, u"😀é"_s},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        EXPECT_EQ(platform::nombreCaracteres(c.texte), c.caracteres);
        EXPECT_EQ(platform::couperTexte(c.texte, c.max).toStdString(), c.coupe.toStdString());
    }
}

// What is typed or pasted past the limit is dropped from what went in last, and the cursor
// stays just after what was kept, where the user goes on typing.
TEST(TexteLimite, ABoxKeepsWhatWasThereAndTheCursorAfterTheKeptPaste) {
    QLineEdit box;
    platform::limiterSaisie(&box, 5);
    box.setText(u"abcd"_s);
    box.setCursorPosition(2);
    box.insert(u"XYZ"_s); // a paste between "ab" and "cd"
    EXPECT_EQ(box.text().toStdString(), "abXcd");
    EXPECT_EQ(box.cursorPosition(), 3) << "the cursor after the pasted X that was kept";

    SCOPED_TRACE("emojis take two units each: the box still holds as many characters");
    box.clear();
    box.insert(u"😀😀😀😀😀😀"_s);
    EXPECT_EQ(box.text().toStdString(), u"😀😀😀😀😀"_s.toStdString());

    SCOPED_TRACE("emojis after the cursor count one character each");
    platform::limiterSaisie(&box, 4);
    box.setText(u"😀😀"_s);
    box.setCursorPosition(0);
    box.insert(u"abc"_s);
    EXPECT_EQ(box.text().toStdString(), u"ab😀😀"_s.toStdString());
    EXPECT_EQ(box.cursorPosition(), 2);
}

} // namespace
