// The main window (MainWindow): the toolbar strip, the URL panel, the tab strip with its three view
// frames (data, chart, website), the menus and the status bar with its progress bar. It owns the
// scan run while one is in progress and turns the run's signals into changes of its controls.
#pragma once

#include "core/scan/scan_run.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeWidgetItem;

namespace tally {

class ChartFrame;
class PageFetcher;
class ResultsTable;
class UrlPanel;
class WebsiteFrame;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The parts other windows and tests reach.
    ChartFrame* chartFrame() const { return frame3_; }
    WebsiteFrame* websiteFrame() const { return frame4_; }
    ResultsTable* resultsTable() const { return listView1_; }
    UrlPanel* urlPanel() const { return frame1_; }
    QListWidget* urlList() const;
    QProgressBar* progressBar() const { return progressBar1_; }

    // Whether a scan is in progress.
    bool isScanning() const;
    // The scan in progress, or nullptr.
    ScanRun* scanRun() const { return run_; }
    // The source of pages for the following scans (not owned); nullptr restores the network one.
    void setPageFetcher(PageFetcher* fetcher);

    // The selected tab, 1 "Data View", 2 "Chart View", 3 "Website View".
    int currentTab() const;
    // Selects a tab from code (1..3); any other index changes nothing.
    void selectTab(int tab);

    // The text of a status bar panel (1..4).
    QString panelText(int panel) const;
    // Sets the text of status panel 1 or 2.
    void setPanelText(int panel, const QString& text);

    // The scan's position in its URL snapshot (0-based); Clear Results sets it back to 0.
    int lngScanIndex() const { return lngScanIndex_; }

public Q_SLOTS:
    // The scan (Start, "Start Scan", Stop, "Stop Scan") and the run's stop report.
    void Command1_Click();
    void mnuScan_Click();
    void Command2_Click();
    void mnuStop_Click();
    void stopped();

    // Lays the controls out for the current window size (nothing while minimised).
    void LayoutControls();
    // Lays the progress bar over the given panel (1-based) of the status bar.
    void PlaceProgressInPanel(QProgressBar* bar, QStatusBar* statusBar, int panel);

    // The results table.
    void mnuClearResults_Click();
    void Command5_Click();
    void ListView1_ColumnClick(int column);
    void mnuSaveResults_Click();
    void Command4_Click();
    void mnuWebResults_Click();
    void Command12_Click();
    void ListView1_DblClick();
    void ListView2_ColumnClick(int column);

    // Toolbar, menus and tabs.
    void Command3_Click();
    void Command6_Click();
    void mnuConfig_Click();
    void mnuGraph_Click();
    void mnuHelpItem_Click();
    void mnuAbout_Click();
    void mnuExitNow_Click();
    void TabStrip1_Click();

Q_SIGNALS:
    // The shut-down sequence is about to end the program (QCoreApplication::quit follows).
    void programEnding();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    QWidget* buildToolbar();
    QWidget* buildDataFrame();
    void buildStatusBar();
    void Form_Load();
    void updateClock();
    void showRowContextMenu(QTreeWidgetItem* row, const QPoint& globalPos);
    void setScanControls(bool scanning);
    void connectRun(ScanRun* run);
    void scanCompleted(const QString& statusText);
    void abortScan();
    void clearResults();

    // Toolbar strip.
    QWidget* picture1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command6_ = nullptr;
    QPushButton* command3_ = nullptr;
    // URL panel, tab strip and view frames.
    UrlPanel* frame1_ = nullptr;
    QTabWidget* tabStrip1_ = nullptr;
    QWidget* frame2_ = nullptr;
    ResultsTable* listView1_ = nullptr;
    ChartFrame* frame3_ = nullptr;
    WebsiteFrame* frame4_ = nullptr;
    // Status bar.
    QStatusBar* statusBar1_ = nullptr;
    QLabel* panels_[4] = {};
    QWidget* panel2Box_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QTimer* clock_ = nullptr;
    // Menus.
    QAction* mnuScan_ = nullptr;
    QAction* mnuStop_ = nullptr;
    QMenu* mnuListView_ = nullptr;
    QAction* mnuSaveResults_ = nullptr;

    // Scan state.
    bool blnStop_ = false;
    int lngScanIndex_ = 0;
    QPointer<ScanRun> run_;
    PageFetcher* fetcher_ = nullptr;    // the fetcher in use (not owned)
    PageFetcher* ownFetcher_ = nullptr; // the network fetcher, made when first needed
    bool shuttingDown_ = false;
};

} // namespace tally
