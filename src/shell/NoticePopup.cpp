#include "shell/NoticePopup.h"

#include "shell/TrayIcon.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScreen>

namespace shell {

NoticePopup::NoticePopup(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmNotice"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("QWidget#frmNotice { background: #FFF8DC; border: 1px solid #A08040; }"));
    auto* layout = new QHBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(TrayIcon::picture(TrayIcon::MessagesWaiting).pixmap(32, 32));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lblMsg"));
    QFont f = m_label->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 1);
    m_label->setFont(f);
    layout->addWidget(icon);
    layout->addWidget(m_label, 1);
    setFixedSize(300, 70);
    setCursor(Qt::PointingHandCursor);
    m_slide = new QPropertyAnimation(this, "pos", this);
    m_slide->setDuration(600);
    m_hide.setSingleShot(true);
    m_hide.setInterval(8000);
    connect(&m_hide, &QTimer::timeout, this, &QWidget::hide);
}

QString NoticePopup::textFor(int count) {
    if (count <= 1) return QStringLiteral("Vous avez 1 nouveau message.");
    return QStringLiteral("Vous avez %1 nouveaux messages.").arg(count);
}

QString NoticePopup::text() const {
    return m_label->text();
}

void NoticePopup::showCount(int count) {
    m_label->setText(textFor(count));
    setFixedSize(qMax(300, m_label->fontMetrics().horizontalAdvance(m_label->text()) + 90), 70);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const QPoint end(area.right() - width() - 8, area.bottom() - height() - 8);
    const QPoint start(end.x(), area.bottom());
    move(start);
    show();
    raise();
    m_slide->stop();
    m_slide->setStartValue(start);
    m_slide->setEndValue(end);
    m_slide->start();
    m_hide.start();
}

void NoticePopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        hide();
        emit clicked();
    }
}

} // namespace shell
