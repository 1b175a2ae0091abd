// Saving a message's text while another workstation works on the same message: the
// compare-and-write holds the row, a saved editor is no longer "modified", and the form
// writes the priority only when the user chose another.
#include "entry/TexteMessage.h"
#include "entry/frmSuiviAppel.h"
#include "platform/Database.h"
#include "platform/RichTextBox.h"
#include "platform/RtfEdit.h"
#include "platform/SqlText.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "support/ScriptedChooser.h"
#include "support/TestDb.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTextCursor>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace Qt::StringLiterals;

const QString kQuestion = u"Le texte de ce message a été modifié sur un autre poste"_s;

// Message 10, "Rappeler Luc", priority 2, received by Julie (2) from Zoé (4); a second
// workstation on its own connection.
class TexteMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        m_db = std::make_unique<TestDb>(u"texte"_s);
        services::setErrorLogPath(m_logDir.filePath(u"Erreur.log"_s));
        m_db->runScript(QStringLiteral(
            "INSERT INTO tblemploye (NoEmploye, Nom, Actif) VALUES (2, 'Julie', 1), (4, 'Zoé', 1);\n"
            "INSERT INTO tblacces_empl VALUES (14, 2), (14, 4);\n"
            "INSERT INTO tblpriorite VALUES (1, 'Urgente'), (2, 'Normale'), (3, 'Basse');\n"
            "INSERT INTO tbletatmessage (IdEtat, Description, Ordre) VALUES (1, 'Ouvert', 1);\n"
            "INSERT INTO tblclientmsg (IdClientMsg, Nom) VALUES (1, 'Tremblay');\n"
            "INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, Message)"
            " VALUES (10, '2024-03-04', '09:30:00', 2, 1, '');\n"
            "INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, IdEtat) VALUES (10, 4, 2, 1);\n"));
        ecrire(m_db->db(), u"Rappeler Luc"_s);
        services::Session::lngNoEmploye = 2;
        autre.open(m_db->config().connectionSettings());
    }
    void TearDown() override { services::Session::verifMessages = nullptr; }

    static QString rtf(const QString& texte) {
        platform::RichTextBox box;
        box.setText(texte);
        return box.textRTF();
    }
    static void ecrire(platform::Database& db, const QString& texte) {
        db.execute(u"UPDATE tblmessage SET Message = "_s + platform::sqlRichText(rtf(texte)) +
                   u" WHERE IdMessage = 10"_s);
    }
    QString scalar(const QString& sql) { return m_db->db().open(sql).field(0).text(); }
    std::string texteStocke() {
        platform::RichTextBox box;
        box.setTextRTF(scalar(u"SELECT Message FROM tblmessage WHERE IdMessage = 10"_s));
        return box.text().toStdString();
    }
    // The editor opened on the stored text, as the form and the list's editor open it.
    void ouvrir(platform::RtfEdit& editeur) {
        m_ouvert = scalar(u"SELECT Message FROM tblmessage WHERE IdMessage = 10"_s);
        editeur.setTextRTF(m_ouvert);
        editeur.document()->setModified(false);
    }
    static void taper(platform::RtfEdit& editeur, const QString& texte) {
        editeur.moveCursor(QTextCursor::Start);
        editeur.insertPlainText(texte);
        editeur.document()->setModified(true); // as typing does
    }
    entry::TexteEnregistre enregistrer(platform::RtfEdit& editeur, const QString& sqlAussi = QString()) {
        QString sql;
        return entry::enregistrerTexteMessage(m_db->db(), nullptr, 10, &editeur, m_ouvert, sql, sqlAussi);
    }

    QTemporaryDir m_logDir;
    std::unique_ptr<TestDb> m_db;
    platform::Database autre;
    ScriptedChooser m_chooser;
    QString m_ouvert;
};

// The other workstation has rewritten the text but not yet committed when this one saves:
// the save waits for the row and then sees the change (and asks), rather than comparing with
// the text as it was and writing over the other's a moment later.
TEST_F(TexteMessageTest, TheCompareAndWriteHoldsTheRowAgainstAWorkstationWritingMeanwhile) {
    platform::RtfEdit editeur;
    ouvrir(editeur);
    taper(editeur, u"Vite "_s);

    std::atomic<bool> ecrit{false};
    QString erreur;
    std::thread poste([&] {
        try {
            platform::Database db;
            db.open(m_db->config().connectionSettings());
            db.beginTransaction();
            ecrire(db, u"Ne pas rappeler"_s);
            ecrit = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            db.commit();
        } catch (const platform::DbError& e) {
            erreur = e.text();
            ecrit = true;
        }
    });
    while (!ecrit)
        std::this_thread::yield();
    m_chooser.boxAnswers = {platform::MsgResult::No};
    const entry::TexteEnregistre fait = enregistrer(editeur);
    poste.join();
    ASSERT_EQ(erreur.toStdString(), "") << "the other workstation's write";

    ASSERT_EQ(m_chooser.messagesShown.size(), 1) << "the user is asked which text to keep";
    EXPECT_TRUE(m_chooser.messagesShown[0].startsWith(kQuestion)) << m_chooser.messagesShown[0].toStdString();
    EXPECT_EQ(fait, entry::TexteEnregistre::AutreGarde);
    EXPECT_EQ(texteStocke(), "Ne pas rappeler") << "the other workstation's text was written over";
}

// Once saved, the editor's text is the stored one: closing it again writes nothing, and a
// change another workstation makes afterwards is shown, not taken for a conflict.
TEST_F(TexteMessageTest, ASavedEditorIsNoLongerModifiedAndShowsALaterChangeFromElsewhere) {
    platform::RtfEdit editeur;
    ouvrir(editeur);
    taper(editeur, u"Vite "_s);
    ASSERT_EQ(enregistrer(editeur), entry::TexteEnregistre::Ecrit);
    ASSERT_EQ(texteStocke(), "Vite Rappeler Luc");
    EXPECT_FALSE(editeur.document()->isModified()) << "a saved editor still marked modified";

    SCOPED_TRACE("another workstation rewrites the text; this one then changes only the priority");
    ecrire(autre, u"Ne pas rappeler"_s);
    EXPECT_EQ(enregistrer(editeur, u"UPDATE tblmessage SET IdPriorite = 1 WHERE IdMessage = 10"_s),
              entry::TexteEnregistre::Inchange);
    EXPECT_EQ(m_chooser.messagesShown.join(u" / "_s).toStdString(), "") << "nothing to ask";
    EXPECT_EQ(texteStocke(), "Ne pas rappeler");
    EXPECT_EQ(editeur.text().toStdString(), "Ne pas rappeler") << "the editor shows what is stored now";
    EXPECT_EQ(scalar(u"SELECT IdPriorite FROM tblmessage WHERE IdMessage = 10"_s), u"1"_s);
}

// The form writes the priority only when the user chose another than the one it last
// stored: a text change keeps the priority another workstation gave meanwhile.
TEST_F(TexteMessageTest, TheFormWritesThePriorityOnlyWhenTheUserChangedIt) {
    services::Session::verifMessages = [](bool) { return true; };
    entry::frmSuiviAppel f;
    f.ChargeMessage(10);
    auto* priorite = f.findChild<QComboBox*>(u"cboPriorite"_s);
    auto* texte = f.findChild<platform::RtfEdit*>(u"txtMessage"_s);
    ASSERT_NE(priorite, nullptr) << "cboPriorite";
    ASSERT_NE(texte, nullptr) << "txtMessage";
    auto prioriteStockee = [&] {
        return scalar(u"SELECT IdPriorite FROM tblmessage WHERE IdMessage = 10"_s);
    };

    {
        SCOPED_TRACE("the text changed here, the priority elsewhere");
        autre.execute(u"UPDATE tblmessage SET IdPriorite = 3 WHERE IdMessage = 10"_s);
        taper(*texte, u"Vite "_s);
        f.cmdEnregistrer_Click();
        EXPECT_EQ(texteStocke(), "Vite Rappeler Luc");
        EXPECT_EQ(prioriteStockee(), u"3"_s);
    }
    {
        SCOPED_TRACE("the user picks Urgente and saves; another workstation then gives Basse again");
        priorite->setCurrentIndex(priorite->findData(1));
        f.cmdEnregistrer_Click();
        ASSERT_EQ(prioriteStockee(), u"1"_s);
        autre.execute(u"UPDATE tblmessage SET IdPriorite = 3 WHERE IdMessage = 10"_s);
        taper(*texte, u"Très "_s);
        f.cmdEnregistrer_Click();
        EXPECT_EQ(texteStocke(), "Très Vite Rappeler Luc");
        EXPECT_EQ(prioriteStockee(), u"3"_s) << "the priority saved before was written again";
    }
    EXPECT_EQ(m_chooser.messagesShown, QStringList(3, u"Message enregistré avec succès."_s));
}

} // namespace
