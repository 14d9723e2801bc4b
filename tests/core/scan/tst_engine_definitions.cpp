// The engine slots as data: the built-in six, what engines.ini changes, the reasons of broken
// definitions, JSON pointers, JSON replies, and the captions everything else follows.
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"
#include "core/scan/json_pointer.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "core/webview/web_results.h"
#include "support/engine_pages.h"
#include "support/test_env.h"

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
                QCOMPARE(d.caption, QLatin1String(info.columnHeader));
                QCOMPARE(d.rowText, QLatin1String(info.webRowText));
                QCOMPARE(d.statusSuffix, QLatin1String(info.statusSuffix));
                QCOMPARE(d.optionsLabel, QLatin1String(info.optionsLabel));
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
        QTest::newRow("unknown kind") << QByteArray("[Ask]\nKind=jsn\n") << 3
                                      << "unknown kind \"jsn\" (markers, json or graph)";
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
                                  << "no Index (the link index file made by tallyscope-graph)";
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
        QCOMPARE(broken.caption, QLatin1String(engineTable()[slot].columnHeader));
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
        EngineSet set = enginesOf(env, "[Gogle]\nCaption=x\n");
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
        QCOMPARE(atw.optionsLabel, QString("Backlinks API:"));
        QCOMPARE(engineKeyForRowText("Backlinks API", set), QString("ATW"));
        QVERIFY(engineKeyForRowText("AllTheWeb", set).isEmpty());
        QCOMPARE(programEngines().captions().last(), QString("Backlinks API"));
        QVERIFY(isWritableRowText("Google:1\nBacklinks API:2\n"));
        QVERIFY(!isWritableRowText("Google:1\nAll The Web:2\n"));
        // A history saved under the old caption keeps its section; the new caption starts one.
        const QString file = env.file("Saved/site.vqz");
        env.writeFile("Saved/site.vqz", "\r\n[Google]\r\n12-01-26=5\r\n\r\n[All The "
                                        "Web]\r\n12-01-26=9\r\n");
        QCOMPARE(saveSearchRow("Google:6\nBacklinks API:40\n", file, SaveMode::Append,
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
        QTest::newRow("missing pointer")
            << QByteArray("{\"status\": \"ok\", \"results\": []}") << 200
            << notRecognised + "nothing at /results/0/referring_domains";
        QTest::newRow("not a number") << reply("\"1234\"") << 200 << atPointer + "not a number";
        QTest::newRow("null") << reply("null") << 200 << atPointer + "not a number";
        QTest::newRow("fraction") << reply("2.5") << 200 << atPointer + "not a count (2.5)";
        QTest::newRow("negative") << reply("-3") << 200 << atPointer + "not a count (-3)";
        QTest::newRow("not JSON") << QByteArray("<html>Error</html>") << 200
                                  << notRecognised + "not JSON (";
        QTest::newRow("two documents")
            << reply("1") + reply("2") << 200 << notRecognised + "not JSON (";
        QTest::newRow("empty") << QByteArray() << 200 << notRecognised + "not JSON (";
        QTest::newRow("401") << QByteArray("{\"error\": \"bad key\"}") << 401
                             << "fails: API key refused (HTTP status 401 Unauthorized)";
        QTest::newRow("403") << QByteArray() << 403
                             << "fails: API key refused (HTTP status 403 Forbidden)";
        QTest::newRow("429") << QByteArray() << 429
                             << "fails: blocked by the engine (HTTP status 429 Too Many Requests)";
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
        QCOMPARE(*msn.queryTarget("http://www.shop.example.co.uk/a"), QString("example.co.uk"));
        QVERIFY(!msn.queryTarget("http://10.1.2.3/"));
        const QStringList lines = set.describe();
        QCOMPARE(lines.at(5), QString("MSN: \"MSN\", json, the count at /n: ready"));
        QVERIFY(lines.at(1).endsWith(": ready"));
    }
};

QTEST_GUILESS_MAIN(TestEngineDefinitions)
#include "tst_engine_definitions.moc"
