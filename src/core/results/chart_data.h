// What the history chart shows, decided without any chart widget: the chart types, the scale
// bands, and the chart content built from a saved search's history or from the results table.
#pragma once

#include "core/results/results_model.h"
#include "core/results/saved_search.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace tally {

enum class ChartKind { Bar, Line, Area, Step };

// "3D Bar Chart", "2D Bar Chart", "3d Line Graph", ... in cmbChart2's order.
QStringList chartTypeNames();
// A type whose name holds "3D" (letter case ignored). Out-of-range types count as 2D.
bool chartTypeIs3D(int type);
ChartKind chartTypeKind(int type);
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

// A value handed to the chart: a count divided by the divisor, or nothing where a series has no
// count for a row (an engine that was not saved on that date). Nothing is drawn there, never a 0.
using ChartValue = std::optional<double>;

// One chart's content. values[s][r] is series s at row r; every series holds one entry per row.
struct ChartData {
    int type = DefaultChartType;
    QString title;
    QString axisTitle;
    QStringList seriesLabels;
    // What each series is in full where its label is short (a site's URL behind its host): the
    // legend's tooltip and accessible name. Empty, or one per series.
    QStringList seriesDescriptions;
    QStringList rowLabels;
    QList<QList<ChartValue>> values;
    // The counts behind the values, as they were counted (not divided by the scale's divisor; a
    // score with its decimals): counts[s][r] is set exactly where values[s][r] is.
    QList<QList<ChartValue>> counts;

    // Where a series' line breaks because its points come from different sources or web graph
    // releases: between two rows that hold its values next to each other, with what changed
    // ("source changed: Majestic → Semrush").
    struct SourceChange {
        int series = 0;
        int newerRow = 0;
        int olderRow = 0;
        QString text;
    };
    QList<SourceChange> sourceChanges;
    // A series' line goes on over rows where it has no value (sites measured on different
    // days) rather than breaking there.
    bool joinGaps = false;
    // What each point came from, for its tooltip: pointSources[s][r], empty where not known.
    QList<QStringList> pointSources;

    int seriesCount() const { return int(seriesLabels.size()); }
    // The series' full description: seriesDescriptions where given, else its label.
    QString seriesDescription(int series) const;
    int rowCount() const { return int(rowLabels.size()); }
    // The largest and the smallest value handed to the chart, never above / below 0.
    double largestValue() const;
    double smallestValue() const;
};

// A value axis on round numbers: from min to max in steps of 1, 2 or 5 times a power of ten, about
// five ticks in all, covering every value; decimals is what a tick's label needs.
struct ValueScale {
    double min = 0;
    double max = 1;
    double step = 0.2;
    int decimals = 1;
    int tickCount() const;
};
ValueScale niceValueScale(double low, double high);

// Numbers as the chart's labels write them: the user's locale with its group separators
// ("150,000,000" in English, "150.000.000" in German).
QLocale chartNumberLocale();
QString chartValueText(double value, int decimals);

// The runs of values of a series that a chart with room for `spans` spans of rows draws, each as
// its rows in order: a line, a step or an area is drawn run by run, so that it breaks where a
// value is missing. A run also starts at each row of `breaks` (where the points' source changed);
// joined, the rows without a value between two values are gone over. When the rows are no more
// than twice the spans (or spans is 0): every row holding a value. Otherwise what the spans can
// show: a gap shorter than a span is gone over, and of each run are kept its first and last row
// and, in each span, the rows of the least and the greatest value (counts that were reported,
// never a mean), so that the drawing keeps the series' outline.
QList<QList<int>> runsToDraw(const QList<ChartValue>& values, int spans,
                             const QList<int>& breaks = {}, bool joined = false);

// The colour slot of each series (an index into the chart's palette). An engine's caption always
// has its column's slot (Google 0, Altavista 1, ... All The Web 5), so that an engine keeps its
// colour in every chart of every saved search; any other label takes the lowest slot that no
// series before it holds.
QList<int> seriesColourSlots(const QStringList& seriesLabels);

// The caption of the combined entry of cmbChart1.
inline constexpr const char* AllEnginesEntry = "All Engines";

// One engine's history as one series, scaled by that engine's largest count.
ChartData engineHistoryChart(const QString& engine, const QList<HistoryRow>& rows);

struct EngineHistory {
    QString engine;
    QList<HistoryRow> rows;
};

// Every engine as one series over every date that any engine holds, one row per date, newest first:
// the dates in date order, then any label that is not a date in the order first met. An engine
// without a line for a date has no value in that row (the first line of a date counts when a
// section holds it twice). The first engine's largest count fixes the divisor and the axis title.
ChartData allEnginesChart(const QList<EngineHistory>& engines);

// One source across several saved searches (sites side by side): a series per site named by its
// title, a row per date that any of them holds, oldest first as time series are read; a site
// without a point on a date draws nothing there. Lines that are not dated are left out. The
// largest count of all fixes the divisor.
struct SiteHistory {
    QString title;
    QList<HistoryRow> rows;
};
ChartData sitesChart(const QString& section, const QList<SiteHistory>& sites);

// A saved search's chart told where its points came from: each series is the section of its
// label, each row the date of its label. Series whose points are not known change nothing.
void markSources(ChartData& data, const Provenance& sources);

// The title of the chart of the current results.
inline constexpr const char* TemporaryResultsTitle = "Temporary Search Results";

// A site as a legend names it: the URL's host without a leading "www." ("example.com" for
// "http://www.example.com/a"); the URL as it is when it has no host.
QString siteLabel(const QString& url);

// The current results: one series per row, labelled by its site with the URL as its description;
// one row per engine that is not switched off, labelled by the header's caption. A request that
// gave no count draws nothing there (never a 0); a score draws its value. The first URL's values
// fix the divisor.
ChartData resultsChart(const EngineSnapshot& header, const ResultRecords& rows);

} // namespace tally
