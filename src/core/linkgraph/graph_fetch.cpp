#include "core/linkgraph/graph_fetch.h"

#include "core/files/safe_file.h"
#include "core/linkgraph/gzip_lines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStorageInfo>

#include <cstdio>

namespace tally {

namespace {

// The texts of the free functions, in the class's own translation context.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(GraphFetch)
};

constexpr qint64 ListLimit = 16 * MiB;
constexpr qint64 PathsLimit = 100000; // part files named by one .paths.gz

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

qint64 statOf(const QJsonObject& stats, const char* level, const char* what) {
    const QJsonValue v = stats.value(QLatin1String(level)).toObject().value(QLatin1String(what));
    return v.isDouble() && v.toDouble() >= 0 ? qint64(v.toDouble()) : 0;
}

// Release names become file names: nothing but what the publisher's names hold.
bool safeReleaseId(const QString& id) {
    if (id.isEmpty() || id.size() > 100 || id.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : id)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') &&
            c != QLatin1Char('_') && c != QLatin1Char('.'))
            return false;
    return true;
}

} // namespace

QList<GraphReleaseInfo> readGraphReleases(const QByteArray& json, QString* error) {
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    QList<GraphReleaseInfo> releases;
    if (parse.error != QJsonParseError::NoError || !doc.isArray()) {
        *error = Text::tr("the list of releases is not a JSON array (%1)")
                     .arg(parse.error != QJsonParseError::NoError ? parse.errorString()
                                                                  : Text::tr("another JSON value"));
        return releases;
    }
    for (const QJsonValue& value : doc.array()) {
        const QJsonObject entry = value.toObject();
        GraphReleaseInfo r;
        r.id = entry.value(QLatin1String("id")).toString();
        if (!safeReleaseId(r.id))
            continue; // not a release this program can name a file after
        for (const QJsonValue& crawl : entry.value(QLatin1String("crawls")).toArray())
            r.crawls << crawl.toString();
        const QJsonObject stats = entry.value(QLatin1String("stats")).toObject();
        r.hostNodes = statOf(stats, "host", "nodes");
        r.hostArcs = statOf(stats, "host", "arcs");
        r.domainNodes = statOf(stats, "domain", "nodes");
        r.domainArcs = statOf(stats, "domain", "arcs");
        releases << r;
    }
    if (releases.isEmpty())
        *error = Text::tr("the list of releases names no release");
    return releases;
}

qint64 estimatedFetchBytes(const GraphReleaseInfo& release, GraphLevel level, bool ranks) {
    // The published gzip files of current releases: about 10 bytes per domain and 13 per host in
    // the vertices, 2.5 per edge, 24 per vertex in the ranks; the index about 16 bytes per vertex
    // (24 with the ranks). Host parts are joined into one file: their bytes twice.
    const bool hosts = level == GraphLevel::Hosts;
    const double nodes = double(hosts ? release.hostNodes : release.domainNodes);
    const double arcs = double(hosts ? release.hostArcs : release.domainArcs);
    if (nodes <= 0)
        return 0;
    double bytes = (nodes * (hosts ? 13 : 10) + arcs * 2.5) * (hosts ? 2 : 1);
    bytes += ranks ? nodes * (24 + 24) : nodes * 16;
    return qint64(bytes);
}

GraphFetch::GraphFetch(QObject* parent) : QObject(parent), download_(new FileDownload(this)) {
    qRegisterMetaType<tally::GraphFetchProgress>();
    qRegisterMetaType<tally::GraphFetchResult>();
    connect(download_, &FileDownload::finished, this, &GraphFetch::downloaded);
    connect(download_, &FileDownload::progress, this, [this](const DownloadProgress& d) {
        GraphFetchProgress p;
        p.stage = done_ == 0 && count_ == 0 ? GraphFetchProgress::Stage::List
                                            : GraphFetchProgress::Stage::Download;
        p.file = QFileInfo(queue_.isEmpty() ? QString() : queue_.first().file).fileName();
        p.fileNumber = done_ + 1;
        p.fileCount = count_;
        p.download = d;
        Q_EMIT progress(p);
    });
}

GraphFetch::~GraphFetch() = default;

QString GraphFetch::indexFileName(const QString& folder, const QString& release, GraphLevel level) {
    return QDir(folder).filePath(release + (level == GraphLevel::Hosts
                                                ? QStringLiteral("-host.links")
                                                : QStringLiteral("-domain.links")));
}

QString GraphFetch::levelName() const {
    return options_.level == GraphLevel::Hosts ? QStringLiteral("host") : QStringLiteral("domain");
}

QUrl GraphFetch::dataFile(const QString& path) const {
    QString base = options_.dataUrl.toString();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + QLatin1Char('/') + path);
}

void GraphFetch::start(const GraphFetchOptions& options) {
    options_ = options;
    release_ = {};
    cancel_ = options.cancelFlag ? options.cancelFlag : &ownCancel_;
    cancel_->store(false);
    running_ = true;
    queue_.clear();
    downloads_.clear();
    vertexParts_.clear();
    edgeParts_.clear();
    done_ = count_ = 0;
    if (options_.outFolder.isEmpty() || !QDir().mkpath(options_.outFolder))
        return fail(tr("the folder %1 cannot be made").arg(native(options_.outFolder)));
    // The list is read fresh each time: the newest release changes.
    const QString list = QDir(options_.outFolder).filePath(QStringLiteral(".graphinfo.json"));
    queue_ << Item{options_.indexUrl, list};
    afterDownloads_ = [this] { listArrived(); };
    FileDownload::Options fresh;
    fresh.resume = false;
    download_->start(options_.indexUrl, list, fresh);
}

void GraphFetch::cancel() {
    cancel_->store(true);
    download_->cancel();
}

void GraphFetch::listArrived() {
    const QString list = QDir(options_.outFolder).filePath(QStringLiteral(".graphinfo.json"));
    const FileContents read = readFileBounded(list, ListLimit);
    QFile::remove(list);
    if (!read.isRead())
        return fail(tr("the list of releases (%1) cannot be read: %2")
                        .arg(options_.indexUrl.toDisplayString(), read.reason));
    QString error;
    const QList<GraphReleaseInfo> releases = readGraphReleases(read.bytes, &error);
    if (releases.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(options_.indexUrl.toDisplayString(), error));
    if (options_.release.isEmpty()) {
        release_ = releases.first();
    } else {
        auto it = std::find_if(releases.begin(), releases.end(), [this](const GraphReleaseInfo& r) {
            return r.id == options_.release;
        });
        if (it == releases.end())
            return fail(tr("there is no release %1 in the list (the newest is %2)")
                            .arg(options_.release, releases.first().id));
        release_ = *it;
    }
    const QString index = indexFileName(options_.outFolder, release_.id, options_.level);
    if (QFileInfo::exists(index)) {
        GraphFetchResult r;
        r.ok = r.alreadyThere = true;
        r.release = release_.id;
        r.indexFile = index;
        return finish(r);
    }
    // The disk must hold what is still to come: the release's files less what earlier runs
    // downloaded, and the index.
    qint64 have = 0;
    const QDir out(options_.outFolder);
    for (const QFileInfo& f :
         out.entryInfoList({release_.id + QStringLiteral("-*.gz*")}, QDir::Files))
        have += f.size();
    for (const QFileInfo& f :
         QDir(out.filePath(release_.id + QStringLiteral("-host-parts"))).entryInfoList(QDir::Files))
        have += f.size();
    const qint64 needed = estimatedFetchBytes(release_, options_.level, options_.ranks) - have;
    const QStorageInfo disk(options_.outFolder);
    if (needed > 0 && disk.isValid() && disk.bytesAvailable() < needed)
        return fail(tr("not enough disk space in %1 for %2: about %3 needed (the files and the "
                       "index), %4 free")
                        .arg(native(options_.outFolder), release_.id,
                             FileDownload::sizeText(needed),
                             FileDownload::sizeText(disk.bytesAvailable())));
    planFiles();
}

void GraphFetch::planFiles() {
    const QString folder =
        QStringLiteral("projects/hyperlinkgraph/%1/%2/").arg(release_.id, levelName());
    const QString stem = release_.id + QLatin1Char('-') + levelName();
    const QDir out(options_.outFolder);
    const auto add = [&](const QString& name) {
        queue_ << Item{dataFile(folder + name), out.filePath(name)};
    };
    if (options_.level == GraphLevel::Domains) {
        add(stem + QStringLiteral("-vertices.txt.gz"));
        add(stem + QStringLiteral("-edges.txt.gz"));
        if (options_.ranks)
            add(stem + QStringLiteral("-ranks.txt.gz"));
        afterDownloads_ = [this] { importRelease(); };
    } else {
        // The parts' lists, unless an earlier run joined the parts already.
        for (const char* kind : {"vertices", "edges"})
            if (!QFileInfo::exists(
                    out.filePath(stem + QStringLiteral("-%1.txt.gz").arg(QLatin1String(kind)))))
                add(stem + QStringLiteral("-%1.paths.gz").arg(QLatin1String(kind)));
        afterDownloads_ = [this] { pathsArrived(); };
    }
    count_ = int(queue_.size());
    done_ = 0;
    nextDownload();
}

void GraphFetch::pathsArrived() {
    const QString stem = release_.id + QStringLiteral("-host");
    const QDir out(options_.outFolder);
    const QString partsFolder = out.filePath(stem + QStringLiteral("-parts"));
    if (!QDir().mkpath(partsFolder))
        return fail(tr("the folder %1 cannot be made").arg(native(partsFolder)));
    for (const char* kind : {"vertices", "edges"}) {
        const QString paths =
            out.filePath(stem + QStringLiteral("-%1.paths.gz").arg(QLatin1String(kind)));
        if (!QFileInfo::exists(paths))
            continue; // joined already
        GzipLineReader reader(paths);
        if (!reader.open())
            return fail(reader.error());
        QStringList& parts = qstrcmp(kind, "vertices") == 0 ? vertexParts_ : edgeParts_;
        QByteArrayView line;
        bool tooLong = false;
        while (reader.next(&line, &tooLong)) {
            const QString path = QString::fromUtf8(line).trimmed();
            if (path.isEmpty())
                continue;
            const QString name = QFileInfo(path).fileName();
            if (tooLong || path.contains(QLatin1String("..")) ||
                !name.endsWith(QLatin1String(".gz")) || parts.size() >= PathsLimit)
                return fail(tr("%1 names a part that is not a gzip file of the release: %2")
                                .arg(native(paths), path.left(200)));
            // Parts of vertices and edges may share names: each kind in a folder of its own.
            const QString local =
                QDir(partsFolder).filePath(QLatin1String(kind) + QLatin1Char('-') + name);
            parts << local;
            queue_ << Item{dataFile(path), local};
        }
        if (!reader.error().isEmpty())
            return fail(reader.error());
        if (parts.isEmpty())
            return fail(tr("%1 names no part file").arg(native(paths)));
        downloads_ << paths;
    }
    if (options_.ranks)
        queue_ << Item{dataFile(QStringLiteral("projects/hyperlinkgraph/%1/host/%2-ranks.txt.gz")
                                    .arg(release_.id, stem)),
                       out.filePath(stem + QStringLiteral("-ranks.txt.gz"))};
    afterDownloads_ = [this, stem, out] {
        const struct {
            const QStringList* parts;
            const char* kind;
        } joins[] = {{&vertexParts_, "vertices"}, {&edgeParts_, "edges"}};
        for (const auto& j : joins)
            if (!j.parts->isEmpty() &&
                !join(*j.parts,
                      out.filePath(stem + QStringLiteral("-%1.txt.gz").arg(QLatin1String(j.kind)))))
                return;
        importRelease();
    };
    count_ = done_ + int(queue_.size());
    nextDownload();
}

bool GraphFetch::join(const QStringList& parts, const QString& target) {
    GraphFetchProgress p;
    p.stage = GraphFetchProgress::Stage::Join;
    p.file = QFileInfo(target).fileName();
    Q_EMIT progress(p);
    const QString joining = target + QStringLiteral(".joining");
    QFile out(joining);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(tr("%1 cannot be written: %2").arg(native(joining), out.errorString()));
        return false;
    }
    QByteArray buffer(4 * int(MiB), Qt::Uninitialized);
    for (const QString& part : parts) {
        QFile in(part);
        if (!in.open(QIODevice::ReadOnly)) {
            out.remove();
            fail(tr("%1 cannot be read: %2").arg(native(part), in.errorString()));
            return false;
        }
        for (;;) {
            if (cancel_->load()) {
                out.remove();
                finish(GraphFetchResult{false, true, false, tr("cancelled"), release_.id, {}, {}});
                return false;
            }
            const qint64 n = in.read(buffer.data(), buffer.size());
            if (n < 0 || (n > 0 && out.write(buffer.constData(), n) != n)) {
                const QString why = n < 0 ? in.errorString() : out.errorString();
                out.remove();
                fail(tr("%1 cannot be joined into %2: %3").arg(native(part), native(joining), why));
                return false;
            }
            if (n == 0)
                break;
        }
    }
    if (!out.flush() || std::rename(QFile::encodeName(joining).constData(),
                                    QFile::encodeName(target).constData()) != 0) {
        out.remove();
        fail(tr("%1 cannot be written").arg(native(target)));
        return false;
    }
    out.close();
    for (const QString& part : parts)
        QFile::remove(part);
    return true;
}

void GraphFetch::nextDownload() {
    while (!queue_.isEmpty() && QFileInfo::exists(queue_.first().file)) {
        downloads_ << queue_.takeFirst().file; // complete from an earlier run
        ++done_;
    }
    if (queue_.isEmpty())
        return afterDownloads_();
    FileDownload::Options gzip;
    gzip.expectGzip = true;
    // Beyond this file: the index (and, for host parts, the joined copies), roughly.
    const qint64 nodes =
        options_.level == GraphLevel::Hosts ? release_.hostNodes : release_.domainNodes;
    gzip.spareBytes = nodes * (options_.ranks ? 24 : 16);
    download_->start(queue_.first().url, queue_.first().file, gzip);
}

void GraphFetch::downloaded(FileDownload::Outcome outcome, const QString& error) {
    if (outcome == FileDownload::Outcome::Cancelled || cancel_->load())
        return finish(GraphFetchResult{false, true, false, tr("cancelled"), release_.id, {}, {}});
    if (outcome == FileDownload::Outcome::Failed)
        return fail(error);
    const Item item = queue_.takeFirst();
    if (!item.file.endsWith(QLatin1String(".graphinfo.json"))) {
        downloads_ << item.file;
        ++done_;
    }
    nextDownload();
}

void GraphFetch::importRelease() {
    const QDir out(options_.outFolder);
    const QString stem = release_.id + QLatin1Char('-') + levelName();
    GraphImportOptions o;
    o.verticesFile = out.filePath(stem + QStringLiteral("-vertices.txt.gz"));
    o.edgesFile = out.filePath(stem + QStringLiteral("-edges.txt.gz"));
    if (options_.ranks)
        o.ranksFile = out.filePath(stem + QStringLiteral("-ranks.txt.gz"));
    o.outFile = indexFileName(options_.outFolder, release_.id, options_.level);
    o.release = release_.id;
    o.level = options_.level;
    o.cancel = cancel_;
    GraphFetchResult r;
    r.release = release_.id;
    r.indexFile = o.outFile;
    r.import = importGraph(o, [this](const GraphImportProgress& i) {
        GraphFetchProgress p;
        p.stage = GraphFetchProgress::Stage::Import;
        p.import = i;
        Q_EMIT progress(p);
    });
    r.ok = r.import.ok;
    r.cancelled = r.import.cancelled;
    r.error = r.import.error;
    if (r.ok && !options_.keepDownloads) {
        for (const QString& file : std::as_const(downloads_))
            QFile::remove(file);
        for (const char* kind : {"vertices", "edges"})
            QFile::remove(
                out.filePath(stem + QStringLiteral("-%1.txt.gz").arg(QLatin1String(kind))));
        out.rmdir(stem + QStringLiteral("-parts"));
    }
    finish(r);
}

void GraphFetch::fail(const QString& error) {
    GraphFetchResult r;
    r.error = error;
    r.release = release_.id;
    finish(r);
}

void GraphFetch::finish(GraphFetchResult result) {
    if (!running_)
        return;
    running_ = false;
    Q_EMIT finished(result);
}

} // namespace tally
