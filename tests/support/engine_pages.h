// Small result pages for the scan tests: each carries one count where an engine's markers look.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace tally::test {

// The paths that stand for the six engines on a local test server, in engine-table order.
inline constexpr const char* EnginePaths[] = {"/google", "/altavista", "/yahoo",
                                              "/ask",    "/msn",       "/atw"};

// The engine (0..5) whose path this is; 6 for any other path.
int engineOfPath(const QString& path);

// A result page of engine e (0..5 in engine-table order) that reports count.
QByteArray enginePage(int e, const QByteArray& count);

class LocalHttpServer;

// Serves the six engine paths: engine e's page with the count countOf(e, url) for the URL the
// request asks about, or a 404 when countOf gives an empty count.
using EngineCounts = std::function<QByteArray(int engine, const QString& url)>;
void serveEnginePages(LocalHttpServer& server, EngineCounts countOf);
// The URL a request to an engine path asks about: the query after its "link:" (or "links:"),
// up to the first "&".
QString queriedUrl(const QString& query);
// settings.ini's prefixes pointing at the server's engine paths ("<path>?q=link:").
void writeEnginePrefixes(const LocalHttpServer& server, const QString& settingsIni);

} // namespace tally::test
