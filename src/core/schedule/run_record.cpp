#include "core/schedule/run_record.h"

#include "core/files/file_lock.h"
#include "core/settings/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tally {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(RunRecord)
};

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

RunRecord recordOfScan(const ResultRecords& rows, const QList<ScanFailure>& failures) {
    RunRecord r;
    r.urls = int(rows.size());
    for (const auto& row : rows)
        for (int slot = 0; slot < EngineCount; ++slot)
            r.counted += row->value(slot) ? 1 : 0;
    r.failed = int(failures.size());
    QHash<QString, int> failedOf;
    QStringList engines;
    for (const ScanFailure& f : failures) {
        r.sourceRefused = r.sourceRefused || isSourceRefusal(f.kind);
        if (failedOf[f.engine]++ == 0)
            engines << f.engine;
    }
    for (const QString& engine : engines) {
        const auto first = std::find_if(failures.begin(), failures.end(),
                                        [&](const ScanFailure& f) { return f.engine == engine; });
        r.sources << Text::tr("%1: %n failed, first: %2", nullptr, failedOf.value(engine))
                         .arg(engine, first->reason.left(200));
    }
    return r;
}

FileOutcome appendRunRecord(const RunRecord& r) {
    const QJsonObject object{{QStringLiteral("when"), r.when.toString(Qt::ISODate)},
                             {QStringLiteral("schedule"), r.schedule},
                             {QStringLiteral("window"), r.window},
                             {QStringLiteral("list"), r.list},
                             {QStringLiteral("urls"), r.urls},
                             {QStringLiteral("counted"), r.counted},
                             {QStringLiteral("failed"), r.failed},
                             {QStringLiteral("exit"), r.exitCode},
                             {QStringLiteral("sources"), QJsonArray::fromStringList(r.sources)}};
    QDir().mkpath(QFileInfo(runRecordFile()).absolutePath());
    FileLock lock(runRecordFile());
    if (const FileOutcome held = lock.acquire(); !held)
        return held;
    QList<QByteArray> lines = recordLines();
    lines << QJsonDocument(object).toJson(QJsonDocument::Compact);
    while (lines.size() > KeptRuns)
        lines.removeFirst();
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
        r.window = o.value(QStringLiteral("window")).toBool();
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
