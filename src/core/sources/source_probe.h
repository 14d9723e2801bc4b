// One request of a slot for a URL the user typed, to see what a source answers before a scan: the
// address as shown (keys masked), the status, the first 2 KB of the answer (keys masked), the
// value read and the reason, exactly as a scan would read them. Asynchronous: start() returns at
// once, finished() follows on the event loop.
#pragma once

#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace tally {

class PageFetcher;
class PagedCount;
struct FetchResult;

struct ProbeReport {
    bool requested = false; // a request went out (not for a slot that is off, a link index, or a
                            // request that could not be built)
    QString address;        // the first request's address, every key shown as "…"
    int status = 0;         // its HTTP status; 0 when no reply came
    QString statusText;     // its reason phrase
    QString excerpt;        // the first ExcerptBytes of its answer as text, keys shown as "…"
    EngineOutcome outcome;  // the value read, or the failure and its reason (keys masked)
};

class SourceProbe : public QObject {
    Q_OBJECT
public:
    static constexpr int ExcerptBytes = 2048;

    // The fetcher is not owned; it must outlive the probe's requests.
    explicit SourceProbe(PageFetcher* fetcher, QObject* parent = nullptr);
    ~SourceProbe() override;

    // Asks the slot `definition` for `url`: `prefix` is its settings.ini prefix (for a slot
    // without an address of its own), `keys` the API keys by name (as typed, before they are
    // stored). A probe in flight is cancelled first. finished() follows exactly once.
    void start(const EngineDefinition& definition, const QString& prefix, const QString& url,
               const QHash<QString, QString>& keys,
               const QDateTime& now = QDateTime::currentDateTime());
    // Drops the probe in flight, if any; no finished() follows for it.
    void cancel();
    bool isRunning() const { return running_; }

Q_SIGNALS:
    void finished(const tally::ProbeReport& report);

private:
    void fetchPage(int page);
    void pageFetched(const FetchResult& fetch);
    void finish();
    QString masked(const QString& text) const;

    QPointer<PageFetcher> fetcher_;
    EngineDefinition definition_;
    QString prefix_;
    QString url_;
    QHash<QString, QString> keys_;
    QStringList secrets_;
    QDateTime now_;
    std::unique_ptr<PagedCount> count_;
    ProbeReport report_;
    bool running_ = false;
    bool firstAnswer_ = true;
    int generation_ = 0; // of the probe in flight: a settled probe's deferred end is its own
};

} // namespace tally

Q_DECLARE_METATYPE(tally::ProbeReport)
