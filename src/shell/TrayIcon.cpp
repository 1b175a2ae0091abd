#include "shell/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>

namespace shell {

QString TrayIcon::tooltip() {
    return QStringLiteral("Utilitaire de notification de messages de GestionOrbel");
}

// The three pictures are drawn here so the program ships no image files: an
// envelope (normal), the envelope with a red badge (messages waiting), and a grey
// envelope crossed in red (database lost).
QIcon TrayIcon::picture(int image) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body = image == DatabaseLost ? QColor(150, 150, 150) : QColor(255, 246, 214);
    const QColor edge = image == DatabaseLost ? QColor(90, 90, 90) : QColor(150, 110, 30);
    QRectF env(3, 8, 26, 17);
    p.setPen(QPen(edge, 1.5));
    p.setBrush(body);
    p.drawRoundedRect(env, 2, 2);
    QPainterPath flap;
    flap.moveTo(env.topLeft());
    flap.lineTo(env.center().x(), env.top() + 10);
    flap.lineTo(env.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    if (image == MessagesWaiting) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QRectF(17, 1, 14, 14));
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(11);
        p.setFont(f);
        p.drawText(QRectF(17, 1, 14, 14), Qt::AlignCenter, QStringLiteral("!"));
    } else if (image == DatabaseLost) {
        p.setPen(QPen(QColor(200, 0, 0), 3));
        p.drawLine(QPointF(5, 5), QPointF(27, 27));
        p.drawLine(QPointF(27, 5), QPointF(5, 27));
    }
    return QIcon(pm);
}

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {
    m_menu = new QMenu();
    m_consult = m_menu->addAction(QStringLiteral("Consultation"));
    m_consult->setObjectName(QStringLiteral("mnuConsult"));
    m_presences = m_menu->addAction(QStringLiteral("Présences"));
    m_presences->setObjectName(QStringLiteral("mnuPresences"));
    m_menu->addSeparator();
    m_flashAction = m_menu->addAction(QStringLiteral("Clignotement icone"));
    m_flashAction->setObjectName(QStringLiteral("mnuClignotement"));
    m_flashAction->setCheckable(true);
    m_flashAction->setChecked(true);
    m_menu->addSeparator();
    m_close = m_menu->addAction(QStringLiteral("Fermer"));
    m_close->setObjectName(QStringLiteral("mnuFermer"));

    connect(m_consult, &QAction::triggered, this, &TrayIcon::consultationRequested);
    connect(m_presences, &QAction::triggered, this, &TrayIcon::presencesRequested);
    connect(m_close, &QAction::triggered, this, &TrayIcon::closeRequested);
    connect(m_flashAction, &QAction::toggled, this, [this](bool on) {
        if (!on) setFlashing(false);
        emit flashToggled(on);
    });

    m_flash.setInterval(500);
    connect(&m_flash, &QTimer::timeout, this, &TrayIcon::onFlashTick);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(picture(Normal), this);
        m_tray->setToolTip(tooltip());
        m_tray->setContextMenu(m_menu);
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::DoubleClick) emit activatedTwice();
        });
    }
}

TrayIcon::~TrayIcon() {
    if (m_tray) m_tray->hide();
    delete m_menu;
}

bool TrayIcon::visibleInTray() const {
    return m_tray && m_tray->isVisible();
}
void TrayIcon::show() {
    if (m_tray) m_tray->show();
}
void TrayIcon::hide() {
    if (m_tray) m_tray->hide();
}

void TrayIcon::setImage(int image) {
    m_image = image;
    m_flashShown = true;
    const QIcon icon = picture(image);
    if (m_tray) m_tray->setIcon(icon);
    emit pictureChanged(icon);
}

void TrayIcon::setFlashing(bool on) {
    if (on && flashAllowed()) {
        if (!m_flash.isActive()) m_flash.start();
    } else {
        m_flash.stop();
        if (!m_flashShown) setImage(m_image);
    }
}

void TrayIcon::setFlashAllowed(bool allowed) {
    m_flashAction->setChecked(allowed);
}
bool TrayIcon::flashAllowed() const {
    return m_flashAction->isChecked();
}

void TrayIcon::setDatabaseEntriesEnabled(bool enabled) {
    m_consult->setEnabled(enabled);
    m_presences->setEnabled(enabled);
}

void TrayIcon::onFlashTick() {
    m_flashShown = !m_flashShown;
    QIcon icon = m_flashShown ? picture(m_image) : QIcon(QPixmap(32, 32));
    if (!m_flashShown) {
        QPixmap blank(32, 32);
        blank.fill(Qt::transparent);
        icon = QIcon(blank);
    }
    if (m_tray) m_tray->setIcon(icon);
    emit pictureChanged(icon);
}

} // namespace shell
