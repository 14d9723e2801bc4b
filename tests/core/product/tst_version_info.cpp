// The version information and the display strings the windows show.
#include "core/product/app_state.h"
#include "core/product/version_info.h"
#include "tally_version.h"

#include <QtTest>

using namespace tally;

class TestAboutVersion : public QObject {
    Q_OBJECT

private slots:
    void versionText_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.3") << 1 << 3 << "1.3";
        QTest::newRow("minor 10 stays 1.10") << 1 << 10 << "1.10";
        QTest::newRow("no leading zero") << 2 << 0 << "2.0";
        QTest::newRow("large") << 12 << 345 << "12.345";
    }
    void versionText() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, text);
        QCOMPARE(tally::versionText(major, minor), text);
    }

    void programVersionComesFromTheBuild() {
        const VersionInfo info = programVersion();
        QCOMPARE(info.productName, QStringLiteral("Tallyscope"));
        QCOMPARE(info.companyName, QString::fromUtf8(version::CompanyName));
        QCOMPARE(info.comments, QString::fromUtf8(version::SiteAddress));
        QCOMPARE(info.major, 1);
        QCOMPARE(info.minor, 3);
        // Before the splash window sets them, the display strings hold the program's own values.
        QCOMPARE(displayStrings().productName, QStringLiteral("Tallyscope"));
        QCOMPARE(displayStrings().versionText, QStringLiteral("1.3"));
    }

    void setDisplayStringsAlsoSetsTheSiteAddress() {
        setDisplayStrings(VersionInfo{QStringLiteral("Prod"), QStringLiteral("Co"),
                                      QStringLiteral("site.example"), 4, 10});
        QCOMPARE(displayStrings().productName, QStringLiteral("Prod"));
        QCOMPARE(displayStrings().companyName, QStringLiteral("Co"));
        QCOMPARE(displayStrings().versionText, QStringLiteral("4.10"));
        QCOMPARE(appState().SiteAddress, QStringLiteral("site.example"));
        setDisplayStrings(programVersion());
        QCOMPARE(appState().SiteAddress, QString::fromUtf8(version::SiteAddress));
    }
};

QTEST_GUILESS_MAIN(TestAboutVersion)
#include "tst_version_info.moc"
