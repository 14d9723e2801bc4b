// One scan run: for every URL of a snapshot and every engine in table order, fetch the engine's
// result page, read the count and report each step through signals. It advances on the event
// loop, one request at a time; nothing blocks.
//
// Who does what when a scan starts: the window turns the results table's automatic sorting off,
// shows the progress bar over status panel 2, and (on started()) sets the Start and Stop buttons;
// it also runs "Clear Results" on clearResultsRequested() and its stopped() handler on stopped().
// The run does everything else: it reads the thresholds and chkClear when it starts, each
// engine's prefix from settings.ini before every request, and chkAutoSort at completion.
//
// Signals of one URL, in order: webResultAdded("Home Page"), rowStarted, then for each engine
// webResultAdded(engine row), statusTextChanged, progressChanged, engineResult; then rowFinished.
//
// The window must not delete the run from inside one of its signals (use deleteLater()), and
// must not change the rows the run writes (Clear Results, loading saved results) while it runs.
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
    // are read again before every request. The fetcher is not owned, and serves this run alone
    // while it runs.
    ScanRun(const QStringList& urls, const QString& settingsIni, PageFetcher* fetcher,
            QObject* parent = nullptr);
    ~ScanRun() override;

    // Starts the run: the start steps (thresholds, chkClear, started(), progress 0 of n x 6) happen
    // at once, inside this call; the URLs follow on the event loop, one yield before each. An
    // empty URL list emits only finished(). Clears a stop request left from an earlier run.
    // Does nothing while the run is running.
    void start();
    // Asks the run to stop before the next URL; the URL in progress completes.
    void requestStop();
    // Ends the run at once, cancelling the request in flight; no further signals.
    void abort();

    bool isRunning() const;
    int urlCount() const;

    // The text of status panel 1 at completion.
    static QString completionText(qint64 grandTotal);
    // The profile icon of a row total: 1 below low, 3 from medium up, 2 between.
    static int profileIcon(qint64 total, qint64 low, qint64 medium);

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
    // All URLs done: "Search Complete.  Found <n> links." for status panel 1, and whether to
    // auto-sort (chkAutoSort, read now). The window hides the progress bar, resets the buttons,
    // sorts ascending, redraws the chart and sorts descending.
    void completed(const QString& statusText, qint64 grandTotal, bool autoSort);
    // The run ended at a stop request (the window's stopped()).
    void stopped();
    // The run is over (after completed, stopped or an empty URL list); not after abort().
    void finished();

private:
    void nextUrl();
    void requestEngine();
    void pageFetched(const QString& body);
    void finishRow();
    void complete();

    struct Private;
    Private* d;
};

} // namespace tally
