#include "core/scan/scan_run.h"

#include "core/numbers/numbers.h"
#include "core/scan/engine_parser.h"
#include "core/scan/engine_table.h"
#include "core/scan/page_fetcher.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"

#include <QPointer>
#include <QTimer>

#include <array>

namespace tally {

struct ScanRun::Private {
    QStringList urls;
    QString settingsIni;
    QPointer<PageFetcher> fetcher;
    QMetaObject::Connection fetched;

    bool running = false;
    bool stopRequested = false;
    bool awaitingPage = false;
    quint64 generation = 0; // a new run or an abort makes older callbacks void
    qint64 low = UserSettings::DefaultLowThreshold;
    qint64 medium = UserSettings::DefaultMediumThreshold;
    int position = 0; // 0-based position of the URL being scanned in the snapshot
    int engine = 0;   // 0-based position in the engine table
    int progress = 0;
    qint64 grandTotal = 0;
    std::array<QString, EngineCount> cells;

    int maximum() const { return int(urls.size()) * EngineCount; }
};

ScanRun::ScanRun(const QStringList& urls, const QString& settingsIni, PageFetcher* fetcher,
                 QObject* parent)
    : QObject(parent), d(new Private) {
    d->urls = urls;
    d->settingsIni = settingsIni;
    d->fetcher = fetcher;
}

ScanRun::~ScanRun() {
    abort();
    delete d;
}

bool ScanRun::isRunning() const {
    return d->running;
}

int ScanRun::urlCount() const {
    return int(d->urls.size());
}

QString ScanRun::completionText(qint64 grandTotal) {
    return QStringLiteral("Search Complete.  Found ") + QString::number(grandTotal) +
           QStringLiteral(" links.");
}

int ScanRun::profileIcon(qint64 total, qint64 low, qint64 medium) {
    if (total < low)
        return 1;
    return total >= medium ? 3 : 2;
}

void ScanRun::start() {
    if (d->running)
        return;
    // The window has turned the table's auto-sort off and shown the progress bar already.
    d->stopRequested = false;
    ++d->generation;
    d->low = UserSettings::lowThreshold();
    d->medium = UserSettings::mediumThreshold();
    if (d->urls.isEmpty()) {
        Q_EMIT finished();
        return;
    }
    d->running = true;
    d->position = 0;
    d->grandTotal = 0;
    d->progress = 0;
    if (d->fetcher && !d->fetched)
        d->fetched = connect(d->fetcher, &PageFetcher::pageFetched, this, &ScanRun::pageFetched);
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
    if (d->running)
        d->stopRequested = true;
}

void ScanRun::abort() {
    ++d->generation;
    d->running = false;
    if (d->awaitingPage && d->fetcher)
        d->fetcher->abort();
    d->awaitingPage = false;
    disconnect(d->fetched);
    d->fetched = {};
}

void ScanRun::nextUrl() {
    if (!d->running)
        return;
    // The loop's own test comes first: a stop asked for during the last URL finds no URL left
    // to stop before, and the run completes.
    if (d->position >= d->urls.size()) {
        complete();
        return;
    }
    if (d->stopRequested) {
        abort();
        Q_EMIT stopped();
        Q_EMIT finished();
        return;
    }
    const quint64 generation = d->generation;
    const QString& url = d->urls.at(d->position);
    d->cells.fill(QString());
    Q_EMIT webResultAdded(QStringLiteral("Home Page"), url);
    if (generation != d->generation)
        return;
    Q_EMIT rowStarted(d->position + 1, url);
    if (generation != d->generation)
        return;
    d->engine = 0;
    requestEngine();
}

void ScanRun::requestEngine() {
    const EngineInfo& e = engineTable()[d->engine];
    // Read afresh for every request: a prefix saved in the Options dialog applies at once.
    const QString prefix = modINI::ReadIniValue(QLatin1String(EnginesSection), QLatin1String(e.key),
                                                QString(), d->settingsIni);
    const QString address = prefix + d->urls.at(d->position) + QLatin1String(e.querySuffix);
    d->awaitingPage = true;
    if (d->fetcher)
        d->fetcher->GetUrlSource(address);
    else
        QTimer::singleShot(0, this, [this, generation = d->generation] {
            if (generation == d->generation)
                pageFetched(QString());
        });
}

void ScanRun::pageFetched(const QString& body) {
    if (!d->running || !d->awaitingPage)
        return;
    d->awaitingPage = false;
    const quint64 generation = d->generation;
    const EngineInfo& e = engineTable()[d->engine];
    const QString& url = d->urls.at(d->position);
    QString result = ParseEngineData(body, e.intEngine);
    // MSN's count comes without commas already.
    if (e.intEngine != 5)
        result.remove(QLatin1Char(','));
    d->cells[d->engine] = result;

    Q_EMIT webResultAdded(QLatin1String(e.webRowText), url);
    if (generation != d->generation)
        return;
    Q_EMIT statusTextChanged(QStringLiteral("Scanning ") + url + QLatin1String(e.statusSuffix));
    if (generation != d->generation)
        return;
    Q_EMIT progressChanged(++d->progress, d->maximum());
    if (generation != d->generation)
        return;
    Q_EMIT engineResult(d->position + 1, e.resultsColumn, result);
    if (generation != d->generation)
        return;

    if (++d->engine < EngineCount)
        requestEngine(); // no pause between requests
    else
        finishRow();
}

void ScanRun::finishRow() {
    // Each non-empty cell is added to both totals, rounding half to even; a cell that does not
    // read as a number counts nothing and keeps its text.
    qint64 rowTotal = 0;
    for (const QString& cell : d->cells) {
        if (cell.isEmpty())
            continue;
        rowTotal = addRoundedHalfEven(rowTotal, cell);
        d->grandTotal = addRoundedHalfEven(d->grandTotal, cell);
    }
    const quint64 generation = d->generation;
    Q_EMIT rowFinished(d->position + 1, QString::number(rowTotal),
                       profileIcon(rowTotal, d->low, d->medium));
    if (generation != d->generation)
        return;
    ++d->position;
    // Yield once before the next URL: Stop, repaints and other commands get their turn.
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == d->generation)
            nextUrl();
    });
}

void ScanRun::complete() {
    const qint64 grandTotal = d->grandTotal;
    abort(); // over: no request in flight, the fetcher released
    const bool autoSort = UserSettings::autoSortByTotal();
    Q_EMIT completed(completionText(grandTotal), grandTotal, autoSort);
    Q_EMIT finished();
}

} // namespace tally
