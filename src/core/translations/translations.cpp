#include "core/translations/translations.h"

#include "core/settings/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace tally {

namespace {

// The two catalogues in use, owned here for the rest of the run.
struct Installed {
    QTranslator program;
    QTranslator qt;
};

Installed& installed() {
    static Installed once;
    return once;
}

} // namespace

QString translationsFolder() {
    const QString shipped = ProgramFolder::sharedDataFolder() + QStringLiteral("/translations");
    if (QFileInfo(shipped).isDir())
        return shipped;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
}

bool installTranslations(const QLocale& locale, const QString& folder) {
    Installed& catalogues = installed();
    QCoreApplication::removeTranslator(&catalogues.program);
    QCoreApplication::removeTranslator(&catalogues.qt);
    // An English user reads the source texts: a catalogue of another language found first among
    // the locale's preferences must not be taken in its place.
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return false;
    if (catalogues.qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&catalogues.qt);
    if (!catalogues.program.load(locale, QStringLiteral("tallyscope"), QStringLiteral("_"), folder))
        return false;
    QCoreApplication::installTranslator(&catalogues.program);
    return true;
}

} // namespace tally
