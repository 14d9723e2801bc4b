#include "core/results/chart_data.h"

#include "core/numbers/numbers.h"
#include "core/product/engine_table.h"

#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(ChartData)
};

} // namespace

QStringList chartTypeNames() {
    return {
        Text::tr("3D Bar Chart"),  Text::tr("2D Bar Chart"),  Text::tr("3d Line Graph"),
        Text::tr("2D Line Graph"), Text::tr("3D Area Chart"), Text::tr("2D Area Chart"),
        Text::tr("3D Step Chart"), Text::tr("2D Step Chart"),
    };
}

bool chartTypeIs3D(int type) {
    // The even types are the 3D ones, each before its 2D twin.
    return type >= 0 && type < ChartTypeCount && type % 2 == 0;
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

QString chartTypeHint(int type) {
    return chartTypeIs3D(type) ? Text::tr("Control Key + Drag to rotate.") : QString();
}

qint64 LargestNumber(const QList<qint64>& numbers) {
    if (numbers.isEmpty())
        return 0;
    return *std::max_element(numbers.begin(), numbers.end());
}

ScaleBand scaleBandFor(qint64 largest) {
    if (largest > 100'000'000)
        return {1000, Text::tr("Linking Sites x1000")};
    if (largest > 10'000'000)
        return {100, Text::tr("Linking Sites x100")};
    if (largest > 1'000'000)
        return {10, Text::tr("Linking Sites x10")};
    return {1, Text::tr("Linking Sites")};
}

QString ChartData::seriesDescription(int series) const {
    if (series >= 0 && series < seriesDescriptions.size() &&
        !seriesDescriptions.at(series).isEmpty())
        return seriesDescriptions.at(series);
    return seriesLabels.value(series);
}

double ChartData::largestValue() const {
    double largest = 0;
    for (const QList<ChartValue>& series : values)
        for (const ChartValue& v : series)
            if (v)
                largest = std::max(largest, *v);
    return largest;
}

double ChartData::smallestValue() const {
    double smallest = 0;
    for (const QList<ChartValue>& series : values)
        for (const ChartValue& v : series)
            if (v)
                smallest = std::min(smallest, *v);
    return smallest;
}

namespace {

// The number of the form 1, 2 or 5 times a power of ten nearest to x (x > 0).
double roundNumber(double x) {
    const int exponent = int(std::floor(std::log10(x)));
    const double power = std::pow(10.0, std::abs(exponent));
    const double fraction = exponent < 0 ? x * power : x / power;
    const double round = fraction < 1.5 ? 1 : fraction < 3 ? 2 : fraction < 7 ? 5 : 10;
    // Dividing by a whole power of ten gives the nearest double to 0.05, multiplying by 0.01 not.
    return exponent < 0 ? round / power : round * power;
}

} // namespace

int ValueScale::tickCount() const {
    return step > 0 ? int(std::lround((max - min) / step)) + 1 : 2;
}

ValueScale niceValueScale(double low, double high) {
    constexpr int Steps = 4; // about five ticks
    if (!std::isfinite(low) || !std::isfinite(high) || high < low)
        low = high = 0;
    if (low > 0)
        low = 0; // counts stand on the floor
    if (high < 0)
        high = 0;
    if (high - low <= 0)
        high = 1;
    ValueScale scale;
    scale.step = roundNumber((high - low) / Steps);
    constexpr double Slack = 1e-9; // 0.7 / 0.1 is not quite 7
    scale.min = std::floor(low / scale.step + Slack) * scale.step;
    scale.max = std::ceil(high / scale.step - Slack) * scale.step;
    if (scale.min == 0)
        scale.min = 0; // no "-0"
    scale.decimals = std::max(0, -int(std::floor(std::log10(scale.step) + Slack)));
    return scale;
}

QLocale chartNumberLocale() {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

QString chartValueText(double value, int decimals) {
    return chartNumberLocale().toString(value, 'f', decimals);
}

QList<QList<int>> runsToDraw(const QList<ChartValue>& values, int spans, const QList<int>& breaks,
                             bool joined) {
    const qsizetype rows = values.size();
    const bool thin = spans > 0 && rows > 2 * qsizetype(spans);
    // A gap of fewer rows than this is gone over.
    const qsizetype shortGap = thin ? (rows + spans - 1) / spans : 1;
    QList<QList<int>> runs;
    for (int i = 0; i < rows; ++i) {
        if (!values.at(i))
            continue;
        const bool goneOver =
            !runs.isEmpty() && (joined || i - runs.constLast().constLast() - 1 < shortGap);
        if (!goneOver || breaks.contains(i))
            runs.append(QList<int>());
        runs.last().append(i);
    }
    if (!thin)
        return runs;
    auto spanOf = [&](int row) { return qsizetype(row) * spans / rows; };
    for (QList<int>& run : runs) {
        QList<int> kept{run.constFirst()};
        auto keep = [&](int row) {
            if (kept.constLast() < row)
                kept.append(row);
        };
        for (qsizetype at = 0; at < run.size();) {
            qsizetype end = at, low = at, high = at;
            for (; end < run.size() && spanOf(run.at(end)) == spanOf(run.at(at)); ++end) {
                if (*values.at(run.at(end)) < *values.at(run.at(low)))
                    low = end;
                if (*values.at(run.at(end)) > *values.at(run.at(high)))
                    high = end;
            }
            keep(run.at(std::min(low, high)));
            keep(run.at(std::max(low, high)));
            at = end;
        }
        keep(run.constLast());
        run = kept;
    }
    return runs;
}

QList<int> seriesColourSlots(const QStringList& seriesLabels) {
    QList<int> chosen(seriesLabels.size(), -1);
    QList<bool> taken;
    const auto take = [&taken](int slot) {
        if (taken.size() <= slot)
            taken.resize(slot + 1, false);
        taken[slot] = true;
    };
    for (qsizetype s = 0; s < seriesLabels.size(); ++s)
        for (int e = 0; e < EngineCount; ++e)
            if (seriesLabels.at(s) == QLatin1String(engineTable()[e].caption)) {
                chosen[s] = e;
                take(e);
            }
    int next = 0;
    for (int& slot : chosen) {
        if (slot >= 0)
            continue;
        while (next < taken.size() && taken.at(next))
            ++next;
        slot = next;
        take(next);
    }
    return chosen;
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

// The union of the engines' row labels, newest date first; labels that are not dates follow in
// the order they were first met.
QStringList datesOfAll(const QList<EngineHistory>& engines) {
    struct Label {
        QString text;
        QDate date;
    };
    QList<Label> labels;
    QSet<QString> seen;
    for (const EngineHistory& engine : engines)
        for (const HistoryRow& row : engine.rows)
            if (!seen.contains(row.label)) {
                seen.insert(row.label);
                labels.append({row.label, historyKeyDate(row.label).value_or(QDate())});
            }
    std::stable_sort(labels.begin(), labels.end(), [](const Label& a, const Label& b) {
        if (a.date.isValid() != b.date.isValid())
            return a.date.isValid();
        return a.date > b.date;
    });
    QStringList texts;
    texts.reserve(labels.size());
    for (const Label& label : labels)
        texts.append(label.text);
    return texts;
}

} // namespace

ChartData engineHistoryChart(const QString& engine, const QList<HistoryRow>& rows) {
    ChartData data;
    const ScaleBand band = scaleBandFor(LargestNumber(countsOf(rows)));
    data.axisTitle = band.axisTitle;
    data.seriesLabels = {engine};
    QList<ChartValue> values;
    QList<ChartValue> counts;
    values.reserve(rows.size());
    counts.reserve(rows.size());
    for (const HistoryRow& row : rows) {
        data.rowLabels.append(row.label);
        values.append(scaled(row.count, band.divisor));
        counts.append(double(row.count));
    }
    data.values = {values};
    data.counts = {counts};
    return data;
}

ChartData allEnginesChart(const QList<EngineHistory>& engines) {
    ChartData data;
    const QList<HistoryRow> noRows;
    const QList<HistoryRow>& first = engines.isEmpty() ? noRows : engines.constFirst().rows;
    const ScaleBand band = scaleBandFor(LargestNumber(countsOf(first)));
    data.axisTitle = band.axisTitle;
    data.rowLabels = datesOfAll(engines);
    QHash<QString, qsizetype> rowOf;
    rowOf.reserve(data.rowLabels.size());
    for (qsizetype r = 0; r < data.rowLabels.size(); ++r)
        rowOf.insert(data.rowLabels.at(r), r);
    for (const EngineHistory& engine : engines) {
        data.seriesLabels.append(engine.engine);
        QList<ChartValue> values(data.rowLabels.size());
        QList<ChartValue> counts(data.rowLabels.size());
        for (const HistoryRow& row : engine.rows) {
            const qsizetype r = rowOf.value(row.label);
            if (!values[r]) {
                values[r] = scaled(row.count, band.divisor);
                counts[r] = double(row.count);
            }
        }
        data.values.append(values);
        data.counts.append(counts);
    }
    return data;
}

ChartData sitesChart(const QString& section, const QList<SiteHistory>& sites) {
    ChartData data;
    data.title = section;
    data.joinGaps = true;
    QList<qint64> all;
    QMap<QDate, QString> labelOf; // oldest first
    for (const SiteHistory& site : sites)
        for (const HistoryRow& row : site.rows)
            if (const std::optional<QDate> date = historyKeyDate(row.label)) {
                labelOf.insert(*date, row.label);
                all << row.count;
            }
    const ScaleBand band = scaleBandFor(LargestNumber(all));
    data.axisTitle = band.axisTitle;
    QHash<QDate, qsizetype> rowOf;
    for (auto it = labelOf.cbegin(); it != labelOf.cend(); ++it) {
        rowOf.insert(it.key(), data.rowLabels.size());
        data.rowLabels << it.value();
    }
    for (const SiteHistory& site : sites) {
        data.seriesLabels << site.title;
        QList<ChartValue> values(data.rowLabels.size());
        QList<ChartValue> counts(data.rowLabels.size());
        for (const HistoryRow& row : site.rows) {
            const std::optional<QDate> date = historyKeyDate(row.label);
            const qsizetype r = date ? rowOf.value(*date, -1) : -1;
            if (r >= 0 && !values[r]) { // the first line of a date counts
                values[r] = scaled(row.count, band.divisor);
                counts[r] = double(row.count);
            }
        }
        data.values << values;
        data.counts << counts;
    }
    return data;
}

QString siteLabel(const QString& url) {
    // Read by hand rather than through QUrl: a chart of a long list names thousands of sites.
    const QStringView text = QStringView(url).trimmed();
    const qsizetype scheme = text.indexOf(u"://");
    qsizetype start = scheme < 0 ? 0 : scheme + 3;
    qsizetype end = start;
    while (end < text.size() && text[end] != u'/' && text[end] != u'?' && text[end] != u'#')
        ++end;
    QStringView host = text.sliced(start, end - start);
    if (const qsizetype at = host.lastIndexOf(u'@'); at >= 0)
        host = host.sliced(at + 1);
    if (host.startsWith(u'[')) {
        host = host.left(host.indexOf(u']') + 1); // an IPv6 address, without its port
    } else if (const qsizetype colon = host.indexOf(u':'); colon >= 0) {
        // A port follows a host; without "://" anything else makes it a scheme ("about:blank").
        const QStringView port = host.sliced(colon + 1);
        bool digits = scheme >= 0 || !port.isEmpty();
        for (QChar c : port)
            digits = digits && c.isDigit();
        if (!digits)
            return url;
        host = host.left(colon);
    }
    if (host.isEmpty())
        return url;
    QString label = host.toString().toLower();
    if (label.startsWith(QLatin1String("www.")) && label.size() > 4)
        label.remove(0, 4);
    return label;
}

ChartData resultsChart(const EngineSnapshot& header, const ResultRecords& rows) {
    ChartData data;
    data.title = QLatin1String(TemporaryResultsTitle);
    QList<int> kept;
    for (int s = 0; s < EngineCount; ++s)
        if (!header.slot[s].switchedOff) {
            kept << s;
            data.rowLabels << header.slot[s].caption;
        }
    qint64 largest = 0;
    if (!rows.isEmpty())
        for (int s : kept)
            if (const std::optional<double> v = rows.constFirst()->value(s))
                largest = std::max(largest, qint64(std::ceil(*v)));
    const ScaleBand band = scaleBandFor(largest);
    data.axisTitle = band.axisTitle;
    for (const std::shared_ptr<const ResultRecord>& row : rows) {
        data.seriesLabels.append(siteLabel(row->url));
        data.seriesDescriptions.append(row->url);
        QList<ChartValue> values;
        QList<ChartValue> counts;
        values.reserve(kept.size());
        counts.reserve(kept.size());
        for (int s : kept) {
            const std::optional<double> v = row->value(s);
            values.append(v ? ChartValue(*v / double(band.divisor)) : ChartValue());
            counts.append(v);
        }
        data.values.append(values);
        data.counts.append(counts);
    }
    return data;
}

} // namespace tally

namespace tally {

void markSources(ChartData& data, const Provenance& sources) {
    data.sourceChanges.clear();
    data.pointSources.clear();
    if (sources.isEmpty())
        return;
    QList<std::optional<QDate>> dates;
    for (const QString& label : std::as_const(data.rowLabels))
        dates << historyKeyDate(label);
    for (int s = 0; s < data.seriesCount(); ++s) {
        QStringList notes;
        int newer = -1; // the last row with a value, walking from the newest
        PointSource newerSource;
        for (int r = 0; r < data.rowCount(); ++r) {
            const PointSource here =
                dates.at(r) ? sources.at(data.seriesLabels.at(s), *dates.at(r)) : PointSource();
            notes << (here.isKnown() ? here.description() : QString());
            if (!data.values.at(s).value(r))
                continue;
            if (newer >= 0)
                if (const QString change = newerSource.changeFrom(here); !change.isEmpty())
                    data.sourceChanges.append({s, newer, r, change});
            newer = r;
            newerSource = here;
        }
        data.pointSources << notes;
    }
}

} // namespace tally
