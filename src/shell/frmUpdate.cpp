#include "shell/frmUpdate.h"

#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "shell/NoticePopup.h"
#include "shell/TrayIcon.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSystemTrayIcon>

namespace shell {

namespace {
frmUpdate* g_instance = nullptr;
const QString kForm = QStringLiteral("frmUpdate");
} // namespace

frmUpdate* frmUpdate::instance() {
    return g_instance;
}

frmUpdate::frmUpdate(std::unique_ptr<platform::Database> connection, const services::Config& config,
                     QWidget* parent)
    : QWidget(parent), m_db(std::move(connection)), m_config(config) {
    g_instance = this;
    setObjectName(kForm);
    setWindowTitle(QStringLiteral("Corvel"));
    m_tray = new TrayIcon(this);
    m_notice = new NoticePopup();
    m_tray->setFlashAllowed(QSettings().value(QStringLiteral("Clignotement"), true).toBool());

    connect(m_tray, &TrayIcon::consultationRequested, this, &frmUpdate::mnuConsult_Click);
    connect(m_tray, &TrayIcon::activatedTwice, this, &frmUpdate::mnuConsult_Click);
    connect(m_tray, &TrayIcon::presencesRequested, this, &frmUpdate::mnuPresences_Click);
    connect(m_tray, &TrayIcon::closeRequested, this, &frmUpdate::fermer);
    connect(m_tray, &TrayIcon::flashToggled, this, [this](bool on) {
        QSettings().setValue(QStringLiteral("Clignotement"), on);
        if (on && m_unread > 0) m_tray->setFlashing(true);
        updateFallback();
    });
    connect(m_notice, &NoticePopup::clicked, this, &frmUpdate::mnuConsult_Click);

    services::Session::setConnection(m_db.get());
    services::Session::programActive = m_db && m_db->isOpen();
    services::Session::onConnectionLost = [this] { goInactive(); };
    services::Session::verifMessages = [this](bool notice) { return VerifMessages(notice); };

    m_fallback = !trayAvailable();
    buildFallback();
    m_tray->show();

    m_timer.setInterval(60000);
    connect(&m_timer, &QTimer::timeout, this, &frmUpdate::Timer1_Timer);
    m_timer.start();

    if (services::Session::programActive) {
        m_tray->setImage(TrayIcon::Normal);
        VerifMessages(true);
    } else {
        goInactive();
    }
}

frmUpdate::~frmUpdate() {
    delete m_notice;
    if (g_instance == this) g_instance = nullptr;
    if (services::Session::cnBD() == m_db.get()) services::Session::setConnection(nullptr);
    services::Session::onConnectionLost = nullptr;
    services::Session::verifMessages = nullptr;
}

bool frmUpdate::trayAvailable() {
    return m_tray->visibleInTray() || QSystemTrayIcon::isSystemTrayAvailable();
}

bool frmUpdate::VerifMessages(bool showNotice) {
    if (!services::Session::programActive || !m_db) return false;
    const QString sql = QStringLiteral("SELECT IdMessage FROM tblmessageemploye WHERE NoEmplA = ") +
                        QString::number(services::Session::lngNoEmploye) +
                        QStringLiteral(" AND Nouveau = 1 ORDER BY IdMessage DESC");
    try {
        platform::Recordset rs = m_db->open(sql);
        m_unread = rs.recordCount();
        if (m_unread == 0) {
            m_tray->setFlashing(false);
            m_tray->setImage(TrayIcon::Normal);
        } else {
            const qint64 newest = rs.field(QStringLiteral("IdMessage")).toLongLong();
            if (m_tray->image() != TrayIcon::MessagesWaiting) m_tray->setImage(TrayIcon::MessagesWaiting);
            m_tray->setFlashing(true);
            // The notice speaks only of what is new since it last spoke. A count without
            // the notice (the message form's, the reconnection's) leaves its messages to be
            // announced by the next count that may speak.
            if (showNotice && newest > m_lastNotified) {
                m_notice->showCount(m_unread);
                m_lastNotified = newest;
            }
        }
        updateFallback();
        return true;
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("VerifMessages"));
        return false;
    }
}

void frmUpdate::Timer1_Timer() {
    if (!services::Session::programActive) {
        reconnect();
        return;
    }
    if (VerifMessages(true) && hooks.probeMessageList) hooks.probeMessageList();
}

void frmUpdate::goInactive() {
    services::Session::programActive = false;
    if (m_db) m_db->close();
    m_tray->setFlashing(false);
    m_tray->setImage(TrayIcon::DatabaseLost);
    m_tray->setDatabaseEntriesEnabled(false);
    m_unread = 0;
    UnloadAllForms();
    updateFallback();
}

bool frmUpdate::reconnect() {
    try {
        if (!m_db) m_db = std::make_unique<platform::Database>();
        m_db->open(m_config.connectionSettings());
    } catch (const platform::DbError&) {
        // Still unreachable: the next tick tries again.
        return false;
    }
    services::Session::setConnection(m_db.get());
    services::Session::programActive = true;
    m_tray->setImage(TrayIcon::Normal);
    m_tray->setDatabaseEntriesEnabled(true);
    VerifMessages(false);
    updateFallback();
    return true;
}

void frmUpdate::UnloadAllForms() {
    if (platform::modalLoopDepth() > 0) {
        // Ending the open dialogs lets the code that waits on them return; the windows
        // that own them go after that.
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        const QWidgetList open = QApplication::topLevelWidgets();
        for (QWidget* w : open) {
            if (!w->isVisible() || !w->isModal()) continue;
            if (auto* dialog = qobject_cast<QDialog*>(w))
                dialog->reject();
            else
                w->close();
        }
        platform::whenNoModalLoop(&frmUpdate::UnloadAllForms);
        return;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w == g_instance || (g_instance && w == g_instance->m_notice)) continue;
        if (w->isWindow() && (w->isVisible() || w->testAttribute(Qt::WA_WState_Created))) w->close();
    }
}

void frmUpdate::fermer() {
    m_closing = true;
    m_timer.stop();
    m_tray->setFlashing(false);
    m_tray->hide();
    m_notice->hide();
    UnloadAllForms();
    close();
    if (m_db) m_db->close();
    QApplication::quit();
}

void frmUpdate::mnuConsult_Click() {
    if (m_tray->image() == TrayIcon::DatabaseLost || !services::Session::programActive) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (hooks.openMessageList) hooks.openMessageList();
    QApplication::restoreOverrideCursor();
}

void frmUpdate::mnuPresences_Click() {
    if (!services::Session::programActive) return;
    if (hooks.openPresence) hooks.openPresence();
}

void frmUpdate::closeEvent(QCloseEvent* event) {
    // Closing the fallback window only hides it into the notification area when
    // there is one; without one, closing it ends the program as "Fermer" does.
    if (!m_closing && m_fallback) {
        event->ignore();
        fermer();
        return;
    }
    QWidget::closeEvent(event);
}

void frmUpdate::buildFallback() {
    auto* layout = new QGridLayout(this);
    m_statusIcon = new QLabel(this);
    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("lblEtat"));
    // The longest state (the name, then the database outage on two lines) has its room from
    // the start: the window keeps its size whatever the state.
    m_statusText->setWordWrap(true);
    m_statusText->setMinimumHeight(3 * m_statusText->fontMetrics().lineSpacing());
    auto* title = new QLabel(TrayIcon::tooltip(), this);
    title->setWordWrap(true);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    m_cmdConsult = new QPushButton(QStringLiteral("Consultation"), this);
    m_cmdConsult->setObjectName(QStringLiteral("cmdConsult"));
    m_cmdPresences = new QPushButton(QStringLiteral("Présences"), this);
    m_cmdPresences->setObjectName(QStringLiteral("cmdPresences"));
    m_chkFlash = new QCheckBox(QStringLiteral("Clignotement icone"), this);
    m_chkFlash->setObjectName(QStringLiteral("chkClignotement"));
    auto* cmdClose = new QPushButton(QStringLiteral("Fermer"), this);
    cmdClose->setObjectName(QStringLiteral("cmdFermer"));
    layout->addWidget(m_statusIcon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1, 1, 2);
    layout->addWidget(m_statusText, 1, 1, 1, 2);
    layout->addWidget(m_cmdConsult, 2, 1);
    layout->addWidget(m_cmdPresences, 2, 2);
    layout->addWidget(m_chkFlash, 3, 1);
    layout->addWidget(cmdClose, 3, 2);
    connect(m_cmdConsult, &QPushButton::clicked, this, &frmUpdate::mnuConsult_Click);
    connect(m_cmdPresences, &QPushButton::clicked, this, &frmUpdate::mnuPresences_Click);
    connect(m_chkFlash, &QCheckBox::toggled, this, [this](bool on) { m_tray->setFlashAllowed(on); });
    connect(cmdClose, &QPushButton::clicked, this, &frmUpdate::fermer);
    connect(m_tray, &TrayIcon::pictureChanged, this, [this](const QIcon& icon) {
        m_statusIcon->setPixmap(icon.pixmap(32, 32));
        setWindowIcon(TrayIcon::picture(m_tray->image()));
    });
    m_statusIcon->setPixmap(TrayIcon::picture(TrayIcon::Normal).pixmap(32, 32));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    // The window grows rather than cut a text.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    setMinimumWidth(380);
}

void frmUpdate::updateFallback() {
    if (!m_statusText) return;
    const bool active = services::Session::programActive;
    QString who = services::Session::strNomEmploye;
    QString state;
    if (!active)
        state = QStringLiteral("Base de données inaccessible : nouvelle tentative chaque minute.");
    else if (m_unread == 0)
        state = QStringLiteral("Aucun nouveau message.");
    else
        state = NoticePopup::textFor(m_unread);
    m_statusText->setText(who.isEmpty() ? state : who + QLatin1Char('\n') + state);
    m_cmdConsult->setEnabled(active);
    m_cmdPresences->setEnabled(active);
    const QSignalBlocker block(m_chkFlash);
    m_chkFlash->setChecked(m_tray->flashAllowed());
}

} // namespace shell
