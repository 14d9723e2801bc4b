// How one request of a scan ended: a count the engine really reported, or a failure with its
// reason. Every engine cell of a scan holds exactly one outcome.
#pragma once

#include "core/scan/page_fetcher.h"

#include <QDateTime>
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
    KeyRefused,      // an API answered 401 or 403: the key is wrong, expired or missing
    NotInGraph,      // the link graph does not hold the URL's vertex (its host, or its domain)
    Definition       // the slot's definition in engines.ini cannot work
};

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
};

struct EngineDefinition;

// The outcome of a fetch for a slot's definition. A fetch that did not complete, an error status,
// 429 and 403 fail with their reason; otherwise a markers engine's page gives a count or, failing
// that, is a block page or not recognised. A json engine's 401 and 403 say that the API key was
// refused, and its reply gives the number at the definition's pointer or fails naming it.
EngineOutcome engineOutcome(const FetchResult& fetch, const EngineDefinition& definition);
// The same for the built-in engine intEngine (1..6).
EngineOutcome engineOutcome(const FetchResult& fetch, int intEngine);
// The count of a graph engine for a URL, from its link index; no request is made.
EngineOutcome graphOutcome(const EngineDefinition& definition, const QString& url);

// How long a 429 or 503 reply asks the client to wait before trying again, from its Retry-After
// header: seconds, or an HTTP date taken against now. At most MaxRetryAfterMs. Nothing for any
// other reply, or a header that reads as neither.
inline constexpr qint64 MaxRetryAfterMs = 60 * 1000;
std::optional<qint64> retryAfterDelayMs(const FetchResult& fetch, const QDateTime& now);

} // namespace tally

Q_DECLARE_METATYPE(tally::EngineOutcome)
