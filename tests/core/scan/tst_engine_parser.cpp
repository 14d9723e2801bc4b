// Count extraction from engine pages, the number rule of the totals, and query encoding.
#include "core/scan/engine_parser.h"
#include "core/scan/url_encode.h"
#include "support/test_env.h"

#include <QTest>

#include <limits>

using namespace tally;

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
            {"yahoo", 3, "5,678", "0", ""},  {"ask", 4, "4321", "0", "0"},
            {"msn", 5, "2468", "0", "0"},    {"alltheweb", 6, "98,765", "0", ""},
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
    }

    void emptyPageAndOtherEngines() {
        // An unreachable page: empty for most, "0" for Ask and MSN.
        const QString expected[] = {"", "", "", "0", "0", ""};
        for (int engine = 1; engine <= 6; ++engine)
            QCOMPARE(ParseEngineData(QString(), engine), expected[engine - 1]);
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
        QCOMPARE(ParseEngineData("Showing results 1-10 of </td>", 4), QString("0"));
        QCOMPARE(ParseEngineData("Showing results 1-10 of 123456789012</td>", 4), QString("0"));
        // Not a number, but short: Ask keeps the text.
        QCOMPARE(ParseEngineData("Showing results 1-10 of many</td>", 4), QString("many"));
    }

    void msnRules() {
        QCOMPARE(ParseEngineData("<h5>Page 1 of  1,234 results</h5>", 5), QString("1234"));
        QCOMPARE(ParseEngineData("<h5>Page 1 of many results</h5>", 5), QString("0"));
        // "Page 1 of" is looked for without regard to case, but cut out with case.
        QCOMPARE(ParseEngineData("<h5>PAGE 1 OF 55 results</h5>", 5), QString("0"));
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
        // Yahoo! turns the page's double quotes into single ones before cutting.
        QCOMPARE(ParseEngineData("of about \"9\" for <strong>x", 3), QString("'9'"));
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

QTEST_GUILESS_MAIN(TestEngineParser)
#include "tst_engine_parser.moc"
