#include "core/scan/network_page_fetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace tally {

namespace {

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// Where a redirect answer sends the client; empty for any other answer.
QUrl redirectTarget(const QNetworkReply* reply) {
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
        return {};
    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    return location.isEmpty() ? QUrl() : reply->url().resolved(location);
}

} // namespace

NetworkPageFetcher::NetworkPageFetcher(QObject* parent)
    : PageFetcher(parent), manager_(new QNetworkAccessManager(this)), idle_(new QTimer(this)),
      limit_(new QTimer(this)) {
    manager_->setProxy(QNetworkProxy::NoProxy);
    manager_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    idle_->setSingleShot(true);
    limit_->setSingleShot(true);
    connect(idle_, &QTimer::timeout, this, &NetworkPageFetcher::finish);
    connect(limit_, &QTimer::timeout, this, &NetworkPageFetcher::finish);
}

NetworkPageFetcher::~NetworkPageFetcher() {
    release();
}

bool NetworkPageFetcher::isBusy() const {
    return reply_ != nullptr;
}

void NetworkPageFetcher::GetUrlSource(const QString& strURL) {
    abort();
    const quint64 serial = ++serial_;
    const QUrl url(strURL, QUrl::TolerantMode);
    if (!isWebAddress(url)) {
        // Nothing that could be opened as a web page: the empty text, later, as for any fetch.
        QTimer::singleShot(0, this, [this, serial] {
            if (serial == serial_ && !reply_)
                Q_EMIT pageFetched(QString());
        });
        return;
    }
    redirects_ = 0;
    limit_->start(requestLimitMs_);
    startRequest(url);
}

void NetworkPageFetcher::startRequest(const QUrl& url) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(UserAgent));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    reply_ = manager_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &NetworkPageFetcher::readBody);
    connect(reply_, &QNetworkReply::finished, this, &NetworkPageFetcher::replyFinished);
    // The headers count as a sign of life for the transfer time-out, as the body does.
    connect(reply_, &QNetworkReply::metaDataChanged, idle_, qOverload<>(&QTimer::start));
    idle_->start(transferTimeoutMs_);
}

void NetworkPageFetcher::abort() {
    ++serial_;
    release();
}

void NetworkPageFetcher::readBody() {
    if (!reply_)
        return;
    idle_->start();
    if (!redirectTarget(reply_).isEmpty()) {
        reply_->readAll(); // the body of a redirect is not the page
        return;
    }
    body_ += reply_->readAll();
    if (body_.size() >= bodyCap_) {
        body_.truncate(bodyCap_);
        finish();
    }
}

void NetworkPageFetcher::replyFinished() {
    if (!reply_)
        return;
    const QUrl target = redirectTarget(reply_);
    if (target.isEmpty()) {
        finish();
        return;
    }
    const bool lessSafe =
        reply_->url().scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
        target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0;
    dropReply();
    body_.clear();
    if (!isWebAddress(target) || lessSafe || ++redirects_ > MaxRedirects) {
        finish(); // a redirect that cannot be followed: nothing was fetched
        return;
    }
    startRequest(target);
}

void NetworkPageFetcher::finish() {
    if (reply_ && body_.size() < bodyCap_ && redirectTarget(reply_).isEmpty()) {
        body_ += reply_->readAll();
        if (body_.size() > bodyCap_)
            body_.truncate(bodyCap_);
    }
    const QString page = QString::fromLatin1(body_);
    release();
    Q_EMIT pageFetched(page);
}

void NetworkPageFetcher::release() {
    idle_->stop();
    limit_->stop();
    body_.clear();
    dropReply();
}

void NetworkPageFetcher::dropReply() {
    if (!reply_)
        return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->disconnect(idle_);
    if (reply->isRunning())
        reply->abort();
    reply->deleteLater();
}

} // namespace tally
