// Prompts answered by script: each call takes the next queued answer of its kind (or a default)
// and is recorded, so that tests can check what the program asked or said.
#pragma once

#include "gui/kit/prompts.h"

#include <QList>
#include <QQueue>
#include <QStringList>

namespace tally::test {

class ScriptedPrompts : public Prompts {
public:
    struct Call {
        QString kind; // "msgBox", "inputBox", "openFile", "saveFile"
        QString text; // message text, prompt or caption
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QString folder;
        QString filter;
    };

    // Installs itself; the destructor restores the real dialogs.
    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Answers for the coming calls, in order. Without a queued answer a message box answers its
    // default button, an input box is cancelled and a file dialog is cancelled.
    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> files;

    QList<Call> calls;
    // The texts of the message boxes shown so far.
    QStringList messages() const;

    QMessageBox::StandardButton msgBox(QWidget* parent, const QString& text, const QString& title,
                                       QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton defaultButton) override;
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter, const QString& defaultSuffix) override;
};

} // namespace tally::test
