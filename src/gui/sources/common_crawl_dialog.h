// The Common Crawl window (object name "frmCommonCrawl"): fetches the publisher's newest
// domain-level web graph and makes of it the link index that the Common Crawl presets read
// (in the graphs folder; a column on such a preset takes the newest index there). The downloads
// and the import run on a thread of their own, with their progress shown here; Stop keeps what
// was downloaded, and the next Download goes on from there. An update fetches a newer release
// into a new file; older indexes stay, so that old histories stay explainable.
#pragma once

#include <QDialog>

#include <atomic>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

namespace tally {

class GraphFetch;
struct GraphFetchProgress;
struct GraphFetchResult;

class CommonCrawlDialog : public QDialog {
    Q_OBJECT
public:
    explicit CommonCrawlDialog(QWidget* parent = nullptr);
    // A fetch still running is stopped (what it downloaded is kept).
    ~CommonCrawlDialog() override;

    bool isFetching() const { return thread_ != nullptr; }

public Q_SLOTS:
    void startFetch();
    void stopFetch();

Q_SIGNALS:
    // A new link index is in place (or the newest release's was there already).
    void indexReady(const QString& indexFile);

protected:
    // Esc and Close while a fetch runs stop it first.
    void reject() override;

private:
    void showProgress(const tally::GraphFetchProgress& progress);
    void fetchFinished(const tally::GraphFetchResult& result);
    // What the graphs folder holds now, and the Download button's caption for it.
    void showInstalled();
    void setFetching(bool on);
    void endThread();

    QLabel* installed_ = nullptr;
    QCheckBox* ranks_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* downloadButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    // A fetch runs on thread_: made there (its downloads belong to that thread's event loop),
    // known here once it has started, deleted as the thread ends.
    QThread* thread_ = nullptr;
    std::atomic<GraphFetch*> fetch_{nullptr};
    std::atomic<bool> stopRequested_{false};
    bool closeWhenStopped_ = false;
};

} // namespace tally
