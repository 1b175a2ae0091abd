#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

// Menus, message boxes, the input box and the colour dialog all go through here.
// In production a person answers; a test installs a Chooser that answers instead
// and records what was shown.
namespace platform {

struct MenuItem {
    int id = 0; // number returned when chosen; 0 for a submenu title or separator
    QString text;
    bool checked = false;
    bool greyed = false;
    bool separator = false;
    bool isSubmenu = false; // a submenu title, even while its list is empty
    QList<MenuItem> submenu;

    static MenuItem item(int id, const QString& text, bool checked = false, bool greyed = false) {
        MenuItem m;
        m.id = id;
        m.text = text;
        m.checked = checked;
        m.greyed = greyed;
        return m;
    }
    static MenuItem sub(const QString& text, QList<MenuItem> items) {
        MenuItem m;
        m.text = text;
        m.isSubmenu = true;
        m.submenu = std::move(items);
        return m;
    }
    static MenuItem sep() {
        MenuItem m;
        m.separator = true;
        return m;
    }
};

using Menu = QList<MenuItem>;

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

// Answers in place of a person. Each call receives what would have been shown.
class Chooser {
public:
    virtual ~Chooser() = default;
    virtual int popupMenu(QWidget* owner, const Menu& menu) = 0;
    virtual MsgResult messageBox(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // Returns nullopt for "Annuler".
    virtual std::optional<QString> inputBox(QWidget* owner, const QString& prompt, const QString& title,
                                            const QString& initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* owner, const QColor& initial) = 0;
    // The print dialog: true to print on the printer as the dialog set it. Nothing printed
    // unless a chooser says otherwise (setting the printer to a file).
    virtual bool printDialog(QWidget* owner, QPrinter* printer) {
        (void)owner;
        (void)printer;
        return false;
    }
    // The print preview: its pages drawn once on the printer.
    virtual void printPreview(QWidget* owner, QPrinter* printer,
                              const std::function<void(QPrinter*)>& paint) {
        (void)owner;
        paint(printer);
    }
};

// Shows the menu at the mouse cursor and returns the chosen item's id, 0 when dismissed.
int popupMenu(QWidget* owner, const Menu& menu);
MsgResult messageBox(QWidget* owner, const QString& text, const QString& title = QString(),
                     MsgIcon icon = MsgIcon::Exclamation, MsgButtons buttons = MsgButtons::Ok);
std::optional<QString> inputBox(QWidget* owner, const QString& prompt, const QString& title,
                                const QString& initial = QString());
std::optional<QColor> chooseColor(QWidget* owner, const QColor& initial);
// The print dialog on a printer; true when the user chose to print.
bool printDialog(QWidget* owner, QPrinter* printer);
// The print preview window, whose pages `paint` draws on the printer it is given, as often
// as the preview needs them; it prints them too when the user asks.
void printPreview(QWidget* owner, QPrinter* printer, const std::function<void(QPrinter*)>& paint);

// Installs a chooser (tests); nullptr restores the real dialogs. Returns the previous one.
Chooser* setChooser(Chooser* chooser);

// Marks a modal loop of the program (a message box, a menu, one of its own dialogs) for
// its lifetime. A window deleted while such a loop runs would take the dialog, and the
// code waiting on it, from under that loop; work that closes windows waits for the last
// loop to return through whenNoModalLoop().
class ModalLoop {
public:
    ModalLoop();
    ~ModalLoop();
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;
};
int modalLoopDepth();
// Runs the work now when no modal loop runs, else from the event loop once the last one
// has returned.
void whenNoModalLoop(std::function<void()> work);

// Finds an item by id anywhere in the menu, submenus included (tests, and callers
// that need an item's text back).
const MenuItem* findMenuItem(const Menu& menu, int id);

} // namespace platform
