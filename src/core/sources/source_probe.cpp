#include "core/sources/source_probe.h"

#include "core/scan/engine_request.h"
#include "core/net/page_fetcher.h"
#include "core/scan/page_text.h"

#include <QTimer>

namespace tally {

SourceProbe::SourceProbe(PageFetcher* fetcher, QObject* parent)
    : QObject(parent), fetcher_(fetcher) {
    qRegisterMetaType<ProbeReport>();
    connect(fetcher, &PageFetcher::pageFetched, this, &SourceProbe::pageFetched);
}

SourceProbe::~SourceProbe() {
    cancel();
}

QString SourceProbe::masked(const QString& text) const {
    return maskSecrets(definition_.maskKeys(text), secrets_);
}

void SourceProbe::start(const EngineDefinition& definition, const QString& prefix,
                        const QString& url, const QHash<QString, QString>& keys,
                        const QDateTime& now) {
    cancel();
    definition_ = definition;
    prefix_ = prefix;
    url_ = url;
    keys_ = keys;
    now_ = now;
    // Every key as typed, and the Basic authentication a request would carry, are masked too.
    secrets_ = keys.values();
    if (!definition.basicAuthUser.isEmpty())
        secrets_ << QString::fromLatin1((keys.value(definition.basicAuthUser) + QLatin1Char(':') +
                                         keys.value(definition.basicAuthSecret))
                                            .toUtf8()
                                            .toBase64());
    report_ = ProbeReport();
    ++generation_;
    firstAnswer_ = true;
    running_ = true;
    count_ = std::make_unique<PagedCount>(definition_);

    // What a scan settles without a request settles here the same way, on the event loop.
    std::optional<EngineOutcome> settled;
    if (definition_.switchedOff)
        settled = EngineOutcome::off();
    else if (definition_.kind == EngineKind::Graph)
        settled = definition_.usable()
                      ? graphOutcome(definition_, url)
                      : EngineOutcome::failed(FailureKind::Definition, definition_.failureReason());
    if (settled) {
        report_.outcome = *settled;
        QTimer::singleShot(0, this, [this, g = generation_] {
            if (g == generation_)
                finish();
        });
        return;
    }
    fetchPage(0);
}

void SourceProbe::fetchPage(int page) {
    const RequestBuild build = buildEngineRequest(definition_, prefix_, url_, now_, keys_, page);
    if (!build.request) {
        report_.outcome = build.failure;
        QTimer::singleShot(0, this, [this, g = generation_] {
            if (g == generation_)
                finish();
        });
        return;
    }
    const EngineRequest& r = *build.request;
    if (firstAnswer_) {
        report_.requested = true;
        report_.address = masked(r.shownUrl.isEmpty() ? r.url : r.shownUrl);
    }
    if (fetcher_)
        fetcher_->fetch(fetchRequestOf(r));
}

void SourceProbe::pageFetched(const FetchResult& fetch) {
    if (!running_)
        return;
    if (firstAnswer_) {
        firstAnswer_ = false;
        report_.status = fetch.status;
        report_.statusText = fetch.statusText;
        const QByteArray head = fetch.body.left(ExcerptBytes);
        report_.excerpt = masked(pageText(head, fetch.contentType));
    }
    count_->add(fetch);
    if (const std::optional<int> next = count_->nextPage()) {
        fetchPage(*next);
        return;
    }
    report_.outcome = count_->outcome();
    finish();
}

void SourceProbe::finish() {
    if (!running_)
        return;
    running_ = false;
    report_.outcome.reason = masked(report_.outcome.reason);
    Q_EMIT finished(report_);
}

void SourceProbe::cancel() {
    if (!running_)
        return;
    running_ = false;
    if (fetcher_)
        fetcher_->abort();
}

} // namespace tally
