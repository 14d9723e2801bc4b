#include "core/scan/engine_table.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        QCOMPARE(GetSetting("Tallyscope", "Settings", "cmbChart2", "3"), QString("5"));
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
};

QTEST_GUILESS_MAIN(TestUserSettings)
#include "tst_user_settings.moc"
