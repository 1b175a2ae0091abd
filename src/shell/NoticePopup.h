#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QPropertyAnimation;

namespace shell {

// The small window that slides up from the bottom right of the screen to say that
// messages wait. A click on it asks for the message list; it goes away by itself.
class NoticePopup : public QWidget {
    Q_OBJECT
public:
    explicit NoticePopup(QWidget* parent = nullptr);

    static QString textFor(int count);
    void showCount(int count);
    QString text() const;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(class QMouseEvent* event) override;

private:
    QLabel* m_label = nullptr;
    QPropertyAnimation* m_slide = nullptr;
    QTimer m_hide;
};

} // namespace shell
