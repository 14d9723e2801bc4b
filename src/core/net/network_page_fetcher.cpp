#include "core/net/network_page_fetcher.h"

#include "core/files/safe_file.h"
#include "core/net/web_address.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(PageFetcher)
};

// A reason phrase fit to be shown: printable, nothing a tooltip could take for markup, short.
QString printable(const QByteArray& text) {
    QString out;
    for (char c : text.left(100))
        if (uchar(c) >= 0x20 && uchar(c) != 0x7f && c != '<' && c != '>' && c != '&')
            out += QLatin1Char(c);
    return out.trimmed();
}

QString seconds(int ms) {
    return QString::number((ms + 999) / 1000) + QStringLiteral(" s");
}

} // namespace

NetworkPageFetcher::NetworkPageFetcher(QObject* parent)
    : PageFetcher(parent), timer_(new QTimer(this)) {
    qRegisterMetaType<FetchResult>();
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &NetworkPageFetcher::checkTime);
    transfer_.onHeader = [this](QByteArrayView line) { return header(line); };
    transfer_.onBody = [this](QByteArrayView bytes) { return keepBody(bytes); };
    transfer_.onDone = [this](CURLcode result) { hopDone(result); };
}

NetworkPageFetcher::~NetworkPageFetcher() = default;

void NetworkPageFetcher::fetch(const FetchRequest& request) {
    abort();
    request_ = request;
    requested_ = QUrl(request.url, QUrl::TolerantMode);
    redirects_ = 0;
    peak_ = 0;
    cap_ = std::min(request.bodyCap, bodyCap_);
    if (!isWebUrl(requested_))
        return finish(FetchError::NotWebAddress, Text::tr("not a web address"));
    if (request.method != "GET" && request.method != "POST")
        return finish(FetchError::NotWebAddress,
                      Text::tr("not a request method: %1").arg(printable(request.method)));
    busy_ = true;
    clock_.start();
    requestEnd_ = requestLimitMs_;
    startHop(requested_);
}

void NetworkPageFetcher::abort() {
    ++serial_;
    busy_ = answerPending_ = false;
    timer_->stop();
    transfer_.cancel();
    reply_ = FetchResult();
}

void NetworkPageFetcher::startHop(const QUrl& url) {
    url_ = url;
    reply_ = FetchResult();
    headBytes_ = bodyBytes_ = 0;
    headersDone_ = redirect_ = false;
    stopError_ = FetchError::None;
    headersEnd_ = clock_.elapsed() + headerTimeLimitMs_;
    lastByte_ = clock_.elapsed();
    transfer_.start(
        {url, request_.method, request_.body, request_.contentType,
         sameServer(requested_, url) ? request_.headers : PageFetcher::RequestHeaders()});
    checkTime();
}

void NetworkPageFetcher::checkTime() {
    const qint64 now = clock_.elapsed();
    const qint64 silence = lastByte_ + transferTimeoutMs_;
    if (now >= requestEnd_)
        return finish(FetchError::TimedOut,
                      Text::tr("the page took longer than %1").arg(seconds(requestLimitMs_)));
    if (!headersDone_ && now >= headersEnd_)
        return finish(FetchError::TimedOut,
                      Text::tr("no reply within %1").arg(seconds(headerTimeLimitMs_)));
    if (now >= silence)
        return finish(FetchError::TimedOut,
                      Text::tr("no data for %1").arg(seconds(transferTimeoutMs_)));
    timer_->start(
        int(std::min({requestEnd_, headersDone_ ? silence : headersEnd_, silence}) - now));
}

bool NetworkPageFetcher::stop(FetchError error, const QString& reason) {
    stopError_ = error;
    stopReason_ = reason;
    return false;
}

bool NetworkPageFetcher::header(QByteArrayView line) {
    lastByte_ = clock_.elapsed();
    headBytes_ += line.size();
    peak_ = std::max(peak_, headBytes_ + reply_.body.size());
    if (headBytes_ > HeaderLimit)
        return stop(FetchError::BadReply,
                    Text::tr("reply headers longer than %1").arg(sizeInWords(HeaderLimit)));
    if (headersDone_)
        return true; // a chunked body's trailers
    const ReplyHead& head = transfer_.head();
    const bool ended = transfer_.headEnded();
    if (line.startsWith("HTTP/")) { // a new reply's status line
        reply_.status = head.status;
        reply_.statusText = printable(head.reason);
    }
    if (head.status == 101)
        return stop(FetchError::BadReply, Text::tr("unexpected protocol switch"));
    if (head.badLength)
        return stop(FetchError::BadReply, Text::tr("bad content length"));
    // "chunked, identity" and the like: a framing that two readers may read apart.
    if (!head.transferEncoding.isEmpty() && head.transferEncoding.toLower() != "chunked")
        return stop(
            FetchError::BadReply,
            Text::tr("unsupported transfer encoding %1").arg(printable(head.transferEncoding)));
    if (!ended)
        return true;
    headersDone_ = true;
    redirect_ = head.redirects();
    reply_.retryAfter = head.retryAfter.left(100);
    reply_.contentType = head.contentType.left(200);
    // Room for the whole body at once, never copied as it grows: its length, or the cap (pages
    // not written to take no memory).
    if (!redirect_)
        reply_.body.reserve(qsizetype(
            head.contentLength >= 0 && !head.encoded ? std::min(head.contentLength, cap_) : cap_));
    return true;
}

bool NetworkPageFetcher::keepBody(QByteArrayView bytes) {
    lastByte_ = clock_.elapsed();
    const qint64 room = cap_ - bodyBytes_;
    bodyBytes_ += bytes.size();
    if (!redirect_) // a redirect's body is read and dropped
        reply_.body.append(bytes.first(qsizetype(std::min<qint64>(room, bytes.size()))));
    peak_ = std::max(peak_, headBytes_ + reply_.body.size());
    return bodyBytes_ <= cap_ ||
           stop(FetchError::TooLarge,
                Text::tr("%1 larger than %2")
                    .arg(cap_ <= ApiBodyCap ? "answer" : "page", sizeInWords(cap_)));
}

void NetworkPageFetcher::hopDone(CURLcode result) {
    if (stopError_ != FetchError::None)
        return finish(stopError_, stopReason_);
    if (result != CURLE_OK) {
        const TransferFailure failure = transferFailure(result, transfer_, reply_.status != 0);
        return finish(failure.error, failure.reason);
    }
    if (!redirect_)
        return finish(FetchError::None);
    const QUrl target = redirectTarget(url_, transfer_.head().location);
    // A POST's body goes to its own server only; after 301, 302 and 303 a GET follows.
    const bool keepsBody = request_.method == "POST" && reply_.status != 301 &&
                           reply_.status != 302 && reply_.status != 303;
    if (!mayRedirect(url_, target) || (keepsBody && !sameServer(requested_, target)))
        return finish(FetchError::RedirectRefused,
                      Text::tr("redirect to %1 not followed")
                          .arg(QString::fromLatin1(target.toEncoded().left(200))));
    if (++redirects_ > MaxRedirects)
        return finish(FetchError::TooManyRedirects,
                      Text::tr("more than %1 redirects").arg(MaxRedirects));
    if (!keepsBody)
        request_ = {request_.url, "GET", {}, {}, request_.headers, request_.bodyCap};
    startHop(target);
}

void NetworkPageFetcher::finish(FetchError error, const QString& errorText) {
    timer_->stop();
    transfer_.cancel(); // a reply that did not end cleanly takes its connection with it
    FetchResult result = std::exchange(reply_, FetchResult());
    result.body.squeeze();
    result.url = request_.url;
    result.error = error;
    result.errorText = errorText;
    busy_ = false;
    answerPending_ = true;
    QTimer::singleShot(0, this, [this, serial = serial_, result = std::move(result)] {
        if (serial == serial_ && std::exchange(answerPending_, false))
            Q_EMIT pageFetched(result);
    });
}

} // namespace tally
