// A page's charset and its text: the Content-Type's charset, else a byte order mark, else a meta
// tag in the first 4 KB, else UTF-8 when valid, else Windows-1252; and counts read with a marker
// beyond ASCII out of pages in each.
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"
#include "core/scan/page_text.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QTest>

using namespace tally;

class TestPageText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void charsets_data() {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QString>("text");
        const QString umlaut = QStringLiteral("Ungef\u00e4hr");
        QTest::newRow("header utf-8")
            << QByteArray("text/html; charset=utf-8") << QByteArray("Ungef\xc3\xa4hr")
            << QByteArray("UTF-8") << umlaut;
        QTest::newRow("header quoted windows-1252")
            << QByteArray("text/html; charset=\"Windows-1252\"") << QByteArray("\x93q\x94 \x80")
            << QByteArray("windows-1252") << QStringLiteral("\u201cq\u201d \u20ac");
        QTest::newRow("header iso-8859-1 read as windows-1252")
            << QByteArray("text/html;charset=ISO-8859-1") << QByteArray("\x80\xe4")
            << QByteArray("windows-1252") << QStringLiteral("\u20ac\u00e4");
        QTest::newRow("header over meta")
            << QByteArray("text/html; charset=utf-8")
            << QByteArray("<meta charset=windows-1252>\xc3\xa4") << QByteArray("UTF-8")
            << QStringLiteral("<meta charset=windows-1252>\u00e4");
        QTest::newRow("unknown header charset passed over")
            << QByteArray("text/html; charset=x-nonsense") << QByteArray("Ungef\xc3\xa4hr")
            << QByteArray("UTF-8") << umlaut;
        QTest::newRow("utf-8 BOM") << QByteArray("text/html") << QByteArray("\xef\xbb\xbf\xc3\xa4")
                                   << QByteArray("UTF-8") << QStringLiteral("\u00e4");
        QTest::newRow("utf-16le BOM") << QByteArray()
                                      << QByteArray("\xff\xfe"
                                                    "a\0\xe4\0",
                                                    6)
                                      << QByteArray("UTF-16LE") << QStringLiteral("a\u00e4");
        QTest::newRow("meta charset")
            << QByteArray("text/html")
            << QByteArray("<html><head><meta charset=\"windows-1252\" /></head>\xc3\xa4")
            << QByteArray("windows-1252")
            << QStringLiteral("<html><head><meta charset=\"windows-1252\" /></head>\u00c3\u00a4");
        QTest::newRow("meta http-equiv")
            << QByteArray()
            << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                          "charset=Shift_JIS\">\x82\xa0")
            << QByteArray("Shift_JIS")
            << QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                              "charset=Shift_JIS\">\u3042");
        QTest::newRow("meta beyond 4 KB ignored")
            << QByteArray() << QByteArray(4096, ' ') + "<meta charset=shift_jis>\x82\xa0"
            << QByteArray("windows-1252")
            << QString(4096, QLatin1Char(' ')) +
                   QStringLiteral("<meta charset=shift_jis>\u201a\u00a0");
        QTest::newRow("valid utf-8") << QByteArray() << QByteArray("caf\xc3\xa9")
                                     << QByteArray("UTF-8") << QStringLiteral("caf\u00e9");
        QTest::newRow("invalid utf-8: windows-1252")
            << QByteArray("text/plain") << QByteArray("caf\xe9 \x80") << QByteArray("windows-1252")
            << QStringLiteral("caf\u00e9 \u20ac");
        QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray("UTF-8") << QString();
    }
    void charsets() {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, charset);
        QFETCH(QString, text);
        QCOMPARE(pageCharset(body, contentType), charset);
        QCOMPARE(pageText(body, contentType), text);
    }

    // A slot whose marker is not ASCII (written in engines.ini, which is UTF-8) reads its count
    // out of a page in whatever charset the page is in; a label that does not fit the bytes
    // is followed, and the marker is then not found.
    void nonAsciiMarker_data() {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("shown");
        QTest::newRow("utf-8, labelled")
            << QByteArray("text/html; charset=UTF-8")
            << QByteArray("<p>Ungef\xc3\xa4hr 1,234 Treffer</p>") << "1234";
        QTest::newRow("utf-8, no label")
            << QByteArray("text/html") << QByteArray("<p>Ungef\xc3\xa4hr 1,234 Treffer</p>")
            << "1234";
        QTest::newRow("windows-1252, labelled")
            << QByteArray("text/html; charset=windows-1252")
            << QByteArray("<p>Ungef\xe4hr 5,678 Treffer</p>") << "5678";
        QTest::newRow("windows-1252, no label")
            << QByteArray() << QByteArray("<p>Ungef\xe4hr 5,678 Treffer</p>") << "5678";
        QTest::newRow("meta charset")
            << QByteArray("text/html")
            << QByteArray("<meta http-equiv=\"content-type\" content=\"text/html; "
                          "charset=iso-8859-1\"><p>Ungef\xe4hr 42 Treffer</p>")
            << "42";
        QTest::newRow("utf-8 bytes labelled windows-1252")
            << QByteArray("text/html; charset=windows-1252")
            << QByteArray("<p>Ungef\xc3\xa4hr 1,234 Treffer</p>") << "fails: page not recognised";
    }
    void nonAsciiMarker() {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(QString, shown);
        test::TestEnv env(false);
        env.writeFile(EnginesIniName, "[Google]\nCountBefore=\"Ungef\xc3\xa4hr \"\n"
                                      "CountAfter=\" Treffer\"\n");
        const EngineSet engines = loadEngines(env.file(EnginesIniName));
        FetchResult fetch;
        fetch.status = 200;
        fetch.contentType = contentType;
        fetch.body = body;
        const EngineOutcome outcome = engineOutcome(fetch, engines.definitions[0]);
        QCOMPARE(outcome.isCount() ? outcome.count : "fails: " + outcome.reason, shown);
    }
};

TALLY_GUILESS_TEST_MAIN(TestPageText)
#include "tst_page_text.moc"
