#include "core/scan/scan_run.h"

#include "core/net/page_fetcher.h"
#include "core/numbers/numbers.h"
#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_parser.h"
#include "core/scan/engine_request.h"
#include "core/scan/query_prefixes.h"
#include "core/settings/user_settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QPointer>
#include <QPromise>
#include <QRandomGenerator>
#include <QSet>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <array>
#include <deque>
#include <optional>

namespace tally {

namespace {

// Pacing beyond an hour is taken as an hour.
constexpr qint64 MaxPacingMs = 60 * 60 * 1000;

// A page this large is read on another thread: searching it would hold up the event loop.
constexpr qsizetype ReadAsideBytes = 1024 * 1024;

// How many URLs, counting the one being reported, the engines asked at once may be working on:
// each engine moves on to the next URL as soon as it has answered, instead of waiting for the
// slowest engine of the URL, and the outcomes wait here until their row is reported.
constexpr int LookaheadUrls = 32;

enum class SlotState { Idle, Waiting, InFlight, Done };

// One engine's request for the URL being scanned.
struct EngineSlot {
    SlotState state = SlotState::Idle;
    EngineOutcome outcome;
    QString prefix;                  // its query prefix, read when the slot started for this URL
    EngineRequest request;           // of the page being asked
    int attempts = 0;                // of that page: 1, and one more for each retry
    quint64 reading = 0;             // the page being read aside, if any (ScanRun::readAside)
    std::optional<PagedCount> pages; // the answer's pages read so far (one for most slots)
};

// The engines' slots of one URL.
using SlotRow = std::array<EngineSlot, EngineCount>;

} // namespace

struct ScanRun::Private {
    QStringList urls;
    QString settingsIni;
    EngineSet definitions; // what each slot is, for this run
    bool definitionsGiven = false;
    std::shared_ptr<const EngineSnapshot> snapshot = EngineSnapshot::builtIn();
    std::unique_ptr<QueryPrefixes> prefixes; // settings.ini, read again only when it changed
    QList<QPointer<PageFetcher>> fetchers;   // one for every engine, or one per engine
    QList<QMetaObject::Connection> connections;

    bool running = false;
    bool stopRequested = false;
    bool parallel = false;
    bool rowActive = false;    // the row of the URL at position is being reported
    bool stoppedInRow = false; // a cell of the current row was stopped
    bool advancing = false;
    bool advanceAgain = false;
    quint64 generation = 0; // a new run or an abort makes older callbacks void
    quint64 reads = 0;      // pages read aside so far
    qint64 low = UserSettings::DefaultLowThreshold;
    qint64 medium = UserSettings::DefaultMediumThreshold;
    int position = 0;             // 0-based position of the URL being reported in the snapshot
    int nextToReport = 0;         // the engine whose outcome is reported next
    int sharedFetcherEngine = -1; // the engine the one shared fetcher is serving
    int progress = 0;
    qint64 grandTotal = 0;
    int requests = 0;
    QList<ScanFailure> failures;

    std::deque<SlotRow> rows;              // rows[i]: the URL at position + i
    std::array<int, EngineCount> active{}; // the URL of the engine's request in flight or waiting
    std::array<int, EngineCount> nextStart{}; // the URL the engine asks about next, at once
    std::array<QTimer*, EngineCount> timers{};
    std::array<qint64, EngineCount> lastRequestMs{}; // on clock; -1 before the first
    std::array<qint64, EngineCount> pacingMs{};      // least gap between two requests, this run
    std::array<int, EngineCount> blocks{};
    std::array<int, EngineCount> keyRefusals{};
    std::array<bool, EngineCount> rateLimitStands{}; // the budget ran out on a rate limit
    qint64 rateLimitBudgetMs = 0;
    qint64 rateLimitWaitedMs = 0; // this run's waits for rate limits, planned so far
    QElapsedTimer clock;
    // The local time the requests' date placeholders are filled from, read at most once a second
    // (the time zone's rules make a reading cost more than the rest of a request's making).
    QDateTime requestTime;
    qint64 requestTimeReadMs = -1;

    const QDateTime& timeForRequests() {
        const qint64 ms = clock.elapsed();
        if (requestTimeReadMs < 0 || ms - requestTimeReadMs >= 1000) {
            requestTime = QDateTime::currentDateTime();
            requestTimeReadMs = ms;
        }
        return requestTime;
    }

    int maximum() const { return int(urls.size()) * EngineCount; }
    EngineSlot& slot(int engine, int at) {
        while (int(rows.size()) <= at - position)
            rows.emplace_back();
        return rows[at - position][engine];
    }
    // The engine's request in flight or waiting.
    EngineSlot& activeSlot(int engine) { return slot(engine, active[engine]); }
    bool hasActive(int engine) const { return active[engine] >= 0; }
};

ScanRun::ScanRun(const QStringList& urls, const QString& settingsIni, PageFetcher* fetcher,
                 QObject* parent)
    : ScanRun(urls, settingsIni, QList<PageFetcher*>{fetcher}, parent) {}

ScanRun::ScanRun(const QStringList& urls, const QString& settingsIni,
                 const QList<PageFetcher*>& engineFetchers, QObject* parent)
    : QObject(parent), d(new Private) {
    qRegisterMetaType<EngineOutcome>();
    d->urls = urls;
    d->settingsIni = settingsIni;
    for (PageFetcher* f : engineFetchers)
        d->fetchers.append(f);
    for (int e = 0; e < EngineCount; ++e) {
        QTimer* timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, e] {
            if (d->running && d->hasActive(e) && d->activeSlot(e).state == SlotState::Waiting)
                send(e);
        });
        d->timers[e] = timer;
    }
    d->clock.start();
}

ScanRun::~ScanRun() {
    abort();
    delete d;
}

void ScanRun::setEngines(const EngineSet& engines) {
    d->definitions = engines;
    d->definitionsGiven = true;
}

const EngineSet& ScanRun::engines() const {
    return d->definitions;
}

std::shared_ptr<const EngineSnapshot> ScanRun::snapshot() const {
    return d->snapshot;
}

bool ScanRun::isRunning() const {
    return d->running;
}

int ScanRun::urlCount() const {
    return int(d->urls.size());
}

QList<ScanFailure> ScanRun::failures() const {
    return d->failures;
}

QString ScanRun::completionText(qint64 grandTotal, int failed, int requests) {
    // The plural follows the count; a count beyond int takes the form of a large one.
    const int pluralOfTotal = int(std::clamp<qint64>(grandTotal, 0, 1000000));
    QString text =
        grandTotal < 0
            ? tr("Search Complete.  Found more links than can be added up.")
            : tr("Search Complete.  Found %1 links.", nullptr, pluralOfTotal).arg(grandTotal);
    if (failed > 0)
        text += tr("  %1 of %2 requests failed.", nullptr, failed).arg(failed).arg(requests);
    return text;
}

PageFetcher* ScanRun::fetcherOf(int engine) const {
    if (d->fetchers.size() == EngineCount)
        return d->fetchers.at(engine);
    return d->fetchers.isEmpty() ? nullptr : d->fetchers.first().data();
}

void ScanRun::start() {
    if (d->running)
        return;
    // The window has turned the table's auto-sort off and shown the progress bar already.
    d->stopRequested = false;
    ++d->generation;
    d->low = UserSettings::lowThreshold();
    d->medium = UserSettings::mediumThreshold();
    if (!d->definitionsGiven)
        d->definitions = loadEngines(enginesIniBeside(d->settingsIni));
    d->snapshot = std::make_shared<const EngineSnapshot>(
        EngineSnapshot::of(d->definitions, d->low, d->medium));
    // Looked at afresh for every URL, the file itself at most every 50 ms: a prefix saved in the
    // Options dialog applies at once, one changed by hand within a blink.
    d->prefixes = std::make_unique<QueryPrefixes>(d->settingsIni, 50);
    for (int e = 0; e < EngineCount; ++e) {
        const std::optional<qint64> pacing =
            readWholeNumber(d->prefixes->pacing(d->definitions.definitions[e].key));
        d->pacingMs[e] = std::clamp<qint64>(pacing.value_or(0), 0, MaxPacingMs);
    }
    const std::optional<qint64> budget =
        readWholeNumber(d->prefixes->pacing(QLatin1String(RateLimitWaitKey)));
    d->rateLimitBudgetMs =
        std::clamp<qint64>(budget.value_or(DefaultRateLimitWaitS), 0, 24 * 3600) * 1000;
    if (d->urls.isEmpty()) {
        Q_EMIT finished();
        return;
    }
    d->running = true;
    d->position = 0;
    d->grandTotal = 0;
    d->progress = 0;
    d->requests = 0;
    d->failures.clear();
    d->stoppedInRow = false;
    d->lastRequestMs.fill(-1);
    d->blocks.fill(0);
    d->keyRefusals.fill(0);
    d->rateLimitStands.fill(false);
    d->rateLimitWaitedMs = 0;
    d->rows.clear();
    d->active.fill(-1);
    d->nextStart.fill(0);
    // Asking the engines at once takes a fetcher of its own for each.
    QSet<PageFetcher*> distinct;
    for (const QPointer<PageFetcher>& f : d->fetchers)
        if (f)
            distinct.insert(f.data());
    d->parallel = UserSettings::parallelEngines() && distinct.size() == EngineCount;
    if (d->connections.isEmpty()) {
        if (d->fetchers.size() == EngineCount) {
            for (int e = 0; e < EngineCount; ++e)
                if (PageFetcher* f = d->fetchers.at(e))
                    d->connections.append(
                        connect(f, &PageFetcher::pageFetched, this,
                                [this, e](const FetchResult& result) { pageFetched(e, result); }));
        } else if (PageFetcher* f = fetcherOf(0)) {
            d->connections.append(
                connect(f, &PageFetcher::pageFetched, this, [this](const FetchResult& result) {
                    pageFetched(d->sharedFetcherEngine, result);
                }));
        }
    }
    // The yield before the first URL; queued first, so that it holds whatever the slots below do.
    QTimer::singleShot(0, this, [this, generation = d->generation] {
        if (generation == d->generation)
            nextUrl();
    });

    const quint64 generation = d->generation;
    if (UserSettings::clearResultsBeforeScan())
        Q_EMIT clearResultsRequested();
    if (generation != d->generation)
        return;
    Q_EMIT started(int(d->urls.size()));
    if (generation != d->generation)
        return;
    Q_EMIT progressChanged(0, d->maximum());
}

void ScanRun::requestStop() {
    if (!d->running)
        return;
    d->stopRequested = true;
    // At once: nothing more is asked, what was asked about later URLs is let go, and what the row
    // being reported has no outcome for yet is stopped. Between two URLs the run stops before the
    // next one.
    cancelRequests();
    if (!d->rowActive) {
        d->rows.clear();
        return;
    }
    d->rows.resize(1);
    for (EngineSlot& slot : d->rows.front())
        if (slot.state != SlotState::Done) {
            slot.outcome = EngineOutcome::stopped();
            slot.state = SlotState::Done;
        }
    advance();
}

void ScanRun::cancelRequests() {
    for (int e = 0; e < EngineCount; ++e) {
        if (d->timers[e])
            d->timers[e]->stop();
        if (!d->hasActive(e))
            continue;
        EngineSlot& slot = d->activeSlot(e);
        if (slot.state == SlotState::InFlight)
            if (PageFetcher* f = fetcherOf(e))
                f->abort();
        slot = EngineSlot();
        d->active[e] = -1;
    }
    d->sharedFetcherEngine = -1;
}

void ScanRun::abort() {
    ++d->generation;
    d->running = false;
    d->rowActive = false;
    cancelRequests();
    d->rows.clear();
    for (const QMetaObject::Connection& c : std::as_const(d->connections))
        disconnect(c);
    d->connections.clear();
}

void ScanRun::nextUrl() {
    if (!d->running)
        return;
    // The loop's own test comes first: a stop asked for during the last URL's reporting finds no
    // URL left to stop before, and the run completes, unless it cut that URL short.
    if (d->position >= d->urls.size()) {
        if (d->stoppedInRow)
            endStopped();
        else
            complete();
        return;
    }
    if (d->stopRequested) {
        endStopped();
        return;
    }
    const quint64 generation = d->generation;
    const QString& url = d->urls.at(d->position);
    Q_EMIT webResultAdded(QStringLiteral("Home Page"), url);
    if (generation != d->generation)
        return;
    Q_EMIT rowStarted(d->position + 1, url);
    if (generation != d->generation)
        return;
    d->slot(0, d->position); // the row, with what the engines found about it already
    d->nextToReport = 0;
    d->rowActive = true;
    advance();
}

void ScanRun::advance() {
    // Reports what is ready in engine order, then starts what may start. Signals handled here
    // may stop the run or settle more engines; they ask for another round instead of nesting.
    if (d->advancing) {
        d->advanceAgain = true;
        return;
    }
    d->advancing = true;
    const quint64 generation = d->generation;
    do {
        d->advanceAgain = false;
        while (d->rowActive && d->nextToReport < EngineCount &&
               d->rows.front()[d->nextToReport].state == SlotState::Done) {
            if (!applyOutcome(d->nextToReport) || generation != d->generation) {
                d->advancing = false;
                return;
            }
            ++d->nextToReport;
        }
        if (!d->rowActive)
            break;
        if (d->nextToReport == EngineCount) {
            d->rowActive = false;
            d->advancing = false;
            finishRow();
            return;
        }
        startRequests();
    } while (d->advanceAgain && generation == d->generation);
    d->advancing = false;
}

void ScanRun::startRequests() {
    if (!d->running || d->stopRequested)
        return;
    if (!d->parallel) {
        // One request at a time, in engine order, about the row being reported.
        if (!d->rowActive)
            return;
        for (int e = 0; e < EngineCount; ++e)
            if (d->hasActive(e))
                return;
        for (int e = d->nextToReport; e < EngineCount; ++e) {
            if (d->rows.front()[e].state != SlotState::Idle)
                continue;
            if (!startEngine(e, d->position))
                d->advanceAgain = true; // settled without a request: reported first
            return;
        }
        return;
    }
    // Every engine keeps a request going, URL after URL, up to LookaheadUrls ahead of the report.
    const int end = std::min(int(d->urls.size()), d->position + LookaheadUrls);
    for (int e = 0; e < EngineCount; ++e) {
        while (!d->hasActive(e) && d->nextStart[e] < end) {
            const int at = d->nextStart[e]++;
            if (at < d->position || d->slot(e, at).state != SlotState::Idle)
                continue;
            if (!startEngine(e, at) && at == d->position)
                d->advanceAgain = true; // settled without a request: the row may report it now
        }
    }
}

bool ScanRun::startEngine(int engine, int at) {
    EngineSlot& slot = d->slot(engine, at);
    const EngineDefinition& definition = d->definitions.definitions[engine];
    const QString& url = d->urls.at(at);
    auto settle = [this, &slot, engine](EngineOutcome outcome) {
        slot.outcome = std::move(outcome);
        slot.state = SlotState::Done;
        d->active[engine] = -1;
        return false;
    };
    if (definition.switchedOff)
        return settle(EngineOutcome::off()); // no request, and no failure
    if (!definition.usable())
        return settle(EngineOutcome::failed(FailureKind::Definition, definition.failureReason()));
    if (d->blocks[engine] >= 2)
        return settle(EngineOutcome::skipped());
    if (d->keyRefusals[engine] >= 2)
        return settle(EngineOutcome::skipped(tr("skipped: API key refused earlier in this run")));
    if (d->rateLimitStands[engine])
        return settle(EngineOutcome::failed(
            FailureKind::RateLimited,
            tr("rate limited: not asked again in this run (its waits for rate limits are spent)")));
    if (definition.kind == EngineKind::Graph)
        return settle(graphOutcome(definition, url)); // a local count: no request
    if (!fetcherOf(engine))
        return settle(EngineOutcome::failed(FailureKind::CouldNotConnect,
                                            tr("could not connect: no network")));
    // Afresh for every URL: a prefix saved in the Options dialog applies at once.
    slot.prefix = d->prefixes->prefix(definition.key);
    if (const FileOutcome& read = d->prefixes->outcome(); !read)
        return settle(EngineOutcome::failed(
            FailureKind::Definition,
            tr("settings.ini cannot be read: %1")
                .arg(read.reason()))); // never the bare site in place of the engine
    slot.pages.emplace(definition);
    d->active[engine] = at;
    if (!prepareRequest(engine))
        return false;
    sendWhenPaced(engine, 0);
    return true;
}

bool ScanRun::prepareRequest(int engine) {
    EngineSlot& slot = d->activeSlot(engine);
    const EngineDefinition& definition = d->definitions.definitions[engine];
    // A request that cannot be built goes nowhere: the cell fails with the builder's reason.
    RequestBuild build =
        buildEngineRequest(definition, slot.prefix, d->urls.at(d->active[engine]),
                           d->timeForRequests(), slot.pages->nextPage().value_or(0));
    if (!build.request) {
        slot.outcome = std::move(build.failure);
        slot.state = SlotState::Done;
        d->active[engine] = -1;
        return false;
    }
    slot.request = std::move(*build.request);
    slot.attempts = 0;
    return true;
}

void ScanRun::sendWhenPaced(int engine, qint64 earliestMs) {
    const qint64 interval = d->pacingMs[engine];
    qint64 due = earliestMs;
    if (interval > 0 && d->lastRequestMs[engine] >= 0) {
        const qint64 jitter = QRandomGenerator::global()->bounded(interval / 2 + 1);
        due = std::max(due, d->lastRequestMs[engine] + interval + jitter);
    }
    const qint64 now = d->clock.elapsed();
    if (due <= now) {
        send(engine);
        return;
    }
    d->activeSlot(engine).state = SlotState::Waiting;
    d->timers[engine]->start(int(due - now));
}

void ScanRun::send(int engine) {
    EngineSlot& slot = d->activeSlot(engine);
    PageFetcher* fetcher = fetcherOf(engine);
    if (!fetcher) {
        settle(engine, EngineOutcome::failed(FailureKind::CouldNotConnect,
                                             tr("could not connect: no network")));
        return;
    }
    slot.state = SlotState::InFlight;
    ++slot.attempts;
    d->lastRequestMs[engine] = d->clock.elapsed();
    if (d->fetchers.size() != EngineCount)
        d->sharedFetcherEngine = engine;
    fetcher->fetch(fetchRequestOf(slot.request)); // answers later, on the event loop
}

void ScanRun::pageFetched(int engine, const FetchResult& result) {
    if (!d->running || engine < 0 || engine >= EngineCount || !d->hasActive(engine) ||
        d->activeSlot(engine).state != SlotState::InFlight)
        return;
    if (d->fetchers.size() != EngineCount)
        d->sharedFetcherEngine = -1;
    EngineSlot& slot = d->activeSlot(engine);
    const EngineDefinition& definition = d->definitions.definitions[engine];
    // Asked to come back later: after the wait, within the run's budget for such waits. Only what
    // the retries do not cure counts as a block, a refusal or a rate limit.
    if (const std::optional<qint64> wait = retryWaitMs(engine, result)) {
        if (d->rateLimitWaitedMs + *wait <= d->rateLimitBudgetMs) {
            d->rateLimitWaitedMs += *wait;
            sendWhenPaced(engine, d->clock.elapsed() + *wait);
            return;
        }
        d->rateLimitStands[engine] = true;
    }
    if (result.body.size() >= ReadAsideBytes && !definition.isPaged())
        return readAside(engine, result);
    slot.pages->add(result);
    if (slot.pages->nextPage()) {
        // The next page of a paged answer, paced like any request.
        if (prepareRequest(engine))
            sendWhenPaced(engine, 0);
        else
            advance();
        return;
    }
    settle(engine, slot.pages->outcome());
}

// The page is read on the thread pool; the slot stays in flight until its outcome comes back here
// (unless the run stopped or moved on meanwhile).
void ScanRun::readAside(int engine, const FetchResult& result) {
    const quint64 reading = d->activeSlot(engine).reading = ++d->reads;
    auto* watcher = new QFutureWatcher<EngineOutcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, engine, reading] {
        watcher->deleteLater();
        if (d->running && d->hasActive(engine) &&
            d->activeSlot(engine).state == SlotState::InFlight &&
            d->activeSlot(engine).reading == reading)
            settle(engine, watcher->result());
    });
    auto promise = std::make_shared<QPromise<EngineOutcome>>();
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start(
        [promise, result, definition = d->definitions.definitions[engine]] {
            promise->addResult(engineOutcome(result, definition));
            promise->finish();
        });
}

void ScanRun::settle(int engine, EngineOutcome outcome) {
    EngineSlot& slot = d->activeSlot(engine);
    // A web page that blocks twice skips the engine; an API's rate limit or quota does not.
    if (outcome.failure == FailureKind::Blocked &&
        d->definitions.definitions[engine].kind == EngineKind::Markers)
        ++d->blocks[engine];
    if (outcome.failure == FailureKind::KeyRefused)
        ++d->keyRefusals[engine];
    slot.reading = 0;
    slot.outcome = std::move(outcome);
    slot.state = SlotState::Done;
    d->active[engine] = -1;
    advance();
}

std::optional<qint64> ScanRun::retryWaitMs(int engine, const FetchResult& result) const {
    const EngineSlot& slot = d->activeSlot(engine);
    const EngineDefinition& definition = d->definitions.definitions[engine];
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!definition.isApi())
        return slot.attempts == 1 ? retryAfterDelayMs(result, now) : std::nullopt;
    // Only an answer that can be a rate limit is read here: every other one is read once, below.
    if (slot.attempts > MaxRateLimitRetries ||
        (result.status != 429 && result.status != 503 && definition.rateLimitCodes.isEmpty()))
        return std::nullopt;
    const bool limited =
        result.complete() && result.status == 503
            ? retryAfterDelayMs(result, now).has_value()
            : engineOutcome(result, definition).failure == FailureKind::RateLimited;
    if (!limited)
        return std::nullopt;
    return rateLimitWaitMs(result, slot.attempts - 1, now);
}

bool ScanRun::applyOutcome(int engine) {
    const quint64 generation = d->generation;
    const EngineDefinition& e = d->definitions.definitions[engine];
    const QString url = d->urls.at(d->position);
    const EngineOutcome outcome = d->rows.front()[engine].outcome;
    // A switched-off slot asks nothing: it is neither a request nor a failure.
    const bool off = outcome.failure == FailureKind::Off;
    if (!off)
        ++d->requests;
    if (!outcome.isCount() && !off) {
        d->failures.append({url, e.caption, outcome.reason, outcome.failure});
        if (outcome.failure == FailureKind::Stopped)
            d->stoppedInRow = true;
    }

    Q_EMIT webResultAdded(e.rowText, url);
    if (generation != d->generation)
        return false;
    // A switched-off slot is never named: it asks nothing.
    if (!off)
        Q_EMIT statusTextChanged(tr("Scanning %1%2").arg(url, e.statusSuffix));
    if (generation != d->generation)
        return false;
    Q_EMIT progressChanged(++d->progress, d->maximum());
    if (generation != d->generation)
        return false;
    Q_EMIT engineResult(d->position + 1, engine, outcome);
    return generation == d->generation;
}

void ScanRun::finishRow() {
    // Only counts are added, to both totals, rounding half to even; the snapshot says which slots
    // count into them.
    std::array<const EngineOutcome*, EngineCount> outcomes{};
    for (int e = 0; e < EngineCount; ++e)
        outcomes[e] = &d->rows.front()[e].outcome;
    const EngineSnapshot::RowSum sum = d->snapshot->sumOf(outcomes);
    const std::optional<qint64> rowTotal = sum.total;
    // -1 once the counts are too many to add up.
    if (d->grandTotal >= 0 &&
        (sum.tooLarge ||
         (sum.total && __builtin_add_overflow(d->grandTotal, *sum.total, &d->grandTotal))))
        d->grandTotal = -1;
    const int finished = d->position + 1;
    d->rows.pop_front();
    ++d->position;
    const quint64 generation = d->generation;
    Q_EMIT rowFinished(finished, rowTotal, d->snapshot->profile(rowTotal));
    if (generation != d->generation)
        return;
    startRequests(); // the engines held back by the lookahead go on
    // Yield once before the next URL: Stop, repaints and other commands get their turn.
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == d->generation)
            nextUrl();
    });
}

void ScanRun::endStopped() {
    abort();
    Q_EMIT stopped();
    Q_EMIT finished();
}

void ScanRun::complete() {
    QString text = completionText(d->grandTotal, int(d->failures.size()), d->requests);
    // What only the user can mend says where.
    if (std::any_of(d->failures.cbegin(), d->failures.cend(),
                    [](const ScanFailure& f) { return isSourceRefusal(f.kind); }))
        text += tr("  A source refused: see Tools › Sources.");
    const qint64 grandTotal = d->grandTotal;
    abort(); // over: no request in flight, the fetchers released
    const bool autoSort = UserSettings::autoSortByTotal();
    Q_EMIT completed(text, grandTotal, autoSort);
    Q_EMIT finished();
}

} // namespace tally
