// Chart content decided without a chart: types, scale bands, history and results charts.
#include "core/results/chart_data.h"

#include <QtTest>

using namespace tally;

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

        const ChartData empty = engineHistoryChart(QStringLiteral("Ask"), {});
        QCOMPARE(empty.rowCount(), 0);
        QCOMPARE(empty.seriesCount(), 1);
        QCOMPARE(empty.axisTitle, QStringLiteral("Linking Sites"));
    }

    void allEnginesFirstFixesDivisorAndLabels() {
        // The second engine's counts are far larger, but the first engine's band applies.
        const ChartData data = allEnginesChart({
            {QStringLiteral("Google"), history({{"01-03-25", 500}, {"01-02-25", 400}})},
            {QStringLiteral("Yahoo!"), history({{"12-01-24", 500000000}, {"11-01-24", 7}})},
        });
        QCOMPARE(data.axisTitle, QStringLiteral("Linking Sites"));
        QCOMPARE(data.seriesLabels, (QStringList{"Google", "Yahoo!"}));
        QCOMPARE(data.rowLabels, (QStringList{"01-03-25", "01-02-25"}));
        QCOMPARE(data.values[1][0], 500000000.0);
    }

    void allEnginesLastFixesRowCount() {
        // Last engine longer: the extra rows get empty labels and zeros elsewhere.
        const ChartData longer = allEnginesChart({
            {QStringLiteral("Google"), history({{"a", 20000000}})},
            {QStringLiteral("MSN"), history({{"x", 10}, {"y", 2000}, {"z", 30000}})},
        });
        QCOMPARE(longer.axisTitle, QStringLiteral("Linking Sites x100"));
        QCOMPARE(longer.rowLabels, (QStringList{"a", "", ""}));
        QCOMPARE(longer.values[0], (QList<double>{200000, 0, 0}));
        QCOMPARE(longer.values[1], (QList<double>{0.1, 20, 300}));

        // Last engine shorter: rows beyond its lines are dropped for every engine.
        const ChartData shorter = allEnginesChart({
            {QStringLiteral("Google"), history({{"a", 1}, {"b", 2}, {"c", 3}})},
            {QStringLiteral("Ask"), history({{"x", 4}, {"y", 5}, {"z", 6}})},
            {QStringLiteral("MSN"), history({{"x", 7}})},
        });
        QCOMPARE(shorter.rowLabels, QStringList{"a"});
        QCOMPARE(shorter.values, (QList<QList<double>>{{1}, {4}, {7}}));

        const ChartData none = allEnginesChart({});
        QCOMPARE(none.seriesCount(), 0);
        QCOMPARE(none.rowCount(), 0);
    }

    void currentResults() {
        const QStringList captions{"Google", "Altavista", "Yahoo!", "Ask", "MSN", "All The Web"};
        const ChartData data = resultsChart(
            captions, {
                          {QStringLiteral("a.example"), {"20000000", "-", "", "12", "n/a", "7"}},
                          {QStringLiteral("b.example"), {"900000000", "5"}},
                      });
        QCOMPARE(data.title, QStringLiteral("Temporary Search Results"));
        QCOMPARE(data.seriesLabels, (QStringList{"a.example", "b.example"}));
        QCOMPARE(data.rowLabels, captions);
        QCOMPARE(data.axisTitle, QStringLiteral("Linking Sites x100"));
        QCOMPARE(data.values[0], (QList<double>{200000, 0, 0, 0.12, 0, 0.07}));
        QCOMPARE(data.values[1], (QList<double>{9000000, 0.05, 0, 0, 0, 0}));

        const ChartData empty = resultsChart(captions, {});
        QCOMPARE(empty.seriesCount(), 0);
        QCOMPARE(empty.title, QStringLiteral("Temporary Search Results"));
    }
};

QTEST_GUILESS_MAIN(TestChartData)
#include "tst_chart_data.moc"
