#include "core/net/http_transfer.h"

#include "core/net/http_reply.h"
#include "core/net/proxy_environment.h"

#include <QHash>
#include <QSocketNotifier>
#include <QTimer>

#include <mutex>

namespace tally {

// The multi handle of a thread. libcurl says which sockets to watch and when to come back; socket
// notifiers and a timer on the thread's event loop call it then.
class CurlMulti : public QObject, public std::enable_shared_from_this<CurlMulti> {
public:
    static std::shared_ptr<CurlMulti> ofThisThread() {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
        thread_local std::weak_ptr<CurlMulti> current;
        std::shared_ptr<CurlMulti> multi = current.lock();
        if (!multi)
            current = multi = std::make_shared<CurlMulti>();
        return multi;
    }

    CurlMulti() : multi(curl_multi_init()) {
        curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, &CurlMulti::watch);
        curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, &CurlMulti::wakeIn);
        curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
        // Idle connections kept for reuse. libcurl's default, four per transfer in it, falls as
        // the transfers end, and would close one of the engines' connections after every URL.
        curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, 32L);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    }
    ~CurlMulti() override { curl_multi_cleanup(multi); } // the notifiers are its children

    CURLM* const multi;

    // Body bytes handed out in one turn of the event loop are bounded: a transfer that would pass
    // the bound is paused (libcurl keeps what it read) and carries on in the next turn, so that
    // fast large answers never hold the loop up. Not a compressed body: libcurl would decode all
    // it holds into memory of its own while paused.
    static constexpr qint64 BytesPerTurn = 1024 * 1024;
    bool takeTurn(HttpTransfer* transfer, qint64 bytes) {
        if (turnBytes_ + bytes > BytesPerTurn && turnBytes_ > 0) {
            paused_.append(transfer);
            if (paused_.size() == 1)
                QTimer::singleShot(0, this, [this] { resumePaused(); });
            return false;
        }
        turnBytes_ += bytes;
        return true;
    }
    void forget(HttpTransfer* transfer) {
        paused_.removeAll(transfer);
        resuming_.removeAll(transfer);
    }

private:
    // Unpausing hands the kept data to the callbacks at once: they may pause the transfer again
    // (for the next turn), end other transfers, or refuse the data, which ends this one here, as
    // libcurl leaves it to the caller of curl_easy_pause.
    void resumePaused() {
        const std::shared_ptr<CurlMulti> keep = shared_from_this();
        turnBytes_ = 0;
        resuming_ = std::exchange(paused_, {});
        while (!resuming_.isEmpty()) {
            HttpTransfer* transfer = resuming_.takeFirst();
            const CURLcode result = curl_easy_pause(transfer->easy_, CURLPAUSE_CONT);
            if (result != CURLE_OK && transfer->active_)
                end(transfer, result);
        }
    }

    void end(HttpTransfer* transfer, CURLcode result) {
        curl_multi_remove_handle(multi, transfer->easy_);
        transfer->active_ = false;
        if (transfer->onDone)
            transfer->onDone(result);
    }

    static int watch(CURL*, curl_socket_t socket, int what, void* self, void*) {
        auto* that = static_cast<CurlMulti*>(self);
        for (const bool in : {true, false}) {
            const bool wanted =
                what != CURL_POLL_REMOVE && (what & (in ? CURL_POLL_IN : CURL_POLL_OUT));
            const qint64 key = qint64(socket) * 2 + in;
            QSocketNotifier* notifier = that->notifiers_.value(key);
            if (wanted && !notifier) {
                notifier = new QSocketNotifier(
                    socket, in ? QSocketNotifier::Read : QSocketNotifier::Write, that);
                connect(notifier, &QSocketNotifier::activated, that, [that, socket, in] {
                    that->act(socket, in ? CURL_CSELECT_IN : CURL_CSELECT_OUT);
                });
                that->notifiers_.insert(key, notifier);
            } else if (!wanted && notifier) {
                notifier->setEnabled(false); // it may be the one whose signal is being delivered
                notifier->deleteLater();
                that->notifiers_.remove(key);
            }
        }
        return 0;
    }

    static int wakeIn(CURLM*, long ms, void* self) {
        auto* that = static_cast<CurlMulti*>(self);
        ms < 0 ? that->timer_.stop() : that->timer_.start(int(ms));
        return 0;
    }

    void act(curl_socket_t socket, int events) {
        const std::shared_ptr<CurlMulti> keep = shared_from_this();
        turnBytes_ = 0;
        int running = 0, left = 0;
        curl_multi_socket_action(multi, socket, events, &running);
        // One at a time: an end may remove other transfers (and their messages) or add new ones.
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            HttpTransfer* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
            end(transfer, message->data.result);
        }
    }

    QTimer timer_;
    QHash<qint64, QSocketNotifier*> notifiers_; // by socket and direction
    qint64 turnBytes_ = 0;
    QList<HttpTransfer*> paused_, resuming_;
};

HttpTransfer::HttpTransfer() : multi_(CurlMulti::ofThisThread()), easy_(curl_easy_init()) {}

HttpTransfer::~HttpTransfer() {
    cancel();
    curl_easy_cleanup(easy_);
    curl_slist_free_all(headers_);
}

void HttpTransfer::cancel() {
    multi_->forget(this);
    if (std::exchange(active_, false))
        curl_multi_remove_handle(multi_->multi, easy_);
}

void HttpTransfer::start(const Request& request) {
    cancel();
    curl_easy_reset(easy_);
    curl_slist_free_all(std::exchange(headers_, nullptr));
    error_[0] = 0;
    head_ = ReplyHead();
    headEnded_ = false;
    body_ = request.body;
    const auto set = [this](CURLoption option, auto value) {
        curl_easy_setopt(easy_, option, value);
    };
    set(CURLOPT_URL,
        request.url.toEncoded(QUrl::RemoveFragment | QUrl::RemoveUserInfo).constData());
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_PATH_AS_IS, 1L);
    set(CURLOPT_USERAGENT, UserAgent);
    set(CURLOPT_ACCEPT_ENCODING, ""); // all this libcurl decodes
    set(CURLOPT_BUFFERSIZE, ReceiveBufferSize);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_ERRORBUFFER, error_);
    set(CURLOPT_PRIVATE, this);
    using Callback = size_t (*)(char*, size_t, size_t, void*);
    const Callback header = [](char* data, size_t, size_t size, void* self) -> size_t {
        auto* transfer = static_cast<HttpTransfer*>(self);
        const QByteArrayView line(data, qsizetype(size));
        if (!transfer->headEnded_ || line.startsWith("HTTP/"))
            transfer->headEnded_ = transfer->head_.read(line);
        const auto& onHeader = transfer->onHeader;
        return !onHeader || onHeader(line) ? size : 0;
    };
    const Callback body = [](char* data, size_t, size_t size, void* self) -> size_t {
        auto* transfer = static_cast<HttpTransfer*>(self);
        if (!transfer->head_.encoded && !transfer->multi_->takeTurn(transfer, qint64(size)))
            return CURL_WRITEFUNC_PAUSE;
        const auto& onBody = transfer->onBody;
        return !onBody || onBody(QByteArrayView(data, qsizetype(size))) ? size
                                                                        : CURL_WRITEFUNC_ERROR;
    };
    set(CURLOPT_HEADERFUNCTION, header);
    set(CURLOPT_HEADERDATA, this);
    set(CURLOPT_WRITEFUNCTION, body);
    set(CURLOPT_WRITEDATA, this);
    if (!caFile_.isEmpty())
        set(CURLOPT_CAINFO, caFile_.constData());
    auto headers = request.headers;
    if (request.method == "POST") {
        set(CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body_.size()));
        set(CURLOPT_POSTFIELDS, body_.constData());
        headers_ = curl_slist_append(headers_, "Expect:"); // the body goes at once
        if (!request.contentType.isEmpty())
            headers.append({"Content-Type", request.contentType});
    }
    for (const auto& [name, value] : headers)
        if (isHeaderName(name) && !holdsLineBreakOrNul(value)) // "Name;" has no value
            headers_ = curl_slist_append(
                headers_, (value.isEmpty() ? name + ';' : name + ": " + value).constData());
    set(CURLOPT_HTTPHEADER, headers_);
    const QNetworkProxy proxy = proxyFromEnvironment(request.url);
    const bool direct = proxy.type() == QNetworkProxy::NoProxy;
    proxy_ =
        direct ? QString() : proxy.hostName() + QLatin1Char(':') + QString::number(proxy.port());
    const QString scheme = proxy.type() == QNetworkProxy::HttpProxy ? "http://" : "socks5h://";
    set(CURLOPT_PROXY, direct ? "" : (scheme + proxy_).toUtf8().constData());
    set(CURLOPT_NOPROXY, ""); // the environment as read here has decided
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (!proxy.user().isEmpty()) {
        set(CURLOPT_PROXYUSERNAME, proxy.user().toUtf8().constData());
        set(CURLOPT_PROXYPASSWORD, proxy.password().toUtf8().constData());
    }
    if (onStart)
        onStart(easy_);
    active_ = true;
    curl_multi_add_handle(multi_->multi, easy_);
}

} // namespace tally
