#include "platform/Dialogs.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QCursor>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <utility>

namespace platform {

namespace {
Chooser*& currentChooser() {
    static Chooser* chooser = nullptr;
    return chooser;
}

void fillMenu(QMenu* target, const Menu& items) {
    for (const MenuItem& item : items) {
        if (item.separator) {
            target->addSeparator();
        } else if (item.isSubmenu || !item.submenu.isEmpty()) {
            // An empty submenu is shown greyed, never as an item that could be chosen.
            QMenu* sub = target->addMenu(item.text);
            sub->menuAction()->setObjectName(QStringLiteral("subMenu_") + item.text);
            sub->setEnabled(!item.greyed && !item.submenu.isEmpty());
            fillMenu(sub, item.submenu);
        } else {
            QAction* a = target->addAction(item.text);
            a->setObjectName(QStringLiteral("menuItem%1").arg(item.id));
            a->setData(item.id);
            a->setCheckable(item.checked);
            a->setChecked(item.checked);
            a->setEnabled(!item.greyed);
        }
    }
}
} // namespace

namespace {
int g_modalDepth = 0;
QList<std::function<void()>>& pendingWork() {
    static QList<std::function<void()>> work;
    return work;
}
} // namespace

ModalLoop::ModalLoop() {
    ++g_modalDepth;
}

ModalLoop::~ModalLoop() {
    if (--g_modalDepth > 0 || pendingWork().isEmpty()) return;
    // Queued: the code that opened the last loop still runs on the stack.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            const QList<std::function<void()>> work = std::exchange(pendingWork(), {});
            for (const auto& w : work)
                w();
        },
        Qt::QueuedConnection);
}

int modalLoopDepth() {
    return g_modalDepth;
}

void whenNoModalLoop(std::function<void()> work) {
    if (g_modalDepth == 0)
        work();
    else
        pendingWork() << std::move(work);
}

Chooser* setChooser(Chooser* chooser) {
    Chooser* previous = currentChooser();
    currentChooser() = chooser;
    return previous;
}

int popupMenu(QWidget* owner, const Menu& menu) {
    if (Chooser* c = currentChooser()) return c->popupMenu(owner, menu);
    QMenu m(owner);
    fillMenu(&m, menu);
    const ModalLoop loop;
    QAction* chosen = m.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

MsgResult messageBox(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons) {
    if (Chooser* c = currentChooser()) return c->messageBox(owner, text, title, icon, buttons);
    QMessageBox box(owner);
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Corvel") : title);
    switch (icon) {
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::None:
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    const ModalLoop loop;
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Ok;
    }
}

std::optional<QString> inputBox(QWidget* owner, const QString& prompt, const QString& title,
                                const QString& initial) {
    if (Chooser* c = currentChooser()) return c->inputBox(owner, prompt, title, initial);
    bool ok = false;
    const ModalLoop loop;
    QString text = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QColor> chooseColor(QWidget* owner, const QColor& initial) {
    if (Chooser* c = currentChooser()) return c->chooseColor(owner, initial);
    const ModalLoop loop;
    QColor color = QColorDialog::getColor(initial, owner);
    if (!color.isValid()) return std::nullopt;
    return color;
}

bool printDialog(QWidget* owner, QPrinter* printer) {
    if (Chooser* c = currentChooser()) return c->printDialog(owner, printer);
    const ModalLoop loop;
    QPrintDialog dialog(printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

void printPreview(QWidget* owner, QPrinter* printer, const std::function<void(QPrinter*)>& paint) {
    if (Chooser* c = currentChooser()) return c->printPreview(owner, printer, paint);
    const ModalLoop loop;
    QPrintPreviewDialog dialog(printer, owner);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* p) { paint(p); });
    dialog.exec();
}

const MenuItem* findMenuItem(const Menu& menu, int id) {
    for (const MenuItem& item : menu) {
        if (!item.separator && !item.isSubmenu && item.submenu.isEmpty() && item.id == id) return &item;
        if (const MenuItem* found = findMenuItem(item.submenu, id)) return found;
    }
    return nullptr;
}

} // namespace platform
