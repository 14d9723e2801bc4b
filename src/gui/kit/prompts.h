// Every message box, question, input box and file dialog of the program goes through Prompts, so
// that tests can answer them by script instead of blocking on a modal window.
#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

class QWidget;

namespace tally {

class Prompts {
public:
    virtual ~Prompts() = default;

    // A message box; returns the button pressed.
    virtual QMessageBox::StandardButton msgBox(QWidget* parent, const QString& text,
                                               const QString& title, QMessageBox::Icon icon,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton) = 0;
    // An input box; std::nullopt when cancelled.
    virtual std::optional<QString> inputBox(QWidget* parent, const QString& prompt,
                                            const QString& title, const QString& defaultText) = 0;
    // File dialogs; an empty text when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter, const QString& defaultSuffix) = 0;

    // The prompts in use: the real dialogs unless a test installed others.
    static Prompts& instance();
    // Installs other prompts (not owned); nullptr restores the real dialogs.
    static void setInstance(Prompts* prompts);

    // Shorthands over msgBox.
    static void message(QWidget* parent, const QString& text, const QString& title,
                        QMessageBox::Icon icon = QMessageBox::NoIcon);
    static bool askYesNo(QWidget* parent, const QString& text, const QString& title,
                         QMessageBox::Icon icon = QMessageBox::Question);
    // A warning about a file: what went wrong, on a line of its own the file, and why
    // ("<what>\n<file>\n\n<reason>."); titled with the product's name unless a title is given.
    static void fileProblem(QWidget* parent, const QString& what, const QString& file,
                            const QString& reason, const QString& title = QString());
    static QString fileProblemText(const QString& what, const QString& file, const QString& reason);
};

// The real dialogs.
class DialogPrompts : public Prompts {
public:
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

} // namespace tally
