// Filling in the past of saved searches: every column that can look back is asked for the
// months before its first saved point, and each point goes into the site's saved search at its
// own date (mergePastPoints: a day already saved keeps its count).
//
// A column can look back when its source documents a history endpoint (the History keys of its
// definition: DataForSEO's backlinks/history/live, Ahrefs' refdomains-history), one request per
// site, or when it counts from the Common Crawl web graph: every release index installed beside
// the one it reads gives a point at that release's date, with no request at all.
#pragma once

#include "core/linkgraph/link_index.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tally {

class PageFetcher;

// The day a web graph release stands for: the first of the month of its last crawl
// ("cc-main-2024-feb-apr-may" is 2024-05-01). Nothing for a name that tells no month.
std::optional<QDate> releaseDate(const QString& release);

// How far a fill-in may look back, in months, and how far it looks by default.
inline constexpr int MaxBackfillMonths = 120;
inline constexpr int DefaultBackfillMonths = 24;
// Requests of a fill-in in flight at once (the providers allow far more: DataForSEO 2,000 a
// minute).
inline constexpr int BackfillRequestsAtOnce = 4;

// The first day a look back of `months` months asks for: the first of the month, that many months
// before today's.
QDate backfillSince(const QDate& today, int months);

// A site whose past is filled in: the URL its counts are for, and its saved search's file.
struct BackfillSite {
    QString url;
    QString file;
};

// A column that can look back, and how.
struct BackfillColumn {
    int slot = 0;
    QString caption;
    bool asksProvider = true; // its provider's history; otherwise the releases below
    QList<std::shared_ptr<const LinkIndex>> releases;
};

struct BackfillPlan {
    QList<BackfillSite> sites;
    QList<BackfillColumn> columns;
    QDate since;
    QDate today;
    // The columns that cannot look back, and why ("Majestic: its source keeps no history").
    QStringList cannot;

    // The requests it sends: a site for each column that asks its provider.
    int requests() const;
    // Per column, what it asks: "DataForSEO: 100 requests", "Common Crawl: 3 releases on this
    // disk".
    QStringList describe() const;
};

// What can be filled in for the sites with the engines as defined: the providers are asked from
// `since` on (every point they answer up to `today` is kept), the releases on the disk dated up
// to `today` are read whatever their age.
BackfillPlan planBackfill(const EngineSet& engines, const QList<BackfillSite>& sites,
                          const QDate& since, const QDate& today);

// The points of one column for one site, as they are merged.
struct BackfillResult {
    QString url;
    QString caption;
    int received = 0;                     // points the source gave within the span
    int added = 0;                        // of those, the days the saved search did not hold yet
    std::optional<EngineOutcome> failure; // why nothing came of it (then nothing was saved)
    bool notWritten = false; // the points came, but the saved search could not be written
};

// One fill-in on the event loop: the requests of the plan through the fetchers given (one request
// in flight on each), the graph columns read as their turn comes, each answer merged as it
// arrives. A rate-limited answer is asked again after the wait it asks for (at most three times).
class Backfill : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxRateLimitRetries = 3;

    // The engines must outlive the fill-in; the fetchers are used by it alone until it finishes.
    Backfill(BackfillPlan plan, const EngineSet& engines, QList<PageFetcher*> fetchers,
             QObject* parent = nullptr);
    ~Backfill() override;

    void start();
    // Ends the requests in flight and asks nothing more; finished() follows.
    void stop();

    int total() const;
    const QList<BackfillResult>& results() const { return results_; }
    bool stopped() const { return stopped_; }

Q_SIGNALS:
    void resultReady(const tally::BackfillResult& result);
    void progressed(int done, int total);
    void finished();

private:
    struct Task;
    void dispatch();
    void startTask(int fetcher, const Task& task);
    void answered(int fetcher, const FetchResult& fetch);
    void readReleases(const Task& task);
    void merge(BackfillResult result, const QString& file, const QList<PastPoint>& points);
    void settle();

    BackfillPlan plan_;
    const EngineSet& engines_;
    QList<PageFetcher*> fetchers_;
    QList<Task> queue_;
    QList<std::optional<Task>> inFlight_;
    QList<BackfillResult> results_;
    int waiting_ = 0; // tasks waiting to be asked again after a rate limit
    int done_ = 0;
    bool started_ = false;
    bool stopped_ = false;
    bool finished_ = false;
};

} // namespace tally

Q_DECLARE_METATYPE(tally::BackfillResult)
