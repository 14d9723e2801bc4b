// The Website View frame (Frame4): the web-results list (ListView2), the address box, the
// navigation buttons and the embedded browser (WebBrowser1, created when first needed).
#pragma once

#include <QGroupBox>

class QTreeWidget;
class QTreeWidgetItem;

namespace tally {

class WebsiteFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit WebsiteFrame(QWidget* parent = nullptr);

    QTreeWidget* webResults() const { return listView2_; }

    // Appends a row ("Home Page" or an engine's row text) with the URL as its sub-item.
    void addWebResult(const QString& rowText, const QString& url);
    // Empties the web-results list.
    void clearWebResults();
    // Opens the pages of the results row (its URL in column 1); nullptr when no row is selected.
    void ShowWebResults(QTreeWidgetItem* resultsRow);
    // Points the browser at "about:blank" (start-up).
    void navigateBlank();

Q_SIGNALS:
    // Text for status panel 1 and panel 2 of the main window.
    void statusText(const QString& text);
    void openingText(const QString& text);
    // The main window should select its "Website View" tab.
    void websiteTabRequested();

private:
    QTreeWidget* listView2_ = nullptr;
};

} // namespace tally
