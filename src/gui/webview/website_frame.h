// The Website View frame (object name "Frame4"): the web-results list ("ListView2"), the
// navigation bar and the embedded browser ("WebBrowser1", created when first needed).
#pragma once

#include "core/webview/web_results_model.h"

#include <QGroupBox>
#include <QPointer>

class QTreeView;

namespace tally {

class LazyWebView;
class NavigationBar;

class WebsiteFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit WebsiteFrame(QWidget* parent = nullptr);

    // The web-results list (ListView2), a view over the pages behind the scanned rows.
    QTreeView* webResults() const { return webResults_; }
    // The embedded browser (its web view exists once a page has been opened).
    LazyWebView* browser() const { return browser_; }

    // The list's model (not owned). It is brought up to date whenever the frame is shown, and by
    // refreshWebResults().
    void setWebResultsModel(WebResultsModel* model);
    WebResultsModel* webResultsModel() const { return model_; }
    // Brings the list up to date with the scanned rows.
    void refreshWebResults();
    // Opens the pages of a results row: selects the URL's home-page row in the list, opens it and
    // asks for the Website View tab. Nothing happens when the list holds no row for the URL.
    void showWebResultsFor(const QString& url);
    // The list's header click: a text sort by the 1-based column with the list's one order
    // toggled (ascending at first, so the first click sorts descending). True on success; on
    // failure (a column the list lacks), with showErrors, a message box says why.
    bool sortWebResults(int column, bool showErrors);
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
    QTreeView* webResults_ = nullptr;
    QPointer<WebResultsModel> model_;
    NavigationBar* navigation_ = nullptr;
    LazyWebView* browser_ = nullptr;
    bool shownBefore_ = false;
};

} // namespace tally
