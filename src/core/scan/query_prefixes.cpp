#include "core/scan/query_prefixes.h"

#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tally {

QueryPrefixes::QueryPrefixes(const QString& settingsIni, int recheckMs)
    : path_(ProgramFolder::resolve(settingsIni)), recheckMs_(recheckMs) {}

void QueryPrefixes::refresh() {
    const quint64 writes = filesWrittenSoFar();
    if (loaded_ && writes == writesSeen_ && recheckMs_ > 0 && !checked_.hasExpired(recheckMs_))
        return;
    writesSeen_ = writes;
    checked_.start();
    const FileStamp now = FileStamp::of(path_);
    if (loaded_ && now == stamp_)
        return;
    // Stamped before the read: a change during the read shows as a change at the next request.
    stamp_ = now;
    loaded_ = true;
    document_ = modINI::IniDocument::load(path_);
    ++reads_;
}

QString QueryPrefixes::prefix(const QString& key) {
    refresh();
    return document_.value(QLatin1String(EnginesSection), key, QString());
}

QString QueryPrefixes::pacing(const QString& key) {
    refresh();
    return document_.value(QLatin1String(PacingSection), key, QString());
}

QList<UnreadableSettingsFile> unreadableSettingsFiles(const QString& settingsIni) {
    QList<UnreadableSettingsFile> found;
    const QString prefixes = ProgramFolder::resolve(settingsIni);
    const QString engines = enginesIniBeside(prefixes);
    for (const QString& file : {prefixes, engines}) {
        const QFileInfo info(file);
        if (!info.exists() && !info.isSymLink())
            continue; // a missing file reads as empty
        if (file == engines) {
            if (const QString problem = enginesIniProblem(file); !problem.isEmpty())
                found.append({file, problem});
        } else if (const FileOutcome readable = checkFileReadable(file, SettingsFileLimit);
                   !readable) {
            found.append({file, readable.reason()});
        }
    }
    return found;
}

QString unreadableSettingsMessage(const QList<UnreadableSettingsFile>& files) {
    QStringList parts;
    for (const UnreadableSettingsFile& f : files) {
        const bool engines = QFileInfo(f.file).fileName() == QLatin1String(EnginesIniName);
        parts << (engines ? QCoreApplication::translate(
                                "SettingsFiles",
                                "What each engine column asks cannot be read from\n%1\n\n%2.\n\n"
                                "Until it can be read, every column gives this as its failure.")
                          : QCoreApplication::translate(
                                "SettingsFiles",
                                "The engines' query prefixes cannot be read from\n%1\n\n%2.\n\n"
                                "Until it can be read, no engine is asked without its prefix."))
                     .arg(QDir::toNativeSeparators(f.file), f.reason);
    }
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace tally
