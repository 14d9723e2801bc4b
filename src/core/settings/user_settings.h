// The per-user settings store: text values by application name, section and key.
//
// On Linux this is ~/.config/Tallyscope/Tallyscope.conf (honouring XDG_CONFIG_HOME). Every value
// is written the moment it changes. Tests point the store at a file of their own.
#pragma once

#include <QString>

namespace tally {

// The application name under which the program keeps its settings.
inline constexpr const char* SettingsApp = "Tallyscope";
// The one section every key lives in.
inline constexpr const char* SettingsSection = "Settings";

// Every key of the per-user store with its default at reads.
namespace settingkeys {
inline constexpr const char* LowThreshold = "txtProfile0";    // default "500"
inline constexpr const char* MediumThreshold = "txtProfile1"; // default "1000"
inline constexpr const char* HighThreshold = "txtProfile2";   // default "1000"
inline constexpr const char* AutoSort = "chkAutoSort";        // default "1"
inline constexpr const char* ClearResults = "chkClear";       // default "1"
inline constexpr const char* ShowHelp = "showHelp";           // default "1"
inline constexpr const char* ChartType = "cmbChart2";         // default "3"
} // namespace settingkeys

// The default at reads of a key of the table above; empty for an unknown key.
QString defaultSetting(const QString& key);

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue);
void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value);

// The program's own settings: app "Tallyscope", section "Settings", the table's default.
QString readSetting(const QString& key);
void writeSetting(const QString& key, const QString& value);

// Points the store at one INI file (tests); an empty path restores the real store.
void setUserSettingsFile(const QString& path);

} // namespace tally
