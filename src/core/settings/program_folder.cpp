#include "core/settings/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tally {

namespace {
QString& overrideFolder() {
    static QString folder;
    return folder;
}
} // namespace

QString ProgramFolder::path() {
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    return QCoreApplication::applicationDirPath();
}

void ProgramFolder::setOverride(const QString& folder) {
    QString clean = folder;
    while (clean.size() > 1 && clean.endsWith(QLatin1Char('/')))
        clean.chop(1);
    overrideFolder() = clean;
}

QString ProgramFolder::settingsIni() {
    return path() + QStringLiteral("/settings.ini");
}
QString ProgramFolder::savedFolder() {
    return path() + QStringLiteral("/Saved");
}
QString ProgramFolder::listsFolder() {
    return path() + QStringLiteral("/Lists");
}
QString ProgramFolder::helpFile() {
    return path() + QStringLiteral("/Help.rtf");
}

QString ProgramFolder::resolve(const QString& fileName) {
    if (fileName.isEmpty() || QFileInfo(fileName).isAbsolute())
        return fileName;
    return path() + QLatin1Char('/') + fileName;
}

bool ProgramFolder::ensureFolders() {
    QDir dir(path());
    bool ok = true;
    for (const char* name : {"Saved", "Lists"}) {
        if (!dir.exists(QLatin1String(name)))
            ok = dir.mkpath(QLatin1String(name)) && ok;
    }
    return ok;
}

} // namespace tally
