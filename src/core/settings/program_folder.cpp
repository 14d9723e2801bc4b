#include "core/settings/program_folder.h"

#include "core/product/product.h"
#include "core/product/engine_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(ProgramFolder)
};

QString& overrideFolder() {
    static QString folder;
    return folder;
}

QString& presetsOverride() {
    static QString folder;
    return folder;
}

QString executableFolder() {
    return QCoreApplication::applicationDirPath();
}

// The decision is made once per run: the folders do not move while the program runs.
struct Decided {
    ProgramFolder::Kind kind = ProgramFolder::Kind::ExecutableFolder;
    QString path;
};

const Decided& decided() {
    static const Decided once = [] {
        Decided d;
        d.kind = ProgramFolder::choose(executableFolder(), ProgramFolder::sharedDataFolder());
        d.path = d.kind == ProgramFolder::Kind::PerUser ? ProgramFolder::perUserFolder()
                                                        : executableFolder();
        return d;
    }();
    return once;
}

// A file the program ships: the installed copy, else the one beside the executable (a copy of
// the program in a folder it cannot write to).
QString shippedFile(const QString& name) {
    const QString installed = ProgramFolder::sharedDataFolder() + QLatin1Char('/') + name;
    if (QFileInfo::exists(installed))
        return installed;
    return executableFolder() + QLatin1Char('/') + name;
}

} // namespace

QString ProgramFolder::path() {
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    return decided().path;
}

ProgramFolder::Kind ProgramFolder::kind() {
    if (!overrideFolder().isEmpty())
        return Kind::Override;
    return decided().kind;
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
QString ProgramFolder::sessionUrlList() {
    return path() + QStringLiteral("/session-urls.txt");
}

QString ProgramFolder::listsFolder() {
    return path() + QStringLiteral("/Lists");
}
QString ProgramFolder::graphsFolder() {
    return (kind() == Kind::Override ? path() : perUserFolder()) + QStringLiteral("/graphs");
}
QString ProgramFolder::helpFile() {
    if (kind() == Kind::PerUser)
        return shippedFile(QStringLiteral("Help.rtf"));
    return path() + QStringLiteral("/Help.rtf");
}

QString ProgramFolder::presetsFolder() {
    if (!presetsOverride().isEmpty())
        return presetsOverride();
    return shippedFile(QStringLiteral("presets"));
}

void ProgramFolder::setPresetsOverride(const QString& folder) {
    presetsOverride() = folder;
}

QString ProgramFolder::sharedDataFolder() {
    return QDir::cleanPath(executableFolder() + QStringLiteral("/../share/tallyscope"));
}

QString ProgramFolder::perUserFolder() {
    // GenericDataLocation is $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir::cleanPath(data + QLatin1Char('/') + product().name);
}

ProgramFolder::Kind ProgramFolder::choose(const QString& executable, const QString& sharedData) {
    if (QFileInfo(sharedData).isDir())
        return Kind::PerUser; // installed
    return isWritableFolder(executable) ? Kind::ExecutableFolder : Kind::PerUser;
}

bool ProgramFolder::isWritableFolder(const QString& folder) {
    const QByteArray encoded = QFile::encodeName(folder);
    struct stat st;
    if (folder.isEmpty() || ::stat(encoded.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (::access(encoded.constData(), W_OK | X_OK) != 0)
        return false; // no permission, or a read-only file system
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
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

FileOutcome ProgramFolder::prepare() {
    if (const FileOutcome made = makeFolder(path()); !made)
        return made;
    // A program folder without settings.ini would send every request to the bare site address.
    if (kind() != Kind::Override && !QFileInfo::exists(settingsIni())) {
        // The shipped defaults; the engine table's own when no shipped copy can be read.
        const FileContents shipped =
            readFileBounded(shippedFile(QStringLiteral("settings.ini")), SettingsFileLimit);
        const QByteArray bytes = shipped.isRead() ? shipped.bytes : defaultSettingsIni();
        if (const FileOutcome written = writeFileAtomically(settingsIni(), bytes); !written)
            return FileOutcome::failure(
                Text::tr("%1 could not be written: %2")
                    .arg(QDir::toNativeSeparators(settingsIni()), written.reason()));
    }
    for (const QString& folder : {savedFolder(), listsFolder()})
        if (const FileOutcome made = makeFolder(folder); !made)
            return made;
    return FileOutcome::success();
}

} // namespace tally
