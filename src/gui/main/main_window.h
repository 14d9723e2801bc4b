// The main window (object name "Form1"): the toolbar strip, the URL panel, the tab strip with its
// three view frames (data, chart, website), the menus and the status bar with its progress bar.
// It owns the scan run while one is in progress and turns the run's signals into changes of its
// controls, and it owns the other windows it opens: Options, help, About and the browser window.
#pragma once

#include "core/product/product.h"
#include "core/scan/scan_run.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <array>

class QAction;
class QHeaderView;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTimer;

namespace tally {

class AboutWindow;
class BrowserWindow;
class ChartFrame;
class HelpWindow;
class OptionsDialog;
class PageFetcher;
class RefreshThrottle;
class ResultsItemModel;
class ResultsTable;
class ScanFailuresDialog;
class SourcesDialog;
class ScheduleDialog;
class SourcesHintBar;
class UrlPanel;
class WebResultsModel;
class WebsiteFrame;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // info: the product's name, maker and web site, as the caption, the Visit button, the About
    // window and the browser window show them.
    explicit MainWindow(const ProductInfo& info = product(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // The parts other windows and tests reach.
    ChartFrame* chartFrame() const { return chartFrame_; }
    WebsiteFrame* websiteFrame() const { return websiteFrame_; }
    ResultsTable* resultsTable() const { return resultsTable_; }
    // The results the table, the chart, the exports and the saves read.
    ResultsItemModel* resultsModel() const { return results_; }
    UrlPanel* urlPanel() const { return urlPanel_; }
    QListWidget* urlList() const;
    QProgressBar* progressBar() const { return progressBar_; }

    // The windows this one opened and that are still loaded, else nullptr.
    OptionsDialog* optionsDialog() const;
    HelpWindow* helpWindow() const;
    AboutWindow* aboutWindow() const;
    SourcesDialog* sourcesDialog() const;
    // The bar that offers the Sources window (hidden unless it is due).
    SourcesHintBar* sourcesHintBar() const { return sourcesHint_; }
    BrowserWindow* browserWindow() const;

    // Whether a scan is in progress, and the run if so.
    bool isScanning() const;
    ScanRun* scanRun() const { return run_; }

    // The selected tab, 1 "Data View", 2 "Chart View", 3 "Website View".
    int currentTab() const;
    // Selects a tab from code (1..3); any other index changes nothing.
    void selectTab(int tab);

    // The text of a status bar panel (1..4).
    QString panelText(int panel) const;
    // Sets the text of status panel 1 or 2.
    void setPanelText(int panel, const QString& text);

    // The scan's position in its URL snapshot (0-based); Clear Results sets it back to 0.
    int scanPosition() const { return scanPosition_; }

    // The requests of the last scan that gave no count, and the window listing them while open.
    QList<ScanFailure> scanFailures() const { return failures_; }
    ScanFailuresDialog* failuresDialog() const;

public Q_SLOTS:
    // Start, "Start Scan": scans every URL of the list (nothing while a scan runs).
    void startScan();
    // Stop, "Stop Scan": the scan stops at once; what it was still asking for is "stopped".
    void stopScan();
    // "Details" of the status bar: the list of the last scan's requests without a count.
    void showScanFailures();

    // Lays the controls out for the current window size (nothing while minimised).
    void layoutControls();

    // "Clear Results", "Clear All": empties the results (refused while a scan runs).
    void clearResults();
    // A header click: sorts the results by that 1-based column, alternating direction.
    void sortByColumn(int column);
    // "Save Selected", "Save Results": the selected row goes to the save dialog.
    void saveSelectedRow();
    // "Export Results...": the results table as a CSV file.
    void exportResults();
    // "Web Results", a double click: the selected row's pages in the Website View.
    void showWebResultsOfSelectedRow();
    // A header click on the web-results list: a text sort by that 1-based column.
    void sortWebResultsByColumn(int column);

    // Toolbar and menus.
    void visitWebsite();
    void showOptions();      // the Options button: modeless, no owner
    void showOptionsModal(); // "View Options": blocks the program's other windows
    void loadSavedSearch();
    void showHelp();
    void showAbout();
    // "Sources...": the Sources window, modal; opener is the window it opens over (Options), else
    // this one.
    void showSources(QWidget* opener = nullptr);
    // Scan › Schedule...
    void showSchedule();
    // The Chart View at the history of the saved search `name` (tallyscope --history NAME, a
    // click on a scheduled run's notification); a name without a saved search is said.
    void showSavedSearchHistory(const QString& name);

Q_SIGNALS:
    // The shut-down sequence is about to end the program (QCoreApplication::quit follows).
    void programEnding();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    // F5 and Esc start and stop a scan, except where the web page takes them.
    void scanKeys(bool on);
    QWidget* buildToolbar();
    QWidget* buildDataFrame();
    void buildStatusBar();
    void load();
    // The layout the window was left in (geometry, state, split, results columns), and keeping
    // it for the next start.
    void restoreLayout();
    void saveLayout();
    // Widens the columns of a list that are narrower than their captions.
    void showCaptionsWhole(QHeaderView* header);
    void updateClock();
    void fitStatusPanels();
    void showCurrentTabFrame();
    void placeProgressBar();
    void reportUnreadableSettings();
    void showRowContextMenu(int row, const QPoint& globalPos);
    // What a scan changed reaches the screen: the table's new rows and cells, the web-results
    // list while it shows, the progress bar and status panel 1 (at most every 100 ms).
    void refreshScanView();
    void setScanControls(bool scanning);
    void connectRun(ScanRun* run);
    void scanCompleted(const QString& statusText);
    void scanStopped();
    void showFailureSummary();
    void recordRun(const std::shared_ptr<const EngineSnapshot>& engines,
                   const QList<ScanFailure>& failures);
    void abortScan();
    void clearResultsNow();
    void openOptions(bool modal);
    void openBrowser(const QString& address);

    ProductInfo product_;

    // Toolbar strip.
    QPushButton* startButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* optionsButton_ = nullptr;
    QPushButton* visitButton_ = nullptr;
    // URL panel, tab strip and view frames.
    QSplitter* split_ = nullptr;
    UrlPanel* urlPanel_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QWidget* dataFrame_ = nullptr;
    ResultsTable* resultsTable_ = nullptr;
    ResultsItemModel* results_ = nullptr;
    WebResultsModel* webResults_ = nullptr;
    QPushButton* clearAllButton_ = nullptr;
    ChartFrame* chartFrame_ = nullptr;
    bool runCompleted_ = false; // the scan ran to its end (not stopped)
    WebsiteFrame* websiteFrame_ = nullptr;
    // Status bar.
    QLabel* statusPanels_[4] = {};
    QProgressBar* progressBar_ = nullptr;
    QTimer* clock_ = nullptr;
    QMenu* statusMenu_ = nullptr;
    QAction* failureDetailsAction_ = nullptr;
    QAction* scanDetailsAction_ = nullptr;
    // Menus.
    QAction* startAction_ = nullptr;
    QAction* stopAction_ = nullptr;
    QMenu* resultsMenu_ = nullptr;
    QAction* saveResultsAction_ = nullptr;
    QAction* clearResultsAction_ = nullptr;
    QMenu* sortMenu_ = nullptr;
    QAction* exportResultsAction_ = nullptr;
    QAction* desktopLookAction_ = nullptr;

    // The windows this one opened.
    QPointer<OptionsDialog> options_;
    QPointer<HelpWindow> help_;
    QPointer<AboutWindow> about_;
    QPointer<BrowserWindow> browser_;
    QPointer<ScanFailuresDialog> failuresDialog_;
    QPointer<SourcesDialog> sources_;
    QPointer<ScheduleDialog> schedule_;
    SourcesHintBar* sourcesHint_ = nullptr;
    // The slots of the running scan that ask a built-in engine at its own address.
    std::array<bool, 6> builtInSlots_{};
    // What the About window's web site opens: the site's full address until the browser window
    // has first been loaded, its bare host name from then on.
    bool browserLoadedBefore_ = false;
    // The help window is due when this window is first shown (showHelp at start-up).
    bool helpAtFirstShow_ = false;
    // What is wrong with the per-user store, said once the window shows.
    QString storeProblem_;

    // Scan state.
    int scanPosition_ = 0;
    RefreshThrottle* refresh_ = nullptr;
    // What the scan last said for status panel 1 and the progress bar, not yet on screen.
    QString pendingStatus_;
    bool statusPending_ = false;
    int pendingProgress_ = -1;
    int pendingMaximum_ = 0;
    QElapsedTimer webRefreshed_; // the web-results list's last refresh during a scan
    QPointer<ScanRun> run_;
    QList<PageFetcher*> fetchers_; // one network fetcher per engine, made when first needed
    QList<ScanFailure> failures_;  // of the last scan
    bool shuttingDown_ = false;
    bool fittedToFrame_ = false;
};

} // namespace tally
