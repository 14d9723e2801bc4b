#include "support/test_env.h"

#include "core/product/engine_table.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace tally::test {

TestEnv::TestEnv(bool withSettingsIni) {
    QDir dir(dir_.path());
    dir.mkpath(QStringLiteral("Saved"));
    dir.mkpath(QStringLiteral("Lists"));
    ProgramFolder::setOverride(dir_.path());
    ProgramFolder::setPresetsOverride(QStringLiteral(TALLY_SOURCE_DIR "/data/presets"));
    setUserSettingsFile(storeFile());
    if (withSettingsIni)
        writeFile(QStringLiteral("settings.ini"), defaultSettingsIni());
}

TestEnv::~TestEnv() {
    ProgramFolder::setOverride(QString());
    ProgramFolder::setPresetsOverride(QString());
    setUserSettingsFile(QString());
}

QString TestEnv::path() const {
    return dir_.path();
}

QString TestEnv::file(const QString& relative) const {
    return dir_.filePath(relative);
}

QString TestEnv::storeFile() const {
    return dir_.filePath(QStringLiteral("user-store.conf"));
}

void TestEnv::writeFile(const QString& relative, const QByteArray& bytes) const {
    const QString target = file(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile out(target);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(bytes);
}

QByteArray TestEnv::readFile(const QString& relative) const {
    QFile in(file(relative));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QString dataFile(const QString& relative) {
    return QStringLiteral(TALLY_TEST_DATA "/") + relative;
}

QByteArray readDataFile(const QString& relative) {
    QFile in(dataFile(relative));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QByteArray shippedHelp() {
    QFile file(QStringLiteral(TALLY_SOURCE_DIR "/data/Help.rtf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString storedShowHelp() {
    return GetSetting(QStringLiteral("Tallyscope"), QLatin1String(SettingsSection),
                      QLatin1String(settingkeys::ShowHelp), QStringLiteral("<absent>"));
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

ToolRun runGraphTool(const QStringList& args, const QString& workingFolder) {
    QProcess tool;
    tool.setWorkingDirectory(workingFolder);
    tool.start(QStringLiteral(TALLY_GRAPH_TOOL), args);
    ToolRun run;
    if (!tool.waitForFinished(60000))
        return run;
    run.exit = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

} // namespace tally::test
