// One scan run: for every URL of a snapshot and every engine in table order, fetch the engine's
// result page, read the count and report each step through signals. It advances on the event
// loop; nothing blocks, and every wait (pacing, Retry-After) is a timer.
//
// Who does what when a scan starts: the window turns the results table's automatic sorting off,
// shows the progress bar over status panel 2, and (on started()) sets the Start and Stop buttons;
// it also runs "Clear Results" on clearResultsRequested() and its stopped() handler on stopped().
// The run does everything else: it reads the thresholds, chkClear, parallelEngines and (unless
// the window gave them) the slots' definitions from engines.ini and the pacing from settings.ini
// when it starts, and takes its snapshot of them (snapshot(): what every row of this run is
// shown, saved and exported with); before every request it reads the engine's prefix from
// settings.ini (query_prefixes.h: a stat, and a read only when the file changed), and at
// completion chkAutoSort. A slot whose definition has a problem, and a graph slot, settle without a
// request, and so does a switched-off slot (Kind=off: its cell is EngineOutcome::off(), neither a
// request nor a failure). Every other request is the slot's buildEngineRequest (address, method,
// body, headers, keys kept to their server), fetched with an API answer's cap or a web page's; a
// request that cannot be built fails with the builder's reason and is sent nowhere; a paged answer
// (Pages=) is asked page after page and summed. The results model (results_model.h) keeps the
// rows: ResultsModel::follow(run).
//
// Signals of one URL, in order: webResultAdded("Home Page"), rowStarted, then for each engine in
// slot order webResultAdded(engine row), statusTextChanged, progressChanged, engineResult; then
// rowFinished. With parallelEngines on, the engines are asked at the same time (one request per
// engine), each going on to the next URL as soon as it answered, up to a few URLs ahead of the
// row being reported; the outcomes are still reported URL by URL in this order. Engines are named
// by their slot (0..5), never by a column of any table.
//
// Each request ends in an EngineOutcome: a count, or a failure with its reason. Failures count
// nothing in the totals. Politeness: the engine's pacing (section "Pacing", milliseconds, with a
// random addition of up to half of it) separates two requests to it; a web page's 429 or 503 reply
// with Retry-After is tried once more after that wait (at most a minute), and a retry that
// succeeds is a success. An API's rate limit (a 429, a 503 with Retry-After, or the provider's own
// code for it) is asked again up to MaxRateLimitRetries times, after its Retry-After or 1, 2, 4 s.
// The waits for rate limits of one run share one budget (RateLimitWaitKey, ten minutes): once a
// wait would pass it, that slot's rate limit stands and the slot is not asked again in this run.
// A web-page slot that blocked twice (refusals the retry did not cure) is skipped for the rest of
// the run; an API slot whose key was refused twice likewise.
//
// The window must not delete the run from inside one of its signals (use deleteLater()), and
// must not change the rows the run writes (Clear Results, loading saved results) while it runs.
#pragma once

#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"
#include "core/scan/engine_snapshot.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tally {

class PageFetcher;

// A request of a run that did not give a count.
struct ScanFailure {
    QString url;
    QString engine; // the slot's caption
    QString reason;
    FailureKind kind = FailureKind::None;
};

class ScanRun : public QObject {
    Q_OBJECT
public:
    // urls: the snapshot of the URL list; settingsIni: the path of settings.ini, whose prefixes
    // are read again before every request (its pacing once, at the start). One fetcher serves every
    // engine, one request at a time. Fetchers are not owned, and serve this run alone while it
    // runs.
    ScanRun(const QStringList& urls, const QString& settingsIni, PageFetcher* fetcher,
            QObject* parent = nullptr);
    // The same with one fetcher per engine in table order, so that the engines can be asked at
    // the same time (parallelEngines).
    ScanRun(const QStringList& urls, const QString& settingsIni,
            const QList<PageFetcher*>& engineFetchers, QObject* parent = nullptr);
    ~ScanRun() override;

    // What the six slots are for this run. Without this, start() reads engines.ini beside
    // settingsIni. Call it before start().
    void setEngines(const EngineSet& engines);
    const EngineSet& engines() const;
    // What this run counts with, taken when it starts (before start(): the built-in set).
    std::shared_ptr<const EngineSnapshot> snapshot() const;

    // Starts the run: the start steps (thresholds, chkClear, started(), progress 0 of n x 6) happen
    // at once, inside this call; the URLs follow on the event loop, one yield before each. An
    // empty URL list emits only finished(). Clears a stop request left from an earlier run.
    // Does nothing while the run is running.
    void start();
    // Stops the run at once: requests in flight are cancelled and every cell of the URL in
    // progress that has no outcome yet gets "stopped"; that row is finished, then stopped().
    // Between two URLs the run simply stops before the next one.
    void requestStop();
    // Ends the run at once, cancelling the request in flight; no further signals.
    void abort();

    bool isRunning() const;
    int urlCount() const;

    // How often one request of an API is asked again after a rate limit.
    static constexpr int MaxRateLimitRetries = 3;
    // What the waits for rate limits of one run may add up to: seconds, settings.ini's
    // [Pacing] RateLimitWait, ten minutes without it.
    static constexpr const char* RateLimitWaitKey = "RateLimitWait";
    static constexpr qint64 DefaultRateLimitWaitS = 600;

    // The requests of this run that gave no count so far, in the order they were reported.
    QList<ScanFailure> failures() const;

    // The text of status panel 1 at completion: "Search Complete.  Found <n> links.", with
    // "  <failed> of <requests> requests failed." after it when any failed (the run adds
    // "  A source refused: see Tools › Sources." when a key, a quota or a definition failed
    // them). A grand total below 0
    // stands for counts too many to add up in 64 bits.
    static QString completionText(qint64 grandTotal, int failed = 0, int requests = 0);

Q_SIGNALS:
    // chkClear is "1": the window runs "Clear Results" now, before the first row.
    void clearResultsRequested();
    // The run has taken its snapshot of urlCount (> 0) URLs.
    void started(int urlCount);
    // A URL's row starts at the 1-based position in the results table.
    void rowStarted(int position, const QString& url);
    // A row for the web-results list: "Home Page" or an engine's row text, and the URL.
    void webResultAdded(const QString& rowText, const QString& url);
    // Text for status panel 1 ("Scanning " + URL + suffix).
    void statusTextChanged(const QString& text);
    void progressChanged(int value, int maximum);
    // The outcome of engine slot (0..5) for the row at position: a count (commas removed) or a
    // failure with its reason.
    void engineResult(int position, int slot, const tally::EngineOutcome& outcome);
    // The row's total of the counts of the slots that count into it, and its profile (1 low,
    // 2 medium, 3 high); no total and profile 0 when none of them gave a count.
    void rowFinished(int position, std::optional<qint64> total, int profile);
    // All URLs done: the completion text for status panel 1, and whether to auto-sort
    // (chkAutoSort, read now). The window hides the progress bar, resets the buttons,
    // sorts ascending, redraws the chart and sorts descending.
    // grandTotal is -1 when the counts are too many to add up.
    void completed(const QString& statusText, qint64 grandTotal, bool autoSort);
    // The run ended at a stop request (the window's stopped()).
    void stopped();
    // The run is over (after completed, stopped or an empty URL list); not after abort().
    void finished();

private:
    void nextUrl();
    void advance();
    void startRequests();
    // Starts the engine's request about the URL at position at; false when the slot settled
    // without one.
    bool startEngine(int engine, int at);
    void cancelRequests();
    bool prepareRequest(int engine);
    void sendWhenPaced(int engine, qint64 earliestMs);
    void send(int engine);
    // How long to wait before asking the slot's request again, when its answer asks to come back
    // later and may still be retried.
    std::optional<qint64> retryWaitMs(int engine, const FetchResult& result) const;
    void pageFetched(int engine, const FetchResult& result);
    void readAside(int engine, const FetchResult& result);
    void settle(int engine, EngineOutcome outcome);
    bool applyOutcome(int engine);
    void finishRow();
    void complete();
    void endStopped();
    PageFetcher* fetcherOf(int engine) const;

    struct Private;
    Private* d;
};

} // namespace tally
