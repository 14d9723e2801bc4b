// The address behind each row of the web-results list.
#include "core/scan/engine_request.h"
#include "core/scan/url_encode.h"
#include "core/settings/user_settings.h"
#include "core/webview/web_results.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QtTest>

using namespace tally;

class TestWebResults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowTextsMapToKeys();
    void homePageIsTheUrlUnchanged();
    void engineRowIsPrefixAndEncodedUrl_data();
    void engineRowIsPrefixAndEncodedUrl();
    void definedSlotOpensWhatItFetches_data();
    void definedSlotOpensWhatItFetches();
    void unknownRowTextOpensNothing();
    void missingFileOrKeyGivesEncodedUrlAlone();
    void prefixIsReadAnewEachTime();
    void onlyWebAddressesOpen_data();
    void onlyWebAddressesOpen();
};

void TestWebResults::rowTextsMapToKeys() {
    QCOMPARE(engineKeyForRowText("Google"), QString("Google"));
    QCOMPARE(engineKeyForRowText("AltaVista"), QString("Altavista"));
    QCOMPARE(engineKeyForRowText("Yahoo"), QString("Yahoo"));
    QCOMPARE(engineKeyForRowText("Ask"), QString("Ask"));
    QCOMPARE(engineKeyForRowText("MSN"), QString("MSN"));
    QCOMPARE(engineKeyForRowText("AllTheWeb"), QString("ATW"));
    // Exact comparison: the keys themselves and other spellings are no row texts.
    QVERIFY(engineKeyForRowText("Altavista").isEmpty());
    QVERIFY(engineKeyForRowText("ATW").isEmpty());
    QVERIFY(engineKeyForRowText("google").isEmpty());
    QVERIFY(engineKeyForRowText("Google ").isEmpty());
    QVERIFY(engineKeyForRowText("Home Page").isEmpty());
}

void TestWebResults::homePageIsTheUrlUnchanged() {
    test::TestEnv env;
    const QString url = "http://www.site.example/a b?x=1&y=%20";
    QCOMPARE(webResultAddress("Home Page", url, env.file("settings.ini")), url);
    QCOMPARE(webResultAddress("Home Page", "site.example", env.file("settings.ini")),
             QString("site.example"));
}

void TestWebResults::engineRowIsPrefixAndEncodedUrl_data() {
    QTest::addColumn<QString>("rowText");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("Google") << "Google"
                            << "http://g.example/search?q=link:";
    QTest::newRow("AltaVista") << "AltaVista"
                               << "http://av.example/r?q=link:";
    QTest::newRow("Yahoo") << "Yahoo"
                           << "http://y.example/s?p=link:";
    QTest::newRow("Ask") << "Ask"
                         << "http://ask.example/web?q=links:";
    QTest::newRow("MSN") << "MSN"
                         << "http://msn.example/results.aspx?q=link:";
    QTest::newRow("AllTheWeb") << "AllTheWeb"
                               << "http://atw.example/search?q=link:";
}

void TestWebResults::engineRowIsPrefixAndEncodedUrl() {
    QFETCH(QString, rowText);
    QFETCH(QString, prefix);
    test::TestEnv env(false);
    // Every engine its own prefix, so that a wrong key shows.
    env.writeFile("settings.ini", "[Engines]\r\n"
                                  "Google=http://g.example/search?q=link:\r\n"
                                  "Altavista=http://av.example/r?q=link:\r\n"
                                  "Yahoo=http://y.example/s?p=link:\r\n"
                                  "Ask=http://ask.example/web?q=links:\r\n"
                                  "MSN=http://msn.example/results.aspx?q=link:\r\n"
                                  "ATW=http://atw.example/search?q=link:\r\n");
    const QString url = "http://www.site.example/~me/page?a=1&b=2";
    const std::optional<QString> address = webResultAddress(rowText, url, env.file("settings.ini"));
    QVERIFY(address);
    QCOMPARE(*address, prefix + "http%3A%2F%2Fwww.site.example%2F%7Eme%2Fpage%3Fa%3D1%26b%3D2");
    QCOMPARE(*address, prefix + xurlEncode::URLEncode(url));
}

// A slot that engines.ini defines opens exactly the address its request fetched (keys masked);
// Target=encoded-url encodes the URL as {encoded-url} does.
void TestWebResults::definedSlotOpensWhatItFetches_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QString>("address"); // empty: what buildEngineRequest shows
    QTest::newRow("web page, its own address")
        << QByteArray("Address=http://w.example/find?site={encoded-url}&n=1\r\n"
                      "CountBefore=About \r\nCountAfter= results")
        << "http://w.example/"
           "find?site=http%3A%2F%2Fa.example%2Fx%3Fq%3Da%2Bb%28c%29%2C%27d%27%21%C3%BC&n=1";
    QTest::newRow("web page, Target=encoded-url and a suffix")
        << QByteArray("Target=encoded-url\r\nSuffix=&n=1\r\nCountBefore=About ")
        << "http://g.example/"
           "search?q=http%3A%2F%2Fa.example%2Fx%3Fq%3Da%2Bb%28c%29%2C%27d%27%21%C3%BC&n=1";
    QTest::newRow("API with a key")
        << QByteArray("Kind=json\r\nAddress=http://api.example/v1?t={domain}&k={key}\r\n"
                      "KeyName=apikey\r\nPointer=/n")
        << "";
}

void TestWebResults::definedSlotOpensWhatItFetches() {
    QFETCH(QByteArray, section);
    QFETCH(QString, address);
    test::TestEnv env(false);
    env.writeFile("settings.ini", "[Engines]\r\nGoogle=http://g.example/search?q=\r\n");
    env.writeFile("engines.ini", "[Google]\r\nCaption=Mine\r\n" + section + "\r\n");
    UserSettings::setApiKey("apikey", "SECRET-1");
    const QString url = "http://a.example/x?q=a+b(c),'d'!ü";
    const EngineSet set = loadEngines(env.file("engines.ini"));
    QVERIFY2(set.definitions[0].usable(), qPrintable(set.definitions[0].failureReason()));
    const RequestBuild build = buildEngineRequest(
        set.definitions[0], "http://g.example/search?q=", url, QDateTime::currentDateTime());
    QVERIFY(build.request);
    const std::optional<QString> opened = webResultAddress("Mine", url, env.file("settings.ini"));
    QVERIFY(opened);
    QCOMPARE(*opened, build.request->shownUrl);
    QVERIFY(!opened->contains("SECRET-1"));
    if (!address.isEmpty())
        QCOMPARE(*opened, address);
}

void TestWebResults::unknownRowTextOpensNothing() {
    test::TestEnv env;
    for (const QString& text : QStringList{"", "home page", "Altavista", "ATW", "Bing", "Google2"})
        QVERIFY2(!webResultAddress(text, "http://a.example/", env.file("settings.ini")),
                 qPrintable(text));
}

void TestWebResults::missingFileOrKeyGivesEncodedUrlAlone() {
    test::TestEnv env(false);
    const QString ini = env.file("settings.ini");
    QCOMPARE(webResultAddress("MSN", "http://a.example/", ini),
             QString("http%3A%2F%2Fa.example%2F"));
    env.writeFile("settings.ini", "[Engines]\r\nGoogle=http://g.example/?q=\r\n");
    QCOMPARE(webResultAddress("AllTheWeb", "a.example", ini), QString("a.example"));
    QCOMPARE(webResultAddress("Google", "a.example", ini),
             QString("http://g.example/?q=a.example"));
}

void TestWebResults::prefixIsReadAnewEachTime() {
    test::TestEnv env(false);
    const QString ini = env.file("settings.ini");
    env.writeFile("settings.ini", "[Engines]\r\nAsk=http://one.example/?q=\r\n");
    QCOMPARE(webResultAddress("Ask", "x", ini), QString("http://one.example/?q=x"));
    env.writeFile("settings.ini", "[Engines]\r\nAsk=http://two.example/?q=\r\n");
    QCOMPARE(webResultAddress("Ask", "x", ini), QString("http://two.example/?q=x"));
}

// What the program's own data may open in the browser: http and https only.
void TestWebResults::onlyWebAddressesOpen_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opens"); // empty: refused
    QTest::newRow("http") << "http://www.site.example/a?b=1"
                          << "http://www.site.example/a?b=1";
    QTest::newRow("https") << "https://site.example/"
                           << "https://site.example/";
    QTest::newRow("capital scheme") << "HTTP://Site.Example/"
                                    << "http://site.example/";
    QTest::newRow("bare host") << "www.site.example"
                               << "http://www.site.example";
    QTest::newRow("file") << "file:///etc/passwd"
                          << "";
    QTest::newRow("local path") << "/etc/passwd"
                                << "";
    QTest::newRow("javascript") << "javascript:alert(document.cookie)"
                                << "";
    QTest::newRow("data") << "data:text/html,<b>x</b>"
                          << "";
    QTest::newRow("ftp") << "ftp://files.example/x"
                         << "";
    QTest::newRow("view-source") << "view-source:http://site.example/"
                                 << "";
    QTest::newRow("scheme alone") << "http:"
                                  << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestWebResults::onlyWebAddressesOpen() {
    QFETCH(QString, address);
    QFETCH(QString, opens);
    const std::optional<QUrl> url = webAddressFor(address);
    QCOMPARE(url.has_value(), !opens.isEmpty());
    if (url)
        QCOMPARE(url->toString(), opens);
}

TALLY_GUILESS_TEST_MAIN(TestWebResults)
#include "tst_web_results.moc"
