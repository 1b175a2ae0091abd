#include "PresenceFixture.h"

#include <QRegularExpression>

namespace {

// The SQL block the README shows after the command that runs db/cles-presences.sql,
// without the list's indentation.
QString blocDuReadme() {
    QFile readme(QStringLiteral(CORVEL_SOURCE_DIR "/README.md"));
    if (!readme.open(QIODevice::ReadOnly)) return QString();
    const QString texte = QString::fromUtf8(readme.readAll());
    const qsizetype commande = texte.indexOf(QStringLiteral("mariadb corvel < db/cles-presences.sql"));
    if (commande < 0) return QString();
    const QRegularExpression bloc(QStringLiteral("\\n  ```sql\\n(.*?)\\n  ```\\n"),
                                  QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = bloc.match(texte, commande);
    if (!m.hasMatch()) return QString();
    QStringList lignes = m.captured(1).split(QLatin1Char('\n'));
    for (QString& l : lignes)
        if (l.startsWith(QStringLiteral("  "))) l.remove(0, 2);
    return lignes.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

TEST_F(PresenceBoard, TheReadmeUpgradeMergesDuplicatesAndAddsTheKeys) {
    const QString bloc = blocDuReadme();
    ASSERT_FALSE(bloc.isEmpty()) << "no SQL block after the command in the README";
    QFile fichier(QStringLiteral(CORVEL_SOURCE_DIR "/db/cles-presences.sql"));
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    EXPECT_EQ(bloc.toStdString(), fichier.readAll().toStdString())
        << "the README shows another script than the file";

    // An office database from before the keys, with what its writes left.
    sql(s("ALTER TABLE tblpresences DROP KEY ux_presence_jour; ALTER TABLE tblevenement DROP KEY "
          "ux_evenement_jour;"
          "INSERT INTO tblpresences (IdPresence, NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM, "
          "DescripPM) VALUES"
          " (1, 2, '2024-03-11', 2, 1, 'Absent', 'pm'), (2, 2, '2024-03-11', 3, 1, NULL, NULL),"
          " (3, 2, '2024-03-11', 1, 2, '', 'Absent'), (4, 3, '2024-03-11', 1, 1, 'seul', NULL),"
          " (5, 2, '2024-03-12', 1, 1, 'a', 'b'), (6, 2, '2024-03-12', 2, 2, 'c', NULL);"
          "INSERT INTO tblevenement (IdEvenement, DateEvenement, Description, BackColor, ForeColor) VALUES"
          " (1, '2024-03-11', 'Fête', 1, 2), (2, '2024-03-11', '', 3, 4), (3, '2024-03-12', 'x', 5, 6)"));
    m_db->runScript(bloc);
    // Of each day the newest row, with the newest note it lacked.
    EXPECT_EQ(
        value(s("SELECT GROUP_CONCAT(CONCAT_WS('/', IdPresence, NoEmploye, DatePresence, EtatAM, EtatPM,"
                " IFNULL(DescripAM, '-'), IFNULL(DescripPM, '-')) ORDER BY IdPresence SEPARATOR ' ')"
                " FROM tblpresences"))
            .toString()
            .toStdString(),
        "3/2/2024-03-11/1/2/Absent/Absent 4/3/2024-03-11/1/1/seul/- 6/2/2024-03-12/2/2/c/b");
    EXPECT_EQ(value(s("SELECT GROUP_CONCAT(CONCAT_WS('/', IdEvenement, Description, BackColor, ForeColor)"
                      " ORDER BY IdEvenement SEPARATOR ' ') FROM tblevenement"))
                  .toString()
                  .toStdString(),
              "2/Fête/3/4 3/x/5/6");
    // The keys hold, and running it again changes nothing.
    EXPECT_THROW(sql(s("INSERT INTO tblpresences (NoEmploye, DatePresence) VALUES (2, '2024-03-12')")),
                 platform::DbError);
    EXPECT_THROW(sql(s("INSERT INTO tblevenement (DateEvenement) VALUES ('2024-03-12')")), platform::DbError);
    m_db->runScript(bloc);
    EXPECT_EQ(value(s("SELECT COUNT(*) FROM tblpresences")).toInt(), 3) << "presences after a second run";
    EXPECT_EQ(value(s("SELECT COUNT(*) FROM tblevenement")).toInt(), 2) << "events after a second run";
    // The board finds the keys: it says nothing and writes.
    board(2);
    clicDroit(4, 4, etatPour(kMatin, 2));
    EXPECT_EQ(m_chooser.messagesShown.join(s(" | ")).toStdString(), "");
    EXPECT_EQ(jour("2024-03-13"), (Jour{2, s("Absent"), 1, kNul}));
}

TEST_F(PresenceBoard, WithoutTheUniqueKeysTheBoardShowsWritesNothingAndSaysWhatToRun) {
    sql(s("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, DescripAM) VALUES (2, '2024-03-11', 2, "
          "'Absent'); ALTER TABLE tblpresences DROP KEY ux_presence_jour"));
    presence::frmPresence& w = board(2);
    EXPECT_EQ(w.SGrid->CellText(4, 2).toStdString(), "Absent") << "the board still shows the week";
    ASSERT_EQ(m_chooser.messagesShown.size(), 1) << m_chooser.messagesShown.join(s(" | ")).toStdString();
    const QString message = m_chooser.messagesShown[0];
    EXPECT_TRUE(message.contains(s("de la table tblpresences")) && message.contains(s("aucune présence.")) &&
                message.contains(s("mariadb NOM_DE_LA_BASE < db/cles-presences.sql")))
        << message.toStdString();
    EXPECT_TRUE(log().contains(s("db/cles-presences.sql"))) << "not in Erreur.log";
    EXPECT_EQ(value(s("SELECT GROUP_CONCAT(ErrNumber, Fonction) FROM tblerreur")).toString().toStdString(),
              "1176Form_Load");

    // A state, a cleared note, a typed note: nothing is written, and nothing more is said.
    clicDroit(4, 3, etatPour(kMatin, 2));
    clicDroit(4, 2, effacerNotes(kMatin));
    EXPECT_FALSE(editer(w.SGrid, 4, 3)) << "an editor opened on a half-day";
    EXPECT_EQ(value(s("SELECT COUNT(*) FROM tblpresences")).toInt(), 1);
    EXPECT_EQ(m_chooser.messagesShown.size(), 1);

    // A manager's board: the events row, whose key is there, stays writable until its key goes too.
    board(8);
    EXPECT_TRUE(editer(m_w->SGrid, 1, 2)) << "the events row was refused with its key present";
    m_w->txtEdit_KeyDown(27, 0);
    sql(s("ALTER TABLE tblevenement DROP KEY ux_evenement_jour"));
    board(8);
    EXPECT_TRUE(m_chooser.messagesShown.value(2).contains(s("des tables tblpresences et tblevenement")))
        << m_chooser.messagesShown.join(s(" | ")).toStdString();
    const qsizetype menus = m_chooser.menusShown.size();
    clicDroit(1, 2, 1);
    EXPECT_FALSE(editer(m_w->SGrid, 1, 2));
    EXPECT_EQ(m_chooser.menusShown.size(), menus) << "a menu was shown on the events row";
    EXPECT_EQ(value(s("SELECT COUNT(*) FROM tblevenement")).toInt(), 0);
}

} // namespace
