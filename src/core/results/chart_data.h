// What the history chart shows, decided without any chart widget: the chart types, the scale
// bands, and the chart content built from a saved search's history or from the results table.
#pragma once

#include "core/results/saved_search.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tally {

// The eight chart types, by their position in cmbChart2.
inline constexpr int ChartTypeCount = 8;
inline constexpr int DefaultChartType = 3; // "2D Line Graph"

enum class ChartKind { Bar, Line, Area, Step };

// "3D Bar Chart", "2D Bar Chart", "3d Line Graph", ... in cmbChart2's order.
const QStringList& chartTypeNames();
// A type whose name holds "3D" (letter case ignored). Out-of-range types count as 2D.
bool chartTypeIs3D(int type);
ChartKind chartTypeKind(int type);
// The stored cmbChart2 setting as a type: a whole number from 0 to 7, else the default.
int chartTypeFromSetting(const QString& text);
// The hint under the chart for a type: "Control Key + Drag to rotate." for 3D types, else empty.
QString chartTypeHint(int type);

// The largest of the numbers; 0 when there are none.
qint64 LargestNumber(const QList<qint64>& numbers);

// How counts are scaled down for the value axis, chosen from the largest count.
struct ScaleBand {
    qint64 divisor = 1;
    QString axisTitle;
};
ScaleBand scaleBandFor(qint64 largest);

// One chart's content. values[s][r] is series s at row r; every series holds one value per row.
struct ChartData {
    int type = DefaultChartType;
    QString title;
    QString axisTitle;
    QStringList seriesLabels;
    QStringList rowLabels;
    QList<QList<double>> values;

    int seriesCount() const { return int(seriesLabels.size()); }
    int rowCount() const { return int(rowLabels.size()); }
    // The largest value handed to the chart (0 when empty).
    double largestValue() const;
};

// The caption of the combined entry of cmbChart1.
inline constexpr const char* AllEnginesEntry = "All Engines";

// One engine's history as one series, scaled by that engine's largest count.
ChartData engineHistoryChart(const QString& engine, const QList<HistoryRow>& rows);

struct EngineHistory {
    QString engine;
    QList<HistoryRow> rows;
};

// Every engine as one series, row i holding each engine's i-th line whatever its date. The first
// engine fixes the divisor, the axis title and the row labels; the last engine's number of lines
// is the number of rows. Rows beyond the first engine's lines have an empty label; an engine
// with fewer lines than rows gives 0 there.
ChartData allEnginesChart(const QList<EngineHistory>& engines);

// The title of the chart of the current results.
inline constexpr const char* TemporaryResultsTitle = "Temporary Search Results";

// One results row: the URL and its six engine cells, as texts.
struct ResultsRowCells {
    QString url;
    QStringList cells;
};

// The current results: one series per row (labelled by URL), one row per engine column (labelled
// by its caption). A cell that is not a whole number counts as 0; the first URL's counts fix the
// divisor.
ChartData resultsChart(const QStringList& captions, const QList<ResultsRowCells>& rows);

} // namespace tally
