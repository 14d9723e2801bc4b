#include "support/common_crawl_stand_in.h"

#include "support/encodings.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>

#include <algorithm>

namespace tally::test {

SmallGraph smallGraph(const QMap<QByteArray, int>& targets) {
    SmallGraph g;
    int linkers = 0;
    for (int n : targets)
        linkers = std::max(linkers, n);
    QMap<QByteArray, int> ids; // by name, in byte order (QMap's order)
    for (auto it = targets.begin(); it != targets.end(); ++it)
        ids.insert(it.key(), 0);
    for (int i = 0; i < linkers; ++i)
        ids.insert(QByteArray("org.linker-") + QByteArray::number(i).rightJustified(3, '0'), 0);
    int id = 0;
    for (auto it = ids.begin(); it != ids.end(); ++it) {
        it.value() = id++;
        g.vertices += QByteArray::number(it.value()) + '\t' + it.key() + "\t1\n";
        g.counts.insert(it.key(), targets.value(it.key(), 0));
    }
    // Linker i links to every target with more than i linking domains: edges by from id.
    for (auto linker = ids.begin(); linker != ids.end(); ++linker) {
        if (!linker.key().startsWith("org.linker-"))
            continue;
        const int i = linker.key().mid(11).toInt();
        for (auto t = targets.begin(); t != targets.end(); ++t)
            if (t.value() > i)
                g.edges += QByteArray::number(linker.value()) + '\t' +
                           QByteArray::number(ids.value(t.key())) + '\n';
    }
    QList<QByteArray> byRank = g.counts.keys();
    std::stable_sort(byRank.begin(), byRank.end(), [&](const QByteArray& a, const QByteArray& b) {
        return g.counts.value(a) > g.counts.value(b);
    });
    g.ranks = "#harmonicc_pos\t#harmonicc_val\t#pr_pos\t#pr_val\t#host_rev\t#n_hosts\n";
    for (int pos = 1; pos <= byRank.size(); ++pos) {
        const QByteArray& name = byRank[pos - 1];
        g.positions.insert(name, pos);
        g.ranks += QByteArray::number(pos) + '\t' + QByteArray::number(1000 - pos) + '\t' +
                   QByteArray::number(pos) + "\t0.001\t" + name + "\t1\n";
    }
    return g;
}

namespace {

// A text's lines in two halves, each gzipped on its own.
QList<QByteArray> twoParts(const QByteArray& text) {
    const qsizetype middle = text.indexOf('\n', text.size() / 2) + 1;
    return {gzipped(text.left(middle)), gzipped(text.mid(middle))};
}

QJsonObject counts(qint64 nodes, qint64 arcs) {
    return QJsonObject{{"nodes", double(nodes)}, {"arcs", double(arcs)}};
}

} // namespace

void CommonCrawlStandIn::addRelease(const QString& id, const SmallGraph& domains,
                                    const SmallGraph* hosts, qint64 statsScale) {
    QMutexLocker lock(&mutex_);
    const QString d = releaseFolder(id, "domain") + id + QStringLiteral("-domain-");
    files_.insert(d + "vertices.txt.gz", gzipped(domains.vertices));
    files_.insert(d + "edges.txt.gz", gzipped(domains.edges));
    files_.insert(d + "ranks.txt.gz", gzipped(domains.ranks));
    const SmallGraph& h = hosts ? *hosts : domains;
    const QString hostFolder = releaseFolder(id, "host");
    for (const char* kind : {"vertices", "edges"}) {
        const QList<QByteArray> parts =
            twoParts(qstrcmp(kind, "vertices") == 0 ? h.vertices : h.edges);
        QByteArray paths;
        for (int i = 0; i < parts.size(); ++i) {
            const QString path = hostFolder + QLatin1String(kind) +
                                 QStringLiteral("/part-%1-8d1f.txt.gz").arg(i, 5, 10, QChar('0'));
            files_.insert(path, parts[i]);
            paths += path.mid(1).toUtf8() + '\n';
        }
        files_.insert(hostFolder + id + QStringLiteral("-host-%1.paths.gz").arg(kind),
                      gzipped(paths));
    }
    files_.insert(hostFolder + id + QStringLiteral("-host-ranks.txt.gz"), gzipped(h.ranks));
    QJsonArray list = QJsonDocument::fromJson(list_).array();
    const qint64 s = statsScale;
    list.prepend(QJsonObject{
        {"id", id},
        {"crawls", QJsonArray{"CC-MAIN-2099-05", "CC-MAIN-2099-09"}},
        {"index", QStringLiteral("https://index.commoncrawl.org/%1/").arg(id)},
        {"location", QStringLiteral("s3://commoncrawl/projects/hyperlinkgraph/%1/").arg(id)},
        {"stats", QJsonObject{{"host", counts(h.counts.size() * s, h.edges.count('\n') * s)},
                              {"domain", counts(domains.counts.size() * s,
                                                domains.edges.count('\n') * s)}}}});
    list_ = QJsonDocument(list).toJson(QJsonDocument::Compact);
}

void CommonCrawlStandIn::setFile(const QString& path, const QByteArray& bytes) {
    QMutexLocker lock(&mutex_);
    files_.insert(path, bytes);
}

QByteArray CommonCrawlStandIn::file(const QString& path) const {
    QMutexLocker lock(&mutex_);
    return files_.value(path);
}

void CommonCrawlStandIn::cutNext(const QString& path, qint64 bytes, int times) {
    QMutexLocker lock(&mutex_);
    cuts_.insert(path, {bytes, times});
}

void CommonCrawlStandIn::drip(const QString& path, int bytes, int intervalMs) {
    QMutexLocker lock(&mutex_);
    drips_.insert(path, {bytes, intervalMs});
}

void CommonCrawlStandIn::slowDown(const QString& path, int times, int retryAfterSeconds) {
    QMutexLocker lock(&mutex_);
    slowDowns_.insert(path, {times, retryAfterSeconds});
}

HttpResponse CommonCrawlStandIn::answer(const HttpRequest& request) {
    QMutexLocker lock(&mutex_);
    if (request.method != "GET")
        return HttpResponse::page("Method Not Allowed", 405);
    if (auto slow = slowDowns_.find(request.path); slow != slowDowns_.end() && slow->first > 0) {
        HttpResponse r = HttpResponse::page(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Error><Code>SlowDown</Code><Message>"
            "Please reduce your request rate.</Message><RequestId>4442587FB7D0A2F9</RequestId>"
            "</Error>",
            503);
        r.headers.emplaceBack("Content-Type", "application/xml");
        if (slow->second > 0)
            r.headers.emplaceBack("Retry-After", QByteArray::number(slow->second));
        --slow->first;
        return r;
    }
    if (request.path == QLatin1String("/graphinfo.json")) {
        HttpResponse r = HttpResponse::page(list_);
        r.headers.emplaceBack("Content-Type", "application/json");
        return r;
    }
    if (!files_.contains(request.path))
        return HttpResponse::page("<Error><Code>NoSuchKey</Code></Error>", 404);
    const QByteArray& bytes = files_[request.path];
    const qint64 size = bytes.size();
    HttpResponse r;
    r.headers.emplaceBack("Content-Type", "application/octet-stream");
    r.headers.emplaceBack("Accept-Ranges", "bytes");
    const QByteArray etag =
        '"' + QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex() + '"';
    r.headers.emplaceBack("ETag", etag);
    const QByteArray range = request.header("Range");
    const QByteArray ifRange = request.header("If-Range");
    if (range.startsWith("bytes=") && range.endsWith('-') &&
        (ifRange.isEmpty() || ifRange == etag)) {
        const qint64 from = range.mid(6, range.size() - 7).toLongLong();
        if (from >= size) {
            r.status = 416;
            r.headers.emplaceBack("Content-Range", "bytes */" + QByteArray::number(size));
            return r;
        }
        r.status = 206;
        r.headers.emplaceBack("Content-Range", "bytes " + QByteArray::number(from) + '-' +
                                                   QByteArray::number(size - 1) + '/' +
                                                   QByteArray::number(size));
        r.body = bytes.mid(from);
    } else {
        r.body = bytes;
        auto cut = cuts_.find(request.path);
        if (cut != cuts_.end() && cut->second > 0) {
            r.cutAfter = cut->first;
            if (--cut->second == 0)
                cuts_.erase(cut);
        }
    }
    if (const auto d = drips_.constFind(request.path); d != drips_.constEnd()) {
        r.dripBytes = d->first;
        r.dripIntervalMs = d->second;
    }
    return r;
}

} // namespace tally::test
