// A stand-in of the web graph's publisher, for LocalHttpServer, answering as its servers do:
//
// - "/graphinfo.json" (index.commoncrawl.org/graphinfo.json): a JSON array of the releases,
//   newest first, each {"id", "crawls": [...], "index", "location", "stats": {"host": {"nodes",
//   "arcs"}, "domain": {"nodes", "arcs"}}}.
// - "/projects/hyperlinkgraph/<id>/domain/<id>-domain-{vertices,edges,ranks}.txt.gz" and, for the
//   host level, "<id>-host-{vertices,edges}.paths.gz" (gzip, one path under the data address per
//   line, as the release announcements list them) with the part files they name
//   (data.commoncrawl.org: add the address in front of each path).
// - Files are served as a static file server serves them: 200 with Content-Length and an ETag (S3
//   sends the quoted MD5 of an object uploaded whole), and for "Range: bytes=N-" (RFC 9110, 14.2)
//   206 with "Content-Range: bytes N-<last>/<size>", or 416 with "Content-Range: bytes */<size>"
//   when N is past the end; an If-Range that names another version than the file's ETag gets the
//   whole file with 200 (RFC 9110, 13.1.5). Anything else is 404.
// - When it throttles, S3 answers 503 with the XML error body of code "SlowDown" ("Please reduce
//   your request rate.": docs.aws.amazon.com/AmazonS3/latest/API/ErrorResponses.html; to be
//   retried with growing waits: .../AmazonS3/latest/userguide/ErrorBestPractices.html).
//
// The releases' graphs are small and made here, gzip-compressed: target domains given with the
// number of distinct domains that link to each, and enough linking domains ("org.linker-NNN")
// to make those counts.
#pragma once

#include "support/local_http_server.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QMutex>
#include <QString>

namespace tally::test {

// A graph in the published text form: vertices "id<TAB>reversed name<TAB>hosts" in byte order,
// edges "from<TAB>to" sorted by from id, ranks with the domain graphs' header, by harmonic
// position (the most linked first). Plain text; gzipped() makes the published files.
struct SmallGraph {
    QByteArray vertices, edges, ranks;
    QMap<QByteArray, int> counts;    // every vertex's linking domains
    QMap<QByteArray, int> positions; // every vertex's harmonic (and PageRank) position
};
SmallGraph smallGraph(const QMap<QByteArray, int>& targets);

class CommonCrawlStandIn {
public:
    // A release of the domain level (and of the host level, parts of about `partLines` lines).
    void addRelease(const QString& id, const SmallGraph& domains, const SmallGraph* hosts = nullptr,
                    qint64 statsScale = 1);
    // The file at path (under the server's root) as given, replacing what the release put there.
    void setFile(const QString& path, const QByteArray& bytes);
    QByteArray file(const QString& path) const;
    // The next full answer of path sends only this many bytes of the file (announcing all of
    // them), then drops the connection; `times` answers in a row.
    void cutNext(const QString& path, qint64 bytes, int times = 1);
    // Each answer of path sends `bytes` at a time, `intervalMs` apart.
    void drip(const QString& path, int bytes, int intervalMs);
    // The next `times` requests of path are answered 503 SlowDown, with Retry-After when > 0.
    void slowDown(const QString& path, int times, int retryAfterSeconds);

    HttpResponse answer(const HttpRequest& request);
    LocalHttpServer::Handler handler() {
        return [this](const HttpRequest& r) { return answer(r); };
    }

    static QString releaseFolder(const QString& id, const char* level) {
        return QStringLiteral("/projects/hyperlinkgraph/%1/%2/").arg(id, QLatin1String(level));
    }

private:
    mutable QMutex mutex_;
    QByteArray list_ = "[]";
    QHash<QString, QByteArray> files_;
    QHash<QString, QPair<qint64, int>> cuts_;
    QHash<QString, QPair<int, int>> drips_;
    QHash<QString, QPair<int, int>> slowDowns_;
};

} // namespace tally::test
