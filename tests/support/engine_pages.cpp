#include "support/engine_pages.h"

#include "core/product/engine_table.h"
#include "core/settings/ini_file.h"
#include "support/local_http_server.h"

#include <QUrl>

namespace tally::test {

int engineOfPath(const QString& path) {
    int e = 0;
    for (const char* p : EnginePaths) {
        if (path == QLatin1String(p))
            break;
        ++e;
    }
    return e;
}

QByteArray enginePage(int e, const QByteArray& c) {
    switch (e) {
    case 0:
        return "<p>Results <b>1</b> - <b>10</b> of about <b>" + c + "</b> linking to <b>x</b>.";
    case 1:
        return "<a href=\"/r\">AltaVista found " + c + " results</A>";
    case 2:
        return "<p>Results <strong>1 - 10</strong> of about " + c + " for <strong>x</strong></p>";
    case 3:
        return "<td class=\"T11\">Showing results 1-10 of " + c + "</td>";
    case 4:
        return "<h5>Page 1 of " + c + " results containing x</h5>";
    default:
        return "<div><span class=\"ofSoMany\">" + c + "</span></div>";
    }
}

void serveEnginePages(LocalHttpServer& server, EngineCounts countOf) {
    server.setHandler([countOf](const HttpRequest& r) {
        const int e = engineOfPath(r.path);
        const QByteArray count = e < EngineCount ? countOf(e, queriedUrl(r.query)) : QByteArray();
        if (count.isEmpty())
            return HttpResponse::page("<p>Not Found</p>", 404);
        return HttpResponse::page(enginePage(e, count));
    });
}

QString queriedUrl(const QString& query) {
    const QString decoded = QUrl::fromPercentEncoding(query.toLatin1());
    const qsizetype colon = decoded.indexOf(QLatin1Char(':'));
    return decoded.mid(colon + 1).section(QLatin1Char('&'), 0, 0);
}

void writeEnginePrefixes(const LocalHttpServer& server, const QString& settingsIni) {
    for (int e = 0; e < EngineCount; ++e)
        modINI::WritePrivateProfileStringA(
            QLatin1String(EnginesSection), QLatin1String(engineTable()[e].key),
            server.urlString(QLatin1String(EnginePaths[e]) + QLatin1String("?q=link:")),
            settingsIni);
}

} // namespace tally::test
