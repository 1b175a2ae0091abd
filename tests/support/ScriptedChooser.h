#pragma once

#include "platform/Dialogs.h"

#include <QPrinter>
#include <QStringList>
#include <deque>

// Answers menus and dialogs in place of a person and keeps what was shown.
// Installed for its lifetime.
class ScriptedChooser : public platform::Chooser {
public:
    ScriptedChooser() { m_previous = platform::setChooser(this); }
    ~ScriptedChooser() override { platform::setChooser(m_previous); }

    std::deque<int> menuAnswers;                // 0 when empty: dismissed
    std::deque<platform::MsgResult> boxAnswers; // Ok/Yes when empty
    QList<std::optional<QString>> inputAnswers; // nullopt: "Annuler"
    std::deque<std::optional<QColor>> colorAnswers;
    QString printFile; // the print dialog and preview print to this PDF file; none: cancelled

    QList<platform::Menu> menusShown;
    QStringList messagesShown; // texts of the message boxes
    QStringList titlesShown;

    int popupMenu(QWidget*, const platform::Menu& menu) override {
        menusShown << menu;
        return next(menuAnswers, 0);
    }
    platform::MsgResult messageBox(QWidget*, const QString& text, const QString& title, platform::MsgIcon,
                                   platform::MsgButtons buttons) override {
        messagesShown << text;
        titlesShown << title;
        const bool ok = buttons == platform::MsgButtons::Ok || buttons == platform::MsgButtons::OkCancel;
        return next(boxAnswers, ok ? platform::MsgResult::Ok : platform::MsgResult::Yes);
    }
    std::optional<QString> inputBox(QWidget*, const QString& prompt, const QString&,
                                    const QString&) override {
        messagesShown << prompt;
        return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.takeFirst();
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return next(colorAnswers, {}); }
    bool printDialog(QWidget*, QPrinter* printer) override {
        titlesShown << QStringLiteral("Imprimer");
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(printFile);
        return !printFile.isEmpty();
    }
    void printPreview(QWidget* owner, QPrinter* printer,
                      const std::function<void(QPrinter*)>& paint) override {
        titlesShown << QStringLiteral("Aperçu");
        if (printDialog(owner, printer)) paint(printer);
    }

private:
    template <typename T> static T next(std::deque<T>& answers, T otherwise) {
        if (!answers.empty()) otherwise = answers.front(), answers.pop_front();
        return otherwise;
    }
    platform::Chooser* m_previous = nullptr;
};
