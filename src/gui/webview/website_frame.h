// The Website View frame (object name "Frame4"): the web-results list ("ListView2"), the
// navigation bar and the embedded browser ("WebBrowser1", created when first needed).
#pragma once

#include <QGroupBox>

class QTreeWidget;
class QTreeWidgetItem;

namespace tally {

class LazyWebView;
class NavigationBar;

class WebsiteFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit WebsiteFrame(QWidget* parent = nullptr);

    QTreeWidget* webResults() const { return webResults_; }
    // The embedded browser (its web view exists once a page has been opened).
    LazyWebView* browser() const { return browser_; }

    // Appends a row ("Home Page" or an engine's row text) with the URL as its sub-item.
    void addWebResult(const QString& rowText, const QString& url);
    // Empties the web-results list.
    void clearWebResults();
    // Opens the pages of a results row: selects the URL's first row in the list, opens it and
    // asks for the Website View tab. Nothing happens when the list holds no row for the URL.
    void showWebResultsFor(const QString& url);
    // Points the browser at "about:blank" (start-up).
    void openBlankPage();

public Q_SLOTS:
    // Opens the selected row's page in the browser.
    void openSelectedWebResult();

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
    QTreeWidget* webResults_ = nullptr;
    NavigationBar* navigation_ = nullptr;
    LazyWebView* browser_ = nullptr;
    bool shownBefore_ = false;
};

} // namespace tally
