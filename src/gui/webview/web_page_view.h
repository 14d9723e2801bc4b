// The web page view as the windows see it: a widget that shows one page and its history, made by
// the web engine plugin (src/gui/webengine). The program itself does not link the web engine; the
// plugin is loaded the first time a page is opened (see web_engine_plugin.h).
//
// The plugin derives from WebPageView, so the class lives in the program alone: every executable
// that links tallygui exports WebPageView's symbols (web_page_view.symbols) and the plugin uses
// those, the same vtable and meta-object on both sides.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>
#include <QtPlugin>

namespace tally {

class WebPageView : public QWidget {
    Q_OBJECT
public:
    explicit WebPageView(QWidget* parent = nullptr) : QWidget(parent) {}

    // Opens the address.
    virtual void load(const QUrl& url) = 0;
    // History and loading; each does what the page allows (see canGoBack, canGoForward).
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void stop() = 0;
    virtual void reload() = 0;

    // The current page's address (empty before the first load) and title (empty when it has none).
    virtual QUrl url() const = 0;
    virtual QString title() const = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;

Q_SIGNALS:
    // The pointer entered a link (its address) or left it (an empty text).
    void linkHovered(const QString& address);
    // A load of the address began.
    void loadStarted(const QUrl& url);
    // The load ended: finished, failed or stopped.
    void loadFinished();
    void titleChanged(const QString& title);
};

// What the plugin's root object implements.
class WebPageViewFactory {
public:
    virtual ~WebPageViewFactory() = default;
    // A new view, a child of parent.
    virtual WebPageView* createView(QWidget* parent) = 0;
};

} // namespace tally

#define TallyWebPageViewFactory_iid "com.northwind-signal-works.Tallyscope.WebPageViewFactory/1"
Q_DECLARE_INTERFACE(tally::WebPageViewFactory, TallyWebPageViewFactory_iid)
