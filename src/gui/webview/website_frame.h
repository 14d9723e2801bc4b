// The Website View frame (Frame4): the web-results list (ListView2), the address box, the
// navigation buttons and the embedded browser (WebBrowser1, created when first needed).
#pragma once

#include <QGroupBox>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tally {

class LazyWebView;

class WebsiteFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit WebsiteFrame(QWidget* parent = nullptr);

    QTreeWidget* webResults() const { return listView2_; }
    // The embedded browser (its web view exists once a page has been opened).
    LazyWebView* browser() const { return webBrowser1_; }

    // Appends a row ("Home Page" or an engine's row text) with the URL as its sub-item.
    void addWebResult(const QString& rowText, const QString& url);
    // Empties the web-results list.
    void clearWebResults();
    // Opens the pages of the results row (its URL in column 1); nullptr when no row is selected.
    void ShowWebResults(QTreeWidgetItem* resultsRow);
    // Points the browser at "about:blank" (start-up).
    void navigateBlank();

public Q_SLOTS:
    // Opens the selected row's page in the browser.
    void ListView2_Click();
    void Command10_Click(); // Go: the address box's text
    void Command8_Click();  // Back
    void Command9_Click();  // Forward
    void Command11_Click(); // Stop
    void Command70_Click(); // Refresh

Q_SIGNALS:
    // Text for status panel 1 and panel 2 of the main window.
    void statusText(const QString& text);
    void openingText(const QString& text);
    // The main window should select its "Website View" tab.
    void websiteTabRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void WebBrowser1_StatusTextChange(const QString& text);
    void WebBrowser1_DownloadBegin(const QString& address);
    void WebBrowser1_DownloadComplete();

    QTreeWidget* listView2_ = nullptr;
    QLineEdit* text1_ = nullptr;
    LazyWebView* webBrowser1_ = nullptr;
    bool shownBefore_ = false;
};

} // namespace tally
