#include "core/webview/web_results.h"

#include "core/scan/engine_table.h"
#include "core/scan/url_encode.h"
#include "core/settings/ini_file.h"

namespace tally {

namespace {
const QString homePage = QStringLiteral("Home Page");
} // namespace

QString engineKeyForRowText(const QString& rowText) {
    for (const EngineInfo& e : engineTable())
        if (rowText == QLatin1String(e.webRowText))
            return QString::fromLatin1(e.key);
    return QString();
}

std::optional<QString> webResultAddress(const QString& rowText, const QString& url,
                                        const QString& settingsIni) {
    if (rowText == homePage)
        return url;
    const QString key = engineKeyForRowText(rowText);
    if (key.isEmpty())
        return std::nullopt;
    const QString prefix =
        modINI::ReadIniValue(QString::fromLatin1(EnginesSection), key, QString(), settingsIni);
    return prefix + xurlEncode::URLEncode(url);
}

} // namespace tally
