// Count extraction from engine pages, what a fetch's outcome is, and query encoding.
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"
#include "core/scan/engine_parser.h"
#include "core/scan/url_encode.h"
#include "support/engine_pages.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include "core/numbers/numbers.h"

#include <QDir>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <limits>

using namespace tally;
using tally::FetchError;

namespace {

QString page(const char* name) {
    return QString::fromLatin1(
        test::readDataFile(QStringLiteral("engines/") + QLatin1String(name)));
}

} // namespace

class TestEngineParser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void getBetween_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("past");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both markers") << "abXcdYe"
                                      << "X"
                                      << "Y"
                                      << "cd";
        QTest::newRow("closing marker missing") << "abXcdYe"
                                                << "X"
                                                << "Z"
                                                << "cdYe";
        QTest::newRow("one-character opening marker missing") << "abcdYe"
                                                              << "Q"
                                                              << "Y"
                                                              << "abcd";
        QTest::newRow("two-character opening marker missing") << "abcdYe"
                                                              << "QQ"
                                                              << "Y"
                                                              << "bcd";
        QTest::newRow("opening marker ends the text") << "abcX"
                                                      << "X"
                                                      << "Y"
                                                      << "";
        QTest::newRow("empty text") << ""
                                    << "X"
                                    << "Y"
                                    << "";
        QTest::newRow("text shorter than the missing marker") << "ab"
                                                              << "QQQQ"
                                                              << "Z"
                                                              << "ab";
        QTest::newRow("first occurrences win") << "X1YX2Y"
                                               << "X"
                                               << "Y"
                                               << "1";
        QTest::newRow("case-sensitive") << "axBxyb"
                                        << "X"
                                        << "y"
                                        << "axBx";
        QTest::newRow("closing marker right after") << "aXYb"
                                                    << "X"
                                                    << "Y"
                                                    << "";
        QTest::newRow("closing marker only before") << "YaXb"
                                                    << "X"
                                                    << "Y"
                                                    << "b";
    }
    void getBetween() {
        QFETCH(QString, text);
        QFETCH(QString, before);
        QFETCH(QString, past);
        QFETCH(QString, expected);
        QCOMPARE(GetBetween(text, before, past), expected);
    }

    void enginePages_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("engine");
        QTest::addColumn<QString>("expected");
        const struct {
            const char* name;
            int engine;
            const char* count;
            const char* none;
            const char* changed;
        } engines[] = {
            {"google", 1, "1,234", "0", ""}, {"altavista", 2, "12,345", "0", ""},
            {"yahoo", 3, "5,678", "0", ""},  {"ask", 4, "4321", "", ""},
            {"msn", 5, "2468", "0", ""},     {"alltheweb", 6, "98,765", "0", ""},
        };
        for (const auto& e : engines) {
            const QString base = QLatin1String(e.name);
            QTest::newRow(qPrintable(base + " count"))
                << base + "_count.html" << e.engine << QString::fromLatin1(e.count);
            QTest::newRow(qPrintable(base + " no results"))
                << base + "_none.html" << e.engine << QString::fromLatin1(e.none);
            QTest::newRow(qPrintable(base + " changed layout"))
                << base + "_changed.html" << e.engine << QString::fromLatin1(e.changed);
        }
        QTest::newRow("msn count without Page 1 of") << "msn_count_of.html" << 5 << "1357";
    }
    void enginePages() {
        QFETCH(QString, file);
        QFETCH(int, engine);
        QFETCH(QString, expected);
        const QString text = page(file.toLatin1().constData());
        QVERIFY2(!text.isEmpty(), qPrintable(file));
        QCOMPARE(ParseEngineData(text, engine), expected);
        // The same page through the slot as an installation without engines.ini defines it.
        FetchResult fetch;
        fetch.status = 200;
        fetch.body = text.toLatin1();
        const EngineOutcome outcome = engineOutcome(
            fetch, loadEngines(test::dataFile("no-engines.ini")).definitions[engine - 1]);
        QCOMPARE(outcome.isCount() ? outcome.count : QString(), QString(expected).remove(','));
    }

    // A page read in its own bytes reads as its decoded text does, in every charset that allows
    // it, with its quotes swapped and its letters upper case; any other charset is decoded.
    void bytesReadAsText_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<int>("engine");
        const QDir folder(test::dataFile(QStringLiteral("engines")));
        for (const QString& file : folder.entryList({QStringLiteral("*.html")})) {
            const QStringList names = {"google", "altavista", "yahoo", "ask", "msn", "alltheweb"};
            const int engine = 1 + int(names.indexOf(file.section(QLatin1Char('_'), 0, 0)));
            const QString text = page(file.toLatin1().constData()) + QStringLiteral("\u00e9\u20ac");
            const QString swapped = QString(text)
                                        .replace(QLatin1Char('\''), QChar(1))
                                        .replace(QLatin1Char('"'), QLatin1Char('\''))
                                        .replace(QChar(1), QLatin1Char('"'));
            for (const QString& variant : {text, swapped, text.toUpper()})
                for (const char* charset : {"UTF-8", "windows-1252", "UTF-16LE"}) {
                    QStringEncoder encode(charset);
                    QTest::addRow("%s %s %d", qPrintable(file), charset, int(variant.size()))
                        << QByteArray(encode(variant)) << QByteArray(charset) << engine;
                }
        }
    }
    void bytesReadAsText() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, charset);
        QFETCH(int, engine);
        const MarkerRule& rule = builtInMarkerRule(engine);
        const std::optional<EngineCountReading> inBytes =
            readMarkerCountInBytes(body, charset, rule);
        QCOMPARE(inBytes.has_value(), charset != "UTF-16LE");
        if (!inBytes)
            return;
        const EngineCountReading asText =
            readMarkerCount(QStringDecoder(charset.constData())(body), rule);
        QCOMPARE(inBytes->recognised, asText.recognised);
        QCOMPARE(inBytes->count, asText.count);
    }

    // No page without the engine's marker gives a count, and no count text that is not a number:
    // short error bodies, and texts between the markers that would split a saved history.
    void noCountWithoutMarkerOrNumber_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("inMarkers");
        for (const char* body : {"", "429", "Not Found", "Error 503", "Bad Gateway", "0"})
            QTest::newRow(body) << QByteArray(body) << false;
        for (const char* count :
             {"1\nFake:77", "12:34", "many", "-5", "1.", "1,23", " 12", "12 ", "0x10"})
            QTest::newRow(QByteArray(count).toPercentEncoding(" :,.-").constData())
                << QByteArray(count) << true;
        QTest::newRow("NUL inside") << QByteArray("12\0"
                                                  "34",
                                                  5)
                                    << true;
        QTest::newRow("CR LF inside") << QByteArray("1\r\n2") << true;
    }
    void noCountWithoutMarkerOrNumber() {
        QFETCH(QByteArray, body);
        QFETCH(bool, inMarkers);
        for (int e = 0; e < 6; ++e) {
            const QByteArray bytes = inMarkers ? test::enginePage(e, body) : body;
            const QString page = QString::fromLatin1(bytes);
            // Ask and MSN clean blanks and line breaks away, AllTheWeb turns spaces into zeros:
            // what is left must still be a count.
            const EngineCountReading reading = readEngineCount(page, e + 1);
            if (reading.recognised)
                QVERIFY2(readsAsCount(reading.count) && e >= 3,
                         qPrintable(QString::number(e + 1) + ": " + reading.count));
            else
                QCOMPARE(ParseEngineData(page, e + 1), QString());
        }
    }

    void outcomes_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("reason");
        const QByteArray count = test::enginePage(0, "1,234");
        QTest::newRow("count") << 200 << count << 0 << "1234"
                               << "";
        QTest::newRow("no results")
            << 200 << QByteArray("<b>q</b> - did not match any documents.  <br><br>") << 0 << "0"
            << "";
        QTest::newRow("short body") << 200 << QByteArray("429") << 0 << ""
                                    << "page not recognised";
        QTest::newRow("429") << 429 << count << 0 << ""
                             << "blocked by the engine (HTTP status 429 Too Many Requests)";
        QTest::newRow("403") << 403 << QByteArray() << 0 << ""
                             << "blocked by the engine (HTTP status 403 Forbidden)";
        QTest::newRow("404 with the marker") << 404 << count << 0 << ""
                                             << "HTTP status 404 Not Found";
        QTest::newRow("captcha") << 200 << QByteArray("<p>Please solve this CAPTCHA</p>") << 0 << ""
                                 << "blocked by the engine (captcha page)";
        QTest::newRow("unusual traffic")
            << 200 << QByteArray("Our systems have detected Unusual Traffic") << 0 << ""
            << "blocked by the engine (unusual traffic page)";
        QTest::newRow("consent") << 200 << QByteArray("<h1>Before you continue</h1>") << 0 << ""
                                 << "blocked by the engine (consent page)";
        QTest::newRow("refused") << 0 << QByteArray() << int(FetchError::ConnectionRefused) << ""
                                 << "could not connect: connection refused";
        QTest::newRow("too large") << 200 << count << int(FetchError::TooLarge) << ""
                                   << "page larger than 32 MiB";
    }
    void outcomes() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, error);
        QFETCH(QString, count);
        QFETCH(QString, reason);
        FetchResult fetch;
        fetch.status = status;
        fetch.body = body;
        fetch.error = FetchError(error);
        if (error == int(FetchError::ConnectionRefused))
            fetch.errorText = "connection refused";
        if (error == int(FetchError::TooLarge))
            fetch.errorText = "page larger than 32 MiB";
        const EngineOutcome outcome = engineOutcome(fetch, 1);
        QCOMPARE(outcome.count, count);
        QCOMPARE(outcome.reason, reason);
        QCOMPARE(outcome.isCount(), reason.isEmpty());
    }

    void retryAfter_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<qint64>("ms"); // -1: no retry
        QTest::newRow("seconds") << 429 << QByteArray("5") << qint64(5000);
        QTest::newRow("503") << 503 << QByteArray(" 0 ") << qint64(0);
        QTest::newRow("at most a minute") << 429 << QByteArray("3600") << qint64(60000);
        QTest::newRow("date") << 429 << QByteArray("Sun, 06 Nov 2033 08:49:47 GMT")
                              << qint64(10000);
        QTest::newRow("past date")
            << 503 << QByteArray("Sun, 06 Nov 2033 08:49:00 GMT") << qint64(0);
        QTest::newRow("none") << 429 << QByteArray() << qint64(-1);
        QTest::newRow("bad") << 429 << QByteArray("soon") << qint64(-1);
        QTest::newRow("negative") << 429 << QByteArray("-5") << qint64(-1);
        QTest::newRow("other status") << 500 << QByteArray("5") << qint64(-1);
    }
    void retryAfter() {
        QFETCH(int, status);
        QFETCH(QByteArray, header);
        QFETCH(qint64, ms);
        FetchResult fetch;
        fetch.status = status;
        fetch.retryAfter = header;
        const QDateTime now(QDate(2033, 11, 6), QTime(8, 49, 37), Qt::UTC);
        QCOMPARE(retryAfterDelayMs(fetch, now).value_or(-1), ms);
    }

    void emptyPageAndOtherEngines() {
        // An unreachable page carries no count for any engine.
        for (int engine = 1; engine <= 6; ++engine)
            QCOMPARE(ParseEngineData(QString(), engine), QString());
        const QString count = page("google_count.html");
        QCOMPARE(ParseEngineData(count, 0), QString());
        QCOMPARE(ParseEngineData(count, 7), QString());
        QCOMPARE(ParseEngineData(count, -1), QString());
    }

    void googleRules() {
        // The length test: ten characters pass, eleven do not, even as a number.
        QCOMPARE(ParseEngineData("x</b> of about <b>1234567890</b> linking to y", 1),
                 QString("1234567890"));
        QCOMPARE(ParseEngineData("x</b> of about <b>12345678901</b> linking to y", 1), QString());
        QCOMPARE(ParseEngineData("x</b> of <b>77</b> linking to y", 1), QString("77"));
        // Only the exact phrase means "no results".
        QCOMPARE(ParseEngineData("<b>q</b> - did not match any documents.  <br><br>", 1),
                 QString("0"));
        QCOMPARE(ParseEngineData("<b>q</b> - did really not match any documents.  <br><br>", 1),
                 QString());
        // Cleaning is case-sensitive: "About <B>" stays and makes the text too long.
        QCOMPARE(ParseEngineData("x</b> of About <B>1,234</b> linking to y", 1), QString());
        // With two count passages the first wins.
        QCOMPARE(ParseEngineData("</b> of <b>5</b> linking to </b> of <b>6</b> linking to ", 1),
                 QString("5"));
    }

    void askRules() {
        QCOMPARE(ParseEngineData("Showing results 1-10 of \r\n 1,234 \r\n</td>", 4),
                 QString("1234"));
        // An empty, too long or non-numeric count text is no count.
        QCOMPARE(ParseEngineData("Showing results 1-10 of </td>", 4), QString());
        QCOMPARE(ParseEngineData("Showing results 1-10 of 123456789012</td>", 4), QString());
        QCOMPARE(ParseEngineData("Showing results 1-10 of many</td>", 4), QString());
    }

    void msnRules() {
        QCOMPARE(ParseEngineData("<h5>Page 1 of  1,234 results</h5>", 5), QString("1234"));
        QCOMPARE(ParseEngineData("<h5>Page 1 of many results</h5>", 5), QString());
        // "Page 1 of" is looked for without regard to case, but cut out with case: no marker.
        QCOMPARE(ParseEngineData("<h5>PAGE 1 OF 55 results</h5>", 5), QString());
        QCOMPARE(ParseEngineData("1-10 of 2.5 containing x", 5), QString("2.5"));
        // A number too long to be valid: empty unless the no-results phrase is there.
        QCOMPARE(ParseEngineData("Page 1 of 12345678901 results", 5), QString());
        QCOMPARE(ParseEngineData("Page 1 of 12345678901 results</td><td><span class=\"h1\">"
                                 "Sorry, no results were found containing <span class=\"h1 blue\">",
                                 5),
                 QString("0"));
    }

    void allTheWebRules() {
        QCOMPARE(ParseEngineData("<span class=\"ofSoMany\">12 345</span>", 6), QString("120345"));
        QCOMPARE(ParseEngineData("<span class='ofSoMany'>12</span>", 6), QString("12"));
        QCOMPARE(ParseEngineData("<div class=\"noResults\"><p>No Web pages\nfound that match your "
                                 "query.</p>",
                                 6),
                 QString("0"));
        // Only line feeds are taken out of the passage.
        QCOMPARE(
            ParseEngineData("<div class=\"noResults\"><p>No Web pages\r\nfound that match your "
                            "query.</p>",
                            6),
            QString());
        QCOMPARE(ParseEngineData("<div class=\"noResults\"><p>No Web pages found that match your "
                                 "query.</p>",
                                 6),
                 QString());
    }

    void yahooAndAltaVistaRules() {
        QCOMPARE(ParseEngineData("of about 9 for <strong>x", 3), QString("9"));
        // Yahoo! turns the page's double quotes into single ones before cutting: no number.
        QCOMPARE(ParseEngineData("of about \"9\" for <strong>x", 3), QString());
        QCOMPARE(ParseEngineData("AltaVista found 3 results</A>", 2), QString("3"));
        QCOMPARE(ParseEngineData("AltaVista found 3 results</a>", 2), QString());
    }

    void multiByteBytesStayOneToOne() {
        // A UTF-8 page read byte for byte: the ASCII markers and the count survive.
        const QByteArray bytes = "\xc3\xa9t\xc3\xa9 </b> of <b>42</b> linking to \xe2\x82\xac";
        QCOMPARE(ParseEngineData(QString::fromLatin1(bytes), 1), QString("42"));
    }

    void urlEncode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("percent once") << "%20"
                                      << "%2520";
        QTest::newRow("full address")
            << "http://www.site.example/~me/a b?x=1&y=2#top"
            << "http%3A%2F%2Fwww.site.example%2F%7Eme%2Fa%20b%3Fx%3D1%26y%3D2%23top";
        QTest::newRow("left alone") << "a-b_c.d!e*f'g(h)i,j+k\"l"
                                    << "a-b_c.d!e*f'g(h)i,j+k\"l";
        QTest::newRow("every table entry")
            << QString::fromLatin1("<>#{}|\\^~$[]`;/?:@=&\n\r")
            << "%3C%3E%23%7B%7D%7C%5C%5E%7E%24%5B%5D%60%3B%2F%3F%3A%40%3D%26%0A%0D";
        QTest::newRow("non-ASCII unchanged")
            << QString::fromUtf8("café €") << QString::fromUtf8("café%20€");
        QTest::newRow("tab unchanged") << "a\tb"
                                       << "a\tb";
        QTest::newRow("empty") << ""
                               << "";
    }
    void urlEncode() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(xurlEncode::URLEncode(text), expected);
    }
};

TALLY_GUILESS_TEST_MAIN(TestEngineParser)
#include "tst_engine_parser.moc"
