// A file downloaded to the disk, against a local stand-in of a static file server (the web graph
// publisher's data server: 200 with Content-Length, "Range: bytes=N-" answered 206 with
// Content-Range, or 416 with "Content-Range: bytes */<size>" past the end; RFC 9110, 14.2-14.4):
// resumed from a ".part", restarted when the server ignores the range or the part is not a start
// of the file, a short body and a non-gzip answer refused, the free space checked, redirects
// followed, a cancel at once keeping what came, and the same on a worker thread. The faults of the
// real internet: S3's 503 SlowDown (support/common_crawl_stand_in.h) and cut connections tried
// again, a file replaced on the server between two runs (If-Range), a damaged part, endless files,
// a full disk.
#include "core/linkgraph/gzip_lines.h"
#include "core/net/file_download.h"
#include "support/common_crawl_stand_in.h"
#include "support/encodings.h"
#include "support/full_disk.h"
#include "support/local_http_server.h"
#include "support/test_main.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <optional>

using namespace tally;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;

namespace {

const QString Path = QStringLiteral("/projects/hyperlinkgraph/r/domain/r-domain-edges.txt.gz");

QByteArray payload() {
    QByteArray text;
    for (int i = 0; i < 40000; ++i)
        text += QByteArray::number(i * 7919 % 100003) + '\t' + QByteArray::number(i) + '\n';
    return test::gzipped(text);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Finish {
    FileDownload::Outcome outcome = FileDownload::Outcome::Failed;
    QString error;
};

} // namespace

Q_DECLARE_METATYPE(FileDownload::Outcome)

class TestFileDownload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void downloads_data() {
        QTest::addColumn<QByteArray>("part");   // in "<target>.part" before the start
        QTest::addColumn<QString>("serve");     // how the server answers
        QTest::addColumn<qint64>("spare");      // free space asked for beyond the file
        QTest::addColumn<QString>("error");     // empty: done
        QTest::addColumn<QByteArray>("ranges"); // the Range headers sent, joined by "|"
        QTest::addColumn<qint64>("partLeft");   // bytes in the ".part" afterwards; -1 none
        const QByteArray file = payload();
        const qint64 none = -1;
        QTest::newRow("whole file") << QByteArray() << "file" << 0ll << "" << QByteArray() << none;
        QTest::newRow("resumed") << file.left(1000) << "file" << 0ll << ""
                                 << QByteArray("bytes=1000-") << none;
        QTest::newRow("part longer than the file: fresh start")
            << file + "extra"
            << "file" << 0ll << ""
            << QByteArray("bytes=" + QByteArray::number(file.size() + 5) + "-|") << none;
        QTest::newRow("server ignores the range")
            << file.left(1000) << "no ranges" << 0ll << "" << QByteArray("bytes=1000-") << none;
        QTest::newRow("part not gzip: fresh start")
            << QByteArray("<html>") << "file" << 0ll << "" << QByteArray() << none;
        QTest::newRow("redirect") << QByteArray() << "redirect" << 0ll << "" << QByteArray("|")
                                  << none;
        // Redirects follow the page fetches' rule: up to its limit, never away from the web.
        QTest::newRow("redirected six times")
            << QByteArray() << "redirect chain" << 0ll << "" << QByteArray("||||||") << none;
        QTest::newRow("redirect away from the web")
            << QByteArray() << "redirect ftp" << 0ll << "redirects too often or away from the web"
            << QByteArray("") << none;
        QTest::newRow("nobody listens")
            << QByteArray() << "nobody" << 0ll << "connection refused (given up after 3 tries"
            << QByteArray() << none;
        QTest::newRow("cut off: resumed by the next try")
            << QByteArray() << "cut" << 0ll << "" << QByteArray("|bytes=5000-") << none;
        QTest::newRow("SlowDown with Retry-After twice, then the file")
            << QByteArray() << "slow down" << 0ll << "" << QByteArray("||") << none;
        QTest::newRow("SlowDown every time: given up")
            << QByteArray() << "slow down always" << 0ll
            << "answered HTTP 503 (SlowDown) (given up after 3 tries; nothing of it was kept)"
            << QByteArray("||") << none;
        QTest::newRow("replaced on the server: starts again")
            << test::gzipped("an older file\n").left(10) << "replaced" << 0ll << ""
            << QByteArray("bytes=10-") << none;
        QTest::newRow("damaged part kept: starts again")
            << file.left(20) + QByteArray(200, '\xff') << "file" << 0ll << "" << QByteArray()
            << none;
        QTest::newRow("endless, without a length")
            << QByteArray() << "no length" << 0ll << "sent more than the 16 KiB such a file may be"
            << QByteArray() << none;
        QTest::newRow("full disk")
            << QByteArray() << "full disk" << 0ll << "the disk is full" << QByteArray() << none;
        QTest::newRow("not gzip") << QByteArray() << "html" << 0ll << "is not a gzip file"
                                  << QByteArray() << none;
        QTest::newRow("not found")
            << QByteArray() << "missing" << 0ll << "answered HTTP 404" << QByteArray() << none;
        QTest::newRow("no room") << QByteArray() << "file" << (qint64(1) << 60)
                                 << "not enough disk space in " << QByteArray() << none;
    }
    void downloads() {
        QFETCH(QByteArray, part);
        QFETCH(QString, serve);
        QFETCH(qint64, spare);
        QFETCH(QString, error);
        QFETCH(QByteArray, ranges);
        QFETCH(qint64, partLeft);
        const QByteArray file = payload();
        test::CommonCrawlStandIn standIn;
        LocalHttpServer server;
        server.setHandler(standIn.handler());
        standIn.setFile(Path, serve == QLatin1String("html")
                                  ? QByteArray("<html><body>Moved</body></html>")
                                  : file);
        QString path = Path;
        if (serve == QLatin1String("no ranges")) {
            path = QStringLiteral("/plain.gz");
            server.route(path, HttpResponse::page(file));
        } else if (serve == QLatin1String("redirect")) {
            path = QStringLiteral("/old.gz");
            server.route(path, HttpResponse::redirect(Path));
        } else if (serve == QLatin1String("redirect chain")) {
            path = QStringLiteral("/hop0.gz");
            for (int hop = 0; hop < 6; ++hop)
                server.route(QStringLiteral("/hop%1.gz").arg(hop),
                             HttpResponse::redirect(
                                 hop < 5 ? QStringLiteral("/hop%1.gz").arg(hop + 1) : Path));
        } else if (serve == QLatin1String("redirect ftp")) {
            path = QStringLiteral("/old.gz");
            server.route(path, HttpResponse::redirect(QByteArray("ftp://127.0.0.1/r.gz")));
        } else if (serve == QLatin1String("cut")) {
            standIn.cutNext(Path, 5000);
        } else if (serve == QLatin1String("missing")) {
            path = QStringLiteral("/nothing.gz");
        } else if (serve.startsWith(QLatin1String("slow down"))) {
            standIn.slowDown(Path, serve.endsWith(QLatin1String("always")) ? 9 : 2,
                             serve.endsWith(QLatin1String("always")) ? 0 : 1);
        } else if (serve == QLatin1String("no length") || serve == QLatin1String("full disk")) {
            path = QStringLiteral("/unbounded.gz");
            HttpResponse unbounded = HttpResponse::page(file);
            unbounded.noLength = true;
            server.route(path, unbounded);
        }
        QTemporaryDir dir;
        std::optional<test::SmallFileSystem> disk;
        if (serve == QLatin1String("full disk")) {
            disk.emplace(dir.path());
            if (!disk->mounted())
                QSKIP("cannot mount a small tmpfs here (needs root)");
        }
        const QString target = dir.filePath("r-domain-edges.txt.gz");
        if (!part.isEmpty()) {
            QFile f(FileDownload::partFile(target));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(part);
        }
        if (serve == QLatin1String("replaced")) {
            QFile f(FileDownload::validatorFile(target));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\"the older file's ETag\"\n");
        }
        if (disk)
            disk->fill();
        FileDownload download;
        QSignalSpy done(&download, &FileDownload::finished);
        FileDownload::Options options;
        options.expectGzip = true;
        options.spareBytes = spare;
        options.maxTries = 3;
        options.firstRetryMs = 20;
        options.check = std::make_shared<GzipDownloadCheck>("r-domain-edges.txt.gz");
        if (serve == QLatin1String("no length"))
            options.maxBytes = 16 * 1024;
        QUrl url = server.url(path);
        if (serve == QLatin1String("nobody")) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            url.setPort(closed.serverPort());
        }
        download.start(url, target, options);
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 20000);
        const auto outcome = done[0][0].value<FileDownload::Outcome>();
        const QString why = done[0][1].toString();
        QStringList sent;
        for (const test::HttpRequest& r : server.requests())
            sent << QString::fromLatin1(r.header("Range"));
        QCOMPARE(sent.join('|').toLatin1(), ranges);
        if (serve == QLatin1String("replaced"))
            QCOMPARE(server.requests().first().header("If-Range"), "\"the older file's ETag\"");
        if (error.isEmpty()) {
            QVERIFY2(outcome == FileDownload::Outcome::Done, qPrintable(why));
            QCOMPARE(readAll(target), file);
        } else {
            QVERIFY(outcome == FileDownload::Outcome::Failed);
            QVERIFY2(why.contains(error), qPrintable(why));
            QVERIFY(!QFile::exists(target));
        }
        QCOMPARE(QFile::exists(FileDownload::partFile(target))
                     ? QFileInfo(FileDownload::partFile(target)).size()
                     : -1,
                 partLeft);
    }

    // Cancel ends a download at once, keeping what came for the next start, which resumes it.
    void cancelKeepsThePart() {
        const QByteArray file = payload();
        test::CommonCrawlStandIn standIn;
        test::LocalHttpServerThread server;
        server.server()->setHandler(standIn.handler());
        standIn.setFile(Path, file);
        standIn.drip(Path, 4096, 20);
        QTemporaryDir dir;
        const QString target = dir.filePath("edges.txt.gz");
        FileDownload download;
        QSignalSpy done(&download, &FileDownload::finished);
        QList<DownloadProgress> seen;
        connect(&download, &FileDownload::progress, this,
                [&](const DownloadProgress& p) { seen << p; });
        FileDownload::Options gzip;
        gzip.expectGzip = true;
        download.start(server.server()->url(Path), target, gzip);
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty() && seen.last().bytes >= 8192, 20000);
        download.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 2000);
        QVERIFY(done[0][0].value<FileDownload::Outcome>() == FileDownload::Outcome::Cancelled);
        QCOMPARE(seen.last().total, qint64(file.size()));
        const qint64 kept = QFileInfo(FileDownload::partFile(target)).size();
        QVERIFY(kept >= 8192 && kept < file.size());
        QVERIFY(!QFile::exists(target));
        standIn.drip(Path, 1 << 20, 0);
        download.start(server.server()->url(Path), target, gzip);
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 20000);
        QVERIFY2(done[1][0].value<FileDownload::Outcome>() == FileDownload::Outcome::Done,
                 qPrintable(done[1][1].toString()));
        QCOMPARE(readAll(target), file);
        QCOMPARE(server.server()->requests().last().header("Range"),
                 "bytes=" + QByteArray::number(kept) + "-");
    }

    // A window runs the download on a worker thread, which drives its own transfers.
    void runsOnAWorkerThread() {
        const QByteArray file = payload();
        test::CommonCrawlStandIn standIn;
        LocalHttpServer server;
        server.setHandler(standIn.handler());
        standIn.setFile(Path, file);
        QTemporaryDir dir;
        const QString target = dir.filePath("edges.txt.gz");
        QThread worker;
        worker.start();
        QObject context;
        context.moveToThread(&worker);
        FileDownload* download = nullptr;
        QMetaObject::invokeMethod(
            &context, [&] { download = new FileDownload; }, Qt::BlockingQueuedConnection);
        QVERIFY(download);
        QSignalSpy done(download, &FileDownload::finished);
        QMetaObject::invokeMethod(download, [&] { download->start(server.url(Path), target); });
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 20000);
        QVERIFY(done[0][0].value<FileDownload::Outcome>() == FileDownload::Outcome::Done);
        QCOMPARE(readAll(target), file);
        QMetaObject::invokeMethod(
            download, [&] { delete download; }, Qt::BlockingQueuedConnection);
        QMetaObject::invokeMethod(
            &context, [&] { context.moveToThread(QCoreApplication::instance()->thread()); },
            Qt::BlockingQueuedConnection);
        worker.quit();
        worker.wait();
    }
};

TALLY_GUILESS_TEST_MAIN(TestFileDownload)
#include "tst_file_download.moc"
