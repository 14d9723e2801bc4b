#include "core/settings/user_settings.h"

#include "core/numbers/numbers.h"
#include "core/product/product.h"
#include "core/results/chart_data.h"

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

// The default at reads of every key.
QString defaultSetting(const QString& key) {
    using namespace settingkeys;
    using namespace UserSettings;
    if (key == QLatin1String(LowThreshold))
        return QString::number(DefaultLowThreshold);
    if (key == QLatin1String(MediumThreshold))
        return QString::number(DefaultMediumThreshold);
    if (key == QLatin1String(HighThreshold))
        return QString::number(DefaultHighThreshold);
    if (key == QLatin1String(AutoSort) || key == QLatin1String(ClearResults) ||
        key == QLatin1String(ShowHelp) || key == QLatin1String(ParallelEngines))
        return QStringLiteral("1");
    if (key == QLatin1String(ChartType))
        return QString::number(DefaultChartType);
    return QString();
}

QString read(const char* key) {
    return readSetting(QLatin1String(key));
}

void write(const char* key, const QString& value) {
    writeSetting(QLatin1String(key), value);
}

bool readsAsOne(const char* key) {
    return readWholeNumber(read(key)) == 1;
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue) {
    auto store = openStore(app);
    const QVariant value = store->value(storeKey(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value) {
    auto store = openStore(app);
    store->setValue(storeKey(section, key), value);
    store->sync();
}

QString readSetting(const QString& key) {
    return GetSetting(product().name, QLatin1String(SettingsSection), key, defaultSetting(key));
}

void writeSetting(const QString& key, const QString& value) {
    SaveSetting(product().name, QLatin1String(SettingsSection), key, value);
}

void setUserSettingsFile(const QString& path) {
    settingsFileOverride() = path;
}

namespace UserSettings {

QString lowThresholdText() {
    return read(settingkeys::LowThreshold);
}
QString mediumThresholdText() {
    return read(settingkeys::MediumThreshold);
}
QString highThresholdText() {
    return read(settingkeys::HighThreshold);
}
void setThresholdTexts(const QString& low, const QString& medium, const QString& high) {
    write(settingkeys::LowThreshold, low);
    write(settingkeys::MediumThreshold, medium);
    write(settingkeys::HighThreshold, high);
}

qint64 lowThreshold() {
    return readWholeNumber(lowThresholdText()).value_or(DefaultLowThreshold);
}
qint64 mediumThreshold() {
    return readWholeNumber(mediumThresholdText()).value_or(DefaultMediumThreshold);
}

bool clearResultsBeforeScan() {
    return readsAsOne(settingkeys::ClearResults);
}
void setClearResultsBeforeScan(bool on) {
    write(settingkeys::ClearResults, flag(on));
}
bool autoSortByTotal() {
    return readsAsOne(settingkeys::AutoSort);
}
void setAutoSortByTotal(bool on) {
    write(settingkeys::AutoSort, flag(on));
}

bool showHelpAtStart() {
    return read(settingkeys::ShowHelp) == QLatin1String("1");
}
void setShowHelpAtStart(bool on) {
    write(settingkeys::ShowHelp, flag(on));
}

int chartType() {
    return chartTypeFromSetting(read(settingkeys::ChartType));
}
void setChartType(int type) {
    write(settingkeys::ChartType, QString::number(type));
}

bool parallelEngines() {
    return readWholeNumber(read(settingkeys::ParallelEngines)) != 0;
}
void setParallelEngines(bool on) {
    write(settingkeys::ParallelEngines, flag(on));
}

} // namespace UserSettings

} // namespace tally
