#include "gui/sources/common_crawl_dialog.h"

#include "core/linkgraph/graph_fetch.h"
#include "core/linkgraph/link_index.h"
#include "core/net/file_download.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "core/webview/web_results.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/skin.h"
#include "gui/kit/windows.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace tally {

namespace {

constexpr int BarSteps = 1000;

} // namespace

CommonCrawlDialog::CommonCrawlDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCommonCrawl"));
    setWindowTitle(tr("Common Crawl (free, no key)"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* intro = new QLabel(
        tr("Common Crawl publishes a web graph of the whole web every few months: which domains "
           "link to which. Download fetches the newest release (several GB; on a fast line about "
           "an hour) and makes a link index of it in %1. A column set to Common Crawl then counts "
           "the domains that link to each site, without a key and without asking anyone.")
            .arg(QDir::toNativeSeparators(ProgramFolder::graphsFolder())),
        this);
    intro->setObjectName(QStringLiteral("lblCommonCrawlIntro"));
    intro->setWordWrap(true);

    installed_ = new QLabel(this);
    installed_->setObjectName(QStringLiteral("lblInstalled"));
    installed_->setWordWrap(true);
    installed_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ranks_ = new QCheckBox(tr("Also the &ranks (harmonic centrality and PageRank; about 2.4 GB "
                              "more) for the Common Crawl rank columns"),
                           this);
    ranks_->setObjectName(QStringLiteral("chkRanks"));

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("prgFetch"));
    bar_->setAccessibleName(tr("Progress of the download"));
    bar_->setRange(0, BarSteps);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblFetchStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    downloadButton_ = new QPushButton(this);
    downloadButton_->setObjectName(QStringLiteral("cmdDownload"));
    downloadButton_->setDefault(true);
    stopButton_ = new QPushButton(tr("&Stop"), this);
    stopButton_->setObjectName(QStringLiteral("cmdStopFetch"));
    stopButton_->setToolTip(tr("Stops the download; the next Download goes on where it stopped"));
    closeButton_ = new QPushButton(tr("Close"), this);
    closeButton_->setObjectName(QStringLiteral("cmdClose"));
    connect(downloadButton_, &QPushButton::clicked, this, &CommonCrawlDialog::startFetch);
    connect(stopButton_, &QPushButton::clicked, this, &CommonCrawlDialog::stopFetch);
    connect(closeButton_, &QPushButton::clicked, this, &CommonCrawlDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(downloadButton_);
    buttons->addWidget(stopButton_);
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(installed_);
    layout->addWidget(ranks_);
    layout->addSpacing(8);
    layout->addWidget(bar_);
    layout->addWidget(status_);
    layout->addStretch(1);
    layout->addLayout(buttons);

    showInstalled();
    setFetching(false);
    skin::skinWindow(this);
    sizeToContents(this, QSize(620, 320));
    downloadButton_->setFocus();
}

CommonCrawlDialog::~CommonCrawlDialog() {
    if (thread_) {
        stopFetch();
        endThread();
    }
}

void CommonCrawlDialog::showInstalled() {
    const QString folder = ProgramFolder::graphsFolder();
    const auto newest = LinkIndex::newestIn(folder, GraphMeasure::LinkingDomains);
    if (newest) {
        installed_->setText(
            tr("Installed: release %1 (%2). Update fetches a newer release into "
               "a file of its own; this one stays until you remove it.")
                .arg(newest->releaseName(), QDir::toNativeSeparators(newest->path())));
        downloadButton_->setText(tr("&Update"));
    } else {
        installed_->setText(tr("Installed: none yet."));
        downloadButton_->setText(tr("&Download"));
    }
    downloadButton_->setAccessibleName(downloadButton_->text().remove(QLatin1Char('&')));
}

void CommonCrawlDialog::setFetching(bool on) {
    downloadButton_->setEnabled(!on);
    ranks_->setEnabled(!on);
    stopButton_->setEnabled(on);
    (on ? stopButton_ : downloadButton_)->setFocus();
}

void CommonCrawlDialog::startFetch() {
    if (thread_)
        return;
    GraphFetchOptions options;
    options.outFolder = ProgramFolder::graphsFolder();
    options.ranks = ranks_->isChecked();
    // A mirror set by hand; an address that is not http or https is not used.
    const auto mirror = [](const QString& text, QUrl* target) {
        if (const std::optional<QUrl> url = webAddressFor(text))
            *target = *url;
    };
    mirror(UserSettings::graphListAddress(), &options.indexUrl);
    mirror(UserSettings::graphDataAddress(), &options.dataUrl);

    // The fetch lives on a thread of its own, made there: the downloads run on that thread's event
    // loop, then the import keeps the thread for its minutes. Progress and the end come back
    // queued.
    thread_ = new QThread(this);
    thread_->setObjectName(QStringLiteral("CommonCrawlFetch"));
    auto* home = new QObject;
    home->moveToThread(thread_);
    connect(thread_, &QThread::finished, home, &QObject::deleteLater);
    stopRequested_ = false;
    thread_->start();
    QMetaObject::invokeMethod(home, [this, home, options] {
        auto* fetch = new GraphFetch(home);
        connect(fetch, &GraphFetch::progress, this, &CommonCrawlDialog::showProgress);
        connect(fetch, &GraphFetch::finished, this, &CommonCrawlDialog::fetchFinished);
        fetch->start(options);
        // Stop pressed while this was on its way: seen here, or Stop sees the fetch.
        fetch_ = fetch;
        if (stopRequested_)
            fetch->cancel();
    });

    bar_->setRange(0, 0); // busy until the list of releases is read
    accessibility::announce(status_, tr("Reading the list of releases..."));
    setFetching(true);
}

void CommonCrawlDialog::stopFetch() {
    if (!thread_)
        return;
    stopRequested_ = true;
    if (GraphFetch* fetch = fetch_) // from any thread; finished() follows, saying it was cancelled
        fetch->cancel();
    stopButton_->setEnabled(false);
    accessibility::announce(status_, tr("Stopping..."));
}

void CommonCrawlDialog::reject() {
    if (thread_) {
        closeWhenStopped_ = true;
        stopFetch();
        return;
    }
    QDialog::reject();
}

void CommonCrawlDialog::showProgress(const GraphFetchProgress& p) {
    if (!thread_)
        return;
    QString text;
    switch (p.stage) {
    case GraphFetchProgress::Stage::List:
        return;
    case GraphFetchProgress::Stage::Download: {
        const DownloadProgress& d = p.download;
        if (d.retryInSeconds > 0) {
            text = tr("Downloading %1 (file %2 of %3): %4; retrying in %n second(s), try %5 of %6",
                      nullptr, d.retryInSeconds)
                       .arg(p.file)
                       .arg(p.fileNumber)
                       .arg(p.fileCount)
                       .arg(d.retryReason)
                       .arg(d.retryTry)
                       .arg(d.retryTries);
            break;
        }
        text = tr("Downloading %1 (file %2 of %3): %4")
                   .arg(p.file)
                   .arg(p.fileNumber)
                   .arg(p.fileCount)
                   .arg(FileDownload::sizeText(d.bytes));
        if (d.total >= 0)
            text = tr("%1 of %2").arg(text, FileDownload::sizeText(d.total));
        if (d.bytesPerSecond > 0)
            text = tr("%1, %2/s").arg(text, FileDownload::sizeText(qint64(d.bytesPerSecond)));
        if (d.secondsLeft >= 0)
            text =
                d.secondsLeft < 120
                    ? tr("%1, about %n second(s) left", nullptr, int(d.secondsLeft)).arg(text)
                    : tr("%1, about %n minute(s) left", nullptr, int(d.secondsLeft / 60)).arg(text);
        break;
    }
    case GraphFetchProgress::Stage::Join:
        bar_->setRange(0, 0);
        text = tr("Joining the parts into %1...").arg(p.file);
        break;
    case GraphFetchProgress::Stage::Import: {
        const GraphImportProgress& i = p.import;
        switch (i.phase) {
        case GraphImportProgress::Phase::Vertices:
            text = tr("Making the link index: reading the domains (%L1 so far)").arg(i.lines);
            break;
        case GraphImportProgress::Phase::Edges:
        case GraphImportProgress::Phase::Counts:
            text = tr("Making the link index: counting the links (%L1 so far)").arg(i.lines);
            break;
        case GraphImportProgress::Phase::Ranks:
            text = tr("Making the link index: reading the ranks (%L1 so far)").arg(i.lines);
            break;
        case GraphImportProgress::Phase::Writing:
            text = tr("Making the link index: writing it");
            break;
        }
        break;
    }
    }
    // One bar for the whole fetch: the bytes of every file, then the import.
    if (p.overall >= 0) {
        bar_->setRange(0, BarSteps);
        bar_->setValue(int(p.overall * BarSteps));
    }
    // Shown as it changes; announced only as the stage changes, not at every step.
    if (text.section(QLatin1Char(':'), 0, 0) != status_->text().section(QLatin1Char(':'), 0, 0))
        accessibility::announce(status_, text);
    else
        status_->setText(text);
}

void CommonCrawlDialog::fetchFinished(const GraphFetchResult& r) {
    endThread();
    bar_->setRange(0, BarSteps);
    QString text;
    if (r.ok || r.alreadyThere) {
        bar_->setValue(BarSteps);
        text = r.alreadyThere ? tr("You have the newest release already: %1.").arg(r.release)
                              : tr("Done: release %1, %L2 domains with the links to them, in %3.")
                                    .arg(r.release)
                                    .arg(r.import.vertices)
                                    .arg(QDir::toNativeSeparators(r.indexFile));
    } else {
        const QString kept = r.keptBytes > 0
                                 ? tr("%1 of downloads is kept: Download goes on from there.")
                                       .arg(FileDownload::sizeText(r.keptBytes))
                                 : tr("Nothing was kept.");
        text = r.cancelled ? tr("Stopped. %1").arg(kept)
                           : tr("The download did not succeed: %1. %2").arg(r.error, kept);
        if (!r.indexFile.isEmpty() && QFileInfo::exists(r.indexFile))
            text += QLatin1Char(' ') + tr("The index there is left as it was.");
    }
    accessibility::announce(status_, text);
    showInstalled();
    setFetching(false);
    if (r.ok || r.alreadyThere)
        Q_EMIT indexReady(r.indexFile);
    if (closeWhenStopped_)
        QDialog::reject();
}

void CommonCrawlDialog::endThread() {
    // The fetch has said its last word (or was just told to stop): its thread ends, and the
    // fetch is deleted with it.
    thread_->quit();
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    fetch_ = nullptr;
}

} // namespace tally
