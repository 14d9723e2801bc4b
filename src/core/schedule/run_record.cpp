#include "core/schedule/run_record.h"

#include "core/settings/user_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tally {

namespace {

// A record file of KeptRuns lines is far below this.
constexpr qint64 RecordFileLimit = 4 * 1024 * 1024;

QList<QByteArray> recordLines() {
    const FileContents read = readFileBounded(runRecordFile(), RecordFileLimit);
    QList<QByteArray> lines;
    if (read.isRead())
        for (const QByteArray& line : read.bytes.split('\n'))
            if (!line.trimmed().isEmpty())
                lines << line;
    return lines;
}

} // namespace

QString runRecordFile() {
    return QFileInfo(userSettingsFile()).absolutePath() + QStringLiteral("/runs.jsonl");
}

FileOutcome appendRunRecord(const RunRecord& r) {
    const QJsonObject object{{QStringLiteral("when"), r.when.toString(Qt::ISODate)},
                             {QStringLiteral("schedule"), r.schedule},
                             {QStringLiteral("list"), r.list},
                             {QStringLiteral("urls"), r.urls},
                             {QStringLiteral("counted"), r.counted},
                             {QStringLiteral("failed"), r.failed},
                             {QStringLiteral("exit"), r.exitCode},
                             {QStringLiteral("sources"), QJsonArray::fromStringList(r.sources)}};
    QList<QByteArray> lines = recordLines();
    lines << QJsonDocument(object).toJson(QJsonDocument::Compact);
    while (lines.size() > KeptRuns)
        lines.removeFirst();
    QDir().mkpath(QFileInfo(runRecordFile()).absolutePath());
    return writeFileAtomically(runRecordFile(), lines.join('\n') + '\n');
}

QList<RunRecord> recentRuns() {
    QList<RunRecord> runs;
    const QList<QByteArray> lines = recordLines();
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QJsonObject o = QJsonDocument::fromJson(*line).object();
        RunRecord r;
        r.when = QDateTime::fromString(o.value(QStringLiteral("when")).toString(), Qt::ISODate);
        if (!r.when.isValid())
            continue;
        r.schedule = o.value(QStringLiteral("schedule")).toString();
        r.list = o.value(QStringLiteral("list")).toString();
        r.urls = o.value(QStringLiteral("urls")).toInt();
        r.counted = o.value(QStringLiteral("counted")).toInt();
        r.failed = o.value(QStringLiteral("failed")).toInt();
        r.exitCode = o.value(QStringLiteral("exit")).toInt();
        for (const QJsonValue& v : o.value(QStringLiteral("sources")).toArray())
            r.sources << v.toString();
        runs << r;
    }
    return runs;
}

} // namespace tally
