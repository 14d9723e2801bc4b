// The About window (AboutWindow).
#pragma once

#include "core/product/version_info.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tally {

// Loads the About window and shows it without blocking. A window loaded already is only shown.
void showAboutWindow(QWidget* owner);
// Closes the About window if it is loaded.
void unloadAboutWindow();
// The loaded About window, or nullptr.
QWidget* aboutWindow();

// The About window: product name, version, owner and web site. The web site opens the browser
// window.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    // Loads the window from the program's display strings.
    explicit AboutWindow(QWidget* owner = nullptr);
    // Loads the window from other display strings (tests).
    AboutWindow(const DisplayStrings& strings, QWidget* owner);

public slots:
    // Opens the browser window (frmWebsite) without touching appState().BrowserTarget.
    void lblWebsite_Click();

private:
    void Form_Load(const DisplayStrings& strings);

    QLabel* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblWebsite = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace tally
