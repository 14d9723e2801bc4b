// One scan run: for every URL of a snapshot and every engine in table order, fetch the engine's
// result page, read the count and report each step through signals. It advances on the event
// loop, one request at a time; nothing blocks.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace tally {

class PageFetcher;

class ScanRun : public QObject {
    Q_OBJECT
public:
    // urls: the snapshot of the URL list; settingsIni: the path of settings.ini, whose prefixes
    // are read again before every request. The fetcher is not owned.
    ScanRun(const QStringList& urls, const QString& settingsIni, PageFetcher* fetcher,
            QObject* parent = nullptr);
    ~ScanRun() override;

    // Starts the run (asynchronously). Reads the thresholds and chkClear from the per-user store.
    void start();
    // Asks the run to stop before the next URL; the URL in progress completes.
    void requestStop();
    // Ends the run at once, cancelling the request in flight; no further signals.
    void abort();

    bool isRunning() const;

Q_SIGNALS:
    // chkClear is "1": the window runs "Clear Results" now, before the first row.
    void clearResultsRequested();
    // The run has taken its snapshot of urlCount (> 0) URLs.
    void started(int urlCount);
    // A URL's row starts at the 1-based position in the results table.
    void rowStarted(int position, const QString& url);
    // A row for the web-results list: "Home Page" or an engine's row text, and the URL.
    void webResultAdded(const QString& rowText, const QString& url);
    // Text for status panel 1 ("Scanning " + URL + suffix).
    void statusTextChanged(const QString& text);
    void progressChanged(int value, int maximum);
    // The count (commas removed) for the results column (3..8) of the row at position.
    void engineResult(int position, int column, const QString& cell);
    // The row's total as decimal text and its profile icon (1 low, 2 medium, 3 high).
    void rowFinished(int position, const QString& total, int icon);
    // All URLs done: "Search Complete.  Found <n> links." and whether to auto-sort (chkAutoSort).
    void completed(const QString& statusText, qint64 grandTotal, bool autoSort);
    // The run ended at a stop request.
    void stopped();
    // The run is over (after completed, stopped or an empty URL list); not after abort().
    void finished();

private:
    struct Private;
    Private* d;
};

} // namespace tally
