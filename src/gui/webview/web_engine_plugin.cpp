#include "gui/webview/web_engine_plugin.h"

#include "gui/webview/web_page_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include <utility>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(WebEnginePlugin)
};

const QString pluginFile = QStringLiteral("libtallywebengine.so");

QString& folderOverride() {
    static QString folder;
    return folder;
}

} // namespace

QString webEnginePluginFolder() {
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../" TALLY_PLUGIN_DIR));
}

void setWebEnginePluginFolder(const QString& folder) {
    folderOverride() = folder;
}

QByteArray webEngineColourFlags(const QByteArray& flags, bool dark) {
    if (!dark)
        return flags;
    QByteArray result = flags.trimmed();
    for (const QByteArray& flag : {QByteArrayLiteral("--force-dark-mode"),
                                   QByteArrayLiteral("--blink-settings=forceDarkModeEnabled=true")})
        if (!result.split(' ').contains(flag))
            result += (result.isEmpty() ? QByteArray() : QByteArrayLiteral(" ")) + flag;
    return result;
}

void prepareWebEngineColours(bool dark) {
    static bool started = false;
    if (std::exchange(started, true))
        return;
    const QByteArray name = QByteArrayLiteral("QTWEBENGINE_CHROMIUM_FLAGS");
    const QByteArray flags = webEngineColourFlags(qgetenv(name.constData()), dark);
    if (flags != qgetenv(name.constData()))
        qputenv(name.constData(), flags);
}

WebPageViewFactory* webPageViewFactory(QString* error) {
    const QString path = QDir(webEnginePluginFolder()).filePath(pluginFile);
    QString reason;
    if (!QFileInfo::exists(path)) {
        reason = Text::tr("%1 was not found in %2.")
                     .arg(pluginFile, QDir::toNativeSeparators(webEnginePluginFolder()));
    } else {
        // Loaders of one file share the library and its root object; loading it again is cheap.
        QPluginLoader loader(path);
        if (QObject* root = loader.instance()) {
            if (auto* factory = qobject_cast<WebPageViewFactory*>(root))
                return factory;
            reason = Text::tr("%1 does not make web page views.").arg(path);
        } else {
            reason = loader.errorString();
        }
    }
    if (error)
        *error = reason;
    return nullptr;
}

} // namespace tally
