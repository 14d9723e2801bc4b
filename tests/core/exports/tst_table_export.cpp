// Exports: CSV fields (quoting, formulas kept inert), the results table as CSV and JSON, and a
// saved search's history aligned by date.
#include "core/exports/table_export.h"
#include "core/results/saved_search.h"
#include "support/test_env.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace tally;
using tally::test::TestEnv;

namespace {

ResultRow row(const QString& url, const QStringList& counts, const QString& total, int profile,
              const QStringList& reasons = {}) {
    ResultRow r;
    r.url = url;
    for (int e = 0; e < EngineCount; ++e) {
        r.counts[e] = counts.value(e);
        r.reasons[e] = reasons.value(e);
    }
    r.total = total;
    r.profile = profile;
    return r;
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
        const QList<ResultRow> rows = {
            row("www.a.example", {"10", "20", "30", "40", "50", "60"}, "210", 1),
            row("http://b.example/?x=1,2", {"7", "", "0", "", "1", "2"}, "10", 0,
                {"", "HTTP 503 Service Unavailable", "", "blocked: a captcha page", "", ""}),
        };
        QCOMPARE(resultsCsv(rows),
                 QByteArray("URL,Google,Altavista,Yahoo!,Ask,MSN,All The Web,Total,Profile,"
                            "Google reason,Altavista reason,Yahoo! reason,Ask reason,MSN reason,"
                            "All The Web reason\r\n"
                            "www.a.example,10,20,30,40,50,60,210,low,,,,,,\r\n"
                            "\"http://b.example/?x=1,2\",7,,0,,1,2,10,,,HTTP 503 Service "
                            "Unavailable,,blocked: a captcha page,,\r\n"));
        QCOMPARE(resultsCsv({}).count("\r\n"), 1); // the header alone
    }

    void resultsAsJson() {
        const QList<ResultRow> rows = {
            row("www.a.example", {"10", "20", "30", "40", "50", "2.5"}, "152", 3),
            row("www.b.example", {"", "", "", "", "", ""}, "", 0,
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
        QCOMPARE(a["profile"].toString(), QStringLiteral("high"));
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

        env.writeFile("Saved/empty.vqz", "");
        QVERIFY(historyCsv(env.file("Saved/empty.vqz"), &csv));
        QCOMPARE(csv, QByteArray("Date\r\n"));

        const FileOutcome missing = historyCsv(env.file("Saved/none.vqz"), &csv);
        QVERIFY(!missing.ok() && !missing.reason().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTableExport)
#include "tst_table_export.moc"
