#include "core/webview/web_results.h"

#include "core/scan/engine_table.h"
#include "core/scan/url_encode.h"
#include "core/settings/ini_file.h"

namespace tally {

namespace {
const QString homePage = QLatin1String(HomePageRowText);
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

std::optional<QUrl> webAddressFor(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    const QString scheme = url.scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return std::nullopt;
    return url;
}

QString refusedAddressMessage(const QString& address) {
    return QStringLiteral("This address was not opened:\n\n%1\n\nOnly web addresses (http:// and "
                          "https://) are opened from the URL list, the engines' settings and "
                          "the program's web site.")
        .arg(address);
}

} // namespace tally
