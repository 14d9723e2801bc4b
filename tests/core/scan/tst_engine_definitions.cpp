// The engine slots as data: the built-in six, what engines.ini changes, the reasons of broken
// definitions, JSON pointers, JSON replies, and the captions everything else follows.
#include "core/linkgraph/graph_import.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"
#include "core/scan/engine_presets.h"
#include "core/scan/engine_request.h"
#include "core/scan/json_pointer.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "core/webview/web_results.h"
#include "support/engine_pages.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace tally;

namespace {

EngineSet enginesOf(const test::TestEnv& env, const QByteArray& ini) {
    env.writeFile(EnginesIniName, ini);
    return loadEngines(env.file(EnginesIniName));
}

EngineOutcome outcomeOf(const EngineDefinition& engine, const QByteArray& body, int status = 200) {
    FetchResult fetch;
    fetch.status = status;
    fetch.body = body;
    return engineOutcome(fetch, engine);
}

// The test graph's index in the program folder as cc.links, made from the files `made` names
// ("edges", "ranks" or both).
void importFixture(const test::TestEnv& env, const QString& made) {
    const QString fixture = test::dataFile("graph/cc-main-2099-jan-feb-mar-domain-");
    GraphImportOptions options;
    options.verticesFile = fixture + "vertices.txt.gz";
    if (made.contains("edges"))
        options.edgesFile = fixture + "edges.txt.gz";
    if (made.contains("ranks"))
        options.ranksFile = fixture + "ranks.txt.gz";
    options.outFile = env.file("cc.links");
    const GraphImportReport report = importGraph(options);
    QVERIFY2(report.ok, qPrintable(report.error));
}

// A count, or "fails: <reason>".
QString shown(const EngineOutcome& outcome) {
    return outcome.isCount() ? outcome.count : QStringLiteral("fails: ") + outcome.reason;
}

} // namespace

class TestEngineDefinitions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void untouchedInstallationIsTheEngineTable() {
        test::TestEnv env;
        // No file, and a file of comments only: the six built-in engines, exactly.
        for (const EngineSet& set :
             {loadEngines(env.file(EnginesIniName)),
              enginesOf(env, "; nothing changed\r\n# here either\n[Google]\r\n")}) {
            QVERIFY(set.fileProblems.isEmpty());
            for (int e = 0; e < EngineCount; ++e) {
                const EngineDefinition& d = set.definitions[e];
                const EngineInfo& info = engineTable()[e];
                QVERIFY2(d.usable(), qPrintable(d.problem));
                QCOMPARE(d.kind, EngineKind::Markers);
                QCOMPARE(d.caption, QLatin1String(info.caption));
                QCOMPARE(d.rowText, QLatin1String(info.webRowText));
                QCOMPARE(d.statusSuffix, QLatin1String(info.statusSuffix));
                QCOMPARE(d.querySuffix, QLatin1String(info.querySuffix));
                QVERIFY(d.markers == builtInMarkerRule(info.intEngine));
                QCOMPARE(*d.queryTarget("a b"), QString("a b"));
            }
        }
    }

    // One slot's markers changed, quoted values with their escapes; the others stay built-in.
    void markersOverridden() {
        test::TestEnv env;
        const EngineSet set = enginesOf(env, "[google]\r\n"
                                             "  countbefore = \"Results: \"\r\n"
                                             "CountAfter=\" links\\r\\n\"\n"
                                             "Remove1=\".\"\n"
                                             "MaxLength=13\n"
                                             "NoResultsBefore=<p>\nNoResultsAfter=</p>\n"
                                             "NoResultsPhrase=\"Nothing \\\"here\\\"\"\n");
        const EngineDefinition& google = set.definitions[0];
        QVERIFY2(google.usable(), qPrintable(google.problem));
        QCOMPARE(google.markers.remove, QStringList{"."});
        QCOMPARE(shown(outcomeOf(google, "<b>Results: 1.234.567.890 links\r\n")),
                 QString("1234567890"));
        QCOMPARE(shown(outcomeOf(google, "<p>Nothing \"here\"</p>")), QString("0"));
        QCOMPARE(shown(outcomeOf(google, test::enginePage(0, "77"))),
                 QString("fails: page not recognised"));
        for (int e = 1; e < EngineCount; ++e)
            QCOMPARE(shown(outcomeOf(set.definitions[e], test::enginePage(e, "1,234"))),
                     QString("1234"));
    }

    void brokenDefinitions_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("problem");
        QTest::newRow("unknown kind")
            << QByteArray("[Ask]\nKind=jsn\n") << 3
            << "unknown kind \"jsn\" (markers, json, table, graph or off)";
        QTest::newRow("unknown setting")
            << QByteArray("[MSN]\nCountBefor=x\n") << 4 << "unknown setting \"CountBefor\"";
        QTest::newRow("no equals sign")
            << QByteArray("[MSN]\nKind json\n") << 4 << "the line \"Kind json\" has no \"=\"";
        QTest::newRow("no count marker") << QByteArray("[Yahoo]\nCountBefore=\"\"\n") << 2
                                         << "CountBefore is empty: nothing marks the count";
        QTest::newRow("bad number") << QByteArray("[ATW]\nMaxLength=0\n") << 5
                                    << "MaxLength must be a whole number from 1 to 100, not \"0\"";
        QTest::newRow("bad yes/no") << QByteArray("[ATW]\nSingleQuotes=maybe\n") << 5
                                    << "SingleQuotes takes yes or no, not \"maybe\"";
        QTest::newRow("no pointer") << QByteArray("[MSN]\nKind=json\n") << 4
                                    << "no Pointer (the count's place in the reply, such as "
                                       "/data/count)";
        QTest::newRow("pointer without slash")
            << QByteArray("[MSN]\nKind=json\nPointer=count\n") << 4
            << "invalid JSON pointer \"count\": it does not start with \"/\"";
        QTest::newRow("pointer with bad escape")
            << QByteArray("[MSN]\nKind=json\nPointer=/a~2b\n") << 4
            << "invalid JSON pointer \"/a~2b\": \"~\" must be followed by 0 or 1";
        QTest::newRow("header without colon")
            << QByteArray("[MSN]\nKind=json\nPointer=/n\nHeader1=API-Key\n") << 4
            << "Header1 \"API-Key\" is not \"Name: value\"";
        QTest::newRow("header the request sets")
            << QByteArray("[MSN]\nKind=json\nPointer=/n\nHeader2=Host: elsewhere\n") << 4
            << "Header2 sets Host, which the request sets itself";
        QTest::newRow("missing key")
            << QByteArray("[MSN]\nKind=json\nPointer=/n\nHeader1=API-Key: {key}\nKeyName=opr\n")
            << 4 << "no API key: give opr a value in section Keys of ";
        QTest::newRow("unknown target") << QByteArray("[MSN]\nKind=json\nPointer=\nTarget=site\n")
                                        << 4 << "unknown Target \"site\"";
        QTest::newRow("no index") << QByteArray("[ATW]\nKind=graph\n") << 5
                                  << "no Index, and no link index with linking-domains in ";
        QTest::newRow("missing index") << QByteArray("[ATW]\nKind=graph\nIndex=missing.links\n")
                                       << 5 << "link index: there is no file ";
        QTest::newRow("not an index") << QByteArray("[ATW]\nKind=graph\nIndex=engines.ini\n") << 5
                                      << "is not a link index made by tallyscope-graph";
        QTest::newRow("caption of another slot")
            << QByteArray("[MSN]\nCaption=google\n") << 4 << "Caption \"google\" is another slot's";
        QTest::newRow("caption twice") << QByteArray("[MSN]\nCaption=Links\n[ATW]\nCaption=LINKS\n")
                                       << 5 << "Caption \"LINKS\" is another slot's";
        QTest::newRow("caption a saved search cannot keep")
            << QByteArray("[MSN]\nCaption=a:b\n") << 4 << "Caption \"a:b\" holds \":\"";
        QTest::newRow("caption of a column") << QByteArray("[MSN]\nCaption=total\n") << 4
                                             << "Caption \"total\" is the name of another column";
    }
    void brokenDefinitions() {
        QFETCH(QByteArray, ini);
        QFETCH(int, slot);
        QFETCH(QString, problem);
        test::TestEnv env;
        const EngineSet set = enginesOf(env, ini);
        const EngineDefinition& broken = set.definitions[slot];
        QVERIFY2(broken.problem.contains(problem), qPrintable(broken.problem));
        // Its caption stays the built-in one; every other slot works (one caption given to two
        // slots fails both).
        QCOMPARE(broken.caption, QLatin1String(engineTable()[slot].caption));
        const bool twice = QTest::currentDataTag() == QByteArray("caption twice");
        for (const EngineDefinition& d : set.definitions)
            QCOMPARE(d.usable(), d.slot != slot && !(twice && d.slot == 4));
        // The request is not made: the cell fails with the definition's reason.
        const EngineOutcome outcome = outcomeOf(broken, test::enginePage(slot, "5"));
        QCOMPARE(outcome.failure, FailureKind::Definition);
        QCOMPARE(outcome.reason, "engine definition: " + broken.problem);
        const QStringList lines = set.describe();
        QVERIFY(lines.at(slot + 1).endsWith(": engine definition: " + broken.problem));
    }

    // A key that cannot be read is not a key that is missing: giving it a value would not help.
    void anUnreadableStoreIsNotAMissingKey() {
        test::TestEnv env;
        QVERIFY(UserSettings::setApiKey("opr", "secret").ok());
        const QByteArray ini =
            "[MSN]\nKind=json\nPointer=/n\nHeader1=API-Key: {key}\nKeyName=opr\n";
        QVERIFY(enginesOf(env, ini).definitions[4].usable());
        QFile::remove(env.storeFile());
        QVERIFY(QDir().mkpath(env.storeFile()));
        const QString problem = enginesOf(env, ini).definitions[4].problem;
        QCOMPARE(problem, "the API key opr cannot be read: the settings in " + env.storeFile() +
                              " cannot be read (It is a folder)");
    }

    void fileProblems() {
        test::TestEnv env;
        EngineSet set = enginesOf(env, "[Gogle]\nCaption=x\n[MSN]\nCaption=M\n");
        QCOMPARE(set.fileProblems, QStringList{"the section [Gogle] is no slot's (Google, "
                                               "Altavista, Yahoo, Ask, MSN or ATW)"});
        QCOMPARE(set.describe().last(), "engines.ini: " + set.fileProblems.first());
        // A file that cannot be read fails every slot rather than silently using the built-ins.
        QFile::remove(env.file(EnginesIniName));
        QDir(env.path()).mkdir(EnginesIniName);
        set = loadEngines(env.file(EnginesIniName));
        for (const EngineDefinition& d : set.definitions)
            QVERIFY2(d.problem.startsWith("engines.ini cannot be read: "), qPrintable(d.problem));
    }

    // A caption of its own names the slot everywhere; saved searches take it as a section.
    void captionsFollow() {
        test::TestEnv env;
        const EngineSet set = enginesOf(env, "[ATW]\nCaption=Backlinks API\n");
        const EngineDefinition& atw = set.definitions[5];
        QVERIFY(atw.usable());
        QCOMPARE(atw.caption, QString("Backlinks API"));
        QCOMPARE(atw.rowText, QString("Backlinks API"));
        QCOMPARE(atw.statusSuffix, QString(" on Backlinks API"));
        QCOMPARE(engineKeyForRowText("Backlinks API", set), QString("ATW"));
        QVERIFY(engineKeyForRowText("AllTheWeb", set).isEmpty());
        QCOMPARE(programEngines().captions().last(), QString("Backlinks API"));
        // A history saved under the old caption keeps its section; the new caption starts one.
        const QString file = env.file("Saved/site.vqz");
        env.writeFile("Saved/site.vqz", "\r\n[Google]\r\n12-01-26=5\r\n\r\n[All The "
                                        "Web]\r\n12-01-26=9\r\n");
        QCOMPARE(saveSearchRow({{"Google", "6"}, {"Backlinks API", "40"}}, file, SaveMode::Append,
                               QDate(2026, 12, 8)),
                 SaveResult::Saved);
        QCOMPARE(modINI::ListIniSections(file),
                 (QStringList{"Google", "All The Web", "Backlinks API"}));
        QCOMPARE(readEngineHistory("All The Web", file).size(), 1);
        QCOMPARE(readEngineHistory("Backlinks API", file).first().count, 40);
    }

    void jsonPointer_data() {
        QTest::addColumn<QString>("pointer");
        QTest::addColumn<QString>("value"); // compact JSON, or "-" for nothing
        const auto add = [](const char* pointer, const char* value) {
            QTest::newRow(*pointer ? pointer : "(whole)") << pointer << value;
        };
        add("", "WHOLE");
        add("/foo", "[\"bar\",\"baz\"]");
        add("/foo/0", "\"bar\"");
        add("/", "0");
        add("/a~1b", "1");
        add("/c%d", "2");
        add("/m~0n", "8");
        add("/ ", "7");
        add("/k\"l", "6");
        add("/n/0/count", "1234");
        add("/foo/2", "-");
        add("/foo/01", "-");
        add("/foo/-", "-");
        add("/foo/0/x", "-");
        add("/missing", "-");
        add("/~1", "-");
    }
    void jsonPointer() {
        QFETCH(QString, pointer);
        QFETCH(QString, value);
        const QByteArray document =
            "{\"foo\":[\"bar\",\"baz\"],\"\":0,\"a/b\":1,\"c%d\":2,\"e^f\":3,\"g|h\":4,"
            "            \"i\\\\j\":5,\"k\\\"l\":6,\" \":7,\"m~n\":8,\"n\":[{\"count\":1234}]}";
        const std::optional<QJsonValue> root = parseJsonDocument(document);
        QVERIFY(root);
        const std::optional<JsonPointer> parsed = JsonPointer::parse(pointer);
        QVERIFY(parsed);
        const std::optional<QJsonValue> found = parsed->find(*root);
        QString text = QStringLiteral("-");
        if (found)
            text = found->isObject() && found->toObject().size() == 11
                       ? QStringLiteral("WHOLE")
                       : QString::fromUtf8(
                             QJsonDocument(QJsonArray{*found}).toJson(QJsonDocument::Compact))
                             .mid(1)
                             .chopped(1);
        QCOMPARE(text, value);
    }

    // Replies in the shape of the README's example: {"status": "ok", "results": [{"domain": ...,
    // "referring_domains": <count>, "backlinks": ...}]}.
    void jsonReplies_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("shown");
        const auto reply = [](const char* value) {
            return QByteArray("{\"status\": \"ok\", \"results\": [{\"domain\": \"example.com\", "
                              "\"referring_domains\": ") +
                   value + ", \"backlinks\": 98765}]}";
        };
        const QString notRecognised = "fails: page not recognised: ";
        const QString atPointer = notRecognised + "the value at /results/0/referring_domains is ";
        QTest::newRow("count") << reply("1234") << 200 << "1234";
        QTest::newRow("zero") << reply("0") << 200 << "0";
        QTest::newRow("largest exact") << reply("9007199254740992") << 200 << "9007199254740992";
        QTest::newRow("largest count")
            << reply("9223372036854775807") << 200 << "9223372036854775807";
        QTest::newRow("whole written as a fraction") << reply("12.0") << 200 << "12";
        QTest::newRow("missing pointer")
            << QByteArray("{\"status\": \"ok\", \"results\": []}") << 200
            << notRecognised + "nothing at /results/0/referring_domains";
        QTest::newRow("a string") << reply("\"1234\"") << 200
                                  << atPointer + "a string (\u201c1234\u201d), not a count";
        QTest::newRow("null") << reply("null") << 200 << atPointer + "JSON null, not a count";
        QTest::newRow("true") << reply("true") << 200 << atPointer + "true, not a count";
        QTest::newRow("object") << reply("{}") << 200 << atPointer + "an object, not a count";
        QTest::newRow("fraction") << reply("2.5") << 200
                                  << atPointer + "a decimal (2.5), not a count";
        QTest::newRow("negative") << reply("-3") << 200
                                  << atPointer + "a negative number (-3), not a count";
        QTest::newRow("past 64 bits")
            << reply("9223372036854775808") << 200
            << "fails: count too large (9223372036854775808 at /results/0/referring_domains)";
        QTest::newRow("far past 64 bits")
            << reply("1e30") << 200 << "fails: count too large (1e+30";
        QTest::newRow("not JSON") << QByteArray("<html>Error</html>") << 200
                                  << notRecognised + "not JSON (";
        QTest::newRow("two documents")
            << reply("1") + reply("2") << 200 << notRecognised + "not JSON (";
        QTest::newRow("empty") << QByteArray() << 200 << notRecognised + "not JSON (";
        QTest::newRow("401") << QByteArray("{\"error\": \"bad key\"}") << 401
                             << "fails: API key refused (HTTP status 401 Unauthorized): "
                                "\u201cbad key\u201d";
        QTest::newRow("403 without a word")
            << QByteArray() << 403 << "fails: HTTP status 403 Forbidden";
        QTest::newRow("429") << QByteArray() << 429
                             << "fails: rate limited (HTTP status 429 Too Many Requests)";
        QTest::newRow("500 with a count")
            << reply("1") << 500 << "fails: HTTP status 500 Internal Server Error";
    }
    void jsonReplies() {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, shown);
        test::TestEnv env;
        const EngineSet set =
            enginesOf(env, "[MSN]\nKind=json\nPointer=/results/0/referring_domains\n");
        QVERIFY(set.definitions[4].usable());
        const QString result = ::shown(outcomeOf(set.definitions[4], body, status));
        QVERIFY2(result.startsWith(shown), qPrintable(result));
    }

    // "{key}" comes from the per-user store, and the target is what the definition asks for.
    void jsonRequests() {
        test::TestEnv env;
        QVERIFY(UserSettings::setApiKey("opr", "s3cret"));
        const EngineSet set = enginesOf(env, "[MSN]\nKind=json\nPointer=/n\nTarget=domain\n"
                                             "KeyName=opr\nHeader1=API-OPR: {key}\n"
                                             "Header2=Accept: application/json\n");
        const EngineDefinition& msn = set.definitions[4];
        QVERIFY2(msn.usable(), qPrintable(msn.problem));
        QCOMPARE(msn.requestHeaders(), (PageFetcher::RequestHeaders{
                                           {"API-OPR", "s3cret"}, {"Accept", "application/json"}}));
        // Read once with the definitions: a run asks with the key it started with.
        QVERIFY(UserSettings::setApiKey("opr", "changed"));
        QCOMPARE(msn.requestHeaders().first().second, QByteArray("s3cret"));
        QCOMPARE(msn.storedKeys().value("opr"), QString("s3cret"));
        QCOMPARE(*msn.queryTarget("http://www.shop.example.co.uk/a"), QString("example.co.uk"));
        QCOMPARE(*msn.queryTarget("http://www.shop.someone.me.uk/"), QString("someone.me.uk"));
        QVERIFY(!msn.queryTarget("http://10.1.2.3/"));
        const QStringList lines = set.describe();
        QCOMPARE(lines.at(5), QString("MSN: \"MSN\", json, the count at /n, key opr: ready"));
        QCOMPARE(lines.at(1), QString("Google: \"Google\", the built-in search engine: it no "
                                      "longer reports link counts"));
    }

    // A slot given another kind, or a preset, keeps nothing of the engine it replaces.
    void redefinedSlotsStartFromNothing_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("slot");
        QTest::newRow("json in AllTheWeb's place")
            << QByteArray("[ATW]\nKind=json\nPointer=/n\n") << 5;
        QTest::newRow("table in Google's place")
            << QByteArray("[Google]\nKind=table\nColumn=n\n") << 0;
        QTest::newRow("a preset in AllTheWeb's place") << QByteArray("[ATW]\nPreset=ahrefs\n") << 5;
    }
    void redefinedSlotsStartFromNothing() {
        QFETCH(QByteArray, ini);
        QFETCH(int, slot);
        test::TestEnv env;
        QVERIFY(UserSettings::setApiKey("ahrefs", "tok"));
        const EngineDefinition d = enginesOf(env, ini).definitions[slot];
        QVERIFY2(d.usable(), qPrintable(d.problem));
        QVERIFY(!d.builtInEngine);
        QVERIFY(d.querySuffix.isEmpty());
        QVERIFY(d.markers == MarkerRule());
        const RequestBuild build =
            buildEngineRequest(d, "https://api.example.net/v1?u=", "http://www.example.com/",
                               QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
        QVERIFY(build.request);
        QVERIFY2(!build.request->url.contains("rys=0"), qPrintable(build.request->url));
    }

    // A slot that is off sends nothing, counts nothing and is no failure; a score is kept out of
    // the total and may hold a decimal.
    void slotsTheUserControls() {
        test::TestEnv env;
        const EngineSet set = enginesOf(env, "[MSN]\nKind=off\nCaption=Nothing here\n"
                                             "[Ask]\nKind=json\nPointer=/rank\nInTotal=no\n");
        const EngineDefinition& off = set.definitions[4];
        QVERIFY(off.usable());
        QVERIFY(off.switchedOff);
        QVERIFY(!off.makesRequests());
        QCOMPARE(off.caption, QString("Nothing here"));
        QCOMPARE(outcomeOf(off, "{}").failure, FailureKind::Off);
        QCOMPARE(buildEngineRequest(off, "http://x.example/?q=", "a.example", QDateTime())
                     .failure.failure,
                 FailureKind::Off);
        QVERIFY(!off.queryTarget("http://a.example/"));
        QCOMPARE(set.describe().at(5),
                 QString("MSN: \"Nothing here\", off: it sends nothing, and its column counts "
                         "nothing"));

        const EngineDefinition& score = set.definitions[3];
        QVERIFY(score.usable());
        QVERIFY(!score.countsIntoTotal);
        QCOMPARE(shown(outcomeOf(score, "{\"rank\": 4.68}")), QString("4.68"));
        QCOMPARE(shown(outcomeOf(score, "{\"rank\": 5}")), QString("5"));
        QVERIFY(shown(outcomeOf(score, "{\"rank\": null}")).contains("JSON null"));
        QVERIFY(set.describe().at(4).contains("a score kept out of the total"));
        QCOMPARE(enginesOf(env, "[Ask]\nInTotal=perhaps\n").definitions[3].problem,
                 QString("InTotal takes yes or no, not \"perhaps\""));
    }

    void duplicateSectionsAreNamed() {
        test::TestEnv env;
        const EngineSet set = enginesOf(env, "[MSN]\nCaption=First\n[Ask]\n[msn]\nCaption=Again\n");
        const EngineDefinition& msn = set.definitions[4];
        QVERIFY(!msn.usable());
        QVERIFY2(msn.problem.contains("the section [MSN] is written 2 times in engines.ini"),
                 qPrintable(msn.problem));
        QCOMPARE(outcomeOf(msn, "x").failure, FailureKind::Definition);
        QVERIFY(set.definitions[3].usable());
    }

    // Every shipped preset makes a working slot once its keys are in section Keys.
    void presetsLoad_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("inTotal");
        QTest::newRow("moz") << "moz" << QStringList{"moz-token"} << "Moz" << int(EngineKind::Json)
                             << true;
        QTest::newRow("moz-legacy")
            << "moz-legacy" << QStringList{"moz-access-id", "moz-secret-key"} << "Moz"
            << int(EngineKind::Json) << true;
        QTest::newRow("majestic") << "majestic" << QStringList{"majestic"} << "Majestic"
                                  << int(EngineKind::Json) << true;
        QTest::newRow("ahrefs") << "ahrefs" << QStringList{"ahrefs"} << "Ahrefs"
                                << int(EngineKind::Json) << true;
        QTest::newRow("semrush") << "semrush" << QStringList{"semrush"} << "Semrush"
                                 << int(EngineKind::Table) << true;
        QTest::newRow("dataforseo")
            << "dataforseo" << QStringList{"dataforseo-login", "dataforseo-password"}
            << "DataForSEO" << int(EngineKind::Json) << true;
        QTest::newRow("openpagerank") << "openpagerank" << QStringList{"openpagerank"}
                                      << "Open PageRank" << int(EngineKind::Json) << false;
        QTest::newRow("bing-webmaster") << "bing-webmaster" << QStringList{"bing-webmaster"}
                                        << "Bing Webmaster" << int(EngineKind::Json) << true;
    }
    void presetsLoad() {
        QFETCH(QString, preset);
        QFETCH(QStringList, keys);
        QFETCH(QString, caption);
        QFETCH(int, kind);
        QFETCH(bool, inTotal);
        test::TestEnv env;
        QVERIFY(presetNames().contains(preset));
        const QByteArray ini = "[MSN]\nPreset=" + preset.toUtf8() + "\n";
        // Without its keys the slot names every one it lacks.
        const EngineDefinition missing = enginesOf(env, ini).definitions[4];
        QVERIFY(!missing.usable());
        for (const QString& key : keys)
            QVERIFY2(missing.problem.contains(key), qPrintable(missing.problem));
        for (const QString& key : keys)
            QVERIFY(UserSettings::setApiKey(key, "value-of-" + key));
        const EngineSet set = enginesOf(env, ini);
        const EngineDefinition& d = set.definitions[4];
        QVERIFY2(d.usable(), qPrintable(d.problem));
        QCOMPARE(d.preset, preset);
        QCOMPARE(d.caption, caption);
        QCOMPARE(int(d.kind), kind);
        QCOMPARE(d.countsIntoTotal, inTotal);
        QCOMPARE(d.keyNames(), keys);
        QVERIFY(!d.builtInEngine);
        QVERIFY(!d.plainRequest);
        QVERIFY(!d.queryTarget("http://www.example.com/"));
        QVERIFY(d.requestHeaders().isEmpty());
        const QString line = set.describe().at(5);
        QVERIFY2(line.startsWith("MSN: \"" + caption + "\", preset " + preset + " (") &&
                     line.endsWith(": ready"),
                 qPrintable(line));
        // Its request goes to the provider's own server, every key masked where it is shown.
        const RequestBuild build =
            buildEngineRequest(d, "http://google.example/?q=", "http://www.example.com/",
                               QDateTime::currentDateTime());
        QVERIFY(build.request);
        QVERIFY(build.request->url.startsWith("https://"));
        QVERIFY(!build.request->url.contains("google.example"));
        for (const QString& key : keys)
            QVERIFY(!build.request->shownUrl.contains("value-of-" + key));
    }

    // Keys written beside Preset= override the preset's own; an unknown preset is named.
    void presetsAreOverridden() {
        test::TestEnv env;
        QVERIFY(UserSettings::setApiKey("majestic", "k"));
        const EngineDefinition d =
            enginesOf(env, "[Yahoo]\nPreset=majestic\nCaption=Fresh links\n"
                           "Pointer=/DataTables/Results/Data/0/ExtBackLinks\n")
                .definitions[2];
        QVERIFY2(d.usable(), qPrintable(d.problem));
        QCOMPARE(d.caption, QString("Fresh links"));
        QCOMPARE(d.pointer, QString("/DataTables/Results/Data/0/ExtBackLinks"));
        QCOMPARE(d.okChecks.size(), 2);
        const EngineDefinition unknown = enginesOf(env, "[Yahoo]\nPreset=nope\n").definitions[2];
        QVERIFY2(unknown.problem.startsWith("unknown preset \"nope\" (ahrefs, bing-webmaster, "
                                            "commoncrawl-rank, commoncrawl, dataforseo, majestic, "
                                            "moz-legacy, moz, openpagerank, semrush)"),
                 qPrintable(unknown.problem));
        const EngineDefinition sneaky =
            enginesOf(env, "[Yahoo]\nPreset=../engines\n").definitions[2];
        QVERIFY(sneaky.problem.startsWith("unknown preset \"../engines\""));
    }

    void brokenRequests_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("problem");
        const QByteArray json = "[MSN]\nKind=json\nPointer=/n\n";
        QTest::newRow("method") << json + "Method=PUT\n"
                                << "Method takes GET or POST, not \"PUT\"";
        QTest::newRow("body without POST") << json + "Body={}\n"
                                           << "a Body is sent only with Method=POST";
        QTest::newRow("body not JSON") << json + "Method=POST\nBody={\"a\": {url}}\n"
                                       << "the Body is not JSON";
        QTest::newRow("basic auth of one key") << json + "BasicAuth=only\n"
                                               << "BasicAuth takes the names of two keys";
        QTest::newRow("server with a path") << json + "Server=http://127.0.0.1:80/x\n"
                                            << "Server: \"http://127.0.0.1:80/x\"";
        QTest::newRow("address not http") << json + "Address=api.example.net/x\n"
                                          << "Address must start with http://";
        QTest::newRow("unknown placeholder")
            << json + "Address=https://api.example.net/?d={domian}\n"
            << "unknown placeholder {domian} in Address";
        QTest::newRow("date without format") << json + "Suffix=&d={date}\n"
                                             << "{date} in Suffix needs a format";
        QTest::newRow("url with an argument") << json + "Header1=X-Site: {url:x}\n"
                                              << "{url:x} in Header1 takes nothing";
        QTest::newRow("ok pointer without value") << json + "OkPointer=/Code\n"
                                                  << "OkPointer has no OkValue";
        QTest::newRow("ok value without pointer") << json + "OkValue2=OK\n"
                                                  << "OkValue2 has no OkPointer2";
        QTest::newRow("bad error pointer") << json + "ErrorPointer=message\n"
                                           << "invalid JSON pointer \"message\" in ErrorPointer";
        QTest::newRow("bad pages pointer") << json + "Pages=pages\n"
                                           << "invalid JSON pointer \"pages\" in Pages";
        QTest::newRow("table without column") << QByteArray("[MSN]\nKind=table\n") << "no Column";
        QTest::newRow("separator of two")
            << QByteArray("[MSN]\nKind=table\nColumn=n\nSeparator=;;\n")
            << "Separator takes one character";
        QTest::newRow("keys missing")
            << json + "BasicAuth=user-key,secret-key\n"
            << "no API keys: give user-key and secret-key values in section Keys";
        // Almost a megabyte quoted in a reason would be written in every cell of a scan.
        QTest::newRow("a caption of a megabyte")
            << "[MSN]\nCaption=" + QByteArray(1000000, 'x') + "\n"
            << "is longer than 40 characters";
        QTest::newRow("a line of a megabyte") << json + QByteArray(1000000, 'y') + "\n"
                                              << "the line \"yyy";
    }
    void brokenRequests() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, problem);
        test::TestEnv env;
        const EngineDefinition d = enginesOf(env, ini).definitions[4];
        QVERIFY2(d.problem.contains(problem), qPrintable(d.problem.left(300)));
        const EngineOutcome failure =
            buildEngineRequest(d, QString(), "http://a.example/", QDateTime()).failure;
        QCOMPARE(failure.failure, FailureKind::Definition);
        QVERIFY(failure.reason.size() <= EngineDefinition::MaxReasonLength);
        QVERIFY(d.caption.size() <= 40);
    }

    // What an API says when something is wrong is quoted, and a refused key is only what the
    // provider calls one.
    void apiErrorsInTheProvidersWords_data() {
        QTest::addColumn<QByteArray>("extra"); // lines added to the json slot
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        const int refused = int(FailureKind::KeyRefused);
        const int api = int(FailureKind::ApiError);
        const int quota = int(FailureKind::QuotaSpent);
        QTest::newRow("401 quoted")
            << QByteArray() << 401 << QByteArray("{\"message\": \"Invalid credentials\"}")
            << refused
            << "API key refused (HTTP status 401 Unauthorized): "
               "\u201cInvalid credentials\u201d";
        QTest::newRow("403 quota is no refused key")
            << QByteArray() << 403 << QByteArray("{\"error\": \"API units limit reached\"}")
            << quota
            << "quota spent (HTTP status 403 Forbidden): \u201cAPI units limit reached\u201d "
               "(check "
               "the key and the plan in Tools \u203a Sources)";
        QTest::newRow("403 that says the key is wrong")
            << QByteArray() << 403 << QByteArray("{\"error\": \"Invalid API key\"}") << refused
            << "API key refused (HTTP status 403 Forbidden): \u201cInvalid API key\u201d";
        QTest::newRow("402 text")
            << QByteArray() << 402 << QByteArray("Payment required\r\nsee your balance\r\n")
            << quota
            << "quota spent (HTTP status 402 Payment Required): \u201cPayment required\u201d";
        QTest::newRow("429 nested message")
            << QByteArray() << 429 << QByteArray("{\"error\": {\"message\": \"slow down\"}}")
            << int(FailureKind::RateLimited)
            << "rate limited (HTTP status 429 Too Many Requests): \u201cslow down\u201d";
        QTest::newRow("error pointer first")
            << QByteArray("ErrorPointer=/detail/text\n") << 400
            << QByteArray("{\"message\": \"generic\", \"detail\": {\"text\": \"specific\"}}") << api
            << "HTTP status 400 Bad Request: \u201cspecific\u201d";
        QTest::newRow("an unknown JSON shape is quoted whole")
            << QByteArray() << 400 << QByteArray("{\"code\": 7}") << api
            << "HTTP status 400 Bad Request: \u201c{\"code\": 7}\u201d";
        QTest::newRow("no count, but a message")
            << QByteArray() << 200 << QByteArray("{\"message\": \"Domain is not tracked\"}") << api
            << "the API answered: \u201cDomain is not tracked\u201d";
        QTest::newRow("a page is not quoted")
            << QByteArray() << 503 << QByteArray("<html><body>down</body></html>") << api
            << "HTTP status 503 Service Unavailable";
        QTest::newRow("error in a 200 answer")
            << QByteArray("ErrorPointer=/error\n") << 200
            << QByteArray("{\"error\": \"no such domain\"}") << api
            << "the API answered: \u201cno such domain\u201d";
        QTest::newRow("empty error text is no error")
            << QByteArray("ErrorPointer=/error\n") << 200
            << QByteArray("{\"error\": \"\", \"n\": 7}") << int(FailureKind::None) << "7";
        QTest::newRow("ok check failed, key refused")
            << QByteArray("OkPointer=/Code\nOkValue=OK\nErrorPointer=/ErrorMessage\n") << 200
            << QByteArray("{\"Code\": \"InvalidAPIKey\", \"ErrorMessage\": \"\"}") << refused
            << "API key refused: \u201cInvalidAPIKey\u201d at /Code, not OK";
        QTest::newRow("ok check failed, message")
            << QByteArray("OkPointer=/status_code\nOkValue=20000\nErrorPointer=/status_message\n")
            << 200 << QByteArray("{\"status_code\": 40501, \"status_message\": \"Invalid Field\"}")
            << api << "code 40501: \u201cInvalid Field\u201d";
        // The provider's own codes, with whatever HTTP status they come.
        QTest::newRow("rate limit code in a 200")
            << QByteArray("CodePointer=/status_code\nRateLimitCodes=40202|40209\n") << 200
            << QByteArray("{\"status_code\": 40202, \"status_message\": \"slow\"}")
            << int(FailureKind::RateLimited) << "rate limited (40202): \u201cslow\u201d";
        QTest::newRow("quota code alone")
            << QByteArray("CodePointer=/Code\nQuotaCodes=InsufficientIndexItemInfoUnits\n") << 200
            << QByteArray("{\"Code\": \"InsufficientIndexItemInfoUnits\", \"ErrorMessage\": \"\"}")
            << int(FailureKind::QuotaSpent)
            << "quota spent (InsufficientIndexItemInfoUnits) (check";
        QTest::newRow("site code in a 400 fault")
            << QByteArray("CodePointer=/ErrorCode\nSiteCodes=14\nKeyCodes=3\n") << 400
            << QByteArray("{\"ErrorCode\": 14, \"Message\": \"ERROR!!! NotAuthorized\"}") << api
            << "site not held by the account (14): \u201cERROR!!! NotAuthorized\u201d; list the "
               "site";
        QTest::newRow("ok check of several values")
            << QByteArray("OkPointer=/s\nOkValue=Found|MayExist\n") << 200
            << QByteArray("{\"s\": \"MayExist\", \"n\": 3}") << int(FailureKind::None) << "3";
        QTest::newRow("control characters and length")
            << QByteArray("ErrorPointer=/e\n") << 200
            << QByteArray("{\"e\": \"bad\\u0007\\tthing ") + QByteArray(300, 'x') + "\"}" << api
            << "the API answered: \u201cbad thing xxxx";
        QTest::newRow("a text answer that says the key is wrong")
            << QByteArray() << 200 << QByteArray("ERROR 120 :: WRONG KEY - ID PAIR\r\n") << refused
            << "API key refused: \u201cERROR 120 :: WRONG KEY - ID PAIR\u201d";
    }
    void apiErrorsInTheProvidersWords() {
        QFETCH(QByteArray, extra);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, kind);
        QFETCH(QString, reason);
        test::TestEnv env;
        const EngineDefinition d =
            enginesOf(env, "[MSN]\nKind=json\nPointer=/n\n" + extra).definitions[4];
        QVERIFY2(d.usable(), qPrintable(d.problem));
        const EngineOutcome outcome = outcomeOf(d, body, status);
        QCOMPARE(int(outcome.failure), kind);
        QVERIFY2((outcome.isCount() ? outcome.count : outcome.reason).startsWith(reason),
                 qPrintable(outcome.reason));
        QVERIFY(outcome.reason.size() <= 260);
        for (QChar c : outcome.reason)
            QVERIFY(c.category() != QChar::Other_Control);
    }

    // A provider that repeats the key in its message never shows it.
    void keysAreMaskedInReasons() {
        test::TestEnv env;
        QVERIFY(UserSettings::setApiKey("site-key", "K3Y-abc/123"));
        const EngineDefinition d = enginesOf(env, "[MSN]\nKind=json\nPointer=/n\nKeyName=site-key\n"
                                                  "Address=https://api.example.net/?k={key}\n")
                                       .definitions[4];
        QVERIFY2(d.usable(), qPrintable(d.problem));
        for (const QByteArray& echo : {QByteArray("K3Y-abc/123"), QByteArray("K3Y-abc%2F123")}) {
            const EngineOutcome outcome =
                outcomeOf(d, "{\"message\": \"key " + echo + " is not valid\"}", 400);
            QVERIFY2(!outcome.reason.contains("K3Y"), qPrintable(outcome.reason));
            QVERIFY(outcome.reason.contains("key \u2026 is not valid"));
        }
        FetchResult broken;
        broken.error = FetchError::ConnectFailed;
        broken.errorText = "https://api.example.net/?k=K3Y-abc%2F123: no route";
        QVERIFY(!engineOutcome(broken, d).reason.contains("K3Y"));
    }

    // A run reads the stored keys once, with or without an engines.ini.
    void keysAreReadWhenTheSetIsLoaded() {
        test::TestEnv env;
        QVERIFY(UserSettings::setApiKey("Google", "first"));
        const EngineSet set = loadEngines(env.file("no-engines.ini"));
        QVERIFY(UserSettings::setApiKey("Google", "second"));
        QCOMPARE(set.definitions[0].storedKeys().value("Google"), QString("first"));
    }

    // A delimited text answer read by its column's heading.
    void tableAnswers_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("shown");
        QTest::newRow("count") << QByteArray("ascore;domains_num\r\n74;49145\r\n") << 200
                               << "49145";
        QTest::newRow("any letter case") << QByteArray("Domains_Num\n12\n") << 200 << "12";
        QTest::newRow("nothing found")
            << QByteArray("ERROR 50 :: NOTHING FOUND\r\n") << 200
            << "fails: the API answered: \u201cERROR 50 :: NOTHING FOUND\u201d";
        QTest::newRow("units spent")
            << QByteArray("ERROR 132 :: API UNITS BALANCE IS ZERO") << 403
            << "fails: quota spent (HTTP status 403 Forbidden): \u201cERROR "
               "132 :: API UNITS BALANCE IS ZERO\u201d";
        QTest::newRow("another table") << QByteArray("ascore;total\n1;2\n") << 200
                                       << "fails: page not recognised: no column domains_num";
        QTest::newRow("no row") << QByteArray("domains_num\r\n") << 200
                                << "fails: page not recognised: no row under the heading";
        QTest::newRow("a word") << QByteArray("domains_num\nn/a\n") << 200
                                << "fails: page not recognised: the domains_num column is "
                                   "\u201cn/a\u201d, not a count";
        QTest::newRow("decimal") << QByteArray("domains_num\n1.5\n") << 200
                                 << "fails: page not recognised: the domains_num column is a "
                                    "decimal (\u201c1.5\u201d)";
        QTest::newRow("too large")
            << QByteArray("domains_num\n99999999999999999999\n") << 200 << "fails: count too large";
        QTest::newRow("empty") << QByteArray("\r\n") << 200
                               << "fails: page not recognised: the answer is empty";
    }
    void tableAnswers() {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, shown);
        test::TestEnv env;
        const EngineDefinition d =
            enginesOf(env, "[MSN]\nKind=table\nColumn=domains_num\n").definitions[4];
        QVERIFY2(d.usable(), qPrintable(d.problem));
        const QString result = ::shown(outcomeOf(d, body, status));
        QVERIFY2(result.startsWith(shown), qPrintable(result));
    }

    // A paged answer: the sum of a member over every page.
    void pagedAnswers() {
        test::TestEnv env;
        const EngineDefinition d =
            enginesOf(env, "[MSN]\nKind=json\nPointer=/d/Links\nSum=Count\nPages=/d/TotalPages\n")
                .definitions[4];
        QVERIFY2(d.usable(), qPrintable(d.problem));
        QVERIFY(d.isPaged());
        const auto page = [](const QByteArray& counts, int pages) {
            QByteArray links;
            for (const QByteArray& count : counts.split(','))
                links +=
                    (links.isEmpty() ? "" : ",") + ("{\"Count\": " + count + ", \"Url\": \"u\"}");
            FetchResult fetch;
            fetch.status = 200;
            fetch.body = "{\"d\": {\"Links\": [" + links +
                         "], \"TotalPages\": " + QByteArray::number(pages) + "}}";
            return fetch;
        };
        PagedCount three(d);
        QCOMPARE(three.nextPage(), 0);
        three.add(page("5,7", 3));
        QCOMPARE(three.nextPage(), 1);
        QCOMPARE(three.outcome().failure, FailureKind::Stopped);
        three.add(page("1,1", 3));
        three.add(page("10", 3));
        QVERIFY(!three.nextPage());
        QCOMPARE(three.outcome().count, QString("24"));

        PagedCount broken(d);
        broken.add(page("5", 2));
        FetchResult refused;
        refused.status = 400;
        refused.body = "{\"ErrorCode\": 4, \"Message\": \"ERROR!!! ThrottleUser\"}";
        broken.add(refused);
        QVERIFY(!broken.nextPage());
        QCOMPARE(broken.outcome().reason,
                 QString("page 2: HTTP status 400 Bad Request: \u201cERROR!!! ThrottleUser\u201d"));

        FetchResult noCount;
        noCount.status = 200;
        noCount.body = "{\"d\": {\"Links\": [{\"Url\": \"u\"}], \"TotalPages\": 1}}";
        PagedCount none(d);
        none.add(noCount);
        QVERIFY(!none.nextPage());
        QVERIFY(none.outcome().reason.contains("nothing at /d/Links/0/Count"));
        FetchResult empty;
        empty.status = 200;
        empty.body = "{\"d\": {\"Links\": [], \"TotalPages\": 0}}";
        PagedCount zero(d);
        zero.add(empty);
        QCOMPARE(zero.outcome().count, QString("0"));

        // Read as one answer, more pages than one is no count.
        QVERIFY(shown(engineOutcome(page("5", 2), d)).contains("the answer has 2 pages"));
        QCOMPARE(shown(engineOutcome(page("5,6", 1), d)), QString("11"));
        QVERIFY(shown(engineOutcome(page("5", 5000), d)).contains("5000 pages"));
        QVERIFY(
            shown(engineOutcome(page("9223372036854775807,1", 1), d)).contains("count too large"));
    }

    void graphSlots_data() {
        QTest::addColumn<QByteArray>("keys"); // more keys of the [ATW] section
        QTest::addColumn<QString>("made");    // the files the index was made from
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected"); // "count | note | matched", or "fails: reason"
        const QString release = "cc-main-2099-jan-feb-mar";
        QTest::newRow("linking domains")
            << QByteArray() << "edges"
            << "http://www.alpha.com/"
            << "3 | linking domains to com.alpha in " + release + " | com.alpha";
        QTest::newRow("platform subdomain")
            << QByteArray("Measure=linking-domains\n") << "edges, ranks"
            << "https://myblog.blogspot.com/"
            << "2 | linking domains to com.blogspot in " + release + " | com.blogspot";
        QTest::newRow("release named") << QByteArray("Release=the 2099 graph\n") << "edges"
                                       << "www.shop.someone.me.uk"
                                       << "1 | linking domains to uk.me.someone in the 2099 graph "
                                          "| uk.me.someone";
        QTest::newRow("harmonic rank")
            << QByteArray("Measure=harmonic-rank\n") << "edges, ranks"
            << "someone.github.io"
            << "1 | harmonic centrality rank of io.github in " + release + " | io.github";
        QTest::newRow("PageRank rank")
            << QByteArray("Measure=PageRank-Rank\n") << "ranks"
            << "alpha.com"
            << "1 | PageRank rank of com.alpha in " + release + " | com.alpha";
        QTest::newRow("not in the graph")
            << QByteArray() << "edges"
            << "unknown.org"
            << "fails: not in " + release + " (looked for org.unknown)";
        QTest::newRow("IP address") << QByteArray() << "edges"
                                    << "http://10.0.0.1:8080/"
                                    << "fails: an IP address (the web graphs hold host names only)";
        QTest::newRow("ranks the index lacks")
            << QByteArray("Measure=harmonic-rank\n") << "edges"
            << "alpha.com"
            << "fails: engine definition: link index: %1 holds no harmonic-rank (import the "
               "release with --ranks)";
        QTest::newRow("counts the index lacks")
            << QByteArray() << "ranks"
            << "alpha.com"
            << "fails: engine definition: link index: %1 holds no linking-domains (import the "
               "release with its edges file)";
        QTest::newRow("unknown measure")
            << QByteArray("Measure=pagerank\n") << "edges, ranks"
            << "alpha.com"
            << "fails: engine definition: unknown Measure \"pagerank\" (linking-domains, "
               "harmonic-rank or pagerank-rank)";
    }
    // A graph slot: the count of the URL's vertex, the vertex named, and what the count means.
    void graphSlots() {
        QFETCH(QByteArray, keys);
        QFETCH(QString, made);
        QFETCH(QString, url);
        QFETCH(QString, expected);
        test::TestEnv env;
        importFixture(env, made);
        const EngineSet set = enginesOf(env, "[ATW]\nKind=graph\nIndex=cc.links\n" + keys);
        const EngineOutcome outcome = graphOutcome(set.definitions[5], url);
        const QString shown = outcome.isCount()
                                  ? QStringList{outcome.count, outcome.note, outcome.matched}.join(
                                        QStringLiteral(" | "))
                                  : QStringLiteral("fails: ") + outcome.reason;
        QCOMPARE(shown, expected.contains("%1") ? expected.arg(env.file("cc.links")) : expected);
    }

    // The index rewritten in place while a scan reads it: its cells fail, naming the change.
    void graphIndexRewritten() {
        test::TestEnv env;
        importFixture(env, "edges");
        const EngineSet set = enginesOf(env, "[ATW]\nKind=graph\nIndex=cc.links\n");
        QCOMPARE(graphOutcome(set.definitions[5], "alpha.com").count, QString("3"));
        QFile index(env.file("cc.links"));
        QVERIFY(index.open(QIODevice::ReadWrite | QIODevice::Truncate));
        index.write(QByteArray(100, 'x'));
        index.close();
        const EngineOutcome outcome = graphOutcome(set.definitions[5], "alpha.com");
        QCOMPARE(outcome.failure, FailureKind::BadReply);
        QCOMPARE(outcome.reason, "index changed during the scan: " + env.file("cc.links"));
        QVERIFY(outcome.matched.isEmpty() && outcome.count.isEmpty());
    }
};

TALLY_GUILESS_TEST_MAIN(TestEngineDefinitions)
#include "tst_engine_definitions.moc"
