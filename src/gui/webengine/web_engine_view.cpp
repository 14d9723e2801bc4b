#include "gui/webengine/web_engine_view.h"

#include <QEvent>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace tally {

WebEngineView::WebEngineView(QWidget* parent)
    : WebPageView(parent), engine_(new QWebEngineView(this)) {
    engine_->setObjectName(QStringLiteral("webEngineView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(engine_);
    // Focus given to the view goes to the page.
    setFocusProxy(engine_);
    // A local page (one the user typed a file address for) reads neither other local files nor
    // other sites; scripts stay on for the web's own pages.
    QWebEngineSettings* settings = engine_->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);

    QWebEnginePage* page = engine_->page();
    connect(page, &QWebEnginePage::linkHovered, this, &WebPageView::linkHovered);
    connect(engine_, &QWebEngineView::titleChanged, this, &WebPageView::titleChanged);
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            Q_EMIT loadStarted(info.url());
        else
            Q_EMIT loadFinished(); // succeeded, failed or stopped
    });
    page->setBackgroundColor(palette().color(QPalette::Base));
    // A link that asks for a window of its own opens here: there is no other browser to take it.
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { engine_->load(request.requestedUrl()); });
}

void WebEngineView::changeEvent(QEvent* event) {
    WebPageView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        engine_->page()->setBackgroundColor(palette().color(QPalette::Base));
}

void WebEngineView::load(const QUrl& url) {
    engine_->load(url);
}

void WebEngineView::back() {
    engine_->back();
}

void WebEngineView::forward() {
    engine_->forward();
}

void WebEngineView::stop() {
    engine_->stop();
}

void WebEngineView::reload() {
    engine_->reload();
}

QUrl WebEngineView::url() const {
    return engine_->url();
}

QString WebEngineView::title() const {
    return engine_->title();
}

bool WebEngineView::canGoBack() const {
    return engine_->history()->canGoBack();
}

bool WebEngineView::canGoForward() const {
    return engine_->history()->canGoForward();
}

} // namespace tally
