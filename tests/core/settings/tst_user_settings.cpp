#include "core/product/engine_table.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "support/full_disk.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

using namespace tally;

class TestUserSettings : public QObject {
    Q_OBJECT

    QTemporaryDir xdg;

private Q_SLOTS:
    void initTestCase() {
        // The real store follows XDG_CONFIG_HOME; point it at a scratch folder before first use.
        qputenv("XDG_CONFIG_HOME", xdg.path().toLocal8Bit());
    }

    void defaultsComeFromOneTable() {
        test::TestEnv env;
        QCOMPARE(readSetting(settingkeys::LowThreshold), QString("500"));
        QCOMPARE(readSetting(settingkeys::MediumThreshold), QString("1000"));
        QCOMPARE(readSetting(settingkeys::HighThreshold), QString("1000"));
        QCOMPARE(readSetting(settingkeys::AutoSort), QString("1"));
        QCOMPARE(readSetting(settingkeys::ClearResults), QString("1"));
        QCOMPARE(readSetting(settingkeys::ShowHelp), QString("1"));
        QCOMPARE(readSetting(settingkeys::ChartType), QString("3"));
        QCOMPARE(readSetting(settingkeys::ParallelEngines), QString("1"));
        QCOMPARE(GetSetting("Tallyscope", "Settings", "unknown", "x"), QString("x"));
    }

    void typedAccessorsReadTheStoredTexts() {
        test::TestEnv env;
        QCOMPARE(UserSettings::lowThreshold(), 500);
        QVERIFY(UserSettings::clearResultsBeforeScan() && UserSettings::showHelpAtStart());
        writeSetting(settingkeys::LowThreshold, " 12 ");
        writeSetting(settingkeys::MediumThreshold, "lots");
        writeSetting(settingkeys::ClearResults, " 1");
        writeSetting(settingkeys::AutoSort, "2");
        writeSetting(settingkeys::ShowHelp, " 1"); // help asks for exactly "1"
        writeSetting(settingkeys::ChartType, "8");
        QCOMPARE(UserSettings::lowThreshold(), 12);
        QCOMPARE(UserSettings::mediumThreshold(), 1000);
        QVERIFY(UserSettings::clearResultsBeforeScan());
        QVERIFY(!UserSettings::autoSortByTotal());
        QVERIFY(!UserSettings::showHelpAtStart());
        QCOMPARE(UserSettings::chartType(), 3);
        QVERIFY(UserSettings::parallelEngines());
        writeSetting(settingkeys::ParallelEngines, " 0 ");
        QVERIFY(!UserSettings::parallelEngines());
        writeSetting(settingkeys::ParallelEngines, "yes"); // unreadable: the default
        QVERIFY(UserSettings::parallelEngines());
        UserSettings::setChartType(5);
        UserSettings::setShowHelpAtStart(true);
        QCOMPARE(readSetting(settingkeys::ChartType), QString("5"));
        QCOMPARE(readSetting(settingkeys::ShowHelp), QString("1"));
    }

    void valuesAreWrittenAtOnce() {
        test::TestEnv env;
        writeSetting(settingkeys::ShowHelp, "0");
        // On disk before anything else happens, in section Settings.
        QFile file(env.storeFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("[Settings]"));
        QVERIFY(text.contains("showHelp=0"));
        QCOMPARE(readSetting(settingkeys::ShowHelp), QString("0"));
        // A value that looks like a number stays text.
        writeSetting(settingkeys::LowThreshold, " 12");
        QCOMPARE(readSetting(settingkeys::LowThreshold), QString(" 12"));
    }

    void realStoreLivesUnderXdgConfigHome() {
        SaveSetting("Tallyscope", "Settings", "cmbChart2", "5");
        const QString conf = xdg.filePath("Tallyscope/Tallyscope.conf");
        QVERIFY2(QFile::exists(conf), qPrintable(conf));
        QCOMPARE(settingsStoreFile("Tallyscope"), QSettings("Tallyscope", "Tallyscope").fileName());
        QCOMPARE(GetSetting("Tallyscope", "Settings", "cmbChart2", "3"), QString("5"));
    }

    void optionsAreStoredTogetherOrNotAtAll() {
        test::TestEnv env;
        UserSettings::StoredOptions options{"10", "20", "20", false, false};
        QVERIFY(UserSettings::saveOptions(options).ok());
        const QByteArray before = env.readFile("user-store.conf");
        QCOMPARE(UserSettings::lowThresholdText(), QString("10"));
        QCOMPARE(UserSettings::highThresholdText(), QString("20"));
        QVERIFY(!UserSettings::autoSortByTotal() && !UserSettings::clearResultsBeforeScan());

        // A full disk: nothing changes, and the reason comes back.
        options = {"30", "40", "40", true, true};
        FileOutcome outcome = FileOutcome::success();
        {
            test::FileSizeLimit full(before.size() / 2);
            outcome = UserSettings::saveOptions(options);
        }
        QCOMPARE(outcome.reason(), QString::fromLocal8Bit(strerror(EFBIG)));
        QCOMPARE(env.readFile("user-store.conf"), before);
        QCOMPARE(UserSettings::lowThresholdText(), QString("10"));
        const QStringList leftovers =
            QDir(env.path()).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot);
        QVERIFY2(leftovers.filter("store").size() == 1, qPrintable(leftovers.join(' ')));
    }

    // Stores opened before keep what they read unless the file's size or time changed; on a fast
    // file system two writes of the same size often fall in the same millisecond.
    void writesOfTheSameSizeInOneMillisecondAreSeen() {
        test::TestEnv env;
        QTemporaryDir dir;
        test::SmallFileSystem fast(dir.path());
        if (!fast.mounted())
            QSKIP("cannot mount a tmpfs here (needs root)");
        setUserSettingsFile(dir.filePath("store.conf"));
        for (int i = 0; i < 200; ++i) {
            const QString value = QString::number(i % 2);
            QVERIFY(writeSetting(settingkeys::ShowHelp, value).ok());
            QCOMPARE(readSetting(settingkeys::ShowHelp), value);
        }
    }

    // Reads keep what the store held until its file changes: another program's write is seen
    // at the next read; this program's writes are told.
    void changesAreSeenAndTold() {
        test::TestEnv env;
        QSignalSpy told(SettingsNotifier::instance(), &SettingsNotifier::changed);
        QVERIFY(writeSetting(settingkeys::LowThreshold, "7").ok());
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.at(0).at(1).toStringList(), QStringList{settingkeys::LowThreshold});
        QCOMPARE(readSetting(settingkeys::LowThreshold), QString("7"));
        env.writeFile("user-store.conf", "[Settings]\ntxtProfile0=42\n");
        QCOMPARE(readSetting(settingkeys::LowThreshold), QString("42"));
        QCOMPARE(told.count(), 1);
    }

    void anUnreadableStoreReadsDefaultsAndIsNotWrittenOver() {
        test::TestEnv env;
        QCOMPARE(::mkfifo(QFile::encodeName(env.storeFile()).constData(), 0600), 0);
        QCOMPARE(readSetting(settingkeys::LowThreshold), QString("500")); // without blocking
        QCOMPARE(writeSetting(settingkeys::LowThreshold, "1").reason(),
                 QString("It is not a regular file"));
        QVERIFY(!QFileInfo(env.storeFile()).isFile());
    }

    // The store holds API keys: whatever the umask, no one but its owner may read it, from the
    // first write on and after any later one.
    void theStoreIsTheOwnersAlone() {
        test::TestEnv env;
        const mode_t oldMask = ::umask(0);
        const bool written = UserSettings::setApiKey("backlinks", "secret").ok();
        ::umask(oldMask);
        QVERIFY(written);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(env.storeFile()).constData(), &st), 0);
        QCOMPARE(uint(st.st_mode & 0777), 0600u);
        QCOMPARE(::chmod(QFile::encodeName(env.storeFile()).constData(), 0644), 0);
        QVERIFY(UserSettings::setShowHelpAtStart(false).ok());
        QCOMPARE(::stat(QFile::encodeName(env.storeFile()).constData(), &st), 0);
        QCOMPARE(uint(st.st_mode & 0777), 0600u);
        QCOMPARE(UserSettings::apiKey("backlinks"), QString("secret"));
    }

    // A store that cannot be read is named with its reason, never taken for an empty one.
    void unreadableStoresAreSaidPlainly_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing: the defaults, nothing to say") << "missing"
                                                               << "";
        QTest::newRow("readable") << "readable"
                                  << "";
        QTest::newRow("a folder in its place") << "folder"
                                               << "It is a folder";
        QTest::newRow("no permission") << "no permission"
                                       << "Permission denied";
        QTest::newRow("over the size limit") << "too large"
                                             << "It is larger than 1 MiB";
        QTest::newRow("a FIFO") << "fifo"
                                << "It is not a regular file";
    }
    void unreadableStoresAreSaidPlainly() {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        test::TestEnv env;
        const QByteArray store = QFile::encodeName(env.storeFile());
        if (setup == "readable") {
            QVERIFY(UserSettings::setApiKey("k", "v").ok());
        } else if (setup == "folder") {
            QVERIFY(QDir().mkpath(env.storeFile()));
        } else if (setup == "no permission") {
            if (::geteuid() == 0)
                QSKIP("root reads every file");
            QVERIFY(UserSettings::setApiKey("k", "v").ok());
            QCOMPARE(::chmod(store.constData(), 0200), 0);
        } else if (setup == "too large") {
            QFile big(env.storeFile());
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.write("[Keys]\nk=" + QByteArray(SettingsFileLimit, 'v') + "\n") > 0);
        } else if (setup == "fifo") {
            QCOMPARE(::mkfifo(store.constData(), 0600), 0);
        }
        const FileOutcome readable = userSettingsReadable();
        QCOMPARE(readable.reason(), reason);
        const QString problem = userSettingsProblem();
        if (reason.isEmpty()) {
            QVERIFY(problem.isEmpty());
            return;
        }
        QVERIFY2(problem.contains(env.storeFile()) && problem.contains(reason) &&
                     problem.contains("cannot be read"),
                 qPrintable(problem));
    }

    // What the window leaves behind for the next start: the toolkit's bytes, whatever they hold.
    void windowLayoutComesBackAsItWasKept() {
        test::TestEnv env;
        QCOMPARE(UserSettings::windowLayout().geometry, QByteArray()); // nothing kept yet
        QByteArray binary;
        for (int i = 0; i < 256; ++i)
            binary += char(i);
        const UserSettings::WindowLayout kept{binary, QByteArray("\0=;[]\n", 7), "split",
                                              QByteArray(3000, '\xff')};
        QVERIFY(UserSettings::saveWindowLayout(kept).ok());
        const UserSettings::WindowLayout back = UserSettings::windowLayout();
        QCOMPARE(back.geometry, kept.geometry);
        QCOMPARE(back.state, kept.state);
        QCOMPARE(back.split, kept.split);
        QCOMPARE(back.columns, kept.columns);
        // The look is off until chosen, and kept once chosen.
        QVERIFY(!UserSettings::useDesktopLook());
        QVERIFY(UserSettings::setUseDesktopLook(true).ok());
        QVERIFY(UserSettings::useDesktopLook());
        QCOMPARE(readSetting(settingkeys::DesktopLook), QString("1"));
    }

    void shippedSettingsIniHoldsTheDefaultPrefixes() {
        test::TestEnv env; // writes the shipped settings.ini into the temporary program folder
        const QByteArray bytes = env.readFile("settings.ini");
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(!bytes.contains("\n\n") && !bytes.contains("\r\r"));
        QCOMPARE(modINI::ListIniSections(ProgramFolder::settingsIni()), QStringList({"Engines"}));
        for (const EngineInfo& e : engineTable()) {
            const QString prefix = modINI::ReadIniValue("Engines", e.key, "", "settings.ini");
            QCOMPARE(prefix, QString::fromLatin1(e.defaultPrefix));
            QVERIFY(prefix.startsWith("http://"));
        }
    }

    void programFolderCreatesItsFolders() {
        QTemporaryDir dir;
        ProgramFolder::setOverride(dir.path() + "/");
        QCOMPARE(ProgramFolder::path(), dir.path());
        QVERIFY(ProgramFolder::ensureFolders());
        QVERIFY(QDir(dir.filePath("Saved")).exists());
        QVERIFY(QDir(dir.filePath("Lists")).exists());
        QCOMPARE(ProgramFolder::resolve("x.ini"), dir.filePath("x.ini"));
        QCOMPARE(ProgramFolder::resolve("/abs/x.ini"), QString("/abs/x.ini"));
        ProgramFolder::setOverride(QString());
    }

    void programFolderChoice_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QFile::Permissions>("permissions");
        QTest::addColumn<bool>("executableFolder");
        const QFile::Permissions writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        const QFile::Permissions readOnly =
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QTest::newRow("build tree or portable copy") << false << writable << true;
        QTest::newRow("installed, even where writable") << true << writable << false;
        QTest::newRow("read-only copy") << false << readOnly << false;
        QTest::newRow("missing folder") << false << QFile::Permissions() << false;
    }
    void programFolderChoice() {
        QFETCH(bool, installed);
        QFETCH(QFile::Permissions, permissions);
        QFETCH(bool, executableFolder);
        QTemporaryDir dir;
        const QString bin = dir.filePath("bin");
        const QString share = dir.filePath("share/tallyscope");
        if (permissions) {
            QVERIFY(QDir().mkpath(bin));
            QVERIFY(QFile::setPermissions(bin, permissions));
        }
        if (installed)
            QVERIFY(QDir().mkpath(share));
        QCOMPARE(ProgramFolder::choose(bin, share) == ProgramFolder::Kind::ExecutableFolder,
                 executableFolder);
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void perUserFolderFollowsXdgDataHome() {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        const QByteArray home = qgetenv("HOME");
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.filePath("data").toLocal8Bit());
        QCOMPARE(ProgramFolder::perUserFolder(), dir.filePath("data/Tallyscope"));
        qunsetenv("XDG_DATA_HOME");
        qputenv("HOME", dir.path().toLocal8Bit());
        QCOMPARE(ProgramFolder::perUserFolder(), dir.filePath(".local/share/Tallyscope"));
        qputenv("HOME", home);
        if (!saved.isNull())
            qputenv("XDG_DATA_HOME", saved);
    }
};

TALLY_GUILESS_TEST_MAIN(TestUserSettings)
#include "tst_user_settings.moc"
