#include "gui/webview/lazy_web_view.h"

#include "gui/kit/opengl_ready.h"

#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace tally {

namespace {
const QString blankPage = QStringLiteral("about:blank");
} // namespace

LazyWebView::LazyWebView(const QString& viewName, QWidget* parent)
    : QWidget(parent), viewName_(viewName) {
    setObjectName(viewName + QStringLiteral("Host"));
    setAccessibleName(QStringLiteral("Web page"));
    // The stand-in looks like a blank page.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QWebEngineView* LazyWebView::view() {
    if (view_)
        return view_;
    // The web view draws through OpenGL: its window must be ready for that before it exists.
    prepareWindowForOpenGL(this);
    view_ = new QWebEngineView(this);
    view_->setObjectName(viewName_);
    view_->setAccessibleName(QStringLiteral("Web page"));
    layout()->addWidget(view_);
    QWebEnginePage* page = view_->page();
    connect(page, &QWebEnginePage::linkHovered, this, &LazyWebView::StatusTextChange);
    connect(page, &QWebEnginePage::loadingChanged, this, &LazyWebView::onLoadingChanged);
    connect(view_, &QWebEngineView::titleChanged, this, &LazyWebView::TitleChange);
    // A link that asks for a window of its own opens here: there is no other browser to take it.
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { view_->load(request.requestedUrl()); });
    return view_;
}

QUrl LazyWebView::addressFromText(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    return url.isValid() ? url : QUrl();
}

void LazyWebView::Navigate(const QString& address) {
    const QUrl url = addressFromText(address);
    if (url.isEmpty())
        return;
    if (!view_ && url == QUrl(blankPage))
        return;
    view()->load(url);
}

void LazyWebView::GoBack() {
    if (view_ && view_->history()->canGoBack())
        view_->back();
}

void LazyWebView::GoForward() {
    if (view_ && view_->history()->canGoForward())
        view_->forward();
}

void LazyWebView::Stop() {
    if (view_)
        view_->stop();
}

void LazyWebView::Refresh() {
    if (!view_)
        return;
    const QUrl current = view_->url();
    if (current.isEmpty() || current == QUrl(blankPage))
        return;
    view_->reload();
}

QString LazyWebView::LocationURL() const {
    if (!view_)
        return blankPage;
    const QUrl url = view_->url();
    return url.isEmpty() ? blankPage : url.toString(QUrl::FullyEncoded);
}

QString LazyWebView::LocationName() const {
    if (!view_)
        return blankPage;
    const QString title = view_->title();
    return title.isEmpty() ? LocationURL() : title;
}

void LazyWebView::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        Q_EMIT StatusTextChange(QStringLiteral("Opening page ") +
                                info.url().toString(QUrl::FullyEncoded));
        Q_EMIT DownloadBegin(info.url().toString(QUrl::FullyEncoded));
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        Q_EMIT StatusTextChange(QStringLiteral("Done"));
        Q_EMIT DownloadComplete();
        break;
    }
}

} // namespace tally
