// The help window (object name "Form8", "Readme/Help"): the help text Help.rtf from the program
// folder and "Show at Startup", which stores the showHelp preference at once. Owned by the main
// window as a tool window, it stays above it while open.
#pragma once

#include <QWidget>

class QCheckBox;
class QTextBrowser;

namespace tally {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Loads the window: skin, help text, check box. Use isLoaded() before showing it.
    explicit HelpWindow(QWidget* owner = nullptr);

    // False when Help.rtf was missing: the window must not appear.
    bool isLoaded() const { return loaded_; }

    // Places the window at its first showing so that it covers none of its owner: beside the
    // owner where the screen has room (narrowed if need be), else centred over the owner; without
    // an owner on screen, centred on the screen.
    void placeBesideOwner();

public Q_SLOTS:
    // Stores the check box's value ("1" or "0") as showHelp.
    void storeShowAtStartup();
    // The user changed the box: stored at once, and a store that cannot be written is reported.
    void showAtStartupToggled();

protected:
    void changeEvent(QEvent* event) override;

private:
    void load();
    // Coloured help text that would not read on the text's background (dark colours) is
    // lightened; on a light background the text's own colours come back.
    void showColoursReadable();

    QTextBrowser* helpText_ = nullptr;
    QCheckBox* showAtStartupBox_ = nullptr;
    bool loaded_ = false;
};

} // namespace tally
