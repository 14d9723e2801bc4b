#include "core/history/backfill.h"

#include "core/scan/engine_request.h"
#include "core/net/page_fetcher.h"
#include "core/settings/program_folder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <QUrl>

namespace tally {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Backfill)
};

// Where a provider's past came from, as a backfilled point's provenance names it: the history
// endpoint's host and path.
QString historyEndpoint(const EngineDefinition& definition) {
    const QUrl url(definition.historyAddress);
    return url.host() + url.path();
}

} // namespace

std::optional<QDate> releaseDate(const QString& release) {
    // cc-main-YYYY-mon-mon-mon: the year, then the months of its crawls.
    const QStringList parts = release.toLower().split(QLatin1Char('-'));
    if (parts.size() < 4 || parts[0] != QLatin1String("cc") || parts[1] != QLatin1String("main"))
        return std::nullopt;
    bool isYear = false;
    const int year = parts[2].toInt(&isYear);
    if (!isYear || parts[2].size() != 4)
        return std::nullopt;
    static const QStringList months{"jan", "feb", "mar", "apr", "may", "jun",
                                    "jul", "aug", "sep", "oct", "nov", "dec"};
    int month = 0;
    for (qsizetype i = 3; i < parts.size(); ++i)
        if (const qsizetype m = months.indexOf(parts[i]); m >= 0)
            month = int(m) + 1;
    if (month == 0)
        return std::nullopt;
    return QDate(year, month, 1);
}

QDate backfillSince(const QDate& today, int months) {
    return QDate(today.year(), today.month(), 1).addMonths(-months);
}

int BackfillPlan::requests() const {
    int asked = 0;
    for (const BackfillColumn& column : columns)
        asked += column.asksProvider ? int(sites.size()) : 0;
    return asked;
}

QStringList BackfillPlan::describe() const {
    QStringList lines;
    for (const BackfillColumn& column : columns) {
        const qsizetype n = column.asksProvider ? sites.size() : column.releases.size();
        if (column.asksProvider)
            lines << (n == 1 ? Text::tr("%1: 1 request").arg(column.caption)
                             : Text::tr("%1: %2 requests").arg(column.caption).arg(n));
        else
            lines << (n == 1
                          ? Text::tr("%1: 1 release on this disk, no request").arg(column.caption)
                          : Text::tr("%1: %2 releases on this disk, no request")
                                .arg(column.caption)
                                .arg(n));
    }
    return lines;
}

BackfillPlan planBackfill(const EngineSet& engines, const QList<BackfillSite>& sites,
                          const QDate& since, const QDate& today) {
    BackfillPlan plan;
    plan.sites = sites;
    plan.since = since;
    plan.today = today;
    for (const EngineDefinition& d : engines.definitions) {
        if (d.kind == EngineKind::Off)
            continue;
        BackfillColumn column;
        column.slot = d.slot;
        column.caption = d.caption;
        if (!d.usable()) {
            plan.cannot << Text::tr("%1: %2").arg(d.caption, d.failureReason());
        } else if (d.looksBack()) {
            plan.columns << column;
        } else if (d.kind == EngineKind::Graph && d.index) {
            column.asksProvider = false;
            const QString folder = QFileInfo(d.index->path()).absolutePath();
            for (const std::shared_ptr<const LinkIndex>& index :
                 LinkIndex::allIn(folder, d.measure)) {
                const std::optional<QDate> date = releaseDate(index->releaseName());
                if (!date)
                    plan.cannot << Text::tr("%1: the date of release %2 cannot be told from its "
                                            "name")
                                       .arg(d.caption, index->releaseName());
                else if (*date <= today)
                    column.releases << index;
            }
            if (column.releases.isEmpty())
                plan.cannot << Text::tr("%1: no release of the web graph on this disk can be "
                                        "dated")
                                   .arg(d.caption);
            else
                plan.columns << column;
        } else {
            plan.cannot
                << Text::tr("%1: its source keeps no history that can be asked").arg(d.caption);
        }
    }
    return plan;
}

struct Backfill::Task {
    int site = 0;
    int column = 0;
    int retries = 0;
};

Backfill::Backfill(BackfillPlan plan, const EngineSet& engines, QList<PageFetcher*> fetchers,
                   QObject* parent)
    : QObject(parent), plan_(std::move(plan)), engines_(engines), fetchers_(std::move(fetchers)) {
    qRegisterMetaType<tally::BackfillResult>();
    inFlight_.resize(fetchers_.size());
    for (qsizetype f = 0; f < fetchers_.size(); ++f)
        connect(fetchers_[f], &PageFetcher::pageFetched, this,
                [this, f](const FetchResult& fetch) { answered(int(f), fetch); });
    for (int c = 0; c < plan_.columns.size(); ++c)
        for (int s = 0; s < plan_.sites.size(); ++s)
            queue_.append({s, c, 0});
}

Backfill::~Backfill() = default;

int Backfill::total() const {
    return int(plan_.columns.size() * plan_.sites.size());
}

void Backfill::start() {
    if (started_)
        return;
    started_ = true;
    emit progressed(0, total());
    // On the event loop, so that a caller connects to every signal first.
    QTimer::singleShot(0, this, &Backfill::dispatch);
}

void Backfill::stop() {
    if (finished_)
        return;
    stopped_ = true;
    queue_.clear();
    waiting_ = 0;
    for (qsizetype f = 0; f < fetchers_.size(); ++f)
        if (inFlight_[f]) {
            fetchers_[f]->abort();
            inFlight_[f].reset();
        }
    settle();
}

void Backfill::dispatch() {
    while (!stopped_ && !queue_.isEmpty()) {
        const Task task = queue_.first();
        if (!plan_.columns.at(task.column).asksProvider) {
            queue_.removeFirst();
            readReleases(task);
            // The next read on the next turn of the loop: a long list never holds the window.
            QTimer::singleShot(0, this, &Backfill::dispatch);
            return;
        }
        const qsizetype idle =
            std::find(inFlight_.begin(), inFlight_.end(), std::nullopt) - inFlight_.begin();
        if (idle >= inFlight_.size())
            return;
        queue_.removeFirst();
        startTask(int(idle), task);
    }
    settle();
}

void Backfill::startTask(int fetcher, const Task& task) {
    const BackfillColumn& column = plan_.columns.at(task.column);
    const EngineDefinition& definition = engines_.definitions.at(column.slot);
    const QString& url = plan_.sites.at(task.site).url;
    const RequestBuild build = buildHistoryRequest(
        definition, url, QDateTime::currentDateTime(), plan_.since,
        definition.loadedKeys ? *definition.loadedKeys : definition.storedKeys());
    if (!build.request) {
        BackfillResult result;
        result.url = url;
        result.caption = column.caption;
        result.failure = build.failure;
        merge(result, QString(), {});
        return;
    }
    inFlight_[fetcher] = task;
    fetchers_[fetcher]->fetch(fetchRequestOf(*build.request));
}

void Backfill::answered(int fetcher, const FetchResult& fetch) {
    if (!inFlight_.value(fetcher))
        return;
    Task task = *inFlight_[fetcher];
    inFlight_[fetcher].reset();
    const BackfillColumn& column = plan_.columns.at(task.column);
    const EngineDefinition& definition = engines_.definitions.at(column.slot);
    const BackfillSite& site = plan_.sites.at(task.site);
    HistoryAnswer answer = historyAnswer(fetch, definition.historyDefinition());
    if (answer.failure && answer.failure->failure == FailureKind::RateLimited &&
        task.retries < MaxRateLimitRetries && !stopped_) {
        ++task.retries;
        ++waiting_;
        QTimer::singleShot(rateLimitWaitMs(fetch, task.retries - 1, QDateTime::currentDateTime()),
                           this, [this, task] {
                               if (stopped_)
                                   return; // stop() let go of it
                               --waiting_;
                               queue_.prepend(task);
                               dispatch();
                           });
        dispatch();
        return;
    }
    BackfillResult result;
    result.url = site.url;
    result.caption = column.caption;
    QList<PastPoint> points;
    if (answer.failure) {
        result.failure = answer.failure;
    } else {
        PointSource source;
        source.source = definition.sourceName();
        source.metric = definition.metricName();
        source.url = site.url;
        source.backfilledFrom = historyEndpoint(definition);
        for (const DatedCount& point : std::as_const(answer.points))
            if (point.date <= plan_.today) // the provider chose from when; never a future day
                points.append({point.date, QString::number(point.count), source});
    }
    merge(result, site.file, points);
    dispatch();
}

void Backfill::readReleases(const Task& task) {
    const BackfillColumn& column = plan_.columns.at(task.column);
    const EngineDefinition& definition = engines_.definitions.at(column.slot);
    const BackfillSite& site = plan_.sites.at(task.site);
    BackfillResult result;
    result.url = site.url;
    result.caption = column.caption;
    QList<PastPoint> points;
    for (const std::shared_ptr<const LinkIndex>& index : column.releases) {
        const LinkIndex::Lookup found = index->findUrl(site.url);
        if (found.status == LinkIndex::Lookup::Status::NotFound)
            continue; // the release does not hold the site: no point that day
        if (found.status != LinkIndex::Lookup::Status::Found) {
            result.failure = EngineOutcome::failed(
                FailureKind::NotInGraph,
                Text::tr("the link index %1 cannot be read").arg(index->path()));
            points.clear();
            break;
        }
        const quint32 value = found.value(definition.measure);
        if (value == 0 && definition.measure != GraphMeasure::LinkingDomains)
            continue; // no rank in that release
        PointSource source;
        source.source = definition.sourceName();
        source.metric = definition.metricName();
        source.release = index->releaseName();
        source.vertex = QString::fromUtf8(found.name);
        source.url = site.url;
        source.backfilledFrom = index->releaseName();
        points.append({*releaseDate(index->releaseName()), QString::number(value), source});
    }
    merge(result, site.file, points);
}

void Backfill::merge(BackfillResult result, const QString& file, const QList<PastPoint>& points) {
    result.received = int(points.size());
    if (!result.failure && !points.isEmpty()) {
        QString reason;
        const SaveResult saved =
            mergePastPoints(file, result.caption, points, &result.added, &reason);
        result.notWritten = saved == SaveResult::Failed || saved == SaveResult::Refused;
        if (result.notWritten)
            result.failure = EngineOutcome::failed(
                FailureKind::BadReply,
                saved == SaveResult::Refused
                    ? Text::tr("the saved search cannot keep this caption or count")
                    : Text::tr("not saved: %1").arg(reason));
    }
    results_ << result;
    ++done_;
    emit resultReady(result);
    emit progressed(done_, total());
}

void Backfill::settle() {
    if (finished_ || waiting_ > 0 || !queue_.isEmpty())
        return;
    for (const std::optional<Task>& task : std::as_const(inFlight_))
        if (task)
            return;
    finished_ = true;
    emit finished();
}

} // namespace tally
