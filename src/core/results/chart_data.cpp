#include "core/results/chart_data.h"

#include "core/numbers/numbers.h"

#include <algorithm>

namespace tally {

const QStringList& chartTypeNames() {
    static const QStringList names{
        QStringLiteral("3D Bar Chart"),  QStringLiteral("2D Bar Chart"),
        QStringLiteral("3d Line Graph"), QStringLiteral("2D Line Graph"),
        QStringLiteral("3D Area Chart"), QStringLiteral("2D Area Chart"),
        QStringLiteral("3D Step Chart"), QStringLiteral("2D Step Chart"),
    };
    return names;
}

bool chartTypeIs3D(int type) {
    if (type < 0 || type >= ChartTypeCount)
        return false;
    return chartTypeNames().at(type).contains(QLatin1String("3D"), Qt::CaseInsensitive);
}

ChartKind chartTypeKind(int type) {
    switch (type) {
    case 0:
    case 1:
        return ChartKind::Bar;
    case 4:
    case 5:
        return ChartKind::Area;
    case 6:
    case 7:
        return ChartKind::Step;
    default:
        return ChartKind::Line;
    }
}

int chartTypeFromSetting(const QString& text) {
    const std::optional<qint64> type = readWholeNumber(text);
    return type && *type >= 0 && *type < ChartTypeCount ? int(*type) : DefaultChartType;
}

QString chartTypeHint(int type) {
    return chartTypeIs3D(type) ? QStringLiteral("Control Key + Drag to rotate.") : QString();
}

qint64 LargestNumber(const QList<qint64>& numbers) {
    if (numbers.isEmpty())
        return 0;
    return *std::max_element(numbers.begin(), numbers.end());
}

ScaleBand scaleBandFor(qint64 largest) {
    if (largest > 100'000'000)
        return {1000, QStringLiteral("Linking Sites x1000")};
    if (largest > 10'000'000)
        return {100, QStringLiteral("Linking Sites x100")};
    if (largest > 1'000'000)
        return {10, QStringLiteral("Linking Sites x10")};
    return {1, QStringLiteral("Linking Sites")};
}

double ChartData::largestValue() const {
    double largest = 0;
    for (const QList<double>& series : values)
        for (double v : series)
            largest = std::max(largest, v);
    return largest;
}

namespace {

QList<qint64> countsOf(const QList<HistoryRow>& rows) {
    QList<qint64> counts;
    counts.reserve(rows.size());
    for (const HistoryRow& row : rows)
        counts.append(row.count);
    return counts;
}

double scaled(qint64 count, qint64 divisor) {
    return static_cast<double>(count) / static_cast<double>(divisor);
}

} // namespace

ChartData engineHistoryChart(const QString& engine, const QList<HistoryRow>& rows) {
    ChartData data;
    const ScaleBand band = scaleBandFor(LargestNumber(countsOf(rows)));
    data.axisTitle = band.axisTitle;
    data.seriesLabels = {engine};
    QList<double> values;
    values.reserve(rows.size());
    for (const HistoryRow& row : rows) {
        data.rowLabels.append(row.label);
        values.append(scaled(row.count, band.divisor));
    }
    data.values = {values};
    return data;
}

ChartData allEnginesChart(const QList<EngineHistory>& engines) {
    ChartData data;
    const QList<HistoryRow> noRows;
    const QList<HistoryRow>& first = engines.isEmpty() ? noRows : engines.constFirst().rows;
    const ScaleBand band = scaleBandFor(LargestNumber(countsOf(first)));
    data.axisTitle = band.axisTitle;
    const qsizetype rowCount = engines.isEmpty() ? 0 : engines.constLast().rows.size();
    for (qsizetype i = 0; i < rowCount; ++i)
        data.rowLabels.append(i < first.size() ? first.at(i).label : QString());
    for (const EngineHistory& engine : engines) {
        data.seriesLabels.append(engine.engine);
        QList<double> values(rowCount, 0.0);
        for (qsizetype i = 0; i < rowCount && i < engine.rows.size(); ++i)
            values[i] = scaled(engine.rows.at(i).count, band.divisor);
        data.values.append(values);
    }
    return data;
}

ChartData resultsChart(const QStringList& captions, const QList<ResultsRowCells>& rows) {
    ChartData data;
    data.title = QLatin1String(TemporaryResultsTitle);
    data.rowLabels = captions;
    auto countsOfRow = [&](const ResultsRowCells& row) {
        QList<qint64> counts;
        for (qsizetype i = 0; i < captions.size(); ++i)
            counts.append(i < row.cells.size() ? wholeNumberOrZero(row.cells.at(i)) : 0);
        return counts;
    };
    const ScaleBand band =
        scaleBandFor(rows.isEmpty() ? 0 : LargestNumber(countsOfRow(rows.constFirst())));
    data.axisTitle = band.axisTitle;
    for (const ResultsRowCells& row : rows) {
        data.seriesLabels.append(row.url);
        QList<double> values;
        for (qint64 count : countsOfRow(row))
            values.append(scaled(count, band.divisor));
        data.values.append(values);
    }
    return data;
}

} // namespace tally
