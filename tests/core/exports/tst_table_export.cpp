// Exports: CSV fields (quoting, formulas kept inert), the results table as CSV and JSON, and a
// saved search's history aligned by date.
#include "core/exports/table_export.h"
#include "core/results/results_model.h"
#include "core/results/saved_search.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace tally;
using tally::test::TestEnv;

namespace {

// A finished row: a count per slot, or where a reason is given a failure with that reason.
std::shared_ptr<const ResultRecord>
row(const QString& url, const QStringList& counts, const QStringList& reasons = {},
    std::shared_ptr<const EngineSnapshot> engines = EngineSnapshot::builtIn()) {
    ResultsModel model;
    model.startRow(1, url, std::move(engines));
    for (int e = 0; e < EngineCount; ++e)
        model.setOutcome(1, e,
                         reasons.value(e).isEmpty()
                             ? EngineOutcome::counted(counts.value(e))
                             : EngineOutcome::failed(FailureKind::HttpStatus, reasons.value(e)));
    model.finishRow(1);
    return model.recordAt(0);
}

// The built-in engines with slot `score` a score column and slot `off` switched off (-1: none).
std::shared_ptr<const EngineSnapshot> engines(int score, int off) {
    EngineSnapshot snapshot = *EngineSnapshot::builtIn();
    if (score >= 0)
        snapshot.slot[score].countsIntoTotal = false;
    if (off >= 0)
        snapshot.slot[off].switchedOff = true;
    return std::make_shared<const EngineSnapshot>(snapshot);
}

} // namespace

class TestTableExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void csvFields_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "www.site.example"
                               << "www.site.example";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("digits") << "1234"
                                << "1234";
        QTest::newRow("comma") << "a,b"
                               << "\"a,b\"";
        QTest::newRow("quote") << "say \"hi\""
                               << "\"say \"\"hi\"\"\"";
        QTest::newRow("line feed") << "a\nb"
                                   << "\"a\nb\"";
        QTest::newRow("carriage return") << "a\rb"
                                         << "\"a\rb\"";
        QTest::newRow("formula") << "=HYPERLINK(\"x\")"
                                 << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("plus") << "+1"
                              << "'+1";
        QTest::newRow("minus") << "-2"
                               << "'-2";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("tab") << "\tx"
                             << "'\tx";
        QTest::newRow("inner equals") << "a=b"
                                      << "a=b";
        QTest::newRow("non-ASCII") << "www.bücher.example"
                                   << "www.bücher.example";
    }
    void csvFields() {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(csvField(text), field);
    }

    void resultsAsCsv() {
        const ResultRecords rows = {
            row("www.a.example", {"10", "20", "30", "40", "50", "60"}),
            row("http://b.example/?x=1,2", {"7", "", "0", "", "1", "2"},
                {"", "HTTP 503 Service Unavailable", "", "blocked: a captcha page", "", ""}),
            row("www.c.example", {},
                {"refused", "refused", "refused", "refused", "refused", "refused"}),
        };
        QCOMPARE(resultsCsv(rows, *EngineSnapshot::builtIn()),
                 QByteArray("URL,Google,Altavista,Yahoo!,Ask,MSN,All The Web,Total,Profile,"
                            "Google reason,Altavista reason,Yahoo! reason,Ask reason,MSN reason,"
                            "All The Web reason\r\n"
                            "www.a.example,10,20,30,40,50,60,210,low,,,,,,\r\n"
                            "\"http://b.example/?x=1,2\",7,,0,,1,2,10,low,,HTTP 503 Service "
                            "Unavailable,,blocked: a captcha page,,\r\n"
                            // No count at all: no total and no profile, never a 0.
                            "www.c.example,,,,,,,,,refused,refused,refused,refused,refused,"
                            "refused\r\n"));
        QCOMPARE(resultsCsv({}, *EngineSnapshot::builtIn()).count("\r\n"), 1); // the header alone
    }

    void resultsAsJson() {
        const ResultRecords rows = {
            row("www.a.example", {"10", "20", "30", "40", "50", "2.5"}),
            row("www.b.example", {},
                {"refused", "refused", "refused", "refused", "refused", "refused"})};
        const QByteArray json = resultsJson(rows, QDate(2026, 12, 14));
        QVERIFY(!json.contains("\n\n") && json.count('\n') == json.count("\r\n"));
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(json, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc["date"].toString(), QStringLiteral("2026-12-14"));
        const QJsonArray results = doc["results"].toArray();
        QCOMPARE(results.size(), 2);
        const QJsonObject a = results[0].toObject();
        QCOMPARE(a["url"].toString(), QStringLiteral("www.a.example"));
        QCOMPARE(a["total"].toInteger(), 152);
        QCOMPARE(a["profile"].toString(), QStringLiteral("low"));
        const QJsonArray engines = a["engines"].toArray();
        QCOMPARE(engines.size(), EngineCount);
        QCOMPARE(engines[0].toObject()["engine"].toString(), QStringLiteral("Google"));
        QCOMPARE(engines[0].toObject()["count"].toInteger(), 10);
        QVERIFY(!engines[0].toObject().contains("reason"));
        QCOMPARE(engines[5].toObject()["count"].toString(), QStringLiteral("2.5"));
        const QJsonObject b = results[1].toObject();
        QVERIFY(b["total"].isNull() && b["profile"].isNull());
        const QJsonObject failed = b["engines"].toArray()[3].toObject();
        QCOMPARE(failed["engine"].toString(), QStringLiteral("Ask"));
        QVERIFY(failed["count"].isNull());
        QCOMPARE(failed["reason"].toString(), QStringLiteral("refused"));
    }

    // A link index's column says which vertex each count belongs to: "matched" in JSON (null
    // where none was found), a "<caption> matched" column in CSV; other engines have neither.
    void graphCellsNameTheirVertex() {
        EngineSnapshot snapshot = *EngineSnapshot::builtIn();
        snapshot.slot[5].kind = EngineKind::Graph;
        snapshot.slot[5].caption = QStringLiteral("Common Crawl");
        const auto engines = std::make_shared<const EngineSnapshot>(snapshot);
        ResultsModel model;
        const QList<std::pair<QString, EngineOutcome>> cells = {
            {"http://myblog.blogspot.com/", EngineOutcome::counted("23")},
            {"http://192.0.2.1/", EngineOutcome::failed(FailureKind::NotInGraph, "an IP address")}};
        for (int r = 0; r < cells.size(); ++r) {
            model.startRow(r + 1, cells[r].first, engines);
            for (int e = 0; e < 5; ++e)
                model.setOutcome(r + 1, e, EngineOutcome::counted("1"));
            EngineOutcome graph = cells[r].second;
            if (graph.isCount())
                graph.matched = QStringLiteral("com.blogspot");
            model.setOutcome(r + 1, 5, graph);
            model.finishRow(r + 1);
        }
        const ResultRecords rows{model.recordAt(0), model.recordAt(1)};
        const QList<QByteArray> csv = resultsCsv(rows, snapshot).split('\n');
        QVERIFY2(csv[0].endsWith("Common Crawl reason,Common Crawl matched\r"), csv[0].constData());
        QVERIFY2(csv[1].endsWith(",,,,,,,com.blogspot\r"), csv[1].constData());
        QVERIFY2(csv[2].endsWith(",an IP address,\r"), csv[2].constData());
        const QJsonArray results = QJsonDocument::fromJson(resultsJson(rows, QDate(2026, 1, 1)))
                                       .object()["results"]
                                       .toArray();
        const QJsonObject found = results[0].toObject()["engines"].toArray()[5].toObject();
        QCOMPARE(found["matched"].toString(), QStringLiteral("com.blogspot"));
        const QJsonObject failed = results[1].toObject()["engines"].toArray()[5].toObject();
        QVERIFY(failed.contains("matched") && failed["matched"].isNull());
        QVERIFY(!results[0].toObject()["engines"].toArray()[0].toObject().contains("matched"));
    }

    // A score column is exported with its decimals but never summed; a switched-off engine is
    // left out of both exports.
    void engineFlags_data() {
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("off");
        QTest::addColumn<QByteArray>("csvRow");
        QTest::addColumn<int>("jsonEngines");
        QTest::addColumn<qint64>("total");
        QTest::newRow("as built") << -1 << -1 << QByteArray("u,100,2,600,8,9,10,729,medium,")
                                  << EngineCount << qint64(729);
        QTest::newRow("a score") << 2 << -1 << QByteArray("u,100,2,4.5,8,9,10,129,low,")
                                 << EngineCount << qint64(129);
        QTest::newRow("switched off")
            << -1 << 2 << QByteArray("u,100,2,8,9,10,129,low,") << EngineCount - 1 << qint64(129);
    }
    void engineFlags() {
        QFETCH(int, score);
        QFETCH(int, off);
        QFETCH(QByteArray, csvRow);
        QFETCH(int, jsonEngines);
        QFETCH(qint64, total);
        const auto snapshot = engines(score, off);
        const ResultRecords rows{
            row("u", {"100", "2", score >= 0 ? "4.5" : "600", "8", "9", "10"}, {}, snapshot)};
        const QList<QByteArray> csv = resultsCsv(rows, *snapshot).split('\n');
        QCOMPARE(csv.size(), 3);
        QVERIFY2(csv[1].startsWith(csvRow), csv[1].constData());
        QCOMPARE(csv[0].contains("Yahoo!"), off < 0);
        const QJsonObject a = QJsonDocument::fromJson(resultsJson(rows, QDate(2026, 1, 1)))
                                  .object()["results"]
                                  .toArray()[0]
                                  .toObject();
        QCOMPARE(a["total"].toInteger(), total);
        const QJsonArray list = a["engines"].toArray();
        QCOMPARE(list.size(), jsonEngines);
        if (score >= 0) {
            const QJsonObject scored = list[score].toObject();
            QCOMPARE(scored["count"].toDouble(), 4.5);
            QCOMPARE(scored["inTotal"].toBool(true), false);
            QVERIFY(!list[0].toObject().contains("inTotal"));
        }
    }

    void historyKeyDates_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QDate>("date");
        QTest::newRow("2026") << "12-14-26" << QDate(2026, 12, 14);
        QTest::newRow("2000") << "01-01-00" << QDate(2000, 1, 1);
        QTest::newRow("2079") << "06-30-79" << QDate(2079, 6, 30);
        QTest::newRow("1980") << "06-30-80" << QDate(1980, 6, 30);
        QTest::newRow("leap day") << "02-29-24" << QDate(2024, 2, 29);
        QTest::newRow("no leap day") << "02-29-23" << QDate();
        QTest::newRow("month 13") << "13-01-26" << QDate();
        QTest::newRow("one digit") << "1-02-26" << QDate();
        QTest::newRow("four-digit year") << "12-14-2026" << QDate();
        QTest::newRow("not digits") << "ab-cd-ef" << QDate();
        QTest::newRow("other digits") << QString::fromUtf8("١٢-١٤-٢٦") << QDate();
    }
    void historyKeyDates() {
        QFETCH(QString, key);
        QFETCH(QDate, date);
        QCOMPARE(historyKeyDate(key).value_or(QDate()), date);
    }

    void historyAlignedByDate() {
        TestEnv env;
        // Google saved on three days, Ask on two of them and one of its own; a damaged value and a
        // line that is no date; the year 1999 sorts before 2000.
        env.writeFile("Saved/site.vqz", "\r\n[Google]\r\n12-14-26=930\r\n12-07-26=912\r\n"
                                        "12-31-99=5\r\n"
                                        "\r\n[Ask]\r\n12-21-26=14\r\n12-14-26=x12\r\n"
                                        "someday=3\r\n01-01-00=6\r\n");
        QByteArray csv;
        QVERIFY(historyCsv(env.file("Saved/site.vqz"), &csv));
        QCOMPARE(csv, QByteArray("Date,Google,Ask\r\n"
                                 "2026-12-21,,14\r\n"
                                 "2026-12-14,930,\r\n"
                                 "2026-12-07,912,\r\n"
                                 "2000-01-01,,6\r\n"
                                 "1999-12-31,5,\r\n"
                                 "someday,,3\r\n"));

        // Nothing to read is named, never exported as an empty history.
        env.writeFile("Saved/empty.vqz", "");
        env.writeFile("Saved/noise.vqz", QByteArray("\x8f\x00[\xff\x01]\x1b=\n\xfe", 11));
        env.writeFile("Saved/bare.vqz", "[Google]\r\n; nothing saved\r\n");
        for (const char* name : {"empty", "noise", "bare"}) {
            const FileOutcome none =
                historyCsv(env.file(QStringLiteral("Saved/%1.vqz").arg(name)), &csv);
            QVERIFY2(!none.ok() && none.reason().contains("no saved counts"), name);
        }
        const FileOutcome missing = historyCsv(env.file("Saved/none.vqz"), &csv);
        QVERIFY(!missing.ok() && !missing.reason().isEmpty());
    }
};

TALLY_GUILESS_TEST_MAIN(TestTableExport)
#include "tst_table_export.moc"
