// Chart content decided without a chart: types, scale bands, history and results charts.
#include "core/results/chart_data.h"
#include "support/result_rows.h"
#include "support/test_main.h"

#include <QtTest>

#include <cmath>

using namespace tally;

Q_DECLARE_METATYPE(QList<tally::EngineHistory>)
Q_DECLARE_METATYPE(QList<QList<tally::ChartValue>>)
Q_DECLARE_METATYPE(QList<tally::ChartValue>)

namespace {

QList<HistoryRow> history(std::initializer_list<std::pair<const char*, qint64>> lines) {
    QList<HistoryRow> rows;
    for (const auto& [label, count] : lines)
        rows.append({QLatin1String(label), count});
    return rows;
}

} // namespace

class TestChartData : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void types() {
        QCOMPARE(chartTypeNames(),
                 (QStringList{"3D Bar Chart", "2D Bar Chart", "3d Line Graph", "2D Line Graph",
                              "3D Area Chart", "2D Area Chart", "3D Step Chart", "2D Step Chart"}));
        for (int type = 0; type < ChartTypeCount; ++type) {
            QCOMPARE(chartTypeIs3D(type), type % 2 == 0);
            QCOMPARE(chartTypeHint(type),
                     type % 2 == 0 ? QStringLiteral("Control Key + Drag to rotate.") : QString());
        }
        QCOMPARE(chartTypeKind(2), ChartKind::Line);
        QCOMPARE(chartTypeKind(7), ChartKind::Step);
        QVERIFY(!chartTypeIs3D(-1));
        QVERIFY(!chartTypeIs3D(8));
    }

    void storedType_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("type");
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("7") << "7" << 7;
        QTest::newRow("spaces") << " 5 " << 5;
        QTest::newRow("8") << "8" << 3;
        QTest::newRow("-1") << "-1" << 3;
        QTest::newRow("word") << "bars" << 3;
        QTest::newRow("fraction") << "2.5" << 3;
        QTest::newRow("empty") << "" << 3;
    }
    void storedType() {
        QFETCH(QString, stored);
        QFETCH(int, type);
        QCOMPARE(chartTypeFromSetting(stored), type);
    }

    void largestNumber() {
        QCOMPARE(LargestNumber({}), 0);
        QCOMPARE(LargestNumber({3, 9, 2}), 9);
        QCOMPARE(LargestNumber({5000000000LL, 1}), 5000000000LL);
    }

    void bands_data() {
        QTest::addColumn<qint64>("largest");
        QTest::addColumn<qint64>("divisor");
        QTest::addColumn<QString>("title");
        QTest::newRow("0") << qint64(0) << qint64(1) << "Linking Sites";
        QTest::newRow("1,000,000") << qint64(1000000) << qint64(1) << "Linking Sites";
        QTest::newRow("1,000,001") << qint64(1000001) << qint64(10) << "Linking Sites x10";
        QTest::newRow("10,000,000") << qint64(10000000) << qint64(10) << "Linking Sites x10";
        QTest::newRow("10,000,001") << qint64(10000001) << qint64(100) << "Linking Sites x100";
        QTest::newRow("100,000,000") << qint64(100000000) << qint64(100) << "Linking Sites x100";
        QTest::newRow("100,000,001") << qint64(100000001) << qint64(1000) << "Linking Sites x1000";
        QTest::newRow("64-bit") << qint64(90000000000LL) << qint64(1000) << "Linking Sites x1000";
    }
    void bands() {
        QFETCH(qint64, largest);
        QFETCH(qint64, divisor);
        QFETCH(QString, title);
        QCOMPARE(scaleBandFor(largest).divisor, divisor);
        QCOMPARE(scaleBandFor(largest).axisTitle, title);
    }

    void oneEngine() {
        const ChartData data = engineHistoryChart(
            QStringLiteral("Google"), history({{"12-14-26", 1000001}, {"12-07-26", 912}}));
        QCOMPARE(data.seriesLabels, QStringList{"Google"});
        QCOMPARE(data.rowLabels, (QStringList{"12-14-26", "12-07-26"}));
        QCOMPARE(data.axisTitle, QStringLiteral("Linking Sites x10"));
        QCOMPARE(data.values.size(), 1);
        QCOMPARE(data.values[0][0], 100000.1);
        QCOMPARE(data.values[0][1], 91.2);
        // The counts behind them stay as counted, for "Show as Table".
        QCOMPARE(data.counts, (QList<QList<ChartValue>>{{1000001, 912}}));

        const ChartData empty = engineHistoryChart(QStringLiteral("Ask"), {});
        QCOMPARE(empty.rowCount(), 0);
        QCOMPARE(empty.seriesCount(), 1);
        QCOMPARE(empty.axisTitle, QStringLiteral("Linking Sites"));
    }

    void allEnginesFirstFixesDivisor() {
        // The second engine's counts are far larger, but the first engine's band applies.
        const ChartData data = allEnginesChart({
            {QStringLiteral("Google"), history({{"01-03-25", 500}, {"01-02-25", 400}})},
            {QStringLiteral("Yahoo!"), history({{"01-03-25", 500000000}, {"01-02-25", 7}})},
        });
        QCOMPARE(data.axisTitle, QStringLiteral("Linking Sites"));
        QCOMPARE(data.seriesLabels, (QStringList{"Google", "Yahoo!"}));
        QCOMPARE(data.values[1][0], 500000000.0);
    }

    // Every engine's count stands at its own date: the rows are every date of any engine, newest
    // first, and an engine without a line for a date has no value there (not 0).
    void allEnginesAlignedByDate_data() {
        QTest::addColumn<QList<EngineHistory>>("engines");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<QList<ChartValue>>>("values");
        const ChartValue none;
        // The saved-search example: Ask was first saved on the second date.
        QList<EngineHistory> example;
        for (const char* engine : {"Google", "Altavista", "Yahoo!", "MSN", "All The Web"})
            example.append({QLatin1String(engine), history({{"12-14-26", 10}, {"12-07-26", 9}})});
        example.append({QStringLiteral("Ask"), history({{"12-14-26", 12}})});
        QList<QList<ChartValue>> exampleValues(5, {10, 9});
        exampleValues.append({12, none});
        QTest::newRow("one engine saved later")
            << example << QStringList{"12-14-26", "12-07-26"} << exampleValues;
        QTest::newRow("disjoint dates, last engine short")
            << QList<EngineHistory>{{"Google", history({{"03-01-26", 3}, {"01-01-26", 1}})},
                                    {"MSN", history({{"02-01-26", 2}})}}
            << QStringList{"03-01-26", "02-01-26", "01-01-26"}
            << QList<QList<ChartValue>>{{3, none, 1}, {none, 2, none}};
        QTest::newRow("twelve dates, last engine three")
            <<
            [] {
                QList<HistoryRow> twelve;
                for (int m = 12; m >= 1; --m)
                    twelve.append({QStringLiteral("%1-01-26").arg(m, 2, 10, QLatin1Char('0')), m});
                return QList<EngineHistory>{
                    {"Google", twelve},
                    {"Ask", history({{"12-01-26", 5}, {"06-01-26", 5}})},
                    {"MSN", history({{"11-01-26", 7}, {"10-01-26", 7}, {"01-01-26", 7}})}};
            }()
            << QStringList{"12-01-26", "11-01-26", "10-01-26", "09-01-26", "08-01-26", "07-01-26",
                           "06-01-26", "05-01-26", "04-01-26", "03-01-26", "02-01-26", "01-01-26"}
            << QList<QList<ChartValue>>{
                   {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
                   {5, none, none, none, none, none, 5, none, none, none, none, none},
                   {none, 7, 7, none, none, none, none, none, none, none, none, 7}};
        QTest::newRow("across a new year, two-digit years")
            << QList<EngineHistory>{{"Google", history({{"01-02-00", 2}, {"12-30-99", 1}})},
                                    {"Ask", history({{"01-05-79", 9}, {"12-31-80", 8}})}}
            << QStringList{"01-05-79", "01-02-00", "12-30-99", "12-31-80"}
            << QList<QList<ChartValue>>{{none, 2, 1, none}, {9, none, none, 8}};
        QTest::newRow("labels that are no dates follow, first line of a date counts")
            << QList<EngineHistory>{{"Google",
                                     history({{"junk", 4}, {"01-01-26", 1}, {"01-01-26", 99}})},
                                    {"Ask", history({{"other", 5}, {"02-01-26", 2}})}}
            << QStringList{"02-01-26", "01-01-26", "junk", "other"}
            << QList<QList<ChartValue>>{{none, 1, 4, none}, {2, none, none, 5}};
        QTest::newRow("no engines")
            << QList<EngineHistory>{} << QStringList{} << QList<QList<ChartValue>>{};
    }
    void allEnginesAlignedByDate() {
        QFETCH(QList<EngineHistory>, engines);
        QFETCH(QStringList, rows);
        QFETCH(QList<QList<ChartValue>>, values);
        const ChartData data = allEnginesChart(engines);
        QCOMPARE(data.rowLabels, rows);
        QCOMPARE(data.values.size(), values.size());
        for (qsizetype s = 0; s < values.size(); ++s)
            QVERIFY2(data.values[s] == values[s], qPrintable(data.seriesLabels.value(s)));
        // A count wherever there is a value, and nowhere else (here the divisor is 1).
        QCOMPARE(data.counts.size(), values.size());
        for (qsizetype s = 0; s < values.size(); ++s)
            for (qsizetype r = 0; r < rows.size(); ++r) {
                QCOMPARE(data.counts[s][r].has_value(), values[s][r].has_value());
                if (values[s][r])
                    QCOMPARE(double(*data.counts[s][r]), *values[s][r]);
            }
    }

    // Round ticks like the 2D chart's: steps of 1, 2 or 5 times a power of ten, covering all.
    void valueScale_data() {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("decimals");
        QTest::newRow("958 (was 958/766/575)") << 0.0 << 958.0 << 0.0 << 1000.0 << 200.0 << 0;
        QTest::newRow("150,000") << 0.0 << 150000.0 << 0.0 << 150000.0 << 50000.0 << 0;
        QTest::newRow("small") << 0.0 << 0.12 << 0.0 << 0.15 << 0.05 << 2;
        QTest::newRow("tenths") << 0.0 << 0.7 << 0.0 << 0.8 << 0.2 << 1;
        QTest::newRow("negative") << -5.0 << 7.0 << -5.0 << 10.0 << 5.0 << 0;
        QTest::newRow("empty chart") << 0.0 << 0.0 << 0.0 << 1.0 << 0.2 << 1;
        QTest::newRow("one value") << 3.0 << 3.0 << 0.0 << 3.0 << 1.0 << 0;
    }
    void valueScale() {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, step);
        QFETCH(int, decimals);
        const ValueScale scale = niceValueScale(low, high);
        QCOMPARE(scale.min, min);
        QCOMPARE(scale.max, max);
        QCOMPARE(scale.step, step);
        QCOMPARE(scale.decimals, decimals);
        QCOMPARE(scale.tickCount(), int(std::lround((max - min) / step)) + 1);
    }

    void valueTextsCarryGroupSeparators() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(chartValueText(150000000, 0), QStringLiteral("150,000,000"));
        QCOMPARE(chartValueText(1234.5, 1), QStringLiteral("1,234.5"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(chartValueText(150000000, 0), QStringLiteral("150.000.000"));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(chartValueText(150000000, 0), QStringLiteral("150,000,000"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // An engine has one colour slot whatever its place; other labels take the free ones.
    void colourSlots_data() {
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("column order")
            << QStringList{"Google", "Altavista", "Yahoo!", "Ask", "MSN", "All The Web"}
            << QList<int>{0, 1, 2, 3, 4, 5};
        QTest::newRow("Ask saved later")
            << QStringList{"Google", "Yahoo!", "MSN", "Ask"} << QList<int>{0, 2, 4, 3};
        QTest::newRow("Yahoo! first") << QStringList{"Yahoo!"} << QList<int>{2};
        QTest::newRow("URLs") << QStringList{"a.example", "b.example"} << QList<int>{0, 1};
        QTest::newRow("unknown section")
            << QStringList{"Fake", "Google", "Altavista", "Other"} << QList<int>{2, 0, 1, 3};
    }
    void colourSlots() {
        QFETCH(QStringList, labels);
        QFETCH(QList<int>, expected);
        QCOMPARE(seriesColourSlots(labels), expected);
    }

    // What a chart with room for a few spans draws of a series: all of a short one, broken at
    // every gap and every change of source unless joined; of a long one each run's ends and each
    // span's least and greatest value, a gap shorter than a span gone over.
    void runsToDraw_data() {
        QTest::addColumn<QList<ChartValue>>("values");
        QTest::addColumn<int>("spans");
        QTest::addColumn<QList<int>>("breaks");
        QTest::addColumn<bool>("joined");
        QTest::addColumn<QList<QList<int>>>("runs");
        const ChartValue none;
        QTest::newRow("short: every row, broken at every gap")
            << QList<ChartValue>{1, none, 2, 3} << 2 << QList<int>{} << false
            << QList<QList<int>>{{0}, {2, 3}};
        QTest::newRow("every row: broken at a change of source, joined over gaps")
            << QList<ChartValue>{none, 1, none, none, 2, 3, 4} << 0 << QList<int>{5} << true
            << QList<QList<int>>{{1, 4}, {5, 6}};
        QTest::newRow("long: ends, lows and highs")
            << QList<ChartValue>{5, 1, 9, 2, 3, 3, 8, 0, 4, 7, 6, 5} << 3 << QList<int>{} << false
            << QList<QList<int>>{{0, 1, 2, 6, 7, 8, 9, 11}};
        QTest::newRow("long: a gap of a span breaks, a shorter one not")
            << QList<ChartValue>{10, 20, none, 30, 5, 6, 7, 8, none, none, none, none, 1, 2, 3, 4}
            << 4 << QList<int>{} << false << QList<QList<int>>{{0, 3, 4, 7}, {12, 15}};
    }
    void runsToDraw() {
        QFETCH(QList<ChartValue>, values);
        QFETCH(int, spans);
        QFETCH(QList<int>, breaks);
        QFETCH(bool, joined);
        QFETCH(QList<QList<int>>, runs);
        QCOMPARE(tally::runsToDraw(values, spans, breaks, joined), runs);
    }

    // The chart of the current results: a request without a count draws nothing (never 0), a
    // score draws its decimals, a switched-off engine has no row; the first URL fixes the scale.
    void currentResults_data() {
        QTest::addColumn<QStringList>("counts"); // a.example's six cells ("" failed)
        QTest::addColumn<int>("score");          // the score slot, -1 for none
        QTest::addColumn<int>("offFrom");        // the first switched-off slot
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("axis");
        QTest::addColumn<QList<ChartValue>>("first");
        QTest::addColumn<QList<ChartValue>>("firstCounts");
        const QStringList all{"Google", "Altavista", "Yahoo!", "Ask", "MSN", "All The Web"};
        QTest::newRow("failures draw nothing")
            << QStringList{"20000000", "", "", "12", "n/a", "7"} << -1 << 6 << all
            << "Linking Sites x100"
            << QList<ChartValue>{200000, std::nullopt, std::nullopt, 0.12, std::nullopt, 0.07}
            << QList<ChartValue>{20000000, std::nullopt, std::nullopt, 12, std::nullopt, 7};
        QTest::newRow("a score keeps its decimals")
            << QStringList{"100", "4.5", "", "", "", ""} << 1 << 6 << all << "Linking Sites"
            << QList<ChartValue>{100, 4.5, std::nullopt, std::nullopt, std::nullopt, std::nullopt}
            << QList<ChartValue>{100, 4.5, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
        QTest::newRow("switched-off engines have no row")
            << QStringList{"1", "2", "3", "4"} << -1 << 4 << all.mid(0, 4) << "Linking Sites"
            << QList<ChartValue>{1, 2, 3, 4} << QList<ChartValue>{1, 2, 3, 4};
    }
    void currentResults() {
        QFETCH(QStringList, counts);
        QFETCH(int, score);
        QFETCH(int, offFrom);
        QFETCH(QStringList, rows);
        QFETCH(QString, axis);
        QFETCH(QList<ChartValue>, first);
        QFETCH(QList<ChartValue>, firstCounts);
        EngineSnapshot engines = *test::engineSnapshot({}, offFrom);
        if (score >= 0)
            engines.slot[score].countsIntoTotal = false;
        const auto snapshot = std::make_shared<const EngineSnapshot>(engines);
        const ResultRecords records{std::make_shared<const ResultRecord>(test::finishedRecord(
                                        "http://www.a.example/x", counts, snapshot)),
                                    std::make_shared<const ResultRecord>(test::finishedRecord(
                                        "b.example", {"900000000", "5"}, snapshot))};
        const ChartData data = resultsChart(engines, records);
        QCOMPARE(data.title, QStringLiteral("Temporary Search Results"));
        QCOMPARE(data.seriesLabels, (QStringList{"a.example", "b.example"}));
        QCOMPARE(data.seriesDescription(0), QStringLiteral("http://www.a.example/x"));
        QCOMPARE(data.rowLabels, rows);
        QCOMPARE(data.axisTitle, axis);
        QCOMPARE(data.values[0], first);
        // The counts behind the values stay as counted, for "Show as Table".
        QCOMPARE(data.counts[0], firstCounts);
        QCOMPARE(data.counts[1].mid(0, 2), (QList<ChartValue>{900000000, 5}));

        const ChartData empty = resultsChart(engines, {});
        QCOMPARE(empty.seriesCount(), 0);
        QCOMPARE(empty.rowLabels, rows);
    }

    void siteLabels_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("label");
        QTest::newRow("www dropped") << "http://www.example.com/a/b"
                                     << "example.com";
        QTest::newRow("other host kept") << "https://shop.example.co.uk/"
                                         << "shop.example.co.uk";
        QTest::newRow("no scheme") << "www.example.org"
                                   << "example.org";
        QTest::newRow("capital WWW") << "HTTP://WWW.EXAMPLE.NET"
                                     << "example.net";
        QTest::newRow("www alone") << "http://www/"
                                   << "www";
        QTest::newRow("no host") << "about:blank"
                                 << "about:blank";
        QTest::newRow("port and user") << "http://me@www.example.com:8080/x"
                                       << "example.com";
        QTest::newRow("host and port, no scheme") << "www.example.com:81/a?b"
                                                  << "example.com";
        QTest::newRow("IPv6") << "http://[::1]:8080/"
                              << "[::1]";
        QTest::newRow("query at once") << "https://www.example.com?q=1"
                                       << "example.com";
    }
    void siteLabels() {
        QFETCH(QString, url);
        QFETCH(QString, label);
        QCOMPARE(siteLabel(url), label);
    }
};

TALLY_GUILESS_TEST_MAIN(TestChartData)
#include "tst_chart_data.moc"
