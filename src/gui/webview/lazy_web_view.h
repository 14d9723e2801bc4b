// The embedded web browser of the Website View and of the browser window: a web page view that is
// created only when a page is first opened, through the web engine plugin, so that the program
// starts without the web engine. Until then a blank area stands in for it and the browser counts
// as being on "about:blank". When the plugin cannot be loaded the area says so, and why.
#pragma once

#include "gui/webview/web_page_view.h"

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;

namespace tally {

class LazyWebView : public QWidget {
    Q_OBJECT
public:
    // The web view, once created, carries viewName as its object name.
    explicit LazyWebView(const QString& viewName, QWidget* parent = nullptr);

    // The web view, created now if it does not exist yet; nullptr when the web engine cannot be
    // loaded.
    WebPageView* view();
    bool isCreated() const { return view_ != nullptr; }
    // Starts the web engine ahead of the first page (when the browser comes into sight, say), so
    // that the page opens sooner: OpenGL, the plugin and the view, each in a step of its own on the
    // event loop. Only where the window can draw through OpenGL; a failure is said when a page
    // is opened.
    void prepare();

    // The first page (before the web view exists) opens once the web engine has started, in the
    // steps of prepare(): the call returns at once and the window is drawn meanwhile. Later pages
    // open at once. A page asked for during the steps replaces the one waiting; stop() drops it.
    // Opens the address as a user would type it: a bare host name is completed to a web address.
    // "about:blank" before the view exists opens nothing. An address that cannot be made into a
    // URL does nothing.
    void open(const QString& address);
    // Opens an address already made into a URL ("about:blank" before the view exists: nothing).
    void openUrl(const QUrl& url);
    // History and loading commands; each does nothing when it cannot be carried out.
    void back();
    void forward();
    void stop();
    void reload();

    // The address of the current page, and its title (the address when the page has none).
    QString currentAddress() const;
    QString currentTitle() const;

    // The address a typed text opens; invalid when there is none.
    static QUrl addressFromText(const QString& address);

Q_SIGNALS:
    // The text a browser shows in its status bar: the hovered link, or the state of a load.
    void statusTextChanged(const QString& text);
    // A load begins, with the address being opened.
    void loadStarted(const QString& address);
    // A load has ended (finished, failed or stopped).
    void loadFinished();
    // The page's title changed.
    void titleChanged(const QString& title);

private:
    void showLoadError(const QString& reason);
    // The steps of prepare(); none once the view exists (made by view() meanwhile).
    void prepareStep(int step);

    QString viewName_;
    QPointer<WebPageView> view_;
    QLabel* loadError_ = nullptr;
    bool preparing_ = false;
    QUrl pendingUrl_; // the page waiting for the web engine
};

} // namespace tally
