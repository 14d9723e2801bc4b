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
// A data file may be at most four times what the release's stats make of it, plus 16 MiB; a
// release that states no stats bounds each file at 64 GiB (its largest published file, the
// domain edges, is 8 to 16 GB).
constexpr qint64 CeilingFactor = 4;
constexpr qint64 CeilingMargin = 16 * MiB;
constexpr qint64 DataFileCeiling = 64 * 1024 * MiB;
constexpr qint64 PathsEstimate = 64 * 1024;
// The share of the whole fetch's progress that the downloads take; the import takes the rest.
constexpr double DownloadShare = 0.8;

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

namespace {

// What one of a release's published gzip files weighs, from its stats: about 10 bytes per domain
// and 13 per host in the vertices, 2.5 per edge, 24 per vertex in the ranks; 0 when it states
// none. A ".paths.gz" list is small.
qint64 fileEstimate(const GraphReleaseInfo& release, GraphLevel level, const char* kind) {
    const bool hosts = level == GraphLevel::Hosts;
    const double nodes = double(hosts ? release.hostNodes : release.domainNodes);
    const double arcs = double(hosts ? release.hostArcs : release.domainArcs);
    if (qstrcmp(kind, "vertices") == 0)
        return qint64(nodes * (hosts ? 13 : 10));
    if (qstrcmp(kind, "edges") == 0)
        return qint64(arcs * 2.5);
    if (qstrcmp(kind, "ranks") == 0)
        return qint64(nodes * 24);
    return PathsEstimate;
}

// The index made of it: about 16 bytes per vertex, 24 with the ranks.
qint64 indexEstimate(const GraphReleaseInfo& release, GraphLevel level, bool ranks) {
    return (level == GraphLevel::Hosts ? release.hostNodes : release.domainNodes) *
           (ranks ? 24 : 16);
}

} // namespace

qint64 estimatedFetchBytes(const GraphReleaseInfo& release, GraphLevel level, bool ranks) {
    if ((level == GraphLevel::Hosts ? release.hostNodes : release.domainNodes) <= 0)
        return 0;
    // Host parts are joined into one file: their bytes twice.
    const qint64 files =
        (fileEstimate(release, level, "vertices") + fileEstimate(release, level, "edges")) *
        (level == GraphLevel::Hosts ? 2 : 1);
    return files + (ranks ? fileEstimate(release, level, "ranks") : 0) +
           indexEstimate(release, level, ranks);
}

GraphFetch::GraphFetch(QObject* parent) : QObject(parent), download_(new FileDownload(this)) {
    qRegisterMetaType<tally::GraphFetchProgress>();
    qRegisterMetaType<tally::GraphFetchResult>();
    connect(download_, &FileDownload::finished, this, &GraphFetch::downloaded);
    connect(download_, &FileDownload::progress, this, [this](const DownloadProgress& d) {
        GraphFetchProgress p;
        const bool list = done_ == 0 && count_ == 0;
        p.stage = list ? GraphFetchProgress::Stage::List : GraphFetchProgress::Stage::Download;
        p.file = QFileInfo(queue_.isEmpty() ? QString() : queue_.first().file).fileName();
        p.fileNumber = done_ + 1;
        p.fileCount = count_;
        p.download = d;
        if (!list)
            p.overall = overall(d.bytes, d.total >= 0 ? d.total : queue_.value(0).estimate);
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

qint64 GraphFetch::estimateOf(const char* kind) const {
    return fileEstimate(release_, options_.level, kind);
}

GraphFetch::Item GraphFetch::itemOf(const QString& path, const QString& file, const char* kind,
                                    int parts) const {
    const qint64 whole = estimateOf(kind);
    const bool stated =
        (options_.level == GraphLevel::Hosts ? release_.hostNodes : release_.domainNodes) > 0;
    qint64 ceiling = stated ? CeilingFactor * whole + CeilingMargin : DataFileCeiling;
    if (qstrcmp(kind, "paths") == 0)
        ceiling = ListLimit;
    return Item{dataFile(path), file, whole / std::max(parts, 1), ceiling};
}

qint64 GraphFetch::downloadedBytes() const {
    if (release_.id.isEmpty() || options_.outFolder.isEmpty())
        return 0;
    qint64 have = 0;
    const QDir out(options_.outFolder);
    for (const QFileInfo& f :
         out.entryInfoList({release_.id + QStringLiteral("-*.gz*")}, QDir::Files))
        have += f.size();
    for (const QFileInfo& f :
         QDir(out.filePath(release_.id + QStringLiteral("-host-parts"))).entryInfoList(QDir::Files))
        have += f.size();
    return have;
}

double GraphFetch::overall(qint64 bytes, qint64 total) const {
    qint64 rest = laterBytes_;
    for (qsizetype i = 1; i < queue_.size(); ++i)
        rest += queue_[i].estimate;
    const double all = double(doneBytes_ + std::max(total, bytes) + rest);
    return all > 0 ? DownloadShare * double(doneBytes_ + bytes) / all : 0;
}

void GraphFetch::reportImport(const GraphImportProgress& i) {
    GraphFetchProgress p;
    p.stage = GraphFetchProgress::Stage::Import;
    p.import = i;
    int file = 0;
    switch (i.phase) {
    case GraphImportProgress::Phase::Vertices:
        file = 0;
        break;
    case GraphImportProgress::Phase::Edges:
    case GraphImportProgress::Phase::Counts:
        file = 1;
        break;
    case GraphImportProgress::Phase::Ranks:
        file = int(importSizes_.size()) - 1;
        break;
    case GraphImportProgress::Phase::Writing:
        file = int(importSizes_.size());
        break;
    }
    qint64 all = 0, before = 0;
    for (int n = 0; n < importSizes_.size(); ++n) {
        all += importSizes_[n];
        if (n < file)
            before += importSizes_[n];
    }
    const qint64 within =
        file < importSizes_.size() ? std::min(i.bytesRead, importSizes_[file]) : 0;
    p.overall = DownloadShare +
                (1 - DownloadShare) * (all > 0 ? double(before + within) / double(all) : 1.0);
    Q_EMIT progress(p);
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
    doneBytes_ = laterBytes_ = 0;
    importSizes_.clear();
    if (options_.outFolder.isEmpty() || !QDir().mkpath(options_.outFolder))
        return fail(tr("the folder %1 cannot be made").arg(native(options_.outFolder)));
    // The list is read fresh each time: the newest release changes.
    const QString list = QDir(options_.outFolder).filePath(QStringLiteral(".graphinfo.json"));
    queue_ << Item{options_.indexUrl, list};
    afterDownloads_ = [this] { listArrived(); };
    FileDownload::Options fresh;
    fresh.resume = false;
    fresh.maxBytes = ListLimit;
    fresh.maxTries = options_.tries;
    fresh.firstRetryMs = options_.firstRetryMs;
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
    const qint64 needed =
        estimatedFetchBytes(release_, options_.level, options_.ranks) - downloadedBytes();
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
    const auto add = [&](const char* kind, const char* suffix) {
        const QString name = stem + QLatin1Char('-') + QLatin1String(kind) + QLatin1String(suffix);
        queue_ << itemOf(folder + name, out.filePath(name),
                         qstrcmp(suffix, ".paths.gz") == 0 ? "paths" : kind);
    };
    if (options_.level == GraphLevel::Domains) {
        add("vertices", ".txt.gz");
        add("edges", ".txt.gz");
        if (options_.ranks)
            add("ranks", ".txt.gz");
        afterDownloads_ = [this] { importRelease(); };
    } else {
        // The parts' lists, unless an earlier run joined the parts already.
        for (const char* kind : {"vertices", "edges"})
            if (!QFileInfo::exists(
                    out.filePath(stem + QStringLiteral("-%1.txt.gz").arg(QLatin1String(kind))))) {
                add(kind, ".paths.gz");
                laterBytes_ += estimateOf(kind);
            }
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
        const QString list =
            out.filePath(stem + QStringLiteral("-%1.paths.gz").arg(QLatin1String(kind)));
        if (!QFileInfo::exists(list))
            continue; // joined already
        GzipLineReader reader(list);
        if (!reader.open())
            return fail(reader.error());
        QStringList& parts = qstrcmp(kind, "vertices") == 0 ? vertexParts_ : edgeParts_;
        QStringList paths;
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
                                .arg(native(list), path.left(200)));
            // Parts of vertices and edges may share names: each kind in a folder of its own.
            const QString local =
                QDir(partsFolder).filePath(QLatin1String(kind) + QLatin1Char('-') + name);
            parts << local;
            paths << path;
        }
        if (!reader.error().isEmpty())
            return fail(reader.error());
        if (parts.isEmpty())
            return fail(tr("%1 names no part file").arg(native(list)));
        for (qsizetype n = 0; n < parts.size(); ++n)
            queue_ << itemOf(paths[n], parts[n], kind, int(parts.size()));
        laterBytes_ = std::max<qint64>(0, laterBytes_ - estimateOf(kind));
        downloads_ << list;
    }
    if (options_.ranks)
        queue_ << itemOf(QStringLiteral("projects/hyperlinkgraph/%1/host/%2-ranks.txt.gz")
                             .arg(release_.id, stem),
                         out.filePath(stem + QStringLiteral("-ranks.txt.gz")), "ranks");
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
        const QString file = queue_.takeFirst().file; // complete from an earlier run
        downloads_ << file;
        doneBytes_ += QFileInfo(file).size();
        ++done_;
    }
    if (queue_.isEmpty())
        return afterDownloads_();
    const Item& item = queue_.first();
    FileDownload::Options gzip;
    gzip.expectGzip = true;
    gzip.maxBytes = item.ceiling;
    gzip.maxTries = options_.tries;
    gzip.firstRetryMs = options_.firstRetryMs;
    gzip.check = std::make_shared<GzipDownloadCheck>(native(item.file));
    // Beyond this file: the files still to come and the index, roughly.
    gzip.spareBytes = indexEstimate(release_, options_.level, options_.ranks) + laterBytes_;
    for (qsizetype i = 1; i < queue_.size(); ++i)
        gzip.spareBytes += queue_[i].estimate;
    download_->start(item.url, item.file, gzip);
}

void GraphFetch::downloaded(FileDownload::Outcome outcome, const QString& error) {
    if (outcome == FileDownload::Outcome::Cancelled || cancel_->load())
        return finish(GraphFetchResult{false, true, false, tr("cancelled"), release_.id, {}, {}});
    if (outcome == FileDownload::Outcome::Failed)
        return fail(error);
    const Item item = queue_.takeFirst();
    if (!item.file.endsWith(QLatin1String(".graphinfo.json"))) {
        downloads_ << item.file;
        doneBytes_ += QFileInfo(item.file).size();
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
    importSizes_.clear();
    for (const QString& file : {o.verticesFile, o.edgesFile, o.ranksFile})
        if (!file.isEmpty())
            importSizes_ << QFileInfo(file).size();
    r.import = importGraph(o, [this](const GraphImportProgress& i) { reportImport(i); });
    r.ok = r.import.ok;
    r.cancelled = r.import.cancelled;
    r.error = r.import.error;
    // A download kept from an earlier run can be damaged on the disk: it goes, and the next
    // fetch downloads it again.
    if (!r.import.damagedFile.isEmpty() && QFile::remove(r.import.damagedFile))
        r.error = tr("%1; it was removed and is downloaded again next time").arg(r.error);
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
    if (!result.ok)
        result.keptBytes = downloadedBytes();
    Q_EMIT finished(result);
}

} // namespace tally
