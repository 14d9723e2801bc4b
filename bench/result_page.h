// A result page of a realistic size (about 2 KB) carrying a count for each engine's markers,
// served by the scan benchmarks' local server. Each engine's passage is the first its markers
// meet: Google's line says "of <b>1,234</b>" (not "of about"), so that Yahoo!'s "of about " finds
// its own line.
#pragma once

#include <QByteArray>

inline QByteArray benchResultPage() {
    QByteArray page = "<html><head><title>Results</title></head><body>\n";
    page += "<p>Results <b>1</b> - <b>10</b> of <b>1,234</b> linking to <b>x</b>.</p>\n";
    page += "<a href=\"/r\">AltaVista found 12,345 results</A>\n";
    page += "<p>of about 5,678 for <strong>x</strong></p>\n";
    page += "<td>Showing results 1-10 of 4,321</td>\n";
    page += "<h5>Page 1 of 2,468 results containing x</h5>\n";
    page += "<span class=\"ofSoMany\">98,765</span>\n";
    for (int i = 0; i < 20; ++i)
        page += "<p class=\"g\"><a href=\"http://www.example.org/page.html\">A result</a> "
                "with a line of text.</p>\n";
    page += "</body></html>\n";
    return page;
}
