#include "gui/webview/lazy_web_view.h"

#include "gui/kit/contrast.h"
#include "gui/kit/opengl_ready.h"
#include "gui/webview/web_engine_plugin.h"
#include "gui/webview/web_page_view.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace tally {

namespace {
const QString blankPage = QStringLiteral("about:blank");
} // namespace

LazyWebView::LazyWebView(const QString& viewName, QWidget* parent)
    : QWidget(parent), viewName_(viewName) {
    setObjectName(viewName + QStringLiteral("Host"));
    setAccessibleName(tr("Web page"));
    // The stand-in looks like a blank page: white in the skin, the desktop's base colour (a dark
    // one too) under its look.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

WebPageView* LazyWebView::view() {
    if (view_)
        return view_;
    // The web view draws through OpenGL: its window must be ready for that before it exists.
    prepareWindowForOpenGL(this);
    // Under dark colours the pages are asked for their dark look, or darkened, as far as the web
    // engine goes; it takes that once, when it starts.
    prepareWebEngineColours(isDark(palette()));
    QString error;
    WebPageViewFactory* factory = webPageViewFactory(&error);
    if (!factory) {
        showLoadError(error);
        return nullptr;
    }
    view_ = factory->createView(this);
    if (!view_) {
        showLoadError(tr("The web engine plugin made no web page view."));
        return nullptr;
    }
    view_->setObjectName(viewName_);
    view_->setAccessibleName(tr("Web page"));
    delete loadError_;
    loadError_ = nullptr;
    layout()->addWidget(view_);
    connect(view_, &WebPageView::linkHovered, this, &LazyWebView::statusTextChanged);
    connect(view_, &WebPageView::titleChanged, this, &LazyWebView::titleChanged);
    connect(view_, &WebPageView::loadStarted, this, [this](const QUrl& url) {
        const QString address = url.toString(QUrl::FullyEncoded);
        Q_EMIT statusTextChanged(tr("Opening page %1").arg(address));
        Q_EMIT loadStarted(address);
    });
    connect(view_, &WebPageView::loadFinished, this, [this] {
        Q_EMIT statusTextChanged(tr("Done"));
        Q_EMIT loadFinished();
    });
    return view_;
}

void LazyWebView::prepare() {
    if (view_ || preparing_)
        return;
    preparing_ = true;
    QTimer::singleShot(0, this, [this] { prepareStep(0); });
}

void LazyWebView::prepareStep(int step) {
    bool ready = !view_;
    if (ready && step == 0)
        ready = prepareWindowForOpenGL(this);
    else if (ready && step == 1)
        ready = webPageViewFactory(nullptr) != nullptr;
    if (ready && step < 2) {
        QTimer::singleShot(0, this, [this, step] { prepareStep(step + 1); });
        return;
    }
    // The last step, or one that failed: the view is made (or its failure said) and the page
    // waiting for it opens; with none waiting, a failure is said when a page is opened.
    preparing_ = false;
    const QUrl waiting = std::exchange(pendingUrl_, QUrl());
    if (step < 2 && waiting.isEmpty())
        return;
    if (WebPageView* page = view(); page && !waiting.isEmpty())
        page->load(waiting);
}

void LazyWebView::showLoadError(const QString& reason) {
    if (!loadError_) {
        loadError_ = new QLabel(this);
        loadError_->setObjectName(viewName_ + QStringLiteral("LoadError"));
        loadError_->setAlignment(Qt::AlignCenter);
        loadError_->setWordWrap(true);
        loadError_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        loadError_->setMargin(12);
        layout()->addWidget(loadError_);
    }
    loadError_->setText(tr("The web engine could not be loaded, so no web page can be "
                           "shown here.\n\n%1")
                            .arg(reason));
    Q_EMIT statusTextChanged(tr("The web engine could not be loaded"));
}

QUrl LazyWebView::addressFromText(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    return url.isValid() ? url : QUrl();
}

void LazyWebView::open(const QString& address) {
    openUrl(addressFromText(address));
}

void LazyWebView::openUrl(const QUrl& url) {
    if (url.isEmpty())
        return;
    if (!view_ && url == QUrl(blankPage))
        return;
    if (view_) {
        view_->load(url);
        return;
    }
    // The web engine starts in steps, the window drawn and answering between them; the page
    // opens in the view they end with.
    pendingUrl_ = url;
    Q_EMIT statusTextChanged(tr("Opening page %1").arg(url.toString(QUrl::FullyEncoded)));
    prepare();
}

void LazyWebView::back() {
    if (view_ && view_->canGoBack())
        view_->back();
}

void LazyWebView::forward() {
    if (view_ && view_->canGoForward())
        view_->forward();
}

void LazyWebView::stop() {
    if (view_) {
        view_->stop();
    } else if (!pendingUrl_.isEmpty()) {
        // The web engine goes on starting; the page waiting for it does not open.
        pendingUrl_.clear();
        Q_EMIT statusTextChanged(tr("Done"));
    }
}

void LazyWebView::reload() {
    if (!view_)
        return;
    const QUrl current = view_->url();
    if (current.isEmpty() || current == QUrl(blankPage))
        return;
    view_->reload();
}

QString LazyWebView::currentAddress() const {
    if (!view_)
        return blankPage;
    const QUrl url = view_->url();
    return url.isEmpty() ? blankPage : url.toString(QUrl::FullyEncoded);
}

QString LazyWebView::currentTitle() const {
    if (!view_)
        return blankPage;
    const QString title = view_->title();
    return title.isEmpty() ? currentAddress() : title;
}

} // namespace tally
