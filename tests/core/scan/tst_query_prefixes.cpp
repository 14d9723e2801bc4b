// settings.ini as a run reads it: read once, and again only when the file changed (a save in the
// Options dialog, an edit by hand, its removal), not once per request.
#include "core/scan/query_prefixes.h"
#include "core/settings/ini_file.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace tally;
using tally::test::TestEnv;

class TestQueryPrefixes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readAgainOnlyWhenChanged_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("reads");
        QTest::addColumn<QString>("google");
        QTest::newRow("nothing") << "none" << 1 << "http://g/?q=";
        QTest::newRow("saved by the program") << "save" << 2 << "http://new/?q=";
        QTest::newRow("same size, edited in place") << "in place" << 2 << "http://G/?q=";
        QTest::newRow("removed") << "remove" << 2 << "";
        QTest::newRow("only its time") << "touch" << 2 << "http://g/?q=";
    }
    void readAgainOnlyWhenChanged() {
        QFETCH(QString, change);
        QFETCH(int, reads);
        QFETCH(QString, google);
        TestEnv env(false);
        const QString ini = env.file("settings.ini");
        env.writeFile(
            "settings.ini",
            "[Engines]\r\nGoogle=http://g/?q=\r\nAsk=http://a/?q=\r\n[Pacing]\r\nAsk=250\r\n");
        QueryPrefixes prefixes(ini);
        QCOMPARE(prefixes.prefix("Google"), QStringLiteral("http://g/?q="));
        QCOMPARE(prefixes.pacing("Ask"), QStringLiteral("250"));
        for (int i = 0; i < 18; ++i)
            QCOMPARE(prefixes.prefix("Ask"), QStringLiteral("http://a/?q="));
        QCOMPARE(prefixes.reads(), 1);

        if (change == "save") {
            QVERIFY(modINI::WritePrivateProfileStringA("Engines", "Google", "http://new/?q=", ini));
        } else if (change == "in place") {
            // The same bytes but one letter, written into the same file: its time tells.
            QFile file(ini);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const QByteArray bytes = file.readAll().replace("http://g/", "http://G/");
            QVERIFY(file.seek(0));
            QCOMPARE(file.write(bytes), bytes.size());
            file.close();
            const timespec times[2] = {{0, UTIME_OMIT}, {12345, 678}};
            QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(ini).constData(), times, 0), 0);
        } else if (change == "remove") {
            QVERIFY(QFile::remove(ini));
        } else if (change == "touch") {
            const timespec times[2] = {{0, UTIME_OMIT}, {12345, 678}};
            QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(ini).constData(), times, 0), 0);
        }
        QCOMPARE(prefixes.prefix("Google"), google);
        QCOMPARE(prefixes.prefix("Google"), google);
        QCOMPARE(prefixes.reads(), reads);
    }

    // Looked at now and then (as a scan does): another program's change waits for the next look;
    // this program's own write is seen at once.
    void lookedAtNowAndThen() {
        TestEnv env(false);
        const QString ini = env.file("settings.ini");
        env.writeFile("settings.ini", "[Engines]\r\nGoogle=http://g/?q=\r\n");
        QueryPrefixes prefixes(ini, 60000);
        QCOMPARE(prefixes.prefix("Google"), QStringLiteral("http://g/?q="));
        env.writeFile("settings.ini", "[Engines]\r\nGoogle=http://other/?q=\r\n");
        QCOMPARE(prefixes.prefix("Google"), QStringLiteral("http://g/?q="));
        QVERIFY(modINI::WritePrivateProfileStringA("Engines", "Google", "http://new/?q=", ini));
        QCOMPARE(prefixes.prefix("Google"), QStringLiteral("http://new/?q="));
        QCOMPARE(prefixes.reads(), 2);
    }
};

TALLY_GUILESS_TEST_MAIN(TestQueryPrefixes)
#include "tst_query_prefixes.moc"
