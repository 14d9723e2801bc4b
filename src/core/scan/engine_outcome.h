// How one request of a scan ended: a count the engine really reported, or a failure with its
// reason. Every engine cell of a scan holds exactly one outcome.
#pragma once

#include "core/net/page_fetcher.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

namespace tally {

enum class FailureKind {
    None,            // a count
    CouldNotConnect, // refused, host not found, not a web address, no secure connection
    TimedOut,        // no reply in time, or the page took too long
    HttpStatus,      // an error status (4xx, 5xx) other than a block
    Blocked,         // 429 or 403, or a captcha, unusual-traffic or consent page
    NotRecognised,   // neither the engine's count nor its no-results passage on the page
    TooLarge,        // the page passed the size cap
    BadReply,        // not a usable HTTP reply (broken off, headers too long, redirect loop...)
    Skipped,         // the engine blocked earlier in this run
    Stopped,         // the user stopped the scan
    KeyRefused,      // an API answered 401, or said in its own words that the key is wrong
    NotInGraph,      // the link graph does not hold the URL's vertex (its host, or its domain)
    Definition,      // the slot's definition in engines.ini cannot work
    ApiError,        // an API answered with an error of its own (quota, rate limit, unknown site)
    Off,             // the slot is switched off (Kind=off): no request, and no failure either
    QuotaSpent,      // an API said that the account's quota, credits or balance are spent
    RateLimited      // an API asked to slow down (429, or its own code for it) and kept asking
};

// Whether a failure is the source's refusal that only its user can mend (a key refused, a quota
// spent, a definition that cannot work), as a nightly job must tell from a site it could not count.
inline bool isSourceRefusal(FailureKind kind) {
    return kind == FailureKind::KeyRefused || kind == FailureKind::QuotaSpent ||
           kind == FailureKind::Definition;
}

struct EngineOutcome {
    // The count as the cell shows it (thousands commas removed); empty for a failure.
    QString count;
    FailureKind failure = FailureKind::None;
    // Why the request failed, as the user reads it; empty for a count.
    QString reason;
    // What a count means where the column's caption does not say it ("linking domains to
    // com.example in cc-main-2024-feb-apr-may"); empty for most counts.
    QString note;
    // The graph vertex a link index's count belongs to, in reverse notation ("com.example"); empty
    // for other engines.
    QString matched;

    bool isCount() const { return failure == FailureKind::None; }

    static EngineOutcome counted(const QString& count);
    static EngineOutcome failed(FailureKind kind, const QString& reason);
    // The outcome of a request that was not made.
    static EngineOutcome skipped(const QString& reason = QString());
    static EngineOutcome stopped();
    // The outcome of a switched-off slot.
    static EngineOutcome off();
};

struct EngineDefinition;

// The outcome of a fetch for a slot's definition. A fetch that did not complete fails with its
// reason. A markers engine's error status, 429 and 403 fail; otherwise its page gives a count or,
// failing that, is a block page or not recognised.
//
// An API's answer (json, table) is a count or a failure in the provider's own words. Its status
// from 400 up fails naming the status and quoting the provider's message: the text at the
// definition's ErrorPointer, else a message field of a JSON error answer ("message", "error",
// "error_message", "ErrorMessage", "Message", "status_message", "detail"), else the first line of
// a short text answer. 401, and any answer whose message says that the key is wrong, is a refused
// key; a quota or rate limit (402, 403, 429) is not; 429 is RateLimited. Where the definition
// names the provider's own codes (CodePointer with RateLimitCodes, QuotaCodes, KeyCodes,
// SiteCodes), an answer of any status holding one of them fails as what the code means. A 2xx
// answer fails, quoting the provider,
// when an OkPointer check fails (or, without one, when ErrorPointer holds a message). The value
// must be a whole number of at least 0 within 64 bits: anything else fails naming what was found
// (JSON null, a string, a decimal, a negative number, "count too large"), except that a score
// (InTotal=no) may hold a decimal. Quoted messages lose their control characters and are cut to
// 200 characters; every key of the definition in a reason is shown as "…".
EngineOutcome engineOutcome(const FetchResult& fetch, const EngineDefinition& definition);

// The count of a paged answer (Pages=): the sum of every page's count. Feed it each page's fetch
// in turn; it says which page to ask for next, until the sum is settled. A definition without
// pages settles with its one answer (engineOutcome), so that any slot can be driven this way.
class PagedCount {
public:
    // At most this many pages are read; an answer that has more fails.
    static constexpr int MaxPages = 1000;

    // The definition must outlive the count.
    explicit PagedCount(const EngineDefinition& definition);
    // The page to ask for next (0 first), or nothing once the count is settled.
    std::optional<int> nextPage() const;
    // Reads the fetch of page nextPage().
    void add(const FetchResult& fetch);
    // The sum of all pages once settled (or the failure of the first page that failed); before
    // that, a failure saying how far it got.
    EngineOutcome outcome() const;

private:
    const EngineDefinition* definition_;
    int next_ = 0;
    int pages_ = -1; // as the first page says
    qint64 sum_ = 0;
    std::optional<EngineOutcome> settled_;
};
// One point of a provider's history: the day it names and the count.
struct DatedCount {
    QDate date;
    qint64 count = 0;
};
// A history answer read: every point of it, or none and the failure (a refused key, a provider's
// error, an answer that is not the documented shape, any point without a date or a whole count).
struct HistoryAnswer {
    QList<DatedCount> points;
    std::optional<EngineOutcome> failure;
};
// The answer to buildHistoryRequest, read with the slot's historyDefinition(): its status and
// codes as engineOutcome reads them, then the array at HistoryItems.
HistoryAnswer historyAnswer(const FetchResult& fetch, const EngineDefinition& history);

// The same for the built-in engine intEngine (1..6).
EngineOutcome engineOutcome(const FetchResult& fetch, int intEngine);
// The count of a graph engine for a URL, from its link index; no request is made.
EngineOutcome graphOutcome(const EngineDefinition& definition, const QString& url);

// How long a 429 or 503 reply asks the client to wait before trying again, from its Retry-After
// header: seconds, or an HTTP date taken against now. At most MaxRetryAfterMs. Nothing for any
// other reply, or a header that reads as neither.
inline constexpr qint64 MaxRetryAfterMs = 60 * 1000;
std::optional<qint64> retryAfterDelayMs(const FetchResult& fetch, const QDateTime& now);

// How long to wait before asking again after an API's rate-limited answer (RateLimited): what its
// Retry-After asks for (at most MaxRetryAfterMs), else 1 s doubled for each retry already made.
qint64 rateLimitWaitMs(const FetchResult& fetch, int retriesMade, const QDateTime& now);

} // namespace tally

Q_DECLARE_METATYPE(tally::EngineOutcome)
