#include "core/settings/user_settings.h"

#include <QSettings>

#include <memory>

namespace tally {

namespace {

QString& settingsFileOverride() {
    static QString path;
    return path;
}

std::unique_ptr<QSettings> openStore(const QString& app) {
    if (!settingsFileOverride().isEmpty())
        return std::make_unique<QSettings>(settingsFileOverride(), QSettings::IniFormat);
    return std::make_unique<QSettings>(app, app); // ~/.config/<app>/<app>.conf
}

QString storeKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

QString defaultSetting(const QString& key) {
    using namespace settingkeys;
    struct Entry {
        const char* key;
        const char* value;
    };
    static constexpr Entry table[] = {
        {LowThreshold, "500"}, {MediumThreshold, "1000"}, {HighThreshold, "1000"}, {AutoSort, "1"},
        {ClearResults, "1"},   {ShowHelp, "1"},           {ChartType, "3"},
    };
    for (const Entry& e : table)
        if (key == QLatin1String(e.key))
            return QString::fromLatin1(e.value);
    return QString();
}

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue) {
    auto store = openStore(app);
    const QVariant value = store->value(storeKey(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value) {
    auto store = openStore(app);
    const QString storedKey = storeKey(section, key);
    // A write ends in a flush to disk: a value the store holds already is not written again (the
    // chart type, written back as the main window opens).
    const QVariant stored = store->value(storedKey);
    if (stored.isValid() && stored.toString() == value)
        return;
    store->setValue(storedKey, value);
    store->sync();
}

QString readSetting(const QString& key) {
    return GetSetting(QLatin1String(SettingsApp), QLatin1String(SettingsSection), key,
                      defaultSetting(key));
}

void writeSetting(const QString& key, const QString& value) {
    SaveSetting(QLatin1String(SettingsApp), QLatin1String(SettingsSection), key, value);
}

void setUserSettingsFile(const QString& path) {
    settingsFileOverride() = path;
}

} // namespace tally
