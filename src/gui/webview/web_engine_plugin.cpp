#include "gui/webview/web_engine_plugin.h"

#include "gui/webview/web_page_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

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
