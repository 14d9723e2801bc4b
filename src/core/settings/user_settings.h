// The per-user settings store: text values by application name, section and key.
//
// On Linux this is ~/.config/Tallyscope/Tallyscope.conf (honouring XDG_CONFIG_HOME). Every value
// is written the moment it changes, and every write replaces the file atomically: a failed write
// (a full disk, a read-only file) leaves the stored values as they were and says why. A store
// file that is not a regular file or is larger than 1 MiB is not read: every key then reads as its
// default. Tests point the store at a file of their own.
//
// The program reads and writes its settings only through the typed accessors of UserSettings
// below: each knows its key and how its stored text is read; the defaults are one table
// (user_settings.cpp). A read costs one stat of the file: what the store holds is read again
// only when the file changed. SettingsNotifier tells this program's writes.
#pragma once

#include "core/files/safe_file.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

namespace tally {

// The one section every key lives in.
inline constexpr const char* SettingsSection = "Settings";
// The section of the API keys that engine definitions ask for by name (engines.ini's "{key}"),
// kept here so that settings.ini and engines.ini can be shared without secrets.
inline constexpr const char* KeysSection = "Keys";

// The keys of the store, named after the controls that edit them.
namespace settingkeys {
inline constexpr const char* LowThreshold = "txtProfile0";
inline constexpr const char* MediumThreshold = "txtProfile1";
inline constexpr const char* HighThreshold = "txtProfile2";
inline constexpr const char* AutoSort = "chkAutoSort";
inline constexpr const char* ClearResults = "chkClear";
inline constexpr const char* ShowHelp = "showHelp";
inline constexpr const char* ChartType = "cmbChart2";
inline constexpr const char* ParallelEngines = "parallelEngines";
inline constexpr const char* SourcesHint = "sourcesHint";
inline constexpr const char* GraphListAddress = "graphIndexUrl";
inline constexpr const char* GraphDataAddress = "graphDataUrl";
inline constexpr const char* DesktopLook = "chkDesktopLook";
inline constexpr const char* HideOffColumns = "chkHideOffColumns";
inline constexpr const char* WindowGeometry = "Form1Geometry";
inline constexpr const char* WindowState = "Form1State";
inline constexpr const char* PanelSplit = "Form1Splitter";
inline constexpr const char* ResultsColumns = "ListView1Columns";
} // namespace settingkeys

// The store as the platform offers it: a stored value, or defaultValue when there is none.
QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue);
void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value);
// Several keys of one section written in one atomic replacement of the store's file.
FileOutcome saveSettings(const QString& app, const QString& section,
                         const QList<QPair<QString, QString>>& values);
// The file the store of `app` lives in.
QString settingsStoreFile(const QString& app);

// Tells what this program wrote into the store: the section and its keys, after the write.
// Another program's writes are not told, but every read sees them.
class SettingsNotifier : public QObject {
    Q_OBJECT
public:
    static SettingsNotifier* instance();
Q_SIGNALS:
    void changed(const QString& section, const QStringList& keys);
};

// A key of the program's own section (application "Tallyscope", section "Settings") as stored
// text: its default at reads when nothing is stored. Tests use these to plant stored values; the
// program goes through UserSettings.
QString readSetting(const QString& key);
FileOutcome writeSetting(const QString& key, const QString& value);
// The file of the program's own store (for messages).
QString userSettingsFile();

// Points the store at one INI file (tests); an empty path restores the real store.
void setUserSettingsFile(const QString& path);

// Whether the program's store can be read: success when it is missing (every key then reads its
// default) or a regular file within the size limit; otherwise why not (a folder in its place, no
// permission, too large).
FileOutcome userSettingsReadable();
// What the window and the command line say at start about a store that cannot be read (its file,
// the reason, and that the defaults are in use); empty when it can be read.
QString userSettingsProblem();

// The program's settings, one accessor each.
// The eight chart types, by their position in cmbChart2.
inline constexpr int ChartTypeCount = 8;
inline constexpr int DefaultChartType = 3; // "2D Line Graph"
// The stored cmbChart2 setting as a type: a whole number from 0 to 7, else the default.
int chartTypeFromSetting(const QString& text);

namespace UserSettings {

// The profile thresholds: a row total below low is a low profile, from medium up a high one.
inline constexpr qint64 DefaultLowThreshold = 500;
inline constexpr qint64 DefaultMediumThreshold = 1000;
inline constexpr qint64 DefaultHighThreshold = 1000;

// The three threshold boxes of the Options dialog, as typed (stored as they were typed, so an
// empty box stays empty). Default "500", "1000", "1000".
QString lowThresholdText();
QString mediumThresholdText();
QString highThresholdText();
FileOutcome setThresholdTexts(const QString& low, const QString& medium, const QString& high);

// Everything the Options dialog's Ok stores: the three threshold texts and the two data options,
// written in one replacement of the store's file.
struct StoredOptions {
    QString lowThreshold;
    QString mediumThreshold;
    QString highThreshold;
    bool autoSortByTotal = true;
    bool clearResultsBeforeScan = true;
};
FileOutcome saveOptions(const StoredOptions& options);

// The thresholds as the scan applies them: the stored texts read as whole numbers; a text that
// does not read gives the default.
qint64 lowThreshold();
qint64 mediumThreshold();

// "Clear results after each search" (chkClear) and "Auto-sort data by popularity" (chkAutoSort):
// on when the stored text reads as the whole number 1. Default on.
bool clearResultsBeforeScan();
FileOutcome setClearResultsBeforeScan(bool on);
bool autoSortByTotal();
FileOutcome setAutoSortByTotal(bool on);

// "Show at Startup" of the help window (showHelp): on only when the stored text is exactly "1".
// Default on.
bool showHelpAtStart();
FileOutcome setShowHelpAtStart(bool on);

// The chart type of the Chart View (cmbChart2), 0..7. Default 3; a stored text that is not a whole
// number in that range gives the default (chartTypeFromSetting).
int chartType();
FileOutcome setChartType(int type);

// Whether a scan asks the six engines for a URL at the same time (one request per engine) rather
// than one after the other (parallelEngines). Default "1" (on); off only when the stored text
// reads as the whole number 0.
bool parallelEngines();
void setParallelEngines(bool on);

// "Use the desktop's colours and fonts" (chkDesktopLook): the platform theme's palette, style and
// font instead of the skin. Default off.
bool useDesktopLook();
FileOutcome setUseDesktopLook(bool on);

// View › "Hide switched-off columns" (chkHideOffColumns): a column whose source is off (Kind=off)
// takes no room in the results table. Default off: the six columns stand.
bool hideOffColumns();
FileOutcome setHideOffColumns(bool on);

// How the main window was left: its geometry and state, the split between the URL panel and the
// views, and the results table's columns, each as the toolkit saved it (empty when not stored).
struct WindowLayout {
    QByteArray geometry;
    QByteArray state;
    QByteArray split;
    QByteArray columns;
};
WindowLayout windowLayout();
// All four in one replacement of the store's file.
FileOutcome saveWindowLayout(const WindowLayout& layout);

// The API key of that name in section "Keys" (its value in a request header where an engine
// definition writes "{key}"). Empty when there is none.
QString apiKey(const QString& name);
FileOutcome setApiKey(const QString& name, const QString& value);
// Several keys written in one replacement of the store's file.
FileOutcome setApiKeys(const QList<QPair<QString, QString>>& keys);

// The main window's hint that offers the Sources window (sourcesHint): "1" once the user closed
// it or followed it, after which it never shows again. Default: not done.
bool sourcesHintDone();
FileOutcome setSourcesHintDone();

// Where the Common Crawl window fetches from: a mirror's address of the publisher's list of
// web-graph releases (graphIndexUrl) and of its files (graphDataUrl), written by hand; empty for
// the publisher's own servers.
QString graphListAddress();
QString graphDataAddress();

} // namespace UserSettings

} // namespace tally
