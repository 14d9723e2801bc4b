#include "core/scan/engine_outcome.h"

#include "core/net/http_reply.h"

#include "core/numbers/numbers.h"
#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_parser.h"
#include "core/scan/json_pointer.h"
#include "core/scan/page_text.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(EngineOutcome)
};

// The usual reason phrase of a status, for replies that send none.
QString standardStatusText(int status) {
    switch (status) {
    case 400:
        return QStringLiteral("Bad Request");
    case 401:
        return QStringLiteral("Unauthorized");
    case 402:
        return QStringLiteral("Payment Required");
    case 403:
        return QStringLiteral("Forbidden");
    case 404:
        return QStringLiteral("Not Found");
    case 405:
        return QStringLiteral("Method Not Allowed");
    case 408:
        return QStringLiteral("Request Timeout");
    case 410:
        return QStringLiteral("Gone");
    case 422:
        return QStringLiteral("Unprocessable Content");
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
    QString line = Text::tr("HTTP status %1").arg(fetch.status);
    if (!text.isEmpty())
        line += QLatin1Char(' ') + text;
    return line;
}

QString blockedBy(const QString& what) {
    return Text::tr("blocked by the engine (%1)").arg(what);
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
        return Text::tr("could not connect: %1").arg(fetch.errorText);
    case FetchError::TimedOut:
        return Text::tr("timed out: %1").arg(fetch.errorText);
    case FetchError::TooLarge:
        return fetch.errorText;
    default:
        return Text::tr("bad reply: %1").arg(fetch.errorText);
    }
}

// Longest provider message a reason quotes.
constexpr qsizetype MaxQuoted = 200;
// Only a text answer up to this size is quoted by its first line: a longer one is a page, not a
// message.
constexpr qsizetype ShortTextAnswer = 2048;

// A provider's message as a reason quotes it: control characters out, blanks run together, at
// most MaxQuoted characters.
QString cleanMessage(const QString& text) {
    QString clean;
    clean.reserve(std::min(text.size(), MaxQuoted * 2));
    bool blank = false;
    for (QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control ||
            c.category() == QChar::Other_Format) {
            blank = true;
            continue;
        }
        if (blank && !clean.isEmpty())
            clean += QLatin1Char(' ');
        blank = false;
        clean += c;
        if (clean.size() > MaxQuoted)
            break;
    }
    if (clean.size() > MaxQuoted)
        clean = clean.left(MaxQuoted - 1) + QStringLiteral("\u2026");
    return clean;
}

QString quoted(const QString& message) {
    return QStringLiteral("\u201c") + message + QStringLiteral("\u201d");
}

// The first line of a short text answer that is no markup page; empty otherwise.
QString firstLineOfShortText(const QByteArray& body) {
    if (body.size() > ShortTextAnswer)
        return QString();
    const QString text = QString::fromUtf8(body).trimmed();
    if (text.startsWith(QLatin1Char('<')))
        return QString();
    return cleanMessage(text.section(QLatin1Char('\n'), 0, 0));
}

// A JSON value as text: a string as it is, a number in decimal, true, false, null, or compact
// JSON for an object or an array.
QString jsonText(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double: {
        const qint64 whole = value.toInteger(std::numeric_limits<qint64>::min());
        if (whole != std::numeric_limits<qint64>::min())
            return QString::number(whole);
        const double number = value.toDouble();
        // Whole numbers past 64 bits in digits, as the answer wrote them (up to 1e21).
        if (std::abs(number) < 1e21 && number == std::floor(number))
            return QString::number(number, 'f', 0);
        return QString::number(number, 'g', QLocale::FloatingPointShortest);
    }
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    default:
        return QString();
    }
}

std::optional<QJsonValue> valueAt(const QJsonValue& document, const QString& pointerText) {
    const std::optional<JsonPointer> pointer = JsonPointer::parse(pointerText);
    return pointer ? pointer->find(document) : std::nullopt;
}

// A message at one of the pointers: the first that holds a text other than "" (or a number).
QString messageAt(const QJsonValue& document, const QStringList& pointers) {
    for (const QString& pointer : pointers) {
        const std::optional<QJsonValue> value = valueAt(document, pointer);
        if (!value || value->isNull() || value->isUndefined() || value->isBool())
            continue;
        const QString text = cleanMessage(jsonText(*value));
        if (!text.isEmpty())
            return text;
    }
    return QString();
}

// Where JSON error answers commonly put their message, for a definition that names no place.
const QStringList CommonMessagePointers{
    QStringLiteral("/message"),         QStringLiteral("/error/message"),
    QStringLiteral("/error"),           QStringLiteral("/error_message"),
    QStringLiteral("/ErrorMessage"),    QStringLiteral("/Message"),
    QStringLiteral("/status_message"),  QStringLiteral("/detail"),
    QStringLiteral("/errors/0/message")};

// The provider's own words in an answer, or an empty text when it holds none: at the
// definition's error pointers, else in a common message field, else the first line of a short
// text answer (a JSON one too, whole, when it holds no message field and is not empty).
QString providerMessage(const QByteArray& body, const EngineDefinition& definition) {
    if (definition.kind == EngineKind::Json) {
        if (const std::optional<QJsonValue> document = parseJsonDocument(body)) {
            QString message = messageAt(*document, definition.errorPointers);
            if (message.isEmpty() && document->isObject())
                message = messageAt(*document, CommonMessagePointers);
            if (!message.isEmpty())
                return message;
            if ((document->isObject() && document->toObject().isEmpty()) ||
                (document->isArray() && document->toArray().isEmpty()))
                return QString(); // says nothing
        }
    }
    return firstLineOfShortText(body);
}

// Whether a provider's message says that the key itself is wrong (rather than spent or slowed
// down): "InvalidAPIKey", "ERROR 120 :: WRONG KEY - ID PAIR", "Invalid API key".
bool saysKeyRefused(const QString& message) {
    QString plain;
    for (QChar c : message)
        if (c.isLetterOrNumber())
            plain += c.toLower();
    static const char* const phrases[] = {
        "invalidapikey", "apikeyisinvalid",    "apikeyinvalid",        "invalidkey",
        "wrongkey",      "badapikey",          "unknownapikey",        "apikeynotvalid",
        "keyisnotvalid", "invalidcredentials", "authenticationfailed", "invalidtoken"};
    for (const char* phrase : phrases)
        if (plain.contains(QLatin1String(phrase)))
            return true;
    return false;
}

// Whether a provider's message says that the account's quota, credits or balance are spent (not
// that it asks to slow down): "Your monthly row limit has been reached", "Insufficient
// IndexItemInfoResUnits", "API UNITS BALANCE IS ZERO", "We had a problem billing your account".
bool saysQuotaSpent(const QString& message) {
    QString plain;
    for (QChar c : message)
        if (c.isLetterOrNumber())
            plain += c.toLower();
    if (plain.contains(QLatin1String("rate")))
        return false;
    static const char* const phrases[] = {
        "quota",   "limithasbeenreached", "limitreached", "insufficient",     "balanceiszero",
        "billing", "outofcredits",        "nocredits",    "notenoughcredits", "paymentrequired"};
    for (const char* phrase : phrases)
        if (plain.contains(QLatin1String(phrase)))
            return true;
    return false;
}

// What the user can do about a refusal: the key and the plan are set in the Sources window.
QString withSourcesHint(const QString& reason) {
    return Text::tr("%1 (check the key and the plan in Tools › Sources)").arg(reason);
}

// What a page of an API's answer came to: a failure, or a count (or a score's text) and the
// number of pages the answer says there are.
struct AnswerReading {
    std::optional<EngineOutcome> failure;
    qint64 count = 0;
    QString score; // a score's value as shown, when the definition reads a score
    int pages = 1;
};

AnswerReading failedWith(FailureKind kind, const QString& reason) {
    AnswerReading reading;
    reading.failure = EngineOutcome::failed(kind, reason);
    return reading;
}

// The answer of a provider that says something went wrong: its own words (quoted), or what the
// answer holds instead of what a good one does. Whether the key was refused is read in the text.
AnswerReading providerFailure(const QString& text, const QString& status, bool quote = true,
                              int httpStatus = 0) {
    const QString said =
        text.isEmpty() ? QString() : QStringLiteral(": ") + (quote ? quoted(text) : text);
    if (saysKeyRefused(text))
        return failedWith(
            FailureKind::KeyRefused,
            withSourcesHint(status.isEmpty()
                                ? Text::tr("API key refused") + said
                                : Text::tr("API key refused (%1)").arg(status) + said));
    if (saysQuotaSpent(text) || httpStatus == 402)
        return failedWith(FailureKind::QuotaSpent,
                          withSourcesHint(status.isEmpty()
                                              ? Text::tr("quota spent") + said
                                              : Text::tr("quota spent (%1)").arg(status) + said));
    if (httpStatus == 429)
        return failedWith(FailureKind::RateLimited,
                          Text::tr("rate limited (%1)").arg(status) + said);
    return failedWith(FailureKind::ApiError,
                      status.isEmpty() ? Text::tr("the API answered") + said : status + said);
}

// The failure an answer's own code stands for, where the definition names it (CodePointer and
// the codes it lists); nothing for an answer without such a code.
std::optional<AnswerReading> codedFailure(const QByteArray& body,
                                          const EngineDefinition& definition) {
    const std::optional<QJsonValue> document = parseJsonDocument(body);
    if (!document)
        return std::nullopt;
    for (const QString& pointer : definition.codePointers) {
        const std::optional<QJsonValue> value = valueAt(*document, pointer);
        if (!value || value->isNull() || value->isUndefined())
            continue;
        const QString code = jsonText(*value);
        const bool rateLimit = definition.rateLimitCodes.contains(code);
        const bool quota = definition.quotaCodes.contains(code);
        const bool key = definition.keyCodes.contains(code);
        const bool site = definition.siteCodes.contains(code);
        if (!rateLimit && !quota && !key && !site)
            continue;
        QString message = messageAt(*document, definition.errorPointers);
        if (message.isEmpty())
            message = messageAt(*document, CommonMessagePointers);
        const QString shown = cleanMessage(code);
        const QString said = message.isEmpty() ? QString() : QStringLiteral(": ") + quoted(message);
        if (rateLimit)
            return failedWith(FailureKind::RateLimited,
                              Text::tr("rate limited (%1)").arg(shown) + said);
        if (quota)
            return failedWith(FailureKind::QuotaSpent,
                              withSourcesHint(Text::tr("quota spent (%1)").arg(shown) + said));
        if (key)
            return failedWith(FailureKind::KeyRefused,
                              withSourcesHint(Text::tr("API key refused (%1)").arg(shown) + said));
        return failedWith(FailureKind::ApiError,
                          Text::tr("site not held by the account (%1)%2; list the site exactly as "
                                   "it is verified with the provider")
                              .arg(shown, said));
    }
    return std::nullopt;
}

AnswerReading notRecognised(const QString& why) {
    return failedWith(FailureKind::NotRecognised, Text::tr("page not recognised: %1").arg(why));
}

// A count out of a JSON value, or what the value is instead.
AnswerReading readJsonCount(const QJsonValue& value, const QString& where, bool score) {
    const QString at = Text::tr("the value at %1").arg(where);
    switch (value.type()) {
    case QJsonValue::Null:
        return notRecognised(Text::tr("%1 is JSON null, not a count").arg(at));
    case QJsonValue::String:
        return notRecognised(Text::tr("%1 is a string (%2), not a count")
                                 .arg(at, quoted(cleanMessage(value.toString()))));
    case QJsonValue::Bool:
        return notRecognised(Text::tr("%1 is %2, not a count").arg(at, jsonText(value)));
    case QJsonValue::Array:
        return notRecognised(Text::tr("%1 is an array, not a count").arg(at));
    case QJsonValue::Object:
        return notRecognised(Text::tr("%1 is an object, not a count").arg(at));
    case QJsonValue::Double:
        break;
    default:
        return notRecognised(Text::tr("nothing at %1").arg(where));
    }
    AnswerReading reading;
    constexpr qint64 NoWhole = std::numeric_limits<qint64>::min();
    const double number = value.toDouble();
    const qint64 whole = value.toInteger(NoWhole);
    if (score) {
        reading.score = whole != NoWhole ? QString::number(whole) : jsonText(value);
        return reading;
    }
    if (whole != NoWhole && whole >= 0) {
        reading.count = whole;
        return reading;
    }
    if (number < 0)
        return notRecognised(
            Text::tr("%1 is a negative number (%2), not a count").arg(at, jsonText(value)));
    if (number != std::floor(number))
        return notRecognised(
            Text::tr("%1 is a decimal (%2), not a count").arg(at, jsonText(value)));
    return failedWith(FailureKind::NotRecognised,
                      Text::tr("count too large (%1 at %2)").arg(jsonText(value), where));
}

// A count out of a column of a delimited text answer, or what it is instead.
AnswerReading readTextCount(const QString& text, const QString& where, bool score) {
    const AnswerNumber number = readAnswerNumber(text);
    AnswerReading reading;
    switch (number.kind) {
    case AnswerNumber::Kind::Count:
        reading.count = number.count;
        if (score)
            reading.score = QString::number(number.count);
        return reading;
    case AnswerNumber::Kind::Decimal:
    case AnswerNumber::Kind::Negative:
        if (score) {
            reading.score = text.trimmed();
            return reading;
        }
        return notRecognised(Text::tr("%1 is %2 (%3), not a count")
                                 .arg(where,
                                      number.kind == AnswerNumber::Kind::Decimal
                                          ? Text::tr("a decimal")
                                          : Text::tr("a negative number"),
                                      quoted(cleanMessage(text))));
    case AnswerNumber::Kind::TooLarge:
        return failedWith(FailureKind::NotRecognised,
                          Text::tr("count too large (%1 in %2)").arg(cleanMessage(text), where));
    case AnswerNumber::Kind::NotANumber:
        break;
    }
    return notRecognised(Text::tr("%1 is %2, not a count").arg(where, quoted(cleanMessage(text))));
}

AnswerReading readTable(const QByteArray& body, const EngineDefinition& definition) {
    QStringList lines;
    for (QString line : QString::fromUtf8(body).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            lines << line;
    }
    if (lines.isEmpty())
        return notRecognised(Text::tr("the answer is empty"));
    const QStringList heading = lines.first().split(definition.separator);
    qsizetype column = -1;
    for (qsizetype i = 0; i < heading.size() && column < 0; ++i)
        if (heading[i].trimmed().compare(definition.column, Qt::CaseInsensitive) == 0)
            column = i;
    if (column < 0) {
        // Not the table: a provider's message ("ERROR 50 :: NOTHING FOUND"), or a table without
        // the column.
        if (heading.size() == 1)
            return providerFailure(cleanMessage(lines.first()), QString());
        return notRecognised(Text::tr("no column %1 in %2")
                                 .arg(definition.column, quoted(cleanMessage(lines.first()))));
    }
    if (lines.size() < 2)
        return notRecognised(Text::tr("no row under the heading"));
    const QStringList row = lines.at(1).split(definition.separator);
    if (column >= row.size())
        return notRecognised(Text::tr("the first row has no %1").arg(definition.column));
    return readTextCount(row.at(column), Text::tr("the %1 column").arg(definition.column),
                         !definition.countsIntoTotal);
}

// A JSON answer's document, or the failure of an answer that is none.
std::optional<QJsonValue> jsonAnswer(const QByteArray& body, AnswerReading* failure) {
    QString why;
    std::optional<QJsonValue> document = parseJsonDocument(body, &why);
    if (!document) {
        const QString line = firstLineOfShortText(body);
        if (!line.isEmpty() && saysKeyRefused(line))
            *failure = providerFailure(line, QString());
        else
            *failure =
                notRecognised(Text::tr("not JSON (%1)").arg(why) +
                              (line.isEmpty() ? QString() : QStringLiteral(": ") + quoted(line)));
    }
    return document;
}

// What a good answer holds, checked; failing it, the provider says why.
std::optional<AnswerReading> refusedAnswer(const QJsonValue& document,
                                           const EngineDefinition& definition) {
    for (const AnswerCheck& check : definition.okChecks) {
        const std::optional<QJsonValue> value = valueAt(document, check.pointer);
        const QString found = value ? jsonText(*value) : QString();
        if (value && check.accepted.contains(found))
            continue;
        const QString message = messageAt(document, definition.errorPointers);
        if (!message.isEmpty()) // named with the provider's code where that is what failed
            return providerFailure(message, value && !found.isEmpty() && found.size() <= 40
                                                ? Text::tr("code %1").arg(cleanMessage(found))
                                                : QString());
        if (!value)
            return notRecognised(Text::tr("nothing at %1").arg(check.pointer));
        return providerFailure(Text::tr("%1 at %2, not %3")
                                   .arg(quoted(cleanMessage(found)), check.pointer,
                                        check.accepted.join(Text::tr(" or "))),
                               QString(), false);
    }
    if (definition.okChecks.isEmpty()) {
        const QString message = messageAt(document, definition.errorPointers);
        if (!message.isEmpty())
            return providerFailure(message, QString());
    }
    return std::nullopt;
}

// A JSON answer that holds what a good one does, or (in *failure) why it is not one.
std::optional<QJsonValue> goodJsonAnswer(const QByteArray& body, const EngineDefinition& definition,
                                         AnswerReading* failure) {
    std::optional<QJsonValue> document = jsonAnswer(body, failure);
    if (!document)
        return std::nullopt;
    if (std::optional<AnswerReading> refused = refusedAnswer(*document, definition)) {
        *failure = *refused;
        return std::nullopt;
    }
    return document;
}

AnswerReading readJson(const QByteArray& body, const EngineDefinition& definition) {
    AnswerReading failure;
    const std::optional<QJsonValue> document = goodJsonAnswer(body, definition, &failure);
    if (!document)
        return failure;

    AnswerReading reading;
    if (definition.isPaged()) {
        const std::optional<QJsonValue> pages = valueAt(*document, definition.pagesPointer);
        if (!pages)
            return notRecognised(Text::tr("nothing at %1").arg(definition.pagesPointer));
        const AnswerReading count = readJsonCount(*pages, definition.pagesPointer, false);
        if (count.failure)
            return count;
        if (count.count > PagedCount::MaxPages)
            return failedWith(FailureKind::NotRecognised,
                              Text::tr("the answer has %1 pages, more than the %2 read")
                                  .arg(count.count)
                                  .arg(PagedCount::MaxPages));
        reading.pages = int(std::max<qint64>(1, count.count));
    }
    const std::optional<QJsonValue> value = valueAt(*document, definition.pointer);
    if (!value) {
        // No count: an answer that says why is quoted.
        if (const QString message = messageAt(*document, CommonMessagePointers); !message.isEmpty())
            return providerFailure(message, QString());
        return notRecognised(Text::tr("nothing at %1").arg(definition.pointer));
    }
    if (definition.sumOf.isEmpty()) {
        AnswerReading count =
            readJsonCount(*value, definition.pointer, !definition.countsIntoTotal);
        count.pages = reading.pages;
        return count;
    }
    if (!value->isArray())
        return notRecognised(Text::tr("the value at %1 is not an array").arg(definition.pointer));
    const QJsonArray items = value->toArray();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString where =
            QStringLiteral("%1/%2/%3").arg(definition.pointer).arg(i).arg(definition.sumOf);
        const QJsonValue item = items.at(i).toObject().value(definition.sumOf);
        if (item.isUndefined())
            return notRecognised(Text::tr("nothing at %1").arg(where));
        const AnswerReading count = readJsonCount(item, where, false);
        if (count.failure)
            return count;
        if (count.count > std::numeric_limits<qint64>::max() - reading.count)
            return failedWith(
                FailureKind::NotRecognised,
                Text::tr("count too large (the sum over %1)").arg(definition.pointer));
        reading.count += count.count;
    }
    return reading;
}

// One answer of an API read: its failure, or its count and pages.
// The failure of an answer that says by its provider's code or its HTTP status that it failed.
std::optional<AnswerReading> failedStatus(const FetchResult& fetch,
                                          const EngineDefinition& definition) {
    if (definition.kind == EngineKind::Json && !definition.codePointers.isEmpty())
        if (std::optional<AnswerReading> coded = codedFailure(fetch.body, definition))
            return *coded;
    if (fetch.status >= 400) {
        const QString message = providerMessage(fetch.body, definition);
        const QString status = statusLine(fetch);
        if (fetch.status == 401) {
            const QString said =
                message.isEmpty() ? QString() : QStringLiteral(": ") + quoted(message);
            return failedWith(FailureKind::KeyRefused,
                              withSourcesHint(Text::tr("API key refused (%1)").arg(status) + said));
        }
        return providerFailure(message, status, true, fetch.status);
    }
    return std::nullopt;
}

AnswerReading readApiAnswer(const FetchResult& fetch, const EngineDefinition& definition) {
    if (std::optional<AnswerReading> failed = failedStatus(fetch, definition))
        return *failed;
    return definition.kind == EngineKind::Table ? readTable(fetch.body, definition)
                                                : readJson(fetch.body, definition);
}

// The dated points of a history answer's array, or why the answer gives none.
AnswerReading readHistoryPoints(const QByteArray& body, const EngineDefinition& history,
                                QList<DatedCount>* points) {
    AnswerReading failure;
    const std::optional<QJsonValue> document = goodJsonAnswer(body, history, &failure);
    if (!document)
        return failure;
    const std::optional<QJsonValue> items = valueAt(*document, history.pointer);
    if (!items || items->isNull())
        return notRecognised(Text::tr("nothing at %1").arg(history.pointer));
    if (!items->isArray())
        return notRecognised(Text::tr("the value at %1 is not an array").arg(history.pointer));
    const QJsonArray array = items->toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject item = array.at(i).toObject();
        const QString at = QStringLiteral("%1/%2/").arg(history.pointer).arg(i);
        // "2019-01-01 00:00:00 +00:00", "2024-01-01" or "2024-01-01T00:00:00Z": the day.
        const QString dateText = item.value(history.historyDate).toString();
        const QDate date = QDate::fromString(dateText.left(10), Qt::ISODate);
        if (!date.isValid())
            return notRecognised(Text::tr("no date at %1%2").arg(at, history.historyDate));
        const QJsonValue count = item.value(history.historyCount);
        if (count.isUndefined())
            return notRecognised(Text::tr("nothing at %1%2").arg(at, history.historyCount));
        const AnswerReading reading = readJsonCount(count, at + history.historyCount, false);
        if (reading.failure)
            return reading;
        points->append({date, reading.count});
    }
    return AnswerReading();
}

EngineOutcome outcomeOf(const AnswerReading& reading, const EngineDefinition& definition) {
    if (reading.failure)
        return *reading.failure;
    return EngineOutcome::counted(definition.countsIntoTotal ? QString::number(reading.count)
                                                             : reading.score);
}

// A reason with every key of the definition shown as "…".
EngineOutcome masked(EngineOutcome outcome, const EngineDefinition& definition) {
    if (!outcome.isCount())
        outcome.reason = definition.maskKeys(outcome.reason);
    return outcome;
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
    return failed(FailureKind::Skipped,
                  reason.isEmpty() ? Text::tr("skipped: blocked earlier in this run") : reason);
}

EngineOutcome EngineOutcome::stopped() {
    return failed(FailureKind::Stopped, Text::tr("stopped"));
}

EngineOutcome EngineOutcome::off() {
    return failed(FailureKind::Off, Text::tr("off"));
}

EngineOutcome engineOutcome(const FetchResult& fetch, const EngineDefinition& definition) {
    if (!definition.usable())
        return EngineOutcome::failed(FailureKind::Definition, definition.failureReason());
    if (definition.kind == EngineKind::Off)
        return EngineOutcome::off();
    if (!fetch.complete())
        return masked(EngineOutcome::failed(failureOfFetch(fetch.error), reasonOfFetch(fetch)),
                      definition);
    if (definition.isApi()) {
        const AnswerReading reading = readApiAnswer(fetch, definition);
        if (!reading.failure && reading.pages > 1)
            return EngineOutcome::failed(
                FailureKind::NotRecognised,
                Text::tr(
                    "page not recognised: the answer has %1 pages, and only the first was read")
                    .arg(reading.pages));
        return masked(outcomeOf(reading, definition), definition);
    }
    if (fetch.status == 429 || fetch.status == 403)
        return EngineOutcome::failed(FailureKind::Blocked, blockedBy(statusLine(fetch)));
    if (fetch.status >= 400)
        return EngineOutcome::failed(FailureKind::HttpStatus, statusLine(fetch));

    // The page is searched in its own bytes where its charset allows; decoded whole only where not.
    const QByteArray charset = pageCharset(fetch.body, fetch.contentType);
    std::optional<EngineCountReading> reading =
        readMarkerCountInBytes(fetch.body, charset, definition.markers);
    QString page;
    if (!reading) {
        page = pageTextIn(fetch.body, charset);
        reading = readMarkerCount(page, definition.markers);
    }
    if (reading->recognised) {
        QString count = reading->count;
        count.remove(QLatin1Char(','));
        return EngineOutcome::counted(count);
    }
    // Decoded at the first phrase the bytes cannot answer, once.
    auto says = [&](const QString& phrase) {
        if (page.isNull())
            if (const std::optional<bool> inBytes = bytesContain(fetch.body, charset, phrase))
                return *inBytes;
        if (page.isNull())
            page = pageTextIn(fetch.body, charset);
        return page.contains(phrase, Qt::CaseInsensitive);
    };
    for (const BlockedPagePhrase& p : blockedPagePhrases())
        if (says(QLatin1String(p.phrase)))
            return EngineOutcome::failed(FailureKind::Blocked, blockedBy(Text::tr(p.what)));
    return EngineOutcome::failed(FailureKind::NotRecognised, Text::tr("page not recognised"));
}

PagedCount::PagedCount(const EngineDefinition& definition) : definition_(&definition) {}

std::optional<int> PagedCount::nextPage() const {
    if (settled_)
        return std::nullopt;
    return next_;
}

void PagedCount::add(const FetchResult& fetch) {
    if (settled_)
        return;
    const EngineDefinition& definition = *definition_;
    if (!definition.isPaged() || !definition.usable() || !fetch.complete()) {
        settled_ = engineOutcome(fetch, definition);
        return;
    }
    const AnswerReading reading = readApiAnswer(fetch, definition);
    if (reading.failure) {
        EngineOutcome failure = *reading.failure;
        if (next_ > 0)
            failure.reason = Text::tr("page %1: ").arg(next_ + 1) + failure.reason;
        settled_ = masked(failure, definition);
        return;
    }
    if (pages_ < 0)
        pages_ = reading.pages;
    if (reading.count > std::numeric_limits<qint64>::max() - sum_) {
        settled_ = EngineOutcome::failed(FailureKind::NotRecognised,
                                         Text::tr("count too large (the sum over the pages)"));
        return;
    }
    sum_ += reading.count;
    if (++next_ >= pages_)
        settled_ = EngineOutcome::counted(QString::number(sum_));
}

EngineOutcome PagedCount::outcome() const {
    if (settled_)
        return *settled_;
    return EngineOutcome::failed(FailureKind::Stopped,
                                 Text::tr("stopped after %1 of %2 pages").arg(next_).arg(pages_));
}

HistoryAnswer historyAnswer(const FetchResult& fetch, const EngineDefinition& history) {
    HistoryAnswer answer;
    if (!fetch.complete()) {
        answer.failure = masked(
            EngineOutcome::failed(failureOfFetch(fetch.error), reasonOfFetch(fetch)), history);
        return answer;
    }
    AnswerReading reading;
    if (std::optional<AnswerReading> failed = failedStatus(fetch, history))
        reading = *failed;
    else
        reading = readHistoryPoints(fetch.body, history, &answer.points);
    if (reading.failure) {
        answer.points.clear(); // a part of an answer is none of it
        answer.failure = masked(*reading.failure, history);
    }
    return answer;
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
                                     Text::tr("engine definition: no link index"));
    const LinkIndex::Lookup found = definition.index->findUrl(url);
    const QString vertex = QString::fromUtf8(found.name);
    switch (found.status) {
    case LinkIndex::Lookup::Status::Found: {
        const quint32 value = found.value(definition.measure);
        if (value == 0 && definition.measure != GraphMeasure::LinkingDomains)
            return EngineOutcome::failed(
                FailureKind::NotInGraph,
                Text::tr("no %1 for %2 in %3")
                    .arg(measureKey(definition.measure), vertex, definition.release));
        EngineOutcome outcome = EngineOutcome::counted(QString::number(value));
        outcome.note = definition.countMeaningOf(found.name);
        outcome.matched = vertex;
        return outcome;
    }
    case LinkIndex::Lookup::Status::Damaged:
        return EngineOutcome::failed(
            FailureKind::BadReply,
            Text::tr("link index damaged: %1").arg(definition.index->path()));
    case LinkIndex::Lookup::Status::Changed:
        return EngineOutcome::failed(
            FailureKind::BadReply,
            Text::tr("index changed during the scan: %1").arg(definition.index->path()));
    case LinkIndex::Lookup::Status::NotFound:
        break;
    }
    if (found.name.isEmpty())
        return EngineOutcome::failed(FailureKind::NotInGraph, found.problem);
    return EngineOutcome::failed(
        FailureKind::NotInGraph,
        Text::tr("not in %1 (looked for %2)").arg(definition.release, vertex));
}

qint64 rateLimitWaitMs(const FetchResult& fetch, int retriesMade, const QDateTime& now) {
    if (const std::optional<qint64> asked = retryAfterMs(fetch.retryAfter, now))
        return std::min(*asked, MaxRetryAfterMs);
    return std::min<qint64>(1000LL << std::clamp(retriesMade, 0, 10), MaxRetryAfterMs);
}

std::optional<qint64> retryAfterDelayMs(const FetchResult& fetch, const QDateTime& now) {
    if (!fetch.complete() || (fetch.status != 429 && fetch.status != 503))
        return std::nullopt;
    const std::optional<qint64> ms = retryAfterMs(fetch.retryAfter, now);
    if (!ms)
        return std::nullopt;
    return std::min(*ms, MaxRetryAfterMs);
}

} // namespace tally
