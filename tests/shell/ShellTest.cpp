#include "platform/Database.h"
#include "services/Config.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "shell/EmployeeChooser.h"
#include "shell/NoticePopup.h"
#include "shell/TrayIcon.h"
#include "shell/frmUpdate.h"
#include "support/Etapes.h"
#include "support/MiseEnPage.h"
#include "support/ScriptedChooser.h"
#include "support/SilentProxy.h"
#include "support/TestDb.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

namespace {

using namespace Qt::StringLiterals;

using shell::TrayIcon;

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        m_testDb = std::make_unique<TestDb>(u"shell"_s);
        services::setErrorLogPath(m_logDir.filePath(u"Erreur.log"_s));
        m_testDb->runScript(
            u"INSERT INTO tblemploye (NoEmploye, Nom, Actif) VALUES (1, 'Système', 1), (2, 'Julie', 1), "
            "(3, 'Marc', 1), (4, 'Zoé', 1), (5, 'Anne', 1), (6, 'Ancien', 0);\n"
            "INSERT INTO tblordreemployemsg (NoEmploye, Ordre) VALUES (4, 1), (2, 2);\n"_s);
        services::Session::lngNoEmploye = 2;
    }
    // The shell started on the test server, or on another port that leads to it.
    shell::frmUpdate& startShell(int port = 0) {
        services::Config c = m_testDb->config();
        if (port) c.port = port;
        auto db = std::make_unique<platform::Database>();
        db->open(c.connectionSettings());
        m_main = std::make_unique<shell::frmUpdate>(std::move(db), c);
        return *m_main;
    }
    QTemporaryDir m_logDir;
    std::unique_ptr<TestDb> m_testDb;
    std::unique_ptr<shell::frmUpdate> m_main;
};

TEST_F(ShellTest, EmployeesInTheOfficeOrderAndOnTheCommandLine) {
    // Ordered ones first (Zoé then Julie), then the rest by name; inactive and the system employee absent.
    QStringList names;
    for (const auto& e : shell::employeesInOrder(m_testDb->db()))
        names << e.second;
    EXPECT_EQ(names, (QStringList{u"Zoé"_s, u"Julie"_s, u"Anne"_s, u"Marc"_s}));

    // The employee named on the command line is read, or the program leaves with a reason.
    ETAPE("the employee on the command line");
    ScriptedChooser chooser;
    qint32 no = 0;
    QString nom;
    EXPECT_EQ(shell::employeeFromCommandLine(m_testDb->db(), u"4"_s, &no, &nom), 0);
    EXPECT_EQ(nom, u"Zoé"_s);
    EXPECT_EQ(shell::employeeFromCommandLine(m_testDb->db(), u"99"_s, &no, &nom), 2);
    EXPECT_EQ(chooser.messagesShown, QStringList{u"L'employé numéro 99 n'existe pas."_s});
}

// The poll counts the unread messages and announces only newer ones; when the database is
// lost the program goes inactive until a later tick reconnects.
TEST_F(ShellTest, UnreadMessagesLostConnectionAndTheTimerReconnects) {
    auto& main = startShell();
    EXPECT_EQ(main.timer()->interval(), 60000); // the poll, once a minute
    int opened = 0, probes = 0;
    main.hooks.openMessageList = [&] { ++opened; };
    main.hooks.probeMessageList = [&] { ++probes; };
    // The message form's count shows no notice and leaves the message to be announced.
    m_testDb->db().execute(
        u"INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau) VALUES (10, 3, 2, 1)"_s);
    ASSERT_TRUE(main.VerifMessages(false));
    EXPECT_FALSE(main.notice()->isVisible());
    m_testDb->db().execute(
        u"INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau) VALUES (11, 3, 2, 1), (12, 3, 2, 0), (13, 3, 3, 1)"_s); // one read, one someone else's
    ASSERT_TRUE(main.VerifMessages(true));
    EXPECT_EQ(main.unreadCount(), 2);
    EXPECT_EQ(main.tray()->image(), TrayIcon::MessagesWaiting);
    EXPECT_TRUE(main.tray()->isFlashing());
    EXPECT_TRUE(main.notice()->isVisible());
    EXPECT_EQ(main.notice()->text(), u"Vous avez 2 nouveaux messages."_s);
    // All read: the plain icon.
    m_testDb->db().execute(u"UPDATE tblmessageemploye SET Nouveau = 0"_s);
    ASSERT_TRUE(main.VerifMessages(true));
    EXPECT_EQ(main.tray()->image(), TrayIcon::Normal);
    EXPECT_FALSE(main.tray()->isFlashing());
    main.tray()->setFlashAllowed(false); // "Clignotement icone" off: no flashing at all
    main.tray()->setFlashing(true);
    EXPECT_FALSE(main.tray()->isFlashing());
    main.tray()->setFlashing(false);
    main.tray()->setFlashAllowed(true);

    // The test connection kills the shell's own: every other window closes, the entries grey.
    ETAPE("the database lost");
    m_testDb->db().execute(
        u"INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau) VALUES (20, 3, 2, 1)"_s);
    QWidget other;
    other.show();
    m_testDb->db().execute(
        u"KILL %1"_s.arg(services::Session::cnBD()->open(u"SELECT CONNECTION_ID()"_s).field(0).toLongLong()));
    main.Timer1_Timer();
    EXPECT_EQ(probes, 0); // the list is probed only after a successful check
    EXPECT_FALSE(services::Session::programActive);
    EXPECT_EQ(main.tray()->image(), TrayIcon::DatabaseLost);
    EXPECT_FALSE(main.tray()->isFlashing());
    EXPECT_FALSE(other.isVisible());
    const QAction* consult = main.tray()->menu()->findChild<QAction*>(u"mnuConsult"_s);
    ASSERT_NE(consult, nullptr);
    EXPECT_FALSE(consult->isEnabled());
    main.mnuConsult_Click(); // opens nothing

    // Next tick: reconnect, icon back, count again without the notice.
    ETAPE("the next tick reconnects");
    main.notice()->hide();
    main.Timer1_Timer();
    EXPECT_TRUE(services::Session::programActive);
    EXPECT_EQ(main.tray()->image(), TrayIcon::MessagesWaiting);
    EXPECT_EQ(main.unreadCount(), 1);
    EXPECT_FALSE(main.notice()->isVisible());
    EXPECT_TRUE(consult->isEnabled());
    main.mnuConsult_Click();
    EXPECT_EQ(opened, 1);

    // The message that came while the database was away is announced by the next poll, once.
    ETAPE("the message that came meanwhile");
    main.Timer1_Timer();
    EXPECT_EQ(probes, 1);
    EXPECT_TRUE(main.notice()->isVisible());
    EXPECT_EQ(main.notice()->text(), u"Vous avez 1 nouveau message."_s);
    main.notice()->hide();
    main.Timer1_Timer();
    EXPECT_FALSE(main.notice()->isVisible());
}

// A server that stops answering: the poll gives up on its own and the program goes
// inactive; each later tick's reconnection gives up too. The seconds the window thread
// stays blocked are printed.
TEST_F(ShellTest, AServerThatStopsAnsweringMakesTheProgramInactive) {
    SilentProxy proxy(TestDb::serverSettings().port);
    startShell(proxy.port());
    proxy.freeze();
    QElapsedTimer blocked;
    blocked.start();
    m_main->Timer1_Timer();
    const double poll = blocked.nsecsElapsed() / 1e9;
    EXPECT_FALSE(services::Session::programActive);
    EXPECT_EQ(m_main->tray()->image(), TrayIcon::DatabaseLost);

    blocked.restart();
    m_main->Timer1_Timer();
    EXPECT_FALSE(services::Session::programActive);
    std::cout << "[ frozen   ] poll blocked " << poll << " s, reconnection " << blocked.nsecsElapsed() / 1e9
              << " s\n";
}

// Where there is no notification area the main window shows the state: going inactive
// makes its text longer, and it wraps within the window, which keeps its size.
TEST_F(ShellTest, MainWindowAndChooserReadWholeActiveAndInactive) {
    services::Session::strNomEmploye = u"Marie-Ève Létourneau-Desrosiers"_s;
    auto& main = startShell();
    shell::EmployeeChooser chooser({{2, services::Session::strNomEmploye}, {3, u"Éric Côté"_s}});
    main.show();
    chooser.show();
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(&main), "");
    EXPECT_EQ(defautsMiseEnPage(&chooser), "");
    const QSize taille = main.size();
    main.goInactive();
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(&main), "");
    EXPECT_EQ(main.size(), taille);
}

} // namespace
