#include "core/scan/engine_presets.h"

#include "core/files/safe_file.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(EnginePresets)
};

// A preset's name is a plain word: lower-case letters, digits and "-" ("bing-webmaster"), so that
// it never names a file outside the folder.
bool isPresetName(const QString& name) {
    if (name.isEmpty() || name.size() > 40)
        return false;
    for (QChar c : name)
        if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
              (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')))
            return false;
    return true;
}

QString presetFile(const QString& name) {
    return QDir(ProgramFolder::presetsFolder()).filePath(name + QStringLiteral(".ini"));
}

} // namespace

QStringList presetNames() {
    QStringList names;
    const QStringList files = QDir(ProgramFolder::presetsFolder())
                                  .entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString name = file.chopped(4);
        if (isPresetName(name))
            names << name;
    }
    return names;
}

std::optional<QString> presetSectionText(const QString& name, QString* problem) {
    auto fail = [problem](const QString& why) -> std::optional<QString> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    const QStringList known = presetNames();
    if (!isPresetName(name) || !QFileInfo::exists(presetFile(name)))
        return fail(Text::tr("unknown preset \"%1\" (%2)")
                        .arg(name, known.isEmpty() ? Text::tr("no presets are installed in %1")
                                                         .arg(QDir::toNativeSeparators(
                                                             ProgramFolder::presetsFolder()))
                                                   : known.join(QStringLiteral(", "))));
    const QString file = presetFile(name);
    if (const FileOutcome readable = checkFileReadable(file, SettingsFileLimit); !readable)
        return fail(Text::tr("the preset %1 cannot be read: %2").arg(name, readable.reason()));
    const QString text =
        modINI::ReadIniSection(QString::fromLatin1(PresetSection), QString(), file);
    if (text.isNull())
        return fail(Text::tr("the preset file %1 has no [%2] section")
                        .arg(QDir::toNativeSeparators(file), QString::fromLatin1(PresetSection)));
    return text;
}

} // namespace tally
