#pragma once

#include <QIcon>
#include <QObject>
#include <QTimer>

class QSystemTrayIcon;
class QMenu;
class QAction;

namespace shell {

// The notification-area icon: its three images, its flashing and its menu.
// It only reports what the user did (signals); the main window decides.
// Where the desktop has no notification area the main window shows its own
// fallback window with the same menu and state, fed by the same signals.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    enum Image { Normal = 1, MessagesWaiting = 2, DatabaseLost = 3 };

    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    static QString tooltip();
    static QIcon picture(int image);

    void setImage(int image);
    int image() const { return m_image; }
    // Flashes every 500 ms between the current image and an empty picture.
    void setFlashing(bool on);
    bool isFlashing() const { return m_flash.isActive(); }
    // Whether the flashing is allowed at all ("Clignotement icone").
    void setFlashAllowed(bool allowed);
    bool flashAllowed() const;
    // Menu entries that need the database.
    void setDatabaseEntriesEnabled(bool enabled);

    QMenu* menu() const { return m_menu; }
    bool visibleInTray() const;
    void show();
    void hide();

signals:
    void consultationRequested();
    void presencesRequested();
    void flashToggled(bool allowed);
    void closeRequested();
    void activatedTwice(); // double-click on the icon
    void pictureChanged(const QIcon& icon);

private:
    void onFlashTick();
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_consult = nullptr;
    QAction* m_presences = nullptr;
    QAction* m_flashAction = nullptr;
    QAction* m_close = nullptr;
    QTimer m_flash;
    bool m_flashShown = true;
    int m_image = Normal;
};

} // namespace shell
