#include "core/scan/engine_outcome.h"

#include "core/numbers/numbers.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_parser.h"
#include "core/scan/engine_table.h"
#include "core/scan/json_pointer.h"

#include <QJsonValue>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace tally {

namespace {

// The usual reason phrase of a status, for replies that send none.
QString standardStatusText(int status) {
    switch (status) {
    case 400:
        return QStringLiteral("Bad Request");
    case 401:
        return QStringLiteral("Unauthorized");
    case 403:
        return QStringLiteral("Forbidden");
    case 404:
        return QStringLiteral("Not Found");
    case 410:
        return QStringLiteral("Gone");
    case 429:
        return QStringLiteral("Too Many Requests");
    case 500:
        return QStringLiteral("Internal Server Error");
    case 502:
        return QStringLiteral("Bad Gateway");
    case 503:
        return QStringLiteral("Service Unavailable");
    case 504:
        return QStringLiteral("Gateway Timeout");
    default:
        return QString();
    }
}

QString statusLine(const FetchResult& fetch) {
    const QString text =
        fetch.statusText.isEmpty() ? standardStatusText(fetch.status) : fetch.statusText;
    QString line = QStringLiteral("HTTP status ") + QString::number(fetch.status);
    if (!text.isEmpty())
        line += QLatin1Char(' ') + text;
    return line;
}

QString blockedBy(const QString& what) {
    return QStringLiteral("blocked by the engine (") + what + QLatin1Char(')');
}

FailureKind failureOfFetch(FetchError error) {
    switch (error) {
    case FetchError::NotWebAddress:
    case FetchError::ConnectionRefused:
    case FetchError::HostNotFound:
    case FetchError::ConnectFailed:
        return FailureKind::CouldNotConnect;
    case FetchError::TimedOut:
        return FailureKind::TimedOut;
    case FetchError::TooLarge:
        return FailureKind::TooLarge;
    default:
        return FailureKind::BadReply;
    }
}

QString reasonOfFetch(const FetchResult& fetch) {
    switch (fetch.error) {
    case FetchError::NotWebAddress:
    case FetchError::ConnectionRefused:
    case FetchError::HostNotFound:
    case FetchError::ConnectFailed:
        return QStringLiteral("could not connect: ") + fetch.errorText;
    case FetchError::TimedOut:
        return QStringLiteral("timed out: ") + fetch.errorText;
    case FetchError::TooLarge:
        return fetch.errorText;
    default:
        return QStringLiteral("bad reply: ") + fetch.errorText;
    }
}

// The count at a pointer of a JSON reply: a whole number of at least 0.
EngineOutcome jsonOutcome(const QByteArray& body, const QString& pointerText) {
    auto notRecognised = [](const QString& why) {
        return EngineOutcome::failed(FailureKind::NotRecognised,
                                     QStringLiteral("page not recognised: ") + why);
    };
    QString why;
    const std::optional<QJsonValue> document = parseJsonDocument(body, &why);
    if (!document)
        return notRecognised(QStringLiteral("not JSON (") + why + QLatin1Char(')'));
    const std::optional<JsonPointer> pointer = JsonPointer::parse(pointerText);
    const std::optional<QJsonValue> value = pointer ? pointer->find(*document) : std::nullopt;
    if (!value)
        return notRecognised(QStringLiteral("nothing at ") + pointerText);
    if (!value->isDouble())
        return notRecognised(QStringLiteral("the value at %1 is not a number").arg(pointerText));
    // Whole numbers up to 2^53 are exact in a JSON reader's double.
    const double number = value->toDouble();
    if (number < 0 || number > 9007199254740992.0 || number != std::floor(number))
        return notRecognised(QStringLiteral("the value at %1 is not a count (%2)")
                                 .arg(pointerText, QString::number(number, 'g', 17)));
    return EngineOutcome::counted(QString::number(qint64(number)));
}

} // namespace

EngineOutcome EngineOutcome::counted(const QString& count) {
    EngineOutcome outcome;
    outcome.count = count;
    return outcome;
}

EngineOutcome EngineOutcome::failed(FailureKind kind, const QString& reason) {
    EngineOutcome outcome;
    outcome.failure = kind;
    outcome.reason = reason;
    return outcome;
}

EngineOutcome EngineOutcome::skipped(const QString& reason) {
    return failed(FailureKind::Skipped, reason.isEmpty()
                                            ? QStringLiteral("skipped: blocked earlier in this run")
                                            : reason);
}

EngineOutcome EngineOutcome::stopped() {
    return failed(FailureKind::Stopped, QStringLiteral("stopped"));
}

EngineOutcome engineOutcome(const FetchResult& fetch, const EngineDefinition& definition) {
    if (!definition.usable())
        return EngineOutcome::failed(FailureKind::Definition, definition.failureReason());
    if (!fetch.complete())
        return EngineOutcome::failed(failureOfFetch(fetch.error), reasonOfFetch(fetch));
    const bool json = definition.kind == EngineKind::Json;
    if (json && (fetch.status == 401 || fetch.status == 403))
        return EngineOutcome::failed(FailureKind::KeyRefused, QStringLiteral("API key refused (") +
                                                                  statusLine(fetch) +
                                                                  QLatin1Char(')'));
    if (fetch.status == 429 || fetch.status == 403)
        return EngineOutcome::failed(FailureKind::Blocked, blockedBy(statusLine(fetch)));
    if (fetch.status >= 400)
        return EngineOutcome::failed(FailureKind::HttpStatus, statusLine(fetch));
    if (json)
        return jsonOutcome(fetch.body, definition.pointer);

    const QString page = QString::fromLatin1(fetch.body);
    const EngineCountReading reading = readMarkerCount(page, definition.markers);
    if (reading.recognised) {
        QString count = reading.count;
        count.remove(QLatin1Char(','));
        return EngineOutcome::counted(count);
    }
    for (const BlockedPagePhrase& p : blockedPagePhrases())
        if (page.contains(QLatin1String(p.phrase), Qt::CaseInsensitive))
            return EngineOutcome::failed(FailureKind::Blocked, blockedBy(QLatin1String(p.what)));
    return EngineOutcome::failed(FailureKind::NotRecognised, QStringLiteral("page not recognised"));
}

EngineOutcome engineOutcome(const FetchResult& fetch, int intEngine) {
    if (intEngine < 1 || intEngine > EngineCount) {
        EngineDefinition none;
        none.markers = builtInMarkerRule(intEngine);
        return engineOutcome(fetch, none);
    }
    return engineOutcome(fetch, builtInEngines().definitions[intEngine - 1]);
}

EngineOutcome graphOutcome(const EngineDefinition& definition, const QString& url) {
    if (!definition.usable())
        return EngineOutcome::failed(FailureKind::Definition, definition.failureReason());
    if (!definition.index)
        return EngineOutcome::failed(FailureKind::Definition,
                                     QStringLiteral("engine definition: no link index"));
    const LinkIndex::Lookup found = definition.index->findUrl(url);
    const QString vertex = QString::fromUtf8(found.name);
    switch (found.status) {
    case LinkIndex::Lookup::Status::Found: {
        const quint32 value = found.value(definition.measure);
        if (value == 0 && definition.measure != GraphMeasure::LinkingDomains)
            return EngineOutcome::failed(
                FailureKind::NotInGraph,
                QStringLiteral("no %1 for %2 in %3")
                    .arg(measureKey(definition.measure), vertex, definition.release));
        EngineOutcome outcome = EngineOutcome::counted(QString::number(value));
        outcome.note = definition.countMeaningOf(found.name);
        outcome.matched = vertex;
        return outcome;
    }
    case LinkIndex::Lookup::Status::Damaged:
        return EngineOutcome::failed(FailureKind::BadReply, QStringLiteral("link index damaged: ") +
                                                                definition.index->path());
    case LinkIndex::Lookup::Status::Changed:
        return EngineOutcome::failed(FailureKind::BadReply,
                                     QStringLiteral("index changed during the scan: ") +
                                         definition.index->path());
    case LinkIndex::Lookup::Status::NotFound:
        break;
    }
    if (found.name.isEmpty())
        return EngineOutcome::failed(FailureKind::NotInGraph, found.problem);
    return EngineOutcome::failed(
        FailureKind::NotInGraph,
        QStringLiteral("not in %1 (looked for %2)").arg(definition.release, vertex));
}

std::optional<qint64> retryAfterDelayMs(const FetchResult& fetch, const QDateTime& now) {
    if (!fetch.complete() || (fetch.status != 429 && fetch.status != 503))
        return std::nullopt;
    const QString value = QString::fromLatin1(fetch.retryAfter).trimmed();
    if (value.isEmpty())
        return std::nullopt;
    qint64 ms;
    if (const std::optional<qint64> secs = readWholeNumber(value)) {
        if (*secs < 0 || value.startsWith(QLatin1Char('-')) || value.startsWith(QLatin1Char('+')))
            return std::nullopt;
        ms = *secs > MaxRetryAfterMs / 1000 ? MaxRetryAfterMs : *secs * 1000;
    } else {
        // An HTTP date: "Sun, 06 Nov 1994 08:49:37 GMT" (read as the same date at +0000).
        QString date = value;
        if (date.endsWith(QLatin1String(" GMT")) || date.endsWith(QLatin1String(" UTC")))
            date = date.left(date.size() - 4) + QLatin1String(" +0000");
        const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
        if (!when.isValid())
            return std::nullopt;
        ms = std::max<qint64>(0, now.msecsTo(when));
    }
    return std::min(ms, MaxRetryAfterMs);
}

} // namespace tally
