// The program's name, maker, site and version as the windows show them.
#include "core/product/product.h"
#include "support/test_main.h"

#include <QtTest>

using namespace tally;

class TestProduct : public QObject {
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

    void comesFromTheBuild() {
        QCOMPARE(product().name, QStringLiteral("Tallyscope"));
        QCOMPARE(product().versionText(), QStringLiteral("1.3"));
        QVERIFY(!product().company.isEmpty());
        QVERIFY(!product().siteAddress.contains(QLatin1String("://")));
        QVERIFY(product().siteUrl.startsWith(QLatin1String("http")));
    }
};

TALLY_GUILESS_TEST_MAIN(TestProduct)
#include "tst_product.moc"
