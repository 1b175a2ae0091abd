#include "entry/frmSuiviAppel.h"
#include "entry/EnregistrementMessage.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/RichTextBox.h"
#include "platform/RtfEdit.h"
#include "platform/SqlText.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "support/Etapes.h"
#include "support/MiseEnPage.h"
#include "support/ScriptedChooser.h"
#include "support/TestDb.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTreeWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>

namespace {

using namespace Qt::StringLiterals;

using entry::frmSuiviAppel;

// A recipient row of a message as stored.
struct Destinataire {
    qint32 noEmplA = 0, nouveau = 0, idEtat = 0, noMsgJourRecu = 0, noMsgJourEnvoi = 0, noEmplDe = 0;
    QString dateTermine; // "NULL" when not finished
    bool operator==(const Destinataire& o) const {
        return std::tie(noEmplA, nouveau, idEtat, noMsgJourRecu, noMsgJourEnvoi, noEmplDe, dateTermine) ==
               std::tie(o.noEmplA, o.nouveau, o.idEtat, o.noMsgJourRecu, o.noMsgJourEnvoi, o.noEmplDe,
                        o.dateTermine);
    }
};
void PrintTo(const Destinataire& d, std::ostream* os) {
    *os << "{NoEmplA " << d.noEmplA << ", Nouveau " << d.nouveau << ", IdEtat " << d.idEtat
        << ", NoMsgJourRecu " << d.noMsgJourRecu << ", NoMsgJourEnvoi " << d.noMsgJourEnvoi << ", NoEmplDe "
        << d.noEmplDe << ", DateTermine " << d.dateTermine.toStdString() << '}';
}
// Julie's (2) message as a new one stores it for recipient `a`: unread, in state `etat`, with
// the day's numbers given.
Destinataire nouveauPour(qint32 a, qint32 etat, qint32 recu, qint32 envoi, qint32 de = 2) {
    return {a, 1, etat, recu, envoi, de, u"NULL"_s};
}

// Stands in for the message-list window: records the numbers it is told about.
class MereDouble : public QObject {
    Q_OBJECT
public:
    QList<qint32> recus;
    Q_INVOKABLE void UpdateMsg(qint32 IdMessage) { recus << IdMessage; }
};

// The message form of Julie (2), opened by a message list, on 2024-03-05 at 10:15.
class frmSuiviAppelTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        m_db = std::make_unique<TestDb>(u"entry"_s);
        services::setErrorLogPath(m_logDir.filePath(u"Erreur.log"_s));
        m_db->runScript(QStringLiteral(
            "INSERT INTO tblemploye (NoEmploye, Nom, Actif) VALUES (1, 'Système', 1), (2, 'Julie', 1),"
            " (3, 'Marc', 1), (4, 'Zoé', 1), (5, 'Anne', 1), (6, 'Ancien', 0);\n"
            "INSERT INTO tblacces_empl VALUES (14, 2), (14, 3), (14, 4), (14, 6), (5, 5);\n"
            "INSERT INTO tblordreemployemsg (NoEmploye, Ordre) VALUES (4, 1);\n"
            "INSERT INTO tblpriorite VALUES (1, 'Urgente'), (2, 'Normale'), (3, 'Basse');\n"
            "INSERT INTO tbletatmessage (IdEtat, Description, Ordre) VALUES (1, 'Ouvert', 1),"
            " (2, 'En cours', 3), (3, 'À rappeler', 2), (4, 'Terminé', 4);\n"
            "INSERT INTO tbltypemessage VALUES (1, 'Rappeler'), (2, 'Dossier urgent');\n"
            // A blank company name is left out of the caller's text like a missing one.
            "INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, NomCie) VALUES"
            " (1, 'Tremblay', 'Luc', 'Acme'), (2, 'Bédard', 'Anne', ' ');\n"));
        services::Session::lngNoEmploye = 2; // Julie
        platform::Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(10, 15, 0)));
        services::Session::verifMessages = [this](bool flag) { return m_verifs << flag, true; };
        f = std::make_unique<frmSuiviAppel>();
        f->frmMere = &m_mere;
        autre.open(m_db->config().connectionSettings());
    }
    void TearDown() override {
        f.reset();
        services::Session::verifMessages = nullptr;
        services::Session::onConnectionLost = nullptr;
        platform::Clock::setFixed(QDateTime());
    }
    template <class T> T* child(const char* name) { return enfant<T>(f.get(), name); }
    QComboBox* combo(const char* name) { return child<QComboBox>(name); }
    platform::RtfEdit* txt() { return child<platform::RtfEdit>("txtMessage"); }
    // Ticks a recipient and writes the text: a new message ready to save. False when the
    // recipient is not listed once.
    [[nodiscard]] bool preparer(const QString& nom, const QString& texte) {
        if (!nom.isEmpty()) {
            const auto found = child<QTreeWidget>("lstEmploye")->findItems(nom, Qt::MatchExactly, 0);
            EXPECT_EQ(found.size(), 1) << "recipient " << nom.toStdString();
            if (found.size() != 1) return false;
            found.first()->setCheckState(0, Qt::Checked);
        }
        txt()->setPlainText(texte);
        txt()->document()->setModified(true); // as typing it would
        return true;
    }
    // The name of the widget that has the focus.
    static QString focus() {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : u"(aucun)"_s;
    }
    // The first column of every row a statement returns.
    QStringList colonne(const QString& sql) {
        QStringList out;
        for (auto rs = m_db->db().open(sql); !rs.eof(); rs.moveNext())
            out << rs.field(0).text();
        return out;
    }
    // A message of yesterday from Zoé whose stored text is the plain text given.
    void message(qint32 id, const QString& texte, platform::Database* db = nullptr) {
        platform::RichTextBox box;
        box.setText(texte);
        (db ? *db : m_db->db())
            .execute(u"INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, "
                     "Message) VALUES (%1, '2024-03-04', '09:30:00', 3, 1, %2) ON DUPLICATE KEY UPDATE "
                     "Message = VALUES(Message)"_s.arg(id)
                         .arg(platform::sqlRichText(box.textRTF())));
    }
    QString scalar(const QString& sql) {
        auto rs = m_db->db().open(sql);
        return rs.eof() ? u"<aucune>"_s : rs.field(0).text();
    }
    QString texteStocke(qint64 id) {
        platform::RichTextBox box;
        box.setTextRTF(scalar(u"SELECT Message FROM tblmessage WHERE IdMessage = %1"_s.arg(id)));
        return box.text();
    }
    // The recipient rows of a message, by recipient.
    QList<Destinataire> destinataires(qint64 id) {
        QList<Destinataire> out;
        for (auto rs =
                 m_db->db().open(u"SELECT NoEmplA, Nouveau, IdEtat, NoMsgJourRecu, NoMsgJourEnvoi, NoEmplDe, "
                                 "IFNULL(DateTermine, 'NULL') FROM tblmessageemploye WHERE IdMessage = %1 "
                                 "ORDER BY NoEmplA"_s.arg(id));
             !rs.eof(); rs.moveNext())
            out << Destinataire{rs.field(0).toInt(), rs.field(1).toInt(), rs.field(2).toInt(),
                                rs.field(3).toInt(), rs.field(4).toInt(), rs.field(5).toInt(),
                                rs.field(6).text()};
        return out;
    }
    qint64 dernierMessage() { return scalar(u"SELECT MAX(IdMessage) FROM tblmessage"_s).toLongLong(); }
    // The rows a message writes: the message, its folders, its recipients.
    QString lignes() {
        return scalar(
            u"SELECT (SELECT COUNT(*) FROM tblmessage) + (SELECT COUNT(*) FROM tblmessagedossier) + "
            "(SELECT COUNT(*) FROM tblmessageemploye)"_s);
    }
    // A message from Julie to Marc as a workstation saves it: moment, priority, caller, text,
    // folders, sender, recipients, state, types.
    static entry::NouveauMessage nouveau(QList<int> types = {}) {
        return {QDateTime(QDate(2024, 3, 5), QTime(10, 15)), 2, 0, u"Rappeler"_s, {}, 2, {3}, 1, types};
    }

    QTemporaryDir m_logDir;
    std::unique_ptr<TestDb> m_db;
    QList<bool> m_verifs;
    ScriptedChooser m_chooser;
    MereDouble m_mere;
    std::unique_ptr<frmSuiviAppel> f;
    platform::Database autre; // another workstation
};

TEST_F(frmSuiviAppelTest, NewMessageWritesEveryRowWithDailyNumbers) {
    // Yesterday's numbers do not count today.
    message(50, u"x"_s);
    m_db->db().execute(u"INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, NoMsgJourRecu, "
                       "NoMsgJourEnvoi) VALUES (50, 2, 3, 5, 7)"_s);
    {
        SCOPED_TRACE("the lists and their defaults");
        // States by Ordre; recipients with right 14 only, active only, the ordered employee
        // first, then by name.
        EXPECT_EQ(combo("cboClient")->itemText(1), u"Bédard, Anne"_s);
        EXPECT_EQ(combo("cboPriorite")->currentText(), u"Normale"_s);
        EXPECT_EQ(combo("cboEtat")->itemText(1), u"À rappeler"_s);
        auto* lst = child<QTreeWidget>("lstEmploye");
        QStringList noms;
        for (int i = 0; i < lst->topLevelItemCount(); ++i)
            noms << lst->topLevelItem(i)->text(0);
        ASSERT_EQ(noms, (QStringList{u"Zoé"_s, u"Julie"_s, u"Marc"_s}));
    }

    // Quotes, apostrophes, backslashes and braces come back byte for byte.
    const QString texte = u"Il a dit \"allô\" à l'été : C:\\dossiers\\{2024}\\ — 50 €"_s;
    {
        SCOPED_TRACE("a first message to Marc and Zoé");
        ASSERT_TRUE(preparer(u"Marc"_s, texte));
        ASSERT_TRUE(preparer(u"Zoé"_s, texte));
        combo("cboClient")->setCurrentIndex(2);
        combo("cboPriorite")->setCurrentIndex(0);
        combo("cboEtat")->setCurrentIndex(1);                               // À rappeler (3)
        child<QListWidget>("lstType")->item(0)->setCheckState(Qt::Checked); // Dossier urgent (2)
        // Folders are trimmed, without empties or repeats.
        child<QLineEdit>("txtDossier")->setText(u" 123, O'Neil\\2 ,,123"_s);
        f->cmdEnregistrer_Click();

        const qint64 id = dernierMessage();
        EXPECT_EQ(f->idMessage(), id);
        EXPECT_EQ(texteStocke(id), texte);
        const auto rs = m_db->db().open(
            u"SELECT DateSaisie, HeureSaisie, IdPriorite, IdClientMsg FROM tblmessage WHERE IdMessage = %1"_s
                .arg(id));
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.field(u"DateSaisie"_s).text(), u"2024-03-05"_s);
        EXPECT_EQ(rs.field(u"HeureSaisie"_s).text(), u"10:15:00"_s);
        EXPECT_EQ(rs.field(u"IdPriorite"_s).text(), u"1"_s);  // Urgente
        EXPECT_EQ(rs.field(u"IdClientMsg"_s).text(), u"1"_s); // Tremblay
        EXPECT_EQ(colonne(u"SELECT NoDossier FROM tblmessagedossier WHERE IdMessage = %1 ORDER BY "
                          "IdMessageDossier"_s.arg(id)),
                  (QStringList{u"123"_s, u"O'Neil\\2"_s}));
        EXPECT_EQ(colonne(u"SELECT IdType FROM tblmessagetype WHERE IdMessage = %1"_s.arg(id)),
                  QStringList{u"2"_s});
        EXPECT_EQ(destinataires(id), (QList<Destinataire>{nouveauPour(3, 3, 1, 1), nouveauPour(4, 3, 1, 1)}));
    }
    {
        SCOPED_TRACE("a second message from Julie to Marc the same day");
        f->cmdNouveau_Click();
        ASSERT_TRUE(preparer(u"Marc"_s, u"Deuxième"_s));
        f->cmdEnregistrer_Click();
        EXPECT_EQ(destinataires(dernierMessage()), QList<Destinataire>{nouveauPour(3, 1, 2, 2)});
    }
    {
        SCOPED_TRACE("a message from Zoé to Marc");
        services::Session::lngNoEmploye = 4; // Zoé
        f->cmdNouveau_Click();
        ASSERT_TRUE(preparer(u"Marc"_s, u"Troisième"_s));
        f->cmdEnregistrer_Click();
        EXPECT_EQ(destinataires(dernierMessage()), QList<Destinataire>{nouveauPour(3, 1, 3, 1, 4)});
    }
}

// The focus goes back to what is missing, said in a message box, and nothing is written: a
// recipient, a text that is not all blanks, a folder number within its column's fifty characters.
TEST_F(frmSuiviAppelTest, WhatIsMissingOrTooLongIsSaidAndNothingIsWritten) {
    f->show();
    QApplication::setActiveWindow(f.get());
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(f.get()), "");
    const auto refuser = [&](const char* champ, const QString& message) {
        m_chooser.messagesShown.clear();
        f->cmdEnregistrer_Click();
        EXPECT_EQ(focus(), QLatin1String(champ));
        EXPECT_EQ(m_chooser.messagesShown, QStringList{message});
    };
    {
        SCOPED_TRACE("no recipient");
        ASSERT_TRUE(preparer(QString(), u"Un message"_s));
        refuser("lstEmploye", u"Veuillez choisir au moins un destinataire."_s);
        ASSERT_EQ(lignes(), u"0"_s);
    }
    {
        SCOPED_TRACE("a text of blanks only");
        ASSERT_TRUE(preparer(u"Julie"_s, u"  \n "_s));
        refuser("txtMessage", u"Veuillez inscrire le message."_s);
        ASSERT_EQ(lignes(), u"0"_s);
    }
    {
        SCOPED_TRACE("a folder number of 51 characters");
        ASSERT_TRUE(preparer(QString(), u"Un message"_s));
        child<QLineEdit>("txtDossier")->setText(u"A-1, "_s + QString(51, u'9'));
        refuser("txtDossier", u"Le numéro de dossier « %1 » dépasse 50 caractères."_s.arg(QString(51, u'9')));
        ASSERT_EQ(lignes(), u"0"_s);
    }
}

// Fifty characters fit, an emoji counting as one. The types are written last: when they fail, the
// message, its folder and its recipient are in by then, and all go; saving again makes one message.
TEST_F(frmSuiviAppelTest, AFailedSaveLeavesNothingAndTheNextOneWritesOneMessage) {
    ASSERT_TRUE(preparer(u"Julie"_s, u"Un message"_s));
    child<QLineEdit>("txtDossier")->setText(QString(49, u'9') + u"😀"_s);
    child<QListWidget>("lstType")->item(0)->setCheckState(Qt::Checked);
    {
        SCOPED_TRACE("the types cannot be written");
        m_db->db().execute(u"RENAME TABLE tblmessagetype TO tblmessagetype_hors"_s);
        f->cmdEnregistrer_Click();
        m_db->db().execute(u"RENAME TABLE tblmessagetype_hors TO tblmessagetype"_s);
        EXPECT_EQ(m_chooser.messagesShown, QStringList{u"Le message n'a pas été enregistré."_s});
        ASSERT_EQ(lignes(), u"0"_s);
    }
    {
        SCOPED_TRACE("saved again");
        f->cmdEnregistrer_Click();
        EXPECT_EQ(lignes(), u"3"_s);
        EXPECT_EQ(m_mere.recus, QList<qint32>{qint32(dernierMessage())});
    }
}

TEST_F(frmSuiviAppelTest, LoadingReadingAndSavingAMessageCallsTheOpenerBack) {
    message(10, u"Rappeler Luc pour le dossier."_s);
    m_db->runScript(
        u"INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat) VALUES"
        " (10, 4, 2, 1, 1), (10, 4, 3, 1, 3);\n"
        "INSERT INTO tblmessagetype (IdMessage, IdType) VALUES (10, 1);\n"
        "INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (10, 'A-1'), (10, 'B-2');\n"_s);
    // The unread flags of Julie's row, then Marc's.
    const QString nouveaux = u"SELECT Nouveau FROM tblmessageemploye ORDER BY NoEmplA"_s;
    {
        SCOPED_TRACE("read by someone who is not a recipient: nothing changes, nobody counts again");
        services::Session::lngNoEmploye = 5; // Anne
        f->ChargeMessage(10);
        EXPECT_EQ(colonne(nouveaux), (QStringList{u"1"_s, u"1"_s}));
        EXPECT_EQ(combo("cboEtat")->currentText(), QString()); // no row of his: no state
    }
    auto* lst = child<QTreeWidget>("lstEmploye");
    {
        SCOPED_TRACE("read by a recipient: only his unread flag goes, and the shell counts again");
        services::Session::lngNoEmploye = 2; // Julie
        f->ChargeMessage(10);
        EXPECT_EQ(txt()->toPlainText(), u"Rappeler Luc pour le dossier."_s);
        EXPECT_EQ(child<QLabel>("lblClient")->text(), u"Tremblay, Luc, Acme"_s);
        EXPECT_EQ(combo("cboPriorite")->currentText(), u"Basse"_s);
        EXPECT_EQ(child<QLineEdit>("txtDossier")->text(), u"A-1, B-2"_s);
        EXPECT_EQ(child<QListWidget>("lstType")->item(1)->checkState(), Qt::Checked); // Rappeler
        ASSERT_EQ(lst->topLevelItemCount(), 2);
        // Each recipient with the state of his own row.
        EXPECT_EQ((QStringList{lst->topLevelItem(0)->text(0), lst->topLevelItem(0)->text(1),
                               lst->topLevelItem(1)->text(1)}),
                  (QStringList{u"Julie"_s, u"Ouvert"_s, u"À rappeler"_s}));
        EXPECT_EQ(colonne(nouveaux), (QStringList{u"0"_s, u"1"_s}));
        EXPECT_EQ(m_verifs, QList<bool>{false});
    }
    const QList<Destinataire> recipients = destinataires(10);
    {
        SCOPED_TRACE("a loaded message saves its text, and leaves its recipients alone");
        ASSERT_TRUE(preparer(QString(), u"Rappelé, voir l'été"_s));
        f->cmdEnregistrer_Click();
        EXPECT_EQ(m_mere.recus, QList<qint32>{10});
        EXPECT_EQ(texteStocke(10), u"Rappelé, voir l'été"_s);
        EXPECT_EQ(destinataires(10), recipients);
    }
    {
        SCOPED_TRACE("each recipient sees the state of his own row");
        services::Session::lngNoEmploye = 3; // Marc
        f->ChargeMessage(10);
        EXPECT_EQ(combo("cboEtat")->currentText(), u"À rappeler"_s);
        services::Session::lngNoEmploye = 2; // Julie
    }
    {
        SCOPED_TRACE("lost, the database refuses the save; the text stays in the form and the user is told");
        platform::Database* cn = services::Session::cnBD();
        services::Session::setConnection(nullptr);
        m_chooser.messagesShown.clear();
        f->cmdEnregistrer_Click();
        services::Session::setConnection(cn);
        ASSERT_EQ(m_chooser.messagesShown.size(), 1);
        EXPECT_TRUE(m_chooser.messagesShown[0].endsWith(u"dès que la base de données répondra."_s))
            << m_chooser.messagesShown[0].toStdString();
        EXPECT_EQ(txt()->toPlainText(), u"Rappelé, voir l'été"_s);
    }
    {
        SCOPED_TRACE("an unknown number leaves an empty form with the possible recipients");
        f->ChargeMessage(999);
        EXPECT_EQ(f->idMessage(), 0);
        EXPECT_EQ(lst->topLevelItemCount(), 3);
    }
    ETAPE("an opener without UpdateMsg: the report names this form as the window");
    QObject sansUpdateMsg;
    f->frmMere = &sansUpdateMsg;
    ASSERT_TRUE(preparer(u"Marc"_s, u"Nouveau"_s));
    f->cmdEnregistrer_Click();
    EXPECT_EQ(scalar(u"SELECT Form FROM tblerreur ORDER BY IdErreur DESC LIMIT 1"_s), u"frmSuiviAppel"_s);
    EXPECT_EQ(scalar(u"SELECT Fonction FROM tblerreur ORDER BY IdErreur DESC LIMIT 1"_s),
              u"cmdEnregistrer_Click"_s);
}

// Another workstation changes the loaded message behind the form.
TEST_F(frmSuiviAppelTest, SavingALoadedMessageWritesOnlyWhatTheUserChanged) {
    message(10, u"Rappeler Luc"_s);
    m_db->db().execute(u"INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA) VALUES (10, 4, 2)"_s);
    QString termine = u"Rappeler Luc\nTerminé le 2024-03-05 à 10:20:00 par Marc"_s;
    f->ChargeMessage(10);
    // The first message box of the save, up to the length of `debut`.
    const auto enregistrer = [&](const QString& debut) {
        m_chooser.messagesShown.clear();
        f->cmdEnregistrer_Click();
        EXPECT_EQ(m_chooser.messagesShown.value(0).left(debut.size()), debut);
    };
    {
        SCOPED_TRACE("a line appended elsewhere stays when the user changed only the priority, and shows");
        message(10, termine, &autre);
        combo("cboPriorite")->setCurrentIndex(0);
        enregistrer(u"Message enregistré avec succès."_s);
        EXPECT_EQ(texteStocke(10), u"Rappeler Luc\r\nTerminé le 2024-03-05 à 10:20:00 par Marc"_s);
        EXPECT_EQ(scalar(u"SELECT IdPriorite FROM tblmessage WHERE IdMessage = 10"_s), u"1"_s);
        EXPECT_EQ(txt()->toPlainText(), termine);
    }
    {
        SCOPED_TRACE("another line meanwhile: it follows the user's text");
        message(10, termine + u"\nEn cours"_s, &autre);
        txt()->moveCursor(QTextCursor::Start);
        txt()->insertPlainText(u"Urgent : "_s);
        enregistrer(u"Message enregistré avec succès."_s);
        EXPECT_EQ(texteStocke(10), u"Urgent : "_s + termine.replace(u"\n"_s, u"\r\n"_s) + u"\r\nEn cours"_s);
    }
    {
        SCOPED_TRACE("rewritten elsewhere: asked; \"Non\" keeps the other text, in the form too");
        message(10, u"Ne pas rappeler"_s, &autre);
        txt()->insertPlainText(u"Vite "_s);
        m_chooser.boxAnswers = {platform::MsgResult::No};
        enregistrer(u"Le texte de ce message a été modifié"_s);
        EXPECT_EQ(texteStocke(10), u"Ne pas rappeler"_s);
        EXPECT_EQ(txt()->toPlainText(), u"Ne pas rappeler"_s);
        EXPECT_EQ(m_mere.recus, (QList<qint32>{10, 10, 10}));
    }
    ETAPE("deleted elsewhere: said, and the text stays to be copied");
    autre.execute(u"DELETE FROM tblmessage WHERE IdMessage = 10"_s);
    txt()->insertPlainText(u"Vite "_s);
    enregistrer(u"Ce message n'existe plus"_s);
    EXPECT_EQ(txt()->toPlainText(), u"Vite Ne pas rappeler"_s);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM tblmessage"_s), u"0"_s);
}

// Saved with nothing changed, or with only its priority changed, a message another
// workstation deleted meanwhile is said to be gone, and nothing is written; one that still
// exists is not rewritten, and the form shows what another workstation appended.
TEST_F(frmSuiviAppelTest, SavingAMessageDeletedElsewhereSaysItIsGoneWhateverChanged) {
    message(10, u"Rappeler Luc"_s);
    m_db->db().execute(u"INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA) VALUES (10, 4, 2)"_s);
    f->ChargeMessage(10);
    ASSERT_EQ(f->idMessage(), 10);
    auto dits = [this] { return m_chooser.messagesShown.join(u" | "_s).toStdString(); };

    {
        SCOPED_TRACE("unchanged, a line appended elsewhere");
        message(10, u"Rappeler Luc\nTerminé par Marc"_s, &autre);
        const QString stocke = scalar(u"SELECT Message FROM tblmessage WHERE IdMessage = 10"_s);
        f->cmdEnregistrer_Click();
        EXPECT_EQ(dits(), "Message enregistré avec succès.");
        EXPECT_EQ(scalar(u"SELECT Message FROM tblmessage WHERE IdMessage = 10"_s).toStdString(),
                  stocke.toStdString());
        EXPECT_EQ(txt()->toPlainText().toStdString(), "Rappeler Luc\nTerminé par Marc");
    }

    autre.execute(u"DELETE FROM tblmessageemploye WHERE IdMessage = 10"_s);
    autre.execute(u"DELETE FROM tblmessage WHERE IdMessage = 10"_s);
    const std::string ok = "Message enregistré avec succès.";
    const std::string gone =
        " | Ce message n'existe plus : il a été supprimé sur un autre poste. Votre texte "
        "reste affiché pour que vous puissiez le copier.";
    {
        SCOPED_TRACE("unchanged, deleted elsewhere");
        f->cmdEnregistrer_Click();
        EXPECT_EQ(dits(), ok + gone);
    }
    {
        SCOPED_TRACE("only the priority changed, deleted elsewhere");
        combo("cboPriorite")->setCurrentIndex(0);
        f->cmdEnregistrer_Click();
        EXPECT_EQ(dits(), ok + gone + gone);
    }
    EXPECT_EQ(m_mere.recus, QList<qint32>{10}) << "only the first save calls the list back";
    EXPECT_EQ(lignes().toStdString(), "0") << "nothing of the deleted message is written again";
    EXPECT_EQ(txt()->toPlainText().toStdString(), "Rappeler Luc\nTerminé par Marc");
}

TEST_F(frmSuiviAppelTest, ATextTheServerCannotTakeOrALostConnectionKeepsTheForm) {
    bool perdue = false;
    services::Session::onConnectionLost = [&perdue] { perdue = true; };
    ETAPE("a text within the column's size, but not once quoted into the statement");
    ASSERT_TRUE(preparer(u"Marc"_s, QString(3'500'000, u'é')));
    f->cmdEnregistrer_Click();
    EXPECT_EQ(m_chooser.messagesShown.value(0),
              u"Le message est trop long pour être enregistré : le serveur accepte au plus %1 octets par "
              "envoi, et un texte enregistré en prend plusieurs par caractère."_s.arg(
                  QLocale(QLocale::French, QLocale::Canada).toString(m_db->db().maxAllowedPacket())));
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM tblmessage"_s), u"0"_s);
    ASSERT_FALSE(perdue);

    ETAPE("the server drops the connection during the save: the program goes inactive, the form "
          "keeps what was typed");
    autre.execute(u"KILL CONNECTION "_s + scalar(u"SELECT CONNECTION_ID()"_s));
    ASSERT_TRUE(preparer(QString(), u"Rappeler"_s));
    f->cmdEnregistrer_Click();
    EXPECT_TRUE(perdue);
    EXPECT_EQ(txt()->toPlainText(), u"Rappeler"_s);
    EXPECT_EQ(autre.open(u"SELECT COUNT(*) FROM tblmessage"_s).field(0).toInt(), 0);
}

// Daily message numbers when two workstations save messages at the same moment, each with
// its own connection to the server: each sends Marc a message at each step, in step with
// the other one.
TEST_F(frmSuiviAppelTest, TwoWorkstationsSavingToTheSameRecipientNeverShareANumber) {
    constexpr int kEnvois = 40;
    std::vector<std::atomic<int>> arrivees(kEnvois);
    QStringList erreurs[2];
    const auto poste = [&](QStringList& mesErreurs) {
        platform::Database db;
        try {
            db.open(m_db->config().connectionSettings());
            for (int i = 0; i < kEnvois; ++i) {
                for (++arrivees[i]; arrivees[i] < 2;)
                    std::this_thread::yield();
                entry::enregistrerMessage(db, nouveau());
            }
        } catch (const platform::DbError& e) {
            mesErreurs << e.text();
        }
    };
    std::thread a(poste, std::ref(erreurs[0])), b(poste, std::ref(erreurs[1]));
    a.join();
    b.join();
    EXPECT_EQ(erreurs[0] + erreurs[1], QStringList());

    // Each column numbers the eighty messages from 1 to 80, in the order they were saved.
    QStringList attendus;
    for (int n = 1; n <= 2 * kEnvois; ++n)
        attendus << QString::number(n);
    EXPECT_EQ(colonne(u"SELECT NoMsgJourRecu FROM tblmessageemploye ORDER BY IdMessage"_s), attendus);
    EXPECT_EQ(colonne(u"SELECT NoMsgJourEnvoi FROM tblmessageemploye ORDER BY IdMessage"_s), attendus);
}

TEST_F(frmSuiviAppelTest, AHeldTurnRefusesTheSaveAndAFailedSaveLetsTheTurnGo) {
    {
        SCOPED_TRACE("another workstation holds the turn");
        platform::NamedLock tenu(autre, entry::kVerrouNumeros, 0);
        try {
            entry::enregistrerMessage(m_db->db(), nouveau());
            ADD_FAILURE() << "saved while another workstation held the turn";
        } catch (const platform::DbError& e) {
            EXPECT_FALSE(e.isTimeout()); // the program stays connected
            EXPECT_TRUE(e.text().contains(u"Un autre poste"_s)) << qPrintable(e.text());
        }
        ASSERT_EQ(lignes(), u"0"_s);
    }

    ETAPE("a save failing halfway writes nothing and lets the turn go for the other workstation");
    m_db->db().execute(u"RENAME TABLE tblmessagetype TO tblmessagetype_hors"_s);
    EXPECT_THROW(entry::enregistrerMessage(m_db->db(), nouveau({1})), platform::DbError);
    m_db->db().execute(u"RENAME TABLE tblmessagetype_hors TO tblmessagetype"_s);
    EXPECT_EQ(lignes(), u"0"_s);
    platform::NamedLock libre(autre, entry::kVerrouNumeros, 0);
}

} // namespace

#include "frmSuiviAppelTest.moc"
