// The help window (HelpWindow, "Readme/Help").
#pragma once

#include <QWidget>

class QCheckBox;
class QTextBrowser;

namespace tally {

// Loads the help window (owned by `owner`) and shows it without blocking; nothing appears when
// Help.rtf is missing. A help window that is loaded already is only shown and raised.
void showHelpWindow(QWidget* owner);
// Closes the help window if it is loaded.
void unloadHelpWindow();
// The loaded help window, or nullptr.
QWidget* helpWindow();

// The help window: the help text Help.rtf from the program folder and "Show at Startup", which
// stores the showHelp preference at once. Owned by the main window, it stays above it while open.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Loads the window: skin, help text, check box. Use isLoaded() before showing it.
    explicit HelpWindow(QWidget* owner = nullptr);

    // False when Help.rtf was missing: the window must not appear.
    bool isLoaded() const { return loaded_; }

public slots:
    // Stores the check box's value ("1" or "0") as showHelp.
    void Check1_Click();

private:
    void Form_Load();

    QTextBrowser* rtf1 = nullptr;
    QCheckBox* Check1 = nullptr;
    bool loaded_ = false;
};

} // namespace tally
