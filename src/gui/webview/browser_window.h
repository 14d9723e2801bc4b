// The stand-alone browser window (frmWebsite).
#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QStatusBar;

namespace tally {

class LazyWebView;

// Loads the browser window if needed and shows it without blocking; it opens SiteAddress when
// appState().BrowserTarget is "Website", else SiteUrl. A window already loaded is only shown.
void showBrowserWindow();
// Whether the browser window is loaded and visible.
bool browserWindowVisible();
// The loaded browser window, or nullptr.
QWidget* browserWindow();

// Raises the window above the others (on) or returns it to the normal order (off), without
// moving or resizing it.
void SetAlwaysOnTop(QWidget* window, bool on);

// The product web site's full address (scheme included): the built-in one unless a test pointed
// it elsewhere. An empty text restores the built-in address.
QString siteUrl();
void setSiteUrl(const QString& url);

class BrowserWindow : public QWidget {
    Q_OBJECT
public:
    // Builds the window and runs its load: caption, the first address, maximised.
    BrowserWindow();
    ~BrowserWindow() override;

    LazyWebView* browser() const { return webBrowser1_; }

public Q_SLOTS:
    void Command3_Click(); // Go: the address box's text
    void Command4_Click(); // Back
    void Command5_Click(); // Forward
    void Command6_Click(); // Stop
    void Command7_Click(); // Refresh

protected:
    // Unload: when the main window has already gone, closing this window ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void WebBrowser1_StatusTextChange(const QString& text);
    void WebBrowser1_DownloadComplete();

    QGroupBox* frmBrowser_ = nullptr;
    QLineEdit* text1_ = nullptr;
    LazyWebView* webBrowser1_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panel2_ = nullptr;
};

} // namespace tally
