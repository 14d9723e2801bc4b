// A published web-graph release from the publisher's servers to a link index on the disk: the list
// of releases (graphinfo.json), the release's files downloaded (resumed where a run stopped), then
// imported into "<folder>/<release>-domain.links" (or "-host.links") by importGraph.
//
// The list is an array, newest first, of
//   {"id": "cc-main-2025-sep-oct-nov", "crawls": [...], "index": ..., "location": ...,
//    "stats": {"host": {"nodes": N, "arcs": N}, "domain": {"nodes": N, "arcs": N}}}
// and the files lie under "<data>/projects/hyperlinkgraph/<id>/domain/" (vertices, edges, ranks:
// "<id>-domain-vertices.txt.gz" ...). The host level's vertices and edges are published in part
// files that "<id>-host-vertices.paths.gz" and "<id>-host-edges.paths.gz" list (one path under
// <data> per line); they are downloaded one by one, then joined into one gzip file each (gzip
// members one after the other read as one stream).
//
// Downloads go into the output folder beside the index; a run that fails or is cancelled keeps
// what it downloaded, and the same call later goes on from there. The index takes its place only
// when the import is complete: an index already there stays as it was on any failure. After a
// successful import the downloads are removed (unless asked to keep them).
//
// GraphFetch runs on the thread it was made in (the downloads on that thread's event loop); the
// import runs within it, blocking that thread for its minutes: run it on a worker thread in a
// window, on the main thread in the command line.
#pragma once

#include "core/linkgraph/graph_import.h"
#include "core/net/file_download.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <atomic>

namespace tally {

struct GraphReleaseInfo {
    QString id;
    QStringList crawls;
    qint64 hostNodes = 0, hostArcs = 0, domainNodes = 0, domainArcs = 0; // 0: not stated
};

// The releases of a graphinfo.json, newest first; empty with *error set when it is not one.
QList<GraphReleaseInfo> readGraphReleases(const QByteArray& json, QString* error);

// What a release costs on the disk here: its downloaded files and the index, estimated from its
// stats (bytes per vertex and per edge of the published gzip files); 0 when it states none.
qint64 estimatedFetchBytes(const GraphReleaseInfo& release, GraphLevel level, bool ranks);

struct GraphFetchOptions {
    static constexpr const char* DefaultIndexUrl = "https://index.commoncrawl.org/graphinfo.json";
    static constexpr const char* DefaultDataUrl = "https://data.commoncrawl.org";

    QUrl indexUrl = QUrl(QString::fromLatin1(DefaultIndexUrl));
    QUrl dataUrl = QUrl(QString::fromLatin1(DefaultDataUrl));
    QString release; // empty: the newest
    GraphLevel level = GraphLevel::Domains;
    bool ranks = false;
    QString outFolder;
    bool keepDownloads = false;
    // How often a file is tried before the fetch gives up, and the first wait between tries
    // (doubling, to at most a minute; or what the server's Retry-After asks).
    int tries = 20;
    int firstRetryMs = 1000;
    // Also stops the fetch when set (from any thread, or a signal handler); the import looks at
    // it itself, the downloads when cancel() is called.
    std::atomic<bool>* cancelFlag = nullptr;
};

struct GraphFetchProgress {
    enum class Stage { List, Download, Join, Import };
    Stage stage = Stage::List;
    QString file;       // the file being downloaded or joined
    int fileNumber = 0; // of fileCount, from 1
    int fileCount = 0;
    DownloadProgress download;
    GraphImportProgress import;
    // The whole fetch, 0 to 1: the bytes of all its files (0 to 0.8; lengths not yet announced
    // estimated from the release's stats), then the import (0.8 to 1). -1 while the list of
    // releases is read.
    double overall = -1;
};

struct GraphFetchResult {
    bool ok = false;
    bool cancelled = false;
    bool alreadyThere = false; // the release's index was there already: nothing was fetched
    QString error;
    QString release;
    QString indexFile;
    GraphImportReport import;
    qint64 keptBytes = 0; // of the release's downloads, on the disk after a failure or a stop
};

class GraphFetch : public QObject {
    Q_OBJECT
public:
    explicit GraphFetch(QObject* parent = nullptr);
    ~GraphFetch() override;

    void start(const GraphFetchOptions& options);
    // From any thread: stops the download or the import at once; finished() says cancelled.
    void cancel();
    bool isRunning() const { return running_; }

    // The index a release's fetch makes in folder.
    static QString indexFileName(const QString& folder, const QString& release, GraphLevel level);

Q_SIGNALS:
    void progress(const tally::GraphFetchProgress& progress);
    void finished(const tally::GraphFetchResult& result);

private:
    struct Item {
        QUrl url;
        QString file;
        qint64 estimate = 0; // bytes, from the release's stats
        qint64 ceiling = -1; // the most it may hold
    };
    void listArrived();
    void planFiles();
    void pathsArrived();
    void nextDownload();
    void downloaded(FileDownload::Outcome outcome, const QString& error);
    void importRelease();
    bool join(const QStringList& parts, const QString& target);
    void finish(GraphFetchResult result);
    void fail(const QString& error);
    QUrl dataFile(const QString& path) const;
    QString levelName() const;
    qint64 estimateOf(const char* kind) const;
    Item itemOf(const QString& path, const QString& file, const char* kind, int parts = 1) const;
    qint64 downloadedBytes() const;
    double overall(qint64 currentBytes, qint64 currentTotal) const;
    void reportImport(const GraphImportProgress& import);

    GraphFetchOptions options_;
    FileDownload* download_;
    std::atomic<bool> ownCancel_{false};
    std::atomic<bool>* cancel_ = &ownCancel_;
    bool running_ = false;
    GraphReleaseInfo release_;
    QList<Item> queue_;
    int done_ = 0, count_ = 0;
    qint64 doneBytes_ = 0;      // of the files downloaded in this run or before
    qint64 laterBytes_ = 0;     // estimated, of the host parts not yet listed
    QList<qint64> importSizes_; // of the files the import reads, in its order
    std::function<void()> afterDownloads_;
    QStringList downloads_; // every file downloaded, removed after a successful import
    QStringList vertexParts_, edgeParts_;
};

} // namespace tally

Q_DECLARE_METATYPE(tally::GraphFetchProgress)
Q_DECLARE_METATYPE(tally::GraphFetchResult)
