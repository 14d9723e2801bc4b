#include "scan/network_page_fetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace tally {

NetworkPageFetcher::NetworkPageFetcher(QObject* parent)
    : PageFetcher(parent), manager_(new QNetworkAccessManager(this)), idle_(new QTimer(this)),
      limit_(new QTimer(this)) {
    manager_->setProxy(QNetworkProxy::NoProxy);
    manager_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
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
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        // Nothing that could be opened as a web page: the empty text, later, as for any fetch.
        QTimer::singleShot(0, this, [this, serial] {
            if (serial == serial_ && !reply_)
                Q_EMIT pageFetched(QString());
        });
        return;
    }

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(UserAgent));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    reply_ = manager_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &NetworkPageFetcher::readBody);
    connect(reply_, &QNetworkReply::finished, this, &NetworkPageFetcher::finish);
    // Headers and redirects count as signs of life for the transfer time-out, as the body does.
    connect(reply_, &QNetworkReply::metaDataChanged, idle_, qOverload<>(&QTimer::start));
    connect(reply_, &QNetworkReply::redirected, idle_, qOverload<>(&QTimer::start));
    idle_->start(transferTimeoutMs_);
    limit_->start(requestLimitMs_);
}

void NetworkPageFetcher::abort() {
    ++serial_;
    release();
}

void NetworkPageFetcher::readBody() {
    if (!reply_)
        return;
    idle_->start();
    body_ += reply_->readAll();
    if (body_.size() >= bodyCap_) {
        body_.truncate(bodyCap_);
        finish();
    }
}

void NetworkPageFetcher::finish() {
    if (!reply_)
        return;
    if (body_.size() < bodyCap_) {
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
