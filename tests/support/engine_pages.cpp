#include "support/engine_pages.h"

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

} // namespace tally::test
