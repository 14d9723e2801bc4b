// A slot's request for one URL, built from its definition: the address, the method, the body and
// the headers, with every placeholder filled in and encoded for where it stands.
//
// Placeholders (anywhere in Address, Suffix, a settings.ini prefix, a header value or the body):
//   {url}            the URL as listed
//   {encoded-url}    the URL percent-encoded as a query value
//   {host}           its host ("www.example.com"), {domain} its registrable domain ("example.com")
//   {key}            the key KeyName names in section Keys; {key:NAME} the key NAME there
//   {date:FORMAT}    the day of the request in a Qt date format ("yyyy-MM-dd"); {today} and
//                    {yesterday} are that day and the one before in ISO 8601
//   {page}           the page of a paged answer, from 0
//   {since}          the first day a look back into a provider's history asks for (ISO 8601);
//                    a year before the day in any other request
// In an address a value is percent-encoded; in a JSON body it is escaped as inside a JSON string
// (the template writes the quotes); in a form body (application/x-www-form-urlencoded)
// percent-encoded; in a header it is put as it is, but a value holding a line break or NUL is
// refused. Braces that do not spell a placeholder ("{\"targets\": ...}") are text.
//
// Keys travel only to the definition's own server: the host written out in its address (or
// Server), never to one the URL list decides. A request that would carry a key anywhere else is
// not built.
#pragma once

#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace tally {

// What a fetch is asked to do. The fields match the fetcher's own request (url, method, body,
// content type, headers), so that a fetch is started with them as they are.
struct EngineRequest {
    QString url;
    QByteArray method = "GET";
    QByteArray body;
    QByteArray contentType; // empty without a body
    QList<QPair<QByteArray, QByteArray>> headers;
    // An API's answer (json or table) is expected, not a web page: the fetch takes the API's
    // smaller size cap.
    bool api = false;
    // The address as the user may see it: every key in it shown as "…".
    QString shownUrl;
};

// The fetch that sends it: its fields as they are, with an API answer's cap (ApiBodyCap) or a web
// page's (PageBodyCap).
FetchRequest fetchRequestOf(const EngineRequest& request);

// The request, or why there is none (the failure its cell shows).
struct RequestBuild {
    std::optional<EngineRequest> request;
    EngineOutcome failure;
};

// The request of slot `definition` for `url`. `prefix` is the slot's query prefix from
// settings.ini (unused when the definition gives its own Address); `now` the moment of the
// request (the dates), `keys` the values of section Keys by name (EngineDefinition::storedKeys),
// `page` the page of a paged answer. Pure: reads nothing but its arguments.
RequestBuild buildEngineRequest(const EngineDefinition& definition, const QString& prefix,
                                const QString& url, const QDateTime& now,
                                const QHash<QString, QString>& keys, int page = 0);

// The request of a slot's look back (its History keys) for `url`, from `since` to `now`: the same
// method, headers, keys and checks as its everyday request. A slot that keeps no history fails.
RequestBuild buildHistoryRequest(const EngineDefinition& definition, const QString& url,
                                 const QDateTime& now, const QDate& since,
                                 const QHash<QString, QString>& keys);

// The same with the keys of the per-user store.
RequestBuild buildEngineRequest(const EngineDefinition& definition, const QString& prefix,
                                const QString& url, const QDateTime& now, int page = 0);

// Every placeholder of a template checked: unknown ones ("{domian}"), ones that take an argument
// without one ("{date}") or the other way round. Each problem names the placeholder and where
// it stands ("Body"). The key names the template asks for are added to *keyNames (the name of
// "{key}" is defaultKeyName).
QStringList placeholderProblems(const QString& text, const QString& where,
                                const QString& defaultKeyName, QStringList* keyNames);

// Whether a template names any placeholder but a plain {key}.
bool usesMoreThanKey(const QString& text);

// A template with every placeholder replaced by value (to check its shape before a request).
QString withPlaceholdersAs(const QString& text, const QString& value);

// text with every given secret shown as "…", in each form a request carries it (as it is,
// percent-encoded, JSON-escaped); longer secrets first. Empty secrets are skipped.
QString maskSecrets(const QString& text, const QStringList& secrets);

// "scheme://host[:port]" read strictly: http or https, a host name or address, a port. Nothing
// when the text is not one; *problem then says why.
struct ServerOrigin {
    QString scheme;
    QString host;
    int port = -1;
};
std::optional<ServerOrigin> readServer(const QString& text, QString* problem = nullptr);

} // namespace tally
