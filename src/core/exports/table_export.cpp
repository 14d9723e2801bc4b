#include "core/exports/table_export.h"

#include "core/numbers/numbers.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/ini_file.h"

#include <QDate>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <optional>

namespace tally {

namespace {

// The slots' captions as engines.ini names them now, as the window's columns show them.
QStringList engineCaptions() {
    return programEngines().captions();
}

QJsonValue numberOrText(const QString& text) {
    if (text.isEmpty())
        return QJsonValue::Null;
    if (const std::optional<qint64> whole = readWholeNumber(text))
        return QJsonValue(*whole);
    return QJsonValue(text);
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

QByteArray resultsCsv(const QList<ResultRow>& rows) {
    const QStringList captions = engineCaptions();
    QStringList header{QStringLiteral("URL")};
    header << captions << QStringLiteral("Total") << QStringLiteral("Profile");
    for (const QString& caption : captions)
        header << caption + QStringLiteral(" reason");
    QByteArray csv = csvRecord(header);
    for (const ResultRow& row : rows) {
        QStringList fields{row.url};
        for (const QString& count : row.counts)
            fields << count;
        fields << row.total << profileName(row.profile);
        for (const QString& reason : row.reasons)
            fields << reason;
        csv += csvRecord(fields);
    }
    return csv;
}

QByteArray resultsJson(const QList<ResultRow>& rows, const QDate& date) {
    const QStringList captions = engineCaptions();
    QJsonArray results;
    for (const ResultRow& row : rows) {
        QJsonArray engines;
        for (int e = 0; e < EngineCount; ++e) {
            QJsonObject engine{{QStringLiteral("engine"), captions.at(e)},
                               {QStringLiteral("count"), numberOrText(row.counts[e])}};
            if (!row.reasons[e].isEmpty())
                engine.insert(QStringLiteral("reason"), row.reasons[e]);
            engines.append(engine);
        }
        const QString profile = profileName(row.profile);
        results.append(QJsonObject{
            {QStringLiteral("url"), row.url},
            {QStringLiteral("total"), numberOrText(row.total)},
            {QStringLiteral("profile"), profile.isEmpty() ? QJsonValue() : QJsonValue(profile)},
            {QStringLiteral("engines"), engines}});
    }
    const QJsonObject document{{QStringLiteral("date"), date.toString(Qt::ISODate)},
                               {QStringLiteral("results"), results}};
    QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Indented);
    json.replace("\n", "\r\n");
    return json;
}

FileOutcome historyCsv(const QString& savedSearchFile, QByteArray* csv) {
    if (const FileOutcome readable = checkSavedSearchReadable(savedSearchFile); !readable)
        return readable;
    const QStringList engines = modINI::ListIniSections(savedSearchFile);

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

    QByteArray bytes = csvRecord(QStringList{QStringLiteral("Date")} + engines);
    for (const QString& label : std::as_const(labels)) {
        const std::optional<QDate> date = historyKeyDate(label);
        QStringList fields{date ? date->toString(Qt::ISODate) : label};
        const QHash<int, QString>& day = values.value(label);
        for (int e = 0; e < engines.size(); ++e)
            fields << day.value(e);
        bytes += csvRecord(fields);
    }
    *csv = bytes;
    return FileOutcome::success();
}

} // namespace tally
