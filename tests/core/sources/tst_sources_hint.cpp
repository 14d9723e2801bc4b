// When the main window offers the Sources window: a fresh start, or a scan in which every request
// to a built-in engine at its own address failed; never again once closed or followed.
#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/user_settings.h"
#include "core/sources/sources_hint.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QTest>

using namespace tally;

namespace {

// A finished row; each cell "c" a count, "f" a failure, "s" stopped, "-" not settled.
std::shared_ptr<const ResultRecord> row(const char* cells, bool finished = true) {
    auto r = std::make_shared<ResultRecord>();
    r->url = QStringLiteral("http://www.example.com/");
    r->finished = finished;
    for (int slot = 0; slot < EngineCount; ++slot) {
        if (cells[slot] == 'c')
            r->settle(slot, EngineOutcome::counted(QStringLiteral("12")));
        else if (cells[slot] == 'f')
            r->settle(slot, EngineOutcome::failed(FailureKind::HttpStatus, QStringLiteral("404")));
        else if (cells[slot] == 's')
            r->settle(slot, EngineOutcome::stopped());
    }
    return r;
}

} // namespace

class TestSourcesHint : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void allFailed_data() {
        QTest::addColumn<QString>("builtIn"); // "1" for a slot that asks a built-in engine
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("expected");
        QTest::newRow("every request failed")
            << "111111" << QStringList{"ffffff", "ffffff"} << true;
        QTest::newRow("one count") << "111111" << QStringList{"ffffff", "fffcff"} << false;
        QTest::newRow("a count from a preset does not count")
            << "111100" << QStringList{"ffffcc"} << true;
        QTest::newRow("no built-in slot") << "000000" << QStringList{"ffffff"} << false;
        QTest::newRow("no rows") << "111111" << QStringList{} << false;
        QTest::newRow("stopped before any answer") << "111111" << QStringList{"ssssss"} << false;
        QTest::newRow("stopped requests left aside") << "111111" << QStringList{"ffssss"} << true;
        QTest::newRow("an unfinished row is left aside")
            << "111111" << QStringList{"ffffff", "-c----"} << true;
    }
    void allFailed() {
        QFETCH(QString, builtIn);
        QFETCH(QStringList, rows);
        QFETCH(bool, expected);
        std::array<bool, EngineCount> asking{};
        for (int slot = 0; slot < EngineCount; ++slot)
            asking[slot] = builtIn[slot] == QLatin1Char('1');
        ResultRecords records;
        for (const QString& cells : rows)
            records << row(cells.toLatin1().constData(), !cells.contains(QLatin1Char('-')));
        QCOMPARE(builtInEnginesAllFailed(asking, records), expected);
    }

    void slotsAskingBuiltIn() {
        test::TestEnv env; // the shipped settings.ini: every prefix on its engine's own host
        env.writeFile(QStringLiteral("engines.ini"),
                      "[Yahoo]\r\nKind=off\r\n[MSN]\r\nPreset=moz\r\n");
        // Google's prefix moved to a mirror of the user's.
        QByteArray ini = env.readFile(QStringLiteral("settings.ini"));
        const qsizetype google = ini.indexOf("Google=");
        ini.insert(google + 7, "http://mirror.example/?q=");
        env.writeFile(QStringLiteral("settings.ini"), ini);
        const std::array<bool, EngineCount> asking =
            slotsAskingBuiltInEngines(loadEngines(env.file(QStringLiteral("engines.ini"))),
                                      env.file(QStringLiteral("settings.ini")));
        QCOMPARE(asking, (std::array<bool, EngineCount>{false, true, false, true, false, true}));
    }

    void freshStartAndOnce() {
        test::TestEnv env;
        QVERIFY(isFreshStart(env.path()));
        QVERIFY(sourcesHintDue(true));
        QVERIFY(!sourcesHintDue(false));
        env.writeFile(QStringLiteral("Saved/site.vqz"), "[Google]\r\n");
        QVERIFY(!isFreshStart(env.path()));
        test::TestEnv other;
        other.writeFile(QStringLiteral("engines.ini"), "");
        QVERIFY(!isFreshStart(other.path()));
        // Closed or followed once: never due again.
        QVERIFY(UserSettings::setSourcesHintDone().ok());
        QVERIFY(!sourcesHintDue(true));
    }
};

TALLY_GUILESS_TEST_MAIN(TestSourcesHint)
#include "tst_sources_hint.moc"
