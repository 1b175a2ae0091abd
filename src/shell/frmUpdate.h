#pragma once

#include "services/Config.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QCheckBox;
class QPushButton;

namespace platform {
class Database;
}

namespace shell {

class TrayIcon;
class NoticePopup;

// What the shell asks of the windows it opens; main() fills it, so that the shell
// needs to know nothing of those windows.
struct ShellHooks {
    std::function<void()> openMessageList;  // "Consultation", icon double-click, notice click
    std::function<void()> openPresence;     // "Présences"
    std::function<void()> probeMessageList; // an open message list looks for newer messages
};

// The program's main window, alive from start-up to exit. Hidden while the
// notification area shows the icon; where there is no notification area it is a
// small window with the same menu and state, so the program stays usable.
// It drives the only periodic work: the 60-second timer.
class frmUpdate : public QWidget {
    Q_OBJECT
public:
    // Takes the shared connection (already open, or nullptr when starting inactive)
    // and the configuration it reconnects with.
    frmUpdate(std::unique_ptr<platform::Database> connection, const services::Config& config,
              QWidget* parent = nullptr);
    ~frmUpdate() override;

    static frmUpdate* instance();

    ShellHooks hooks;

    // Counts the logged-in employee's unread messages, sets the icon, flashes it,
    // and with the flag slides up the notice for a newer unread message.
    // Returns true when the check ran to its end.
    bool VerifMessages(bool showNotice);
    // The periodic work; public so that tests can tick it.
    void Timer1_Timer();
    // Database lost: close the connection, icon 3, stop flashing, disable the
    // entries that need the database, close every other window.
    void goInactive();
    // Tries to open the connection again; on success icon 1 and a count without notice.
    bool reconnect();
    // Closes every other top-level window.
    static void UnloadAllForms();
    // "Fermer": stops the timers, removes the icon, closes everything.
    void fermer();

    void mnuConsult_Click();
    void mnuPresences_Click();

    TrayIcon* tray() const { return m_tray; }
    NoticePopup* notice() const { return m_notice; }
    QTimer* timer() { return &m_timer; }
    int unreadCount() const { return m_unread; }
    bool usesFallbackWindow() const { return m_fallback; }

protected:
    void closeEvent(class QCloseEvent* event) override;

private:
    bool trayAvailable();
    void buildFallback();
    void updateFallback();
    std::unique_ptr<platform::Database> m_db;
    services::Config m_config;
    TrayIcon* m_tray = nullptr;
    NoticePopup* m_notice = nullptr;
    QTimer m_timer;
    int m_unread = 0;
    qint64 m_lastNotified = 0;
    bool m_fallback = false;
    bool m_closing = false;
    QLabel* m_statusIcon = nullptr;
    QLabel* m_statusText = nullptr;
    QPushButton* m_cmdConsult = nullptr;
    QPushButton* m_cmdPresences = nullptr;
    QCheckBox* m_chkFlash = nullptr;
};

} // namespace shell
