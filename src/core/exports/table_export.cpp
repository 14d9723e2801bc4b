#include "core/exports/table_export.h"

#include "core/numbers/numbers.h"
#include "core/product/engine_table.h"
#include "core/results/chart_data.h"
#include "core/results/saved_search.h"
#include "core/results/site_histories.h"
#include "core/settings/ini_file.h"

#include <QDate>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include <algorithm>
#include <optional>

namespace tally {

namespace {

QJsonValue numberOrText(const QString& text) {
    if (text.isEmpty())
        return QJsonValue::Null;
    if (const std::optional<qint64> whole = readWholeNumber(text))
        return QJsonValue(*whole);
    return QJsonValue(text);
}

// A score's value: a number with its decimals.
QJsonValue scoreValue(const QString& text) {
    if (const std::optional<double> value = readDecimalNumber(text))
        return QJsonValue(*value);
    return numberOrText(text);
}

} // namespace

QString profileName(int profile) {
    switch (profile) {
    case 1:
        return QStringLiteral("low");
    case 2:
        return QStringLiteral("medium");
    case 3:
        return QStringLiteral("high");
    default:
        return QString();
    }
}

QString csvField(const QString& text) {
    QString field = text;
    if (!field.isEmpty()) {
        const QChar first = field.at(0);
        if (first == QLatin1Char('=') || first == QLatin1Char('+') || first == QLatin1Char('-') ||
            first == QLatin1Char('@') || first == QLatin1Char('\t') || first == QLatin1Char('\r'))
            field.prepend(QLatin1Char('\''));
    }
    const bool quote = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                       field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
    if (!quote)
        return field;
    field.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

QByteArray csvRecord(const QStringList& fields) {
    QStringList written;
    written.reserve(fields.size());
    for (const QString& f : fields)
        written << csvField(f);
    return written.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

namespace {

// The slots a table of the header's run has columns for, and those of them with a "matched" one.
struct CsvColumns {
    QList<int> kept;
    QList<int> graphs;
    explicit CsvColumns(const EngineSnapshot& header) {
        for (int s = 0; s < EngineCount; ++s)
            if (!header.slot[s].switchedOff) {
                kept << s;
                if (header.slot[s].kind == EngineKind::Graph)
                    graphs << s;
            }
    }
};

} // namespace

QByteArray resultsCsvHeader(const EngineSnapshot& header) {
    const CsvColumns columns(header);
    QStringList fields{QStringLiteral("URL")};
    for (int s : columns.kept)
        fields << header.slot[s].caption;
    fields << QStringLiteral("Total") << QStringLiteral("Profile");
    for (int s : columns.kept)
        fields << header.slot[s].caption + QStringLiteral(" reason");
    for (int s : columns.graphs) // the vertex each cell of a link index's column was looked up as
        fields << header.slot[s].caption + QStringLiteral(" matched");
    return csvRecord(fields);
}

QByteArray resultsCsvRow(const ResultRecord& row, const EngineSnapshot& header) {
    const CsvColumns columns(header);
    QStringList fields{row.url};
    for (int s : columns.kept)
        fields << (row.isOff(s) ? QString() : row.cellText(s));
    fields << row.totalText() << profileName(row.profile());
    for (int s : columns.kept)
        fields << (row.isFailure(s) ? row.cells[s].reason() : QString());
    for (int s : columns.graphs)
        fields << row.cells[s].matched();
    return csvRecord(fields);
}

QByteArray resultsCsv(const ResultRecords& rows, const EngineSnapshot& header) {
    QByteArray csv = resultsCsvHeader(header);
    for (const std::shared_ptr<const ResultRecord>& row : rows)
        csv += resultsCsvRow(*row, header);
    return csv;
}

QByteArray resultsJson(const ResultRecords& rows, const QDate& date) {
    QByteArray json;
    writeResultsJson(rows, date, [&json](QByteArrayView piece) {
        json += piece;
        return true;
    });
    return json;
}

bool writeResultsJson(const ResultRecords& rows, const QDate& date,
                      const std::function<bool(QByteArrayView)>& sink) {
    ResultsJsonWriter writer(date, sink);
    for (const std::shared_ptr<const ResultRecord>& row : rows)
        if (!writer.add(*row))
            return false;
    return writer.finish();
}

ResultsJsonWriter::ResultsJsonWriter(const QDate& date, std::function<bool(QByteArrayView)> sink)
    : date_(date), sink_(std::move(sink)),
      histories_(std::make_unique<SiteHistories>(SiteHistories::read(savedSearchFolder()))) {
    // Written row by row, as QJsonDocument indents a whole document (four spaces a level, CR LF
    // here): 100,000 rows are never held as one tree, nor as one text.
    json_ =
        "{\r\n    \"date\": \"" + date.toString(Qt::ISODate).toUtf8() + "\",\r\n    \"results\": [";
}

ResultsJsonWriter::~ResultsJsonWriter() = default;

bool ResultsJsonWriter::add(const ResultRecord& row) {
    if (refused_)
        return false;
    QJsonArray engines;
    for (int s = 0; s < EngineCount; ++s) {
        const EngineSlotSnapshot& slot = row.engines->slot[s];
        if (slot.switchedOff)
            continue;
        const QString count = row.cellText(s);
        QJsonObject engine{{QStringLiteral("engine"), slot.caption},
                           {QStringLiteral("count"),
                            slot.countsIntoTotal ? numberOrText(count) : scoreValue(count)}};
        if (!slot.countsIntoTotal)
            engine.insert(QStringLiteral("inTotal"), false);
        if (row.isFailure(s))
            engine.insert(QStringLiteral("reason"), row.cells[s].reason());
        // What changed since the site's previous saved point of this source.
        if (const std::optional<qint64> value = row.cells[s].count;
            value && slot.countsIntoTotal && !histories_->isEmpty())
            if (const std::optional<CountChange> change = histories_->change(
                    row.url, slot.caption, {slot.source, slot.metric, slot.release, {}, {}, {}},
                    *value, date_)) {
                engine.insert(QStringLiteral("change"), change->delta);
                engine.insert(QStringLiteral("changePercent"),
                              change->percent ? QJsonValue(std::round(*change->percent * 10) / 10)
                                              : QJsonValue());
                engine.insert(QStringLiteral("changeSince"), change->since.toString(Qt::ISODate));
            }
        if (slot.kind == EngineKind::Graph) {
            const QString& matched = row.cells[s].matched();
            engine.insert(QStringLiteral("matched"),
                          matched.isEmpty() ? QJsonValue() : QJsonValue(matched));
        }
        engines.append(engine);
    }
    const QString profile = profileName(row.profile());
    const QByteArray object =
        QJsonDocument(QJsonObject{{QStringLiteral("url"), row.url},
                                  {QStringLiteral("total"), numberOrText(row.totalText())},
                                  {QStringLiteral("profile"),
                                   profile.isEmpty() ? QJsonValue() : QJsonValue(profile)},
                                  {QStringLiteral("engines"), engines}})
            .toJson(QJsonDocument::Indented);
    json_ += first_ ? "\r\n" : ",\r\n";
    first_ = false;
    // Two levels in: each line indented by eight spaces, the last line break left to the
    // next row.
    qsizetype from = 0;
    while (from < object.size()) {
        qsizetype end = object.indexOf('\n', from);
        if (end < 0)
            end = object.size();
        if (from > 0)
            json_ += "\r\n";
        json_ += "        ";
        json_ += QByteArrayView(object).sliced(from, end - from);
        from = end + 1;
    }
    if (json_.size() >= 64 * 1024) {
        if (!sink_(json_)) {
            refused_ = true;
            return false;
        }
        json_.clear();
    }
    return true;
}

bool ResultsJsonWriter::finish() {
    if (refused_)
        return false;
    json_ += "\r\n    ]\r\n}\r\n";
    return sink_(json_);
}

namespace {

// A saved search's points as JSON objects, section by section (only `section` when given).
QJsonArray historyPoints(const QString& file, const QString& section, QString* problem) {
    const Provenance sources = Provenance::read(file, problem);
    const auto orNull = [](const QString& text) {
        return text.isEmpty() ? QJsonValue() : QJsonValue(text);
    };
    QJsonArray points;
    for (const QString& caption : modINI::ListIniSections(file)) {
        if (!section.isEmpty() && caption != section)
            continue;
        for (const HistoryLine& line : readEngineHistoryLines(caption, file)) {
            const std::optional<QDate> date = historyKeyDate(line.label);
            const std::optional<qint64> count = readWholeNumber(line.value);
            const PointSource from = date ? sources.at(caption, *date) : PointSource();
            points.append(QJsonObject{
                {QStringLiteral("date"), date ? date->toString(Qt::ISODate) : line.label},
                {QStringLiteral("caption"), caption},
                {QStringLiteral("count"), count ? QJsonValue(*count) : QJsonValue()},
                {QStringLiteral("source"), orNull(from.source)},
                {QStringLiteral("metric"), orNull(from.metric)},
                {QStringLiteral("release"), orNull(from.release)},
                {QStringLiteral("vertex"), orNull(from.vertex)},
                {QStringLiteral("url"), orNull(from.url)},
                {QStringLiteral("backfilled"), !from.backfilledFrom.isEmpty()}});
        }
    }
    return points;
}

QString titleOf(const QString& file) {
    return savedSearchTitle(QFileInfo(file).fileName());
}

} // namespace

FileOutcome historyJson(const QString& savedSearchFile, QByteArray* json, QString* problem) {
    if (const FileOutcome readable = checkSavedSearchReadable(savedSearchFile); !readable)
        return readable;
    const QJsonObject root{{QStringLiteral("name"), titleOf(savedSearchFile)},
                           {QStringLiteral("points"), historyPoints(savedSearchFile, {}, problem)}};
    *json = QJsonDocument(root).toJson();
    return FileOutcome::success();
}

FileOutcome sitesHistoryCsv(const QStringList& files, const QString& section, QByteArray* csv) {
    QList<SiteHistory> sites;
    for (const QString& file : files) {
        if (const FileOutcome readable = checkSavedSearchReadable(file); !readable)
            return readable;
        sites.append({titleOf(file), readEngineHistory(section, file)});
    }
    const ChartData data = sitesChart(section, sites);
    QByteArray bytes = csvRecord(QStringList{QStringLiteral("Date")} + data.seriesLabels);
    for (int r = 0; r < data.rowCount(); ++r) {
        const std::optional<QDate> date = historyKeyDate(data.rowLabels.at(r));
        QStringList fields{date ? date->toString(Qt::ISODate) : data.rowLabels.at(r)};
        for (int s = 0; s < data.seriesCount(); ++s) {
            const ChartValue count = data.counts.at(s).at(r);
            fields << (count ? QString::number(qint64(*count)) : QString());
        }
        bytes += csvRecord(fields);
    }
    *csv = bytes;
    return FileOutcome::success();
}

FileOutcome sitesHistoryJson(const QStringList& files, const QString& section, QByteArray* json,
                             QString* problem) {
    QJsonArray sites;
    for (const QString& file : files) {
        if (const FileOutcome readable = checkSavedSearchReadable(file); !readable)
            return readable;
        QString own;
        sites.append(QJsonObject{{QStringLiteral("name"), titleOf(file)},
                                 {QStringLiteral("points"), historyPoints(file, section, &own)}});
        if (problem && !own.isEmpty())
            *problem += (problem->isEmpty() ? QString() : QStringLiteral("\n")) + own;
    }
    *json = QJsonDocument(
                QJsonObject{{QStringLiteral("source"), section}, {QStringLiteral("sites"), sites}})
                .toJson();
    return FileOutcome::success();
}

FileOutcome historyCsv(const QString& savedSearchFile, QByteArray* csv, QString* problem) {
    if (const FileOutcome readable = checkSavedSearchReadable(savedSearchFile); !readable)
        return readable;
    const QStringList engines = modINI::ListIniSections(savedSearchFile);
    const Provenance sources = Provenance::read(savedSearchFile, problem);

    // Every date text with its value per engine; the first line of a date in a section counts.
    QStringList labels;
    QHash<QString, QHash<int, QString>> values;
    for (int e = 0; e < engines.size(); ++e) {
        for (const HistoryLine& line : readEngineHistoryLines(engines.at(e), savedSearchFile)) {
            if (!values.contains(line.label))
                labels << line.label;
            QHash<int, QString>& day = values[line.label];
            if (!day.contains(e)) {
                const std::optional<qint64> count = readWholeNumber(line.value);
                day.insert(e, count ? QString::number(*count) : QString());
            }
        }
    }
    // Dates newest first; texts that are not dates after them, as found.
    std::stable_sort(labels.begin(), labels.end(), [](const QString& a, const QString& b) {
        const std::optional<QDate> da = historyKeyDate(a);
        const std::optional<QDate> db = historyKeyDate(b);
        if (da && db)
            return *da > *db;
        return da.has_value() && !db.has_value();
    });

    // A section's source and release, where its points came from a preset or a definition of
    // the user's: a built-in engine's source is its caption.
    QList<bool> withSource;
    for (int e = 0; e < engines.size(); ++e) {
        bool other = false;
        for (auto day = values.cbegin(); day != values.cend() && !other; ++day)
            if (const std::optional<QDate> date = historyKeyDate(day.key());
                date && day->contains(e)) {
                const QString source = sources.at(engines.at(e), *date).source;
                other = !source.isEmpty() && !isBuiltInEngineKey(source);
            }
        withSource << other;
    }
    QStringList header{QStringLiteral("Date")};
    for (int e = 0; e < engines.size(); ++e) {
        header << engines.at(e);
        if (withSource.at(e))
            header << engines.at(e) + QStringLiteral(" source")
                   << engines.at(e) + QStringLiteral(" release");
    }
    QByteArray bytes = csvRecord(header);
    for (const QString& label : std::as_const(labels)) {
        const std::optional<QDate> date = historyKeyDate(label);
        QStringList fields{date ? date->toString(Qt::ISODate) : label};
        const QHash<int, QString>& day = values.value(label);
        for (int e = 0; e < engines.size(); ++e) {
            fields << day.value(e);
            if (!withSource.at(e))
                continue;
            const PointSource from =
                date && day.contains(e) ? sources.at(engines.at(e), *date) : PointSource();
            fields << from.source << from.release;
        }
        bytes += csvRecord(fields);
    }
    *csv = bytes;
    return FileOutcome::success();
}

} // namespace tally
