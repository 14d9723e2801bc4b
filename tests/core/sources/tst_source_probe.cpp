// One request of a slot for a typed URL (SourceProbe), against the presets' stand-ins on a local
// server: the keys as typed (not stored) reach the stand-in, and the shown address, the answer's
// excerpt and the reason never hold them.
#include "core/net/network_page_fetcher.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/program_folder.h"
#include "core/sources/source_probe.h"
#include "support/api_stand_ins.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QSignalSpy>
#include <QTest>

using namespace tally;
using Keys = QHash<QString, QString>;

namespace {

const QString KnownUrl = QStringLiteral("http://www.example.com/");

struct Probed {
    ProbeReport report;
    bool finished = false;
};

Probed probe(const EngineDefinition& d, const QString& url, const QHash<QString, QString>& keys,
             const QString& prefix = QString()) {
    NetworkPageFetcher fetcher;
    SourceProbe probe(&fetcher);
    QSignalSpy done(&probe, &SourceProbe::finished);
    probe.start(d, prefix, url, keys);
    Probed probed;
    // Asynchronous: nothing has been reported on return.
    if (!done.isEmpty())
        return probed;
    probed.finished = done.wait(20000) && done.size() == 1;
    if (probed.finished)
        probed.report = done.first().first().value<ProbeReport>();
    return probed;
}

QHash<QString, QString> keysOf(const test::ApiStandIn& standIn, const QString& suffix) {
    QHash<QString, QString> keys;
    for (const auto& [name, value] : standIn.keys())
        keys.insert(name, value + suffix);
    return keys;
}

} // namespace

class TestSourceProbe : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void presets_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<bool>("rightKey");
        for (const QString& preset : test::standInPresets()) {
            QTest::newRow(qPrintable(preset + QStringLiteral(": count"))) << preset << true;
            QTest::newRow(qPrintable(preset + QStringLiteral(": bad key"))) << preset << false;
        }
    }
    void presets() {
        QFETCH(QString, preset);
        QFETCH(bool, rightKey);
        test::TestEnv env;
        std::unique_ptr<test::ApiStandIn> standIn = test::apiStandIn(preset);
        const bool bing = preset == QLatin1String("bing-webmaster");
        const bool score = preset == QLatin1String("openpagerank");
        standIn->setValue(bing ? KnownUrl : QStringLiteral("example.com"), bing    ? "1234"
                                                                           : score ? "4.68"
                                                                                   : "4321");
        test::LocalHttpServer server;
        server.setHandler(standIn->handler());
        // The keys are typed, not stored: the probe goes with what the window holds.
        const QHash<QString, QString> keys = keysOf(*standIn, rightKey ? "" : "-wrong");
        const EngineDefinition d = definitionFromSection(
            4, QStringLiteral("Preset=%1\r\nServer=%2").arg(preset, server.urlString(QString())),
            env.path(), keys);
        QVERIFY2(d.usable(), qPrintable(d.problem));

        const Probed probed = probe(d, KnownUrl, keys);
        QVERIFY(probed.finished);
        const ProbeReport& r = probed.report;
        QVERIFY(r.requested);
        QVERIFY2(r.address.startsWith(server.urlString(QString())), qPrintable(r.address));
        QVERIFY(!r.excerpt.isEmpty());
        if (rightKey) {
            QCOMPARE(r.status, 200);
            QVERIFY2(r.outcome.isCount(), qPrintable(r.outcome.reason));
            QCOMPARE(r.outcome.count, bing    ? QStringLiteral("1234")
                                      : score ? QStringLiteral("4.68")
                                              : QStringLiteral("4321"));
        } else {
            QVERIFY(!r.outcome.isCount());
            QVERIFY(!r.outcome.reason.isEmpty());
        }
        for (const QString& key : keys) {
            for (const QString& shown : {r.address, r.excerpt, r.outcome.reason})
                QVERIFY2(!shown.contains(key), qPrintable(shown));
        }
    }

    // What a scan settles without a request, the probe settles the same way.
    void withoutRequest_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<int>("failure");
        QTest::newRow("off") << "Kind=off" << QHash<QString, QString>{} << int(FailureKind::Off);
        QTest::newRow("key not typed")
            << "Preset=majestic" << QHash<QString, QString>{} << int(FailureKind::Definition);
        QTest::newRow("graph without an index")
            << "Kind=graph\r\nIndex=missing.links" << QHash<QString, QString>{}
            << int(FailureKind::Definition);
    }
    void withoutRequest() {
        QFETCH(QString, section);
        QFETCH(Keys, keys);
        QFETCH(int, failure);
        test::TestEnv env;
        const Probed probed =
            probe(definitionFromSection(2, section, env.path(), keys), KnownUrl, keys);
        QVERIFY(probed.finished);
        QVERIFY(!probed.report.requested);
        QCOMPARE(int(probed.report.outcome.failure), failure);
        QVERIFY(probed.report.address.isEmpty());
    }

    void excerptIsTheFirst2KB() {
        test::TestEnv env;
        test::LocalHttpServer server;
        const QByteArray body = "{\"n\": 7, \"pad\": \"" + QByteArray(5000, 'p') + "\"}";
        test::HttpResponse json = test::HttpResponse::page(body);
        json.headers.append(
            {QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")});
        server.route(QStringLiteral("/n"), json);
        const EngineDefinition d =
            definitionFromSection(0,
                                  QStringLiteral("Kind=json\r\nAddress=%1?u={url}\r\nPointer=/n")
                                      .arg(server.urlString(QStringLiteral("/n"))),
                                  env.path(), {});
        const Probed probed = probe(d, KnownUrl, {});
        QVERIFY(probed.finished);
        QCOMPARE(probed.report.outcome.count, QStringLiteral("7"));
        QCOMPARE(probed.report.excerpt, QString::fromLatin1(body.left(SourceProbe::ExcerptBytes)));
    }

    void cancelledProbeReportsNothing() {
        test::TestEnv env;
        test::LocalHttpServer server;
        server.route(QStringLiteral("/slow"), test::HttpResponse::page("{\"n\": 1}"));
        const EngineDefinition d =
            definitionFromSection(0,
                                  QStringLiteral("Kind=json\r\nAddress=%1\r\nPointer=/n")
                                      .arg(server.urlString(QStringLiteral("/slow"))),
                                  env.path(), {});
        NetworkPageFetcher fetcher;
        SourceProbe probe(&fetcher);
        QSignalSpy done(&probe, &SourceProbe::finished);
        probe.start(d, QString(), KnownUrl, {});
        QVERIFY(probe.isRunning());
        probe.cancel();
        QVERIFY(!probe.isRunning());
        // A second probe right after reports once, its own.
        probe.start(definitionFromSection(0, QStringLiteral("Kind=off"), env.path(), {}), QString(),
                    KnownUrl, {});
        QVERIFY(done.wait(5000));
        QTest::qWait(200);
        QCOMPARE(done.size(), 1);
        QCOMPARE(done.first().first().value<ProbeReport>().outcome.failure, FailureKind::Off);
    }
};

TALLY_GUILESS_TEST_MAIN(TestSourceProbe)
#include "tst_source_probe.moc"
