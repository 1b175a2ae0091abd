#include "entry/frmSuiviAppel.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/RichTextBox.h"
#include "platform/RtfEdit.h"
#include "platform/SqlText.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "support/MiseEnPage.h"
#include "support/ScriptedChooser.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using entry::frmSuiviAppel;

// Stands in for the message-list window: records the numbers it is told about.
class MereDouble : public QObject {
    Q_OBJECT
public:
    QList<qint32> recus;
    Q_INVOKABLE void UpdateMsg(qint32 IdMessage) { recus << IdMessage; }
};

class frmSuiviAppelTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        m_db = std::make_unique<TestDb>(QStringLiteral("entry"));
        services::setErrorLogPath(m_logDir.filePath(QStringLiteral("Erreur.log")));
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
        login(2, QStringLiteral("Julie"));
        platform::Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(10, 15, 0)));
        services::Session::verifMessages = [this](bool flag) {
            m_verifs << flag;
            return true;
        };
    }
    void TearDown() override {
        services::Session::verifMessages = nullptr;
        platform::Clock::setFixed(QDateTime());
        m_db.reset();
    }
    static void login(qint32 no, const QString& nom) {
        services::Session::lngNoEmploye = no;
        services::Session::strNomEmploye = nom;
    }
    template <class T> static T* child(frmSuiviAppel& f, const char* name) {
        T* w = f.findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Ticks a recipient and writes the text: a new message ready to save.
    static void preparer(frmSuiviAppel& f, const QString& nom, const QString& texte) {
        if (!nom.isEmpty()) {
            const auto found = child<QTreeWidget>(f, "lstEmploye")->findItems(nom, Qt::MatchExactly, 0);
            ASSERT_EQ(found.size(), 1) << nom.toStdString();
            found.first()->setCheckState(0, Qt::Checked);
        }
        child<platform::RtfEdit>(f, "txtMessage")->setPlainText(texte);
    }
    QString scalar(const QString& sql) {
        auto rs = m_db->db().open(sql);
        return rs.eof() ? QStringLiteral("<aucune>") : rs.field(0).text();
    }
    QString texteStocke(qint64 id) {
        platform::RichTextBox box;
        box.setTextRTF(scalar(QStringLiteral("SELECT Message FROM tblmessage WHERE IdMessage = %1").arg(id)));
        return box.text();
    }
    // "NoEmplA:Nouveau:IdEtat:NoMsgJourRecu:NoMsgJourEnvoi:NoEmplDe:DateTermine" per recipient row.
    QString destinataires(qint64 id) {
        return scalar(
            QStringLiteral("SELECT GROUP_CONCAT(CONCAT_WS(':', NoEmplA, Nouveau, IdEtat, NoMsgJourRecu, "
                           "NoMsgJourEnvoi, NoEmplDe, IFNULL(DateTermine, 'NULL')) ORDER BY NoEmplA "
                           "SEPARATOR ' ') FROM tblmessageemploye WHERE IdMessage = %1")
                .arg(id));
    }
    qint64 dernierMessage() {
        return scalar(QStringLiteral("SELECT MAX(IdMessage) FROM tblmessage")).toLongLong();
    }
    static QString log() {
        QFile f(services::errorLogPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir m_logDir;
    std::unique_ptr<TestDb> m_db;
    QList<bool> m_verifs;
};

TEST_F(frmSuiviAppelTest, NewMessageWritesEveryRowWithDailyNumbers) {
    // Yesterday's numbers do not count today.
    m_db->runScript(QStringLiteral(
        "INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, Message) VALUES (50, '2024-03-04', "
        "'16:00:00', 'x');\n"
        "INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, NoMsgJourRecu, NoMsgJourEnvoi) "
        "VALUES (50, 2, 3, 5, 7);\n"));
    ScriptedChooser chooser;
    frmSuiviAppel f;
    // The lists and their defaults: states by Ordre; recipients with right 14 only, active only,
    // the ordered employee first, then by name.
    EXPECT_EQ(child<QComboBox>(f, "cboClient")->itemText(1), QStringLiteral("Bédard, Anne"));
    EXPECT_EQ(child<QComboBox>(f, "cboPriorite")->currentText(), QStringLiteral("Normale"));
    EXPECT_EQ(child<QComboBox>(f, "cboEtat")->itemText(1), QStringLiteral("À rappeler"));
    auto* lst = child<QTreeWidget>(f, "lstEmploye");
    ASSERT_EQ(lst->topLevelItemCount(), 3);
    EXPECT_EQ(lst->topLevelItem(0)->text(0) + lst->topLevelItem(1)->text(0) + lst->topLevelItem(2)->text(0),
              QStringLiteral("ZoéJulieMarc"));

    // Quotes, apostrophes, backslashes and braces come back byte for byte.
    const QString texte = QStringLiteral("Il a dit \"allô\" à l'été : C:\\dossiers\\{2024}\\ — 50 €");
    preparer(f, QStringLiteral("Marc"), texte);
    preparer(f, QStringLiteral("Zoé"), texte);
    child<QComboBox>(f, "cboClient")->setCurrentIndex(2);
    child<QComboBox>(f, "cboPriorite")->setCurrentIndex(0);
    child<QComboBox>(f, "cboEtat")->setCurrentIndex(1);                    // À rappeler (3)
    child<QListWidget>(f, "lstType")->item(0)->setCheckState(Qt::Checked); // Dossier urgent (2)
    // Folders are trimmed, without empties or repeats.
    child<QLineEdit>(f, "txtDossier")->setText(QStringLiteral(" 123, O'Neil\\2 ,,123"));
    f.cmdEnregistrer_Click();

    EXPECT_EQ(chooser.messagesShown, QStringList{QStringLiteral("Message enregistré avec succès.")});
    const qint64 id = dernierMessage();
    EXPECT_EQ(f.idMessage(), id);
    EXPECT_EQ(texteStocke(id), texte);
    EXPECT_EQ(
        scalar(QStringLiteral(
                   "SELECT CONCAT_WS('|', DateSaisie, HeureSaisie, IdPriorite, IdClientMsg,"
                   " (SELECT GROUP_CONCAT(NoDossier ORDER BY IdMessageDossier) FROM tblmessagedossier d"
                   "  WHERE d.IdMessage = m.IdMessage),"
                   " (SELECT GROUP_CONCAT(IdType) FROM tblmessagetype t WHERE t.IdMessage = m.IdMessage))"
                   " FROM tblmessage m WHERE IdMessage = %1")
                   .arg(id)),
        QStringLiteral("2024-03-05|10:15:00|1|1|123,O'Neil\\2|2"));
    EXPECT_EQ(destinataires(id), QStringLiteral("3:1:3:1:1:2:NULL 4:1:3:1:1:2:NULL"));

    // A second message from Julie to Marc the same day, then one from Zoé to Marc.
    f.cmdNouveau_Click();
    EXPECT_EQ(f.idMessage(), 0);
    preparer(f, QStringLiteral("Marc"), QStringLiteral("Deuxième"));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(destinataires(dernierMessage()), QStringLiteral("3:1:1:2:2:2:NULL"));
    login(4, QStringLiteral("Zoé"));
    f.cmdNouveau_Click();
    preparer(f, QStringLiteral("Marc"), QStringLiteral("Troisième"));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(destinataires(dernierMessage()), QStringLiteral("3:1:1:3:1:4:NULL"));
}

TEST_F(frmSuiviAppelTest, EveryTextReadsWholeAndWhatIsMissingOrTooLongIsRefused) {
    ScriptedChooser chooser;
    frmSuiviAppel f;
    f.show();
    QApplication::setActiveWindow(&f);
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(&f), "");
    // The focus goes back to what is missing.
    preparer(f, QString(), QStringLiteral("Un message"));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(QApplication::focusWidget(), child<QTreeWidget>(f, "lstEmploye"));
    preparer(f, QStringLiteral("Julie"), QStringLiteral("  \n "));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(QApplication::focusWidget(), child<platform::RtfEdit>(f, "txtMessage"));
    // A folder number longer than its column's fifty characters.
    preparer(f, QString(), QStringLiteral("Un message"));
    child<QLineEdit>(f, "txtDossier")->setText(QStringLiteral("A-1, ") + QString(51, QLatin1Char('9')));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(f, "txtDossier"));
    EXPECT_EQ(chooser.messagesShown,
              (QStringList{QStringLiteral("Veuillez choisir au moins un destinataire."),
                           QStringLiteral("Veuillez inscrire le message."),
                           QStringLiteral("Le numéro de dossier « %1 » dépasse 50 caractères.")
                               .arg(QString(51, QLatin1Char('9')))}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM tblmessage")), QStringLiteral("0"));
    // Fifty fit.
    child<QLineEdit>(f, "txtDossier")->setText(QString(50, QLatin1Char('9')));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM tblmessagedossier")), QStringLiteral("1"));
}

TEST_F(frmSuiviAppelTest, LoadingReadingAndSavingAMessageCallsTheOpenerBack) {
    platform::RichTextBox box;
    box.setText(QStringLiteral("Rappeler Luc pour le dossier."));
    m_db->db().execute(
        QStringLiteral("INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, "
                       "IdClientMsg, Message) VALUES (10, '2024-03-04', '09:30:00', 3, 1, %1)")
            .arg(platform::sqlRichText(box.textRTF())));
    m_db->runScript(QStringLiteral(
        "INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat) VALUES"
        " (10, 4, 2, 1, 1), (10, 4, 3, 1, 3);\n"
        "INSERT INTO tblmessagetype (IdMessage, IdType) VALUES (10, 1);\n"
        "INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (10, 'A-1'), (10, 'B-2');\n"));
    const QString nouveaux =
        QStringLiteral("SELECT GROUP_CONCAT(Nouveau ORDER BY NoEmplA SEPARATOR '') FROM tblmessageemploye");
    ScriptedChooser chooser;
    MereDouble mere;
    frmSuiviAppel f;
    f.frmMere = &mere;
    // Someone who is not a recipient reads it: nothing changes, nobody counts again.
    login(5, QStringLiteral("Anne"));
    f.ChargeMessage(10);
    EXPECT_EQ(scalar(nouveaux), QStringLiteral("11"));
    EXPECT_TRUE(m_verifs.isEmpty());
    // A recipient reads it: only his unread flag goes, and the shell counts again.
    login(2, QStringLiteral("Julie"));
    f.ChargeMessage(10);
    EXPECT_EQ(f.idMessage(), 10);
    EXPECT_EQ(child<platform::RtfEdit>(f, "txtMessage")->toPlainText(),
              QStringLiteral("Rappeler Luc pour le dossier."));
    EXPECT_EQ(child<QLabel>(f, "lblClient")->text(), QStringLiteral("Tremblay, Luc, Acme"));
    EXPECT_EQ(child<QComboBox>(f, "cboPriorite")->currentText(), QStringLiteral("Basse"));
    EXPECT_EQ(child<QLineEdit>(f, "txtDossier")->text(), QStringLiteral("A-1, B-2"));
    EXPECT_EQ(child<QListWidget>(f, "lstType")->item(1)->checkState(), Qt::Checked); // Rappeler
    auto* lst = child<QTreeWidget>(f, "lstEmploye");
    ASSERT_EQ(lst->topLevelItemCount(), 2);
    EXPECT_EQ(lst->topLevelItem(0)->text(0) + lst->topLevelItem(0)->text(1), QStringLiteral("JulieOuvert"));
    EXPECT_EQ(lst->topLevelItem(1)->text(1), QStringLiteral("À rappeler"));
    EXPECT_EQ(scalar(nouveaux), QStringLiteral("01"));
    EXPECT_EQ(m_verifs, QList<bool>{false});
    const QString recipients = destinataires(10);

    // A loaded message saves its text and priority only.
    preparer(f, QString(), QStringLiteral("Rappelé, voir l'été"));
    child<QComboBox>(f, "cboPriorite")->setCurrentIndex(0);
    f.cmdEnregistrer_Click();
    EXPECT_EQ(mere.recus, QList<qint32>{10});
    EXPECT_EQ(scalar(QStringLiteral("SELECT IdPriorite FROM tblmessage WHERE IdMessage = 10")),
              QStringLiteral("1"));
    EXPECT_EQ(texteStocke(10), QStringLiteral("Rappelé, voir l'été"));
    EXPECT_EQ(destinataires(10), recipients);

    // An unknown number leaves an empty form with the possible recipients, none chosen.
    f.ChargeMessage(999);
    EXPECT_EQ(f.idMessage(), 0);
    EXPECT_TRUE(child<QLineEdit>(f, "txtDossier")->text().isEmpty());
    ASSERT_EQ(lst->topLevelItemCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(lst->topLevelItem(i)->checkState(0), Qt::Unchecked);
    preparer(f, QStringLiteral("Marc"), QStringLiteral("Nouveau"));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(mere.recus, (QList<qint32>{10, qint32(dernierMessage())}));

    // An opener without UpdateMsg: the report names this form as the window, the opener as the source.
    QObject autre;
    autre.setObjectName(QStringLiteral("frmAutre"));
    f.frmMere = &autre;
    f.cmdEnregistrer_Click();
    EXPECT_TRUE(log().contains(QStringLiteral("Fenêtre : frmSuiviAppel, procédure : cmdEnregistrer_Click")));
    EXPECT_TRUE(log().contains(QStringLiteral("Source : frmAutre")));
}

TEST_F(frmSuiviAppelTest, DatabaseErrorMidwayLeavesNothingAndSavingAgainMakesOneMessage) {
    ScriptedChooser chooser;
    MereDouble mere;
    frmSuiviAppel f;
    f.frmMere = &mere;
    preparer(f, QStringLiteral("Marc"), QStringLiteral("Perdu en route"));
    child<QLineEdit>(f, "txtDossier")->setText(QStringLiteral("A-1"));
    child<QListWidget>(f, "lstType")->item(0)->setCheckState(Qt::Checked);
    // The types are written last: the message, its folder and recipient are in by then.
    m_db->db().execute(QStringLiteral("RENAME TABLE tblmessagetype TO tblmessagetype_hors"));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(chooser.messagesShown, QStringList{QStringLiteral("Le message n'a pas été enregistré.")});
    EXPECT_TRUE(mere.recus.isEmpty());
    EXPECT_EQ(f.idMessage(), 0);
    const QString lignes = QStringLiteral("SELECT (SELECT COUNT(*) FROM tblmessage) + (SELECT COUNT(*) FROM "
                                          "tblmessagedossier) + (SELECT COUNT(*) FROM tblmessageemploye)");
    EXPECT_EQ(scalar(lignes), QStringLiteral("0"));
    EXPECT_TRUE(log().contains(QStringLiteral("cmdEnregistrer_Click")));

    m_db->db().execute(QStringLiteral("RENAME TABLE tblmessagetype_hors TO tblmessagetype"));
    f.cmdEnregistrer_Click();
    EXPECT_EQ(scalar(lignes), QStringLiteral("3"));
    EXPECT_EQ(mere.recus, QList<qint32>{qint32(dernierMessage())});
}

TEST(frmSuiviAppelInstanceTest, OneInstanceShownModelessAndListOpenedThroughTheHook) {
    frmSuiviAppel* f = frmSuiviAppel::montrer();
    EXPECT_EQ(f, frmSuiviAppel::instance());
    EXPECT_TRUE(f->isVisible() && !f->isModal());
    int ouvertures = 0;
    frmSuiviAppel::ouvrirListeMsg = [&ouvertures] { ++ouvertures; };
    f->cmdListeMsg_Click();
    frmSuiviAppel::ouvrirListeMsg = nullptr;
    EXPECT_EQ(ouvertures, 1);
    f->close();
}

} // namespace

#include "frmSuiviAppelTest.moc"
