#include "core/sources/sources_hint.h"

#include "core/net/web_address.h"
#include "core/product/engine_table.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tally {

std::array<bool, EngineCount> slotsAskingBuiltInEngines(const EngineSet& engines,
                                                        const QString& settingsIni) {
    std::array<bool, EngineCount> builtIn{};
    const modINI::IniDocument settings = modINI::IniDocument::load(settingsIni);
    for (int slot = 0; slot < EngineCount; ++slot) {
        const EngineDefinition& d = engines.definitions[slot];
        if (!d.builtInEngine || d.switchedOff || !d.usable())
            continue;
        const EngineInfo& e = engineTable()[slot];
        const QString prefix =
            settings.value(QLatin1String(EnginesSection), QLatin1String(e.key), QString());
        builtIn[slot] = urlHost(prefix) == urlHost(QString::fromLatin1(e.defaultPrefix));
    }
    return builtIn;
}

bool builtInEnginesAllFailed(const std::array<bool, EngineCount>& builtIn,
                             const ResultRecords& rows) {
    if (std::none_of(builtIn.cbegin(), builtIn.cend(), [](bool b) { return b; }))
        return false;
    int asked = 0;
    for (const std::shared_ptr<const ResultRecord>& row : rows) {
        if (!row || !row->finished)
            continue;
        for (int slot = 0; slot < EngineCount; ++slot) {
            const ResultCell& cell = row->cells[slot];
            if (!builtIn[slot] || !cell.settled || cell.failure() == FailureKind::Stopped)
                continue;
            if (cell.isCount())
                return false;
            ++asked;
        }
    }
    return asked > 0;
}

bool isFreshStart(const QString& programFolder) {
    const QDir folder(programFolder);
    if (QFileInfo::exists(folder.filePath(QString::fromLatin1(EnginesIniName))))
        return false;
    return QDir(folder.filePath(QStringLiteral("Saved")))
        .entryList({QStringLiteral("*.vqz")}, QDir::Files)
        .isEmpty();
}

bool sourcesHintDue(bool freshStartOrAllFailed) {
    return freshStartOrAllFailed && !UserSettings::sourcesHintDone();
}

} // namespace tally
