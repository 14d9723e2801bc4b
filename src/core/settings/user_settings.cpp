#include "core/settings/user_settings.h"

#include "core/numbers/numbers.h"
#include "core/product/product.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(UserSettings)
};

QString& settingsFileOverride() {
    static QString path;
    return path;
}

// The store may be read when it is missing (every key then reads its default) or a regular file
// within the limit; anything else (a FIFO would block, a device never end) is left unopened.
bool storeReadable(const QString& path) {
    return !QFileInfo::exists(path) || checkFileReadable(path, SettingsFileLimit).ok();
}

// What the store held when it was last read, and the file's identity then: a read looks at the
// file's size, modification time and inode (one stat) and reads the file again only when one
// of them changed (another program's write, or this one's: markChanged moves the time).
struct StoreCache {
    bool valid = false;
    QString path;
    FileStamp stamp;
    QHash<QString, QString> values;
};

// The one cache of the process, and what guards it (a read may come from any thread).
struct GuardedCache {
    QMutex mutex;
    StoreCache cache;
};

GuardedCache& guardedCache() {
    static GuardedCache guarded;
    return guarded;
}

void forgetStore() {
    const QMutexLocker lock(&guardedCache().mutex);
    guardedCache().cache.valid = false;
}

// Every key of a store file with its value.
QMap<QString, QVariant> storedValues(const QSettings& store) {
    QMap<QString, QVariant> values;
    for (const QString& key : store.allKeys())
        values.insert(key, store.value(key));
    return values;
}

// Moves a file's modification time past `before` when the write left it within the same
// millisecond: open stores compare the size and that time to notice a change on disk.
void markChanged(const QString& path, const QDateTime& before) {
    const QDateTime after = QFileInfo(path).lastModified();
    if (!before.isValid() || after > before)
        return;
    const qint64 ms = before.toMSecsSinceEpoch() + 1;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = ms / 1000;
    times[1].tv_nsec = (ms % 1000) * 1000000;
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

QString storeKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

// The keys of section Settings whose default is not the empty text (every other key's is).
const QList<std::pair<const char*, QString>>& settingDefaults() {
    using namespace settingkeys;
    using namespace UserSettings;
    static const QList<std::pair<const char*, QString>> defaults{
        {LowThreshold, QString::number(DefaultLowThreshold)},
        {MediumThreshold, QString::number(DefaultMediumThreshold)},
        {HighThreshold, QString::number(DefaultHighThreshold)},
        {AutoSort, QStringLiteral("1")},
        {ClearResults, QStringLiteral("1")},
        {ShowHelp, QStringLiteral("1")},
        {ParallelEngines, QStringLiteral("1")},
        {ChartType, QString::number(DefaultChartType)}};
    return defaults;
}

QString defaultSetting(const QString& key) {
    for (const auto& [name, value] : settingDefaults())
        if (key == QLatin1String(name))
            return value;
    return QString();
}

QString read(const char* key) {
    return readSetting(QLatin1String(key));
}

FileOutcome write(const char* key, const QString& value) {
    return writeSetting(QLatin1String(key), value);
}

bool readsAsOne(const char* key) {
    return readWholeNumber(read(key)) == 1;
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString settingsStoreFile(const QString& app) {
    if (!settingsFileOverride().isEmpty())
        return settingsFileOverride();
    // Where QSettings keeps an application's own store on this platform.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + app + QLatin1Char('/') + app + QStringLiteral(".conf");
}

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue) {
    const QString path = settingsStoreFile(app);
    const FileStamp stamp = FileStamp::of(path);
    const QMutexLocker lock(&guardedCache().mutex);
    StoreCache& cache = guardedCache().cache;
    if (!cache.valid || cache.path != path || !(cache.stamp == stamp)) {
        cache = StoreCache{true, path, stamp, {}};
        if (stamp.exists && storeReadable(path)) {
            const QSettings store(path, QSettings::IniFormat);
            for (const QString& k : store.allKeys())
                cache.values.insert(k, store.value(k).toString());
        }
    }
    return cache.values.value(storeKey(section, key), defaultValue);
}

void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value) {
    saveSettings(app, section, {{key, value}});
}

FileOutcome saveSettings(const QString& app, const QString& section,
                         const QList<QPair<QString, QString>>& values) {
    // The store's own writer does not notice a write that fails when its buffer is flushed (it
    // then puts an empty file in place of the store). So it writes into a copy beside the store,
    // the copy is read back afresh and compared with what it must hold, and only then replaces
    // the store, atomically.
    const QString path = settingsStoreFile(app);
    // A value the store holds already is not written again: every write ends in flushes to the
    // disk, and some values are written back as they are (the chart type, as the main window
    // opens).
    if (QFileInfo::exists(path) && storeReadable(path)) {
        const QSettings stored(path, QSettings::IniFormat);
        bool unchanged = stored.status() == QSettings::NoError;
        for (const auto& [key, value] : values) {
            const QVariant old = stored.value(storeKey(section, key));
            unchanged = unchanged && old.isValid() && old.toString() == value;
        }
        if (unchanged)
            return FileOutcome::success();
    }
    const FileContents current = readFileBounded(path, SettingsFileLimit);
    if (current.status == FileContents::Status::Refused)
        return FileOutcome::failure(current.reason);
    const QDateTime before = QFileInfo(path).lastModified();
    const QString folder = QFileInfo(path).absolutePath();
    if (const FileOutcome made = makeFolder(folder); !made)
        return made;
    QTemporaryDir stage(folder + QStringLiteral("/.store-XXXXXX"));
    if (!stage.isValid())
        return FileOutcome::failure(stage.errorString());

    const QString copy = stage.filePath(QStringLiteral("store.conf"));
    if (const FileOutcome outcome = writeFileAtomically(copy, current.bytes, FileAccess::OwnerOnly);
        !outcome)
        return outcome;
    QMap<QString, QVariant> expected;
    {
        QSettings store(copy, QSettings::IniFormat);
        expected = storedValues(store);
        for (const auto& [key, value] : values) {
            store.setValue(storeKey(section, key), value);
            expected.insert(storeKey(section, key), value);
        }
        store.sync();
        if (store.status() != QSettings::NoError)
            return FileOutcome::failure(Text::tr("The settings could not be written"));
    }
    const FileContents written = readFileBounded(copy, SettingsFileLimit);
    if (!written.isRead())
        return FileOutcome::failure(written.reason);

    // Read back under another name, so that nothing remembered from the copy is trusted.
    const QString check = stage.filePath(QStringLiteral("check.conf"));
    if (const FileOutcome outcome =
            writeFileAtomically(check, written.bytes, FileAccess::OwnerOnly);
        !outcome)
        return outcome;
    {
        const QSettings reread(check, QSettings::IniFormat);
        if (reread.status() != QSettings::NoError || storedValues(reread) != expected)
            return FileOutcome::failure(Text::tr("The settings could not be written in full"));
    }
    // The store holds API keys: it is the user's alone.
    const FileOutcome outcome = writeFileAtomically(path, written.bytes, FileAccess::OwnerOnly);
    if (outcome) {
        markChanged(path, before);
        forgetStore();
        QStringList keys;
        for (const auto& [key, value] : values)
            keys << key;
        Q_EMIT SettingsNotifier::instance()->changed(section, keys);
    }
    return outcome;
}

QString readSetting(const QString& key) {
    return GetSetting(product().name, QLatin1String(SettingsSection), key, defaultSetting(key));
}

FileOutcome writeSetting(const QString& key, const QString& value) {
    return saveSettings(product().name, QLatin1String(SettingsSection), {{key, value}});
}

QString userSettingsFile() {
    return settingsStoreFile(product().name);
}

void setUserSettingsFile(const QString& path) {
    settingsFileOverride() = path;
    forgetStore();
}

SettingsNotifier* SettingsNotifier::instance() {
    static SettingsNotifier notifier;
    return &notifier;
}

FileOutcome userSettingsReadable() {
    const QString path = userSettingsFile();
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return FileOutcome::success();
    return checkFileReadable(path, SettingsFileLimit);
}

QString userSettingsProblem() {
    const FileOutcome readable = userSettingsReadable();
    if (readable)
        return QString();
    return QCoreApplication::translate("UserSettings",
                                       "Your settings in %1 cannot be read: %2. The program "
                                       "goes on with the default settings and no API keys, and "
                                       "keeps nothing you change there.")
        .arg(QDir::toNativeSeparators(userSettingsFile()), readable.reason());
}

int chartTypeFromSetting(const QString& text) {
    const std::optional<qint64> type = readWholeNumber(text);
    return type && *type >= 0 && *type < ChartTypeCount ? int(*type) : DefaultChartType;
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
FileOutcome setThresholdTexts(const QString& low, const QString& medium, const QString& high) {
    using namespace settingkeys;
    return saveSettings(product().name, QLatin1String(SettingsSection),
                        {{QLatin1String(LowThreshold), low},
                         {QLatin1String(MediumThreshold), medium},
                         {QLatin1String(HighThreshold), high}});
}

FileOutcome saveOptions(const StoredOptions& options) {
    using namespace settingkeys;
    return saveSettings(product().name, QLatin1String(SettingsSection),
                        {{QLatin1String(LowThreshold), options.lowThreshold},
                         {QLatin1String(MediumThreshold), options.mediumThreshold},
                         {QLatin1String(HighThreshold), options.highThreshold},
                         {QLatin1String(AutoSort), flag(options.autoSortByTotal)},
                         {QLatin1String(ClearResults), flag(options.clearResultsBeforeScan)}});
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
FileOutcome setClearResultsBeforeScan(bool on) {
    return write(settingkeys::ClearResults, flag(on));
}
bool autoSortByTotal() {
    return readsAsOne(settingkeys::AutoSort);
}
FileOutcome setAutoSortByTotal(bool on) {
    return write(settingkeys::AutoSort, flag(on));
}

bool showHelpAtStart() {
    return read(settingkeys::ShowHelp) == QLatin1String("1");
}
FileOutcome setShowHelpAtStart(bool on) {
    return write(settingkeys::ShowHelp, flag(on));
}

int chartType() {
    return chartTypeFromSetting(read(settingkeys::ChartType));
}
FileOutcome setChartType(int type) {
    return write(settingkeys::ChartType, QString::number(type));
}

bool parallelEngines() {
    return readWholeNumber(read(settingkeys::ParallelEngines)) != 0;
}
void setParallelEngines(bool on) {
    write(settingkeys::ParallelEngines, flag(on));
}

bool useDesktopLook() {
    return readsAsOne(settingkeys::DesktopLook);
}
FileOutcome setUseDesktopLook(bool on) {
    return write(settingkeys::DesktopLook, flag(on));
}
bool hideOffColumns() {
    return readsAsOne(settingkeys::HideOffColumns);
}
FileOutcome setHideOffColumns(bool on) {
    return write(settingkeys::HideOffColumns, flag(on));
}

namespace {
// A value the toolkit saved as bytes, kept as Base64 text in the INI file.
QByteArray storedBytes(const char* key) {
    return QByteArray::fromBase64(read(key).toLatin1());
}
QString bytesText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toBase64());
}
} // namespace

WindowLayout windowLayout() {
    using namespace settingkeys;
    return WindowLayout{storedBytes(WindowGeometry), storedBytes(settingkeys::WindowState),
                        storedBytes(PanelSplit), storedBytes(ResultsColumns)};
}

FileOutcome saveWindowLayout(const WindowLayout& layout) {
    using namespace settingkeys;
    return saveSettings(product().name, QLatin1String(SettingsSection),
                        {{QLatin1String(WindowGeometry), bytesText(layout.geometry)},
                         {QLatin1String(settingkeys::WindowState), bytesText(layout.state)},
                         {QLatin1String(PanelSplit), bytesText(layout.split)},
                         {QLatin1String(ResultsColumns), bytesText(layout.columns)}});
}

QString apiKey(const QString& name) {
    if (name.isEmpty())
        return QString();
    return GetSetting(product().name, QLatin1String(KeysSection), name, QString());
}
FileOutcome setApiKey(const QString& name, const QString& value) {
    return saveSettings(product().name, QLatin1String(KeysSection), {{name, value}});
}
FileOutcome setApiKeys(const QList<QPair<QString, QString>>& keys) {
    if (keys.isEmpty())
        return FileOutcome::success();
    return saveSettings(product().name, QLatin1String(KeysSection), keys);
}

bool sourcesHintDone() {
    return read(settingkeys::SourcesHint) == QLatin1String("1");
}
FileOutcome setSourcesHintDone() {
    return write(settingkeys::SourcesHint, QStringLiteral("1"));
}

QString graphListAddress() {
    return read(settingkeys::GraphListAddress).trimmed();
}
QString graphDataAddress() {
    return read(settingkeys::GraphDataAddress).trimmed();
}

} // namespace UserSettings

} // namespace tally
