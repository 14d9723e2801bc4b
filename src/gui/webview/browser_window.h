// The stand-alone browser window (object name "frmWebsite").
#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QStatusBar;

namespace tally {

class LazyWebView;
class NavigationBar;

class BrowserWindow : public QWidget {
    Q_OBJECT
public:
    // Builds the window and runs its load: the caption, the first address, maximised. caption is
    // what the title bar shows until the first page has a title of its own.
    BrowserWindow(const QString& caption, const QString& startAddress);
    ~BrowserWindow() override;

    LazyWebView* browser() const { return browser_; }

    // Set when the main window has closed while this window stayed open: closing this window then
    // ends the program.
    void setEndsProgramOnClose(bool ends) { endsProgramOnClose_ = ends; }
    bool endsProgramOnClose() const { return endsProgramOnClose_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void load(const QString& caption, const QString& startAddress);

    QGroupBox* frame_ = nullptr;
    NavigationBar* navigation_ = nullptr;
    LazyWebView* browser_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QLabel* secondPanel_ = nullptr;
    bool endsProgramOnClose_ = false;
};

} // namespace tally
