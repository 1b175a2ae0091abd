#include "platform/Database.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A statement of characters that take three bytes each ("€", and most of what is not
// Latin) is a third as long in characters as in bytes: the limit counts its bytes. Exactly
// at the limit (with the command's own byte) it is refused before it is sent, and the
// connection stays; one byte less goes through whole.
TEST(Paquet, ThreeByteCharactersAreCountedInBytesAtTheServersLimit) {
    REQUIRE_TEST_DB();
    TestDb base(u"paquet"_s);
    platform::Database& db = base.db();
    const qint64 max = db.maxAllowedPacket();
    ASSERT_GT(max, 1000);
    const QString debut = u"SELECT CHAR_LENGTH('"_s, fin = u"')"_s;
    // Bytes of the statement with its command byte: the limit exactly.
    const qint64 place = max - 1 - debut.size() - fin.size();
    const qsizetype euros = qsizetype(place / 3);
    const QString lettres(qsizetype(place % 3), u'a');
    const QString auMax = debut + QString(euros, u'€') + lettres + fin;
    ASSERT_EQ(auMax.toUtf8().size() + 1, max);

    try {
        db.open(auMax);
        ADD_FAILURE() << "a statement of " << max << " bytes with its command byte was sent";
    } catch (const platform::DbError& e) {
        EXPECT_EQ(e.number(), platform::DbError::kTropLong) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(QString::number(max))) << e.text().toStdString();
    }
    ASSERT_TRUE(db.isOpen()) << "the connection stays";

    SCOPED_TRACE("one byte less: a euro becomes two letters");
    const QString sousLeMax = debut + QString(euros - 1, u'€') + lettres + u"aa"_s + fin;
    ASSERT_EQ(sousLeMax.toUtf8().size() + 2, max);
    EXPECT_EQ(db.open(sousLeMax).field(0).toLongLong(), euros - 1 + lettres.size() + 2);
}

} // namespace
