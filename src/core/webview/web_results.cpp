#include "core/webview/web_results.h"

#include "core/scan/engine_request.h"
#include "core/scan/url_encode.h"
#include "core/settings/ini_file.h"

#include <QCoreApplication>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(WebResults)
};
const QString homePage = QLatin1String(HomePageRowText);
} // namespace

QString engineKeyForRowText(const QString& rowText, const EngineSet& engines) {
    const int slot = engines.slotOfRowText(rowText);
    return slot < 0 ? QString() : engines.definitions[slot].key;
}

std::optional<QString> webResultAddress(const QString& rowText, const QString& url,
                                        const QString& settingsIni) {
    if (rowText == homePage)
        return url;
    return webResultAddress(rowText, url, settingsIni, loadEngines(enginesIniBeside(settingsIni)));
}

std::optional<QString> webResultAddress(const QString& rowText, const QString& url,
                                        const QString& settingsIni, const EngineSet& engines) {
    if (rowText == homePage)
        return url;
    const int slot = engines.slotOfRowText(rowText);
    if (slot < 0)
        return std::nullopt;
    const EngineDefinition& engine = engines.definitions[slot];
    if (!engine.makesRequests())
        return std::nullopt;
    const QString prefix = modINI::ReadIniValue(QString::fromLatin1(EnginesSection), engine.key,
                                                QString(), settingsIni);
    if (engine.isApi() || !engine.builtInEngine) {
        // The address the request asks, its keys masked; a POST has no address to open. Only the
        // built-in engines keep their own rule: the prefix and the URL encoded by URLEncode.
        const RequestBuild build =
            buildEngineRequest(engine, prefix, url, QDateTime::currentDateTime());
        if (!build.request || build.request->method != "GET")
            return std::nullopt;
        return build.request->shownUrl;
    }
    return prefix + xurlEncode::URLEncode(url);
}

QString refusedAddressMessage(const QString& address) {
    return Text::tr("This address was not opened:\n\n%1\n\nOnly web addresses (http:// and "
                    "https://) are opened from the URL list, the engines' settings and "
                    "the program's web site.")
        .arg(address);
}

} // namespace tally
