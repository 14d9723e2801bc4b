#include "gui/main/main_window.h"

#include "core/cli/command_line.h"
#include "core/exports/table_export.h"
#include "core/net/network_page_fetcher.h"
#include "core/product/engine_table.h"
#include "core/results/refresh_throttle.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/query_prefixes.h"
#include "core/schedule/run_record.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "core/sources/sources_hint.h"
#include "core/webview/web_results.h"
#include "core/webview/web_results_model.h"
#include "gui/help/help_window.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/clipped_label.h"
#include "gui/kit/file_export.h"
#include "gui/kit/icons.h"
#include "gui/kit/picture_button.h"
#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"
#include "gui/kit/twips.h"
#include "gui/kit/windows.h"
#include "gui/main/about_window.h"
#include "gui/main/scan_failures_dialog.h"
#include "gui/options/options_dialog.h"
#include "gui/results/chart_frame.h"
#include "gui/results/results_table.h"
#include "gui/results/save_search_dialog.h"
#include "gui/schedule/schedule_dialog.h"
#include "gui/sources/sources_dialog.h"
#include "gui/sources/sources_hint_bar.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/browser_window.h"
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/website_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tally {

namespace {

// The least time between two refreshes of what a scan changes on screen, and of the web-results
// list while it shows during a scan.
constexpr int ScanRefreshMs = 100;
constexpr int WebResultsRefreshMs = 1000;

// What a status panel (1..4) is for: its accessible description.
QString panelRole(int panel) {
    static const char* const roles[] = {QT_TRANSLATE_NOOP("tally::MainWindow", "Status message"),
                                        QT_TRANSLATE_NOOP("tally::MainWindow", "Progress"),
                                        QT_TRANSLATE_NOOP("tally::MainWindow", "Time"),
                                        QT_TRANSLATE_NOOP("tally::MainWindow", "Date")};
    return QCoreApplication::translate("tally::MainWindow", roles[panel - 1]);
}

// A status bar panel: a sunken box holding its text, where the progress bar can be laid over.
QWidget* makePanel(QLabel** label, int minimumWidth, QWidget* parent) {
    auto* box = new QFrame(parent);
    accessibility::setRole(box, QAccessible::Grouping); // a part of the bar, not a window frame
    box->setFrameShape(QFrame::Panel);
    box->setFrameShadow(QFrame::Sunken);
    box->setMinimumWidth(minimumWidth);
    // At least the designed height, more where the font needs it; the progress bar laid over the
    // text never changes it.
    box->setMinimumHeight(px(315) - 1);
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 1, 2, 1);
    grid->setSpacing(0);
    *label = new ClippedLabel(box); // a text too long for the panel shows whole as tooltip
    grid->addWidget(*label, 0, 0);
    return box;
}

} // namespace

MainWindow::MainWindow(const ProductInfo& info, QWidget* parent)
    : QMainWindow(parent), product_(info) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tallyrank Checker"));
    // The skin, or the desktop's look when the user chose it.
    skin::setDesktopLook(UserSettings::useDesktopLook());
    // Verdana where it is installed, else the nearest sans face: asking for the first one found
    // spares the font lookup a search through every fallback.
    QFont windowFont = font();
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {"Verdana", "DejaVu Sans", "Bitstream Vera Sans", "Liberation Sans"})
        if (installed.contains(QLatin1String(family))) {
            windowFont.setFamily(QLatin1String(family));
            break;
        }
    windowFont.setStyleHint(QFont::SansSerif);
    windowFont.setPointSize(8);
    skin::setDesignedFont(this, windowFont); // the desktop's font under the desktop's look

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1Client"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolbar());
    // The hint that offers the Sources window, between the toolbar and the rest while it shows.
    sourcesHint_ = new SourcesHintBar(central);
    column->addWidget(sourcesHint_);
    connect(sourcesHint_, &SourcesHintBar::dismissed, this,
            [] { UserSettings::setSourcesHintDone(); });
    connect(sourcesHint_, &SourcesHintBar::sourcesRequested, this, [this] { showSources(); });

    // The URL panel keeps its width when the window is resized (its designed width, or what the
    // user dragged the split to); the tab strip takes the rest.
    auto* body = new QHBoxLayout;
    body->setContentsMargins(px(60), 0, px(75), px(45));
    body->setSpacing(0);
    split_ = new QSplitter(Qt::Horizontal, central);
    split_->setObjectName(QStringLiteral("splitURLs"));
    split_->setChildrenCollapsible(false);
    split_->setHandleWidth(px(45));
    urlPanel_ = new UrlPanel(split_);
    split_->addWidget(urlPanel_);

    tabs_ = new QTabWidget(split_);
    tabs_->setObjectName(QStringLiteral("TabStrip1"));
    tabs_->setAccessibleName(tr("Views"));
    // The three view frames always share one rectangle: every page gets the page area, and the
    // tab switch shows exactly one of them.
    if (auto* stack = tabs_->findChild<QStackedWidget*>())
        if (auto* stackLayout = qobject_cast<QStackedLayout*>(stack->layout()))
            stackLayout->setStackingMode(QStackedLayout::StackAll);
    dataFrame_ = buildDataFrame();
    // One model of the results for every view of them; during a scan its changes reach the views
    // with the throttled refresh.
    results_ = new ResultsItemModel(this);
    results_->setDeferred(true);
    resultsTable_->setResultsModel(results_);
    resultsTable_->setHideOffColumns(UserSettings::hideOffColumns());
    webResults_ = new WebResultsModel(results_, this);
    refresh_ = new RefreshThrottle(
        ScanRefreshMs, [this] { refreshScanView(); }, this);
    connect(results_, &ResultsModel::changed, refresh_, &RefreshThrottle::request);
    chartFrame_ = new ChartFrame(central);
    chartFrame_->setResultsModel(results_);
    websiteFrame_ = new WebsiteFrame(central);
    websiteFrame_->setWebResultsModel(webResults_);
    tabs_->addTab(dataFrame_, icon(IconKind::DataTab), tr("Data View"));
    tabs_->addTab(chartFrame_, icon(IconKind::ChartTab), tr("Chart View"));
    tabs_->addTab(websiteFrame_, icon(IconKind::WebsiteTab), tr("Website View"));
    split_->addWidget(tabs_);
    // A small window clips the views rather than narrow the URL panel.
    tabs_->setMinimumWidth(px(1500));
    split_->setStretchFactor(0, 0);
    split_->setStretchFactor(1, 1);
    body->addWidget(split_, 1);
    column->addLayout(body, 1);
    // A small window clips its controls rather than refusing to shrink.
    column->setSizeConstraint(QLayout::SetNoConstraint);
    setCentralWidget(central);

    // The menus come after the URL panel, whose commands the File menu shares.
    buildMenus();
    buildStatusBar();

    connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::showCurrentTabFrame);
    connect(resultsTable_, &ResultsTable::columnClicked, this, &MainWindow::sortByColumn);
    connect(resultsTable_, &ResultsTable::rowContextMenuRequested, this,
            &MainWindow::showRowContextMenu);
    connect(resultsTable_, &ResultsTable::doubleClicked, this,
            &MainWindow::showWebResultsOfSelectedRow);
    connect(resultsTable_, &ResultsTable::enterPressed, this,
            &MainWindow::showWebResultsOfSelectedRow);
    QTreeView* webResults = websiteFrame_->webResults();
    webResults->header()->setSectionsClickable(true);
    connect(webResults->header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { sortWebResultsByColumn(logical + 1); });
    connect(websiteFrame_, &WebsiteFrame::websiteTabRequested, this, [this] { selectTab(3); });
    connect(websiteFrame_, &WebsiteFrame::statusText, this,
            [this](const QString& text) { setPanelText(1, text); });
    connect(websiteFrame_, &WebsiteFrame::openingText, this,
            [this](const QString& text) { setPanelText(2, text); });
    // A browser window still open when the program ends goes before the web engine does.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { delete browser_.data(); });

    // Designed client area 13170 x 11115 twips, below the menu bar, for the designed 8-point
    // font (a larger desktop font under the desktop's look makes it larger in step); centred on
    // the screen, and smaller where the screen's free area is smaller.
    setMinimumSize(1, 1);
    const qreal points =
        font().pointSizeF() > 0 ? font().pointSizeF() : QFontInfo(font()).pointSizeF();
    const qreal scale = std::max(1.0, points / 8.0);
    resize(qRound(px(13170) * scale), qRound(px(11115) * scale) + menuBar()->sizeHint().height());
    fitOnScreen(this);

    showCurrentTabFrame();
    load();
    // Where and how the window was left, fitted into the screen it opens on.
    restoreLayout();
}

MainWindow::~MainWindow() {
    abortScan();
    delete options_.data();
    delete browser_.data();
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const QString& caption, auto slot,
                       const QKeySequence& shortcut = QKeySequence()) {
        QAction* action = m->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };

    // Every caption carries its Alt mnemonic; F10 opens the first menu. The keys people try
    // first work too: F1 the help, F5 a scan (F5 again or Esc stops it).
    QMenu* file = menu("mnuFile2", tr("&File"));
    item(
        file, "mnuNewURL", tr("&Add URL"), [this] { urlPanel_->addUrl(); },
        QKeySequence(Qt::CTRL | Qt::Key_N));
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSplit1"));
    item(
        file, "mnuSaveUrlList", tr("&Save URL List to File"), [this] { urlPanel_->saveListFile(); },
        QKeySequence(Qt::CTRL | Qt::Key_S));
    item(
        file, "mnuOpenURLList", tr("&Load URL List from File"),
        [this] { urlPanel_->loadListFile(); }, QKeySequence(Qt::CTRL | Qt::Key_O));
    item(
        file, "mnuOpenClipboard", tr("Load URL List from &Clipboard"),
        [this] { urlPanel_->loadClipboard(); }, QKeySequence(Qt::CTRL | Qt::Key_V));
    exportResultsAction_ = item(file, "mnuExportResults", tr("&Export Results..."),
                                &MainWindow::exportResults, QKeySequence(Qt::CTRL | Qt::Key_E));
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSplit84"));
    item(file, "mnuExitNow", tr("E&xit"), &QWidget::close, QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu* scan = menu("mnuOptions", tr("&Scan"));
    startAction_ = item(scan, "mnuScan", tr("&Start Scan"), &MainWindow::startScan);
    stopAction_ = item(scan, "mnuStop", tr("S&top Scan"), &MainWindow::stopScan);
    scanKeys(true);
    // In the Website View, F5 and Esc are the page's (reload, stop loading).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this)
            scanKeys(!websiteFrame_->isAncestorOf(now));
    });
    scan->addSeparator();
    scanDetailsAction_ =
        item(scan, "mnuScanDetails", tr("&Details..."), &MainWindow::showScanFailures);
    scanDetailsAction_->setEnabled(false);
    item(scan, "mnuSchedule", tr("Sc&hedule..."), &MainWindow::showSchedule);

    QMenu* options = menu("mnuOptions2", tr("&Options"));
    item(options, "mnuConfig", tr("&View Options"), &MainWindow::showOptionsModal);

    QMenu* view = menu("mnuView", tr("&View"));
    desktopLookAction_ = item(view, "mnuDesktopLook", tr("&Use the desktop's colours and fonts"),
                              [this](bool on) { skin::chooseDesktopLook(this, on); });
    desktopLookAction_->setCheckable(true);
    desktopLookAction_->setChecked(skin::desktopLook());
    connect(skin::notifier(), &skin::LookNotifier::changed, desktopLookAction_, [this](bool on) {
        const QSignalBlocker quiet(desktopLookAction_);
        desktopLookAction_->setChecked(on);
    });
    QAction* hideOff =
        item(view, "mnuHideOffColumns", tr("&Hide switched-off columns"), [this](bool on) {
            UserSettings::setHideOffColumns(on);
            resultsTable_->setHideOffColumns(on);
        });
    hideOff->setCheckable(true);
    hideOff->setChecked(UserSettings::hideOffColumns());

    QMenu* tools = menu("mnuTools", tr("&Tools"));
    item(tools, "mnuGraph", tr("&View Graph..."), &MainWindow::loadSavedSearch)->setVisible(false);
    item(tools, "mnuSources", tr("&Sources..."), [this] { showSources(); });

    QMenu* help = menu("mnuHelp01", tr("&Help"));
    item(help, "mnuHelpItem", tr("&View Help"), &MainWindow::showHelp,
         QKeySequence(QKeySequence::HelpContents));

    QMenu* about = menu("mnuHelp", tr("&About"));
    item(about, "mnuAbout", tr("&About this software"), &MainWindow::showAbout);
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [bar, file] { bar->setActiveAction(file->menuAction()); });

    // The results table's context menu: never on the menu bar.
    resultsMenu_ = new QMenu(QStringLiteral("ListView"), this);
    resultsMenu_->setObjectName(QStringLiteral("mnuListView"));
    saveResultsAction_ =
        item(resultsMenu_, "mnuSaveResults", tr("&Save Results"), &MainWindow::saveSelectedRow);
    item(resultsMenu_, "mnuWebResults", tr("&Web Results"),
         &MainWindow::showWebResultsOfSelectedRow);
    clearResultsAction_ =
        item(resultsMenu_, "mnuClearResults", tr("&Clear Results"), &MainWindow::clearResults);
    // The header click's sort, for the keyboard: one entry per column.
    resultsMenu_->addSeparator();
    sortMenu_ = resultsMenu_->addMenu(tr("Sort &by"));
    sortMenu_->setObjectName(QStringLiteral("mnuSortBy"));
    // One entry per column, by its caption (an Alt key each); they follow the captions.
    const auto sortCaptions = [this] {
        QStringList captions;
        for (int column = 0; column < ResultsColumnCount; ++column)
            captions << results_->headerData(column, Qt::Horizontal).toString();
        return accessibility::withMnemonics(captions);
    };
    const QStringList marked = sortCaptions();
    for (int column = 1; column <= ResultsColumnCount; ++column) {
        QAction* action = sortMenu_->addAction(marked.value(column - 1));
        action->setObjectName(QStringLiteral("mnuSortBy%1").arg(column));
        connect(action, &QAction::triggered, this, [this, column] { sortByColumn(column); });
    }
    connect(results_, &QAbstractItemModel::headerDataChanged, sortMenu_, [this, sortCaptions] {
        const QStringList captions = sortCaptions();
        const QList<QAction*> actions = sortMenu_->actions();
        for (int c = 0; c < actions.size() && c < ResultsColumnCount; ++c)
            actions[c]->setText(captions.value(c));
    });
}

void MainWindow::scanKeys(bool on) {
    // Only one of the two actions is enabled at a time, so F5 is never ambiguous between them.
    startAction_->setShortcut(on ? QKeySequence(Qt::Key_F5) : QKeySequence());
    stopAction_->setShortcuts(
        on ? QList<QKeySequence>{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_F5)}
           : QList<QKeySequence>{});
}

QWidget* MainWindow::buildToolbar() {
    auto* strip = new QFrame;
    strip->setObjectName(QStringLiteral("Picture1"));
    strip->setAccessibleName(tr("Toolbar"));
    accessibility::setRole(strip, QAccessible::ToolBar);
    strip->setMinimumHeight(px(1095));
    strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(px(60), px(60), px(75), px(60));
    row->setSpacing(px(45));
    auto button = [strip](const char* name, const QString& caption, IconKind picture) {
        QPushButton* b = new PictureButton(caption, strip);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(icon(picture));
        b->setIconSize(QSize(24, 24));
        setDesignedSize(b, QSize(px(1275), px(975)));
        return b;
    };
    startButton_ = button("Command1", tr("Start"), IconKind::Start);
    stopButton_ = button("Command2", tr("Stop"), IconKind::Stop);
    optionsButton_ = button("Command6", tr("Options"), IconKind::Options);
    visitButton_ = button("Command3", tr("Visit %1").arg(QString()), IconKind::Website);
    visitButton_->setMinimumWidth(0);
    visitButton_->setMaximumWidth(QWIDGETSIZE_MAX);
    visitButton_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    stopButton_->setEnabled(false);
    startButton_->setToolTip(tr("Start a scan of every URL in the list"));
    stopButton_->setToolTip(tr("Stop the scan after the URL in progress"));
    for (QPushButton* b : {startButton_, stopButton_, optionsButton_})
        row->addWidget(b);
    row->addWidget(visitButton_, 1);
    connect(startButton_, &QPushButton::clicked, this, &MainWindow::startScan);
    connect(stopButton_, &QPushButton::clicked, this, &MainWindow::stopScan);
    connect(optionsButton_, &QPushButton::clicked, this, &MainWindow::showOptions);
    connect(visitButton_, &QPushButton::clicked, this, &MainWindow::visitWebsite);
    return strip;
}

QWidget* MainWindow::buildDataFrame() {
    auto* frame = new QGroupBox(tr("Results - Data View"));
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(px(45));
    auto button = [frame](const char* name, const QString& caption, IconKind picture) {
        auto* b = new QPushButton(caption, frame);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(icon(picture));
        setDesignedSize(b, QSize(px(1755), px(735)));
        return b;
    };
    QPushButton* save = button("Command4", tr("Save Selected"), IconKind::Save);
    QPushButton* web = button("Command12", tr("Web Results"), IconKind::WebResults);
    clearAllButton_ = button("Command5", tr("Clear All"), IconKind::ClearAll);
    for (QPushButton* b : {save, web, clearAllButton_})
        buttons->addWidget(b);
    buttons->addStretch(1);

    resultsTable_ = new ResultsTable(frame);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(px(120), px(120), px(120), px(200));
    layout->setSpacing(px(120));
    layout->addLayout(buttons);
    layout->addWidget(resultsTable_, 1);

    connect(save, &QPushButton::clicked, this, &MainWindow::saveSelectedRow);
    connect(web, &QPushButton::clicked, this, &MainWindow::showWebResultsOfSelectedRow);
    connect(clearAllButton_, &QPushButton::clicked, this, &MainWindow::clearResults);
    return frame;
}

void MainWindow::buildStatusBar() {
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setAccessibleName(tr("Status"));
    statusBar->setSizeGripEnabled(true);
    QWidget* boxes[4] = {
        makePanel(&statusPanels_[0], px(1440), statusBar),
        makePanel(&statusPanels_[1], px(3500), statusBar),
        makePanel(&statusPanels_[2], px(1440), statusBar),
        makePanel(&statusPanels_[3], px(1440), statusBar),
    };
    boxes[1]->setFixedWidth(px(3500));
    static const char* const names[] = {"Panel1", "Panel2", "Panel3", "Panel4"};
    // Each panel reads as its text; its role is its description.
    for (int i = 0; i < 4; ++i) {
        boxes[i]->setObjectName(QString::fromLatin1(names[i]));
        statusPanels_[i]->setObjectName(QString::fromLatin1(names[i]) + QStringLiteral("Text"));
        statusPanels_[i]->setAccessibleDescription(panelRole(i + 1));
        statusBar->addWidget(boxes[i], i == 0 ? 1 : 0);
    }
    statusPanels_[2]->setAlignment(Qt::AlignCenter);
    statusPanels_[3]->setAlignment(Qt::AlignCenter);
    setStatusBar(statusBar);

    // The progress bar lies over panel 2, where it shows during a scan.
    progressBar_ = new QProgressBar(boxes[1]);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setAccessibleName(tr("Scan progress"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->setMinimumHeight(1);
    progressBar_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    progressBar_->hide();

    // Its context menu offers the requests of the last scan that gave no count.
    statusMenu_ = new QMenu(tr("Status"), this);
    statusMenu_->setObjectName(QStringLiteral("mnuStatus"));
    failureDetailsAction_ = statusMenu_->addAction(tr("&Details..."));
    failureDetailsAction_->setObjectName(QStringLiteral("mnuFailureDetails"));
    failureDetailsAction_->setEnabled(false);
    connect(failureDetailsAction_, &QAction::triggered, this, &MainWindow::showScanFailures);
    statusBar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        statusBar, &QWidget::customContextMenuRequested, this,
        [this, statusBar](const QPoint& pos) { statusMenu_->popup(statusBar->mapToGlobal(pos)); });

    // The time and date panels keep themselves current.
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &MainWindow::updateClock);
    clock_->start();
    updateClock();
}

void MainWindow::updateClock() {
    const QLocale locale;
    const QString time = locale.toString(QTime::currentTime(), QLocale::ShortFormat);
    const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    if (statusPanels_[2]->text() == time && statusPanels_[3]->text() == date)
        return;
    statusPanels_[2]->setText(time);
    statusPanels_[3]->setText(date);
    fitStatusPanels();
}

void MainWindow::fitStatusPanels() {
    // Each panel at least its designed height and as high as its text; the time and the date
    // panels fit their texts, at least at their designed width.
    for (int p = 0; p < 4; ++p) {
        QLabel* panel = statusPanels_[p];
        auto* box = static_cast<QFrame*>(panel->parentWidget());
        const QFontMetrics metrics = panel->fontMetrics();
        const int frame = 2 * box->frameWidth() + 2; // the frame and the grid's margins
        const int height = std::max(px(315) - 1, metrics.height() + frame);
        if (box->minimumHeight() != height)
            box->setMinimumHeight(height);
        if (p < 2)
            continue;
        const int width = std::max(px(1440), metrics.horizontalAdvance(panel->text()) + frame + 2 +
                                                 metrics.averageCharWidth());
        if (box->minimumWidth() != width)
            box->setMinimumWidth(width);
    }
}

void MainWindow::load() {
    placeProgressBar();
    setWindowTitle(tr("%1 by %2").arg(product_.name, product_.company));
    visitButton_->setText(tr("Visit %1").arg(product_.siteAddress));
    stopAction_->setEnabled(false);
    setPanelText(1, QString());
    skin::skinWindow(this);
    // The help window opens once this window is on screen (showEvent): mapped before its owner,
    // the window manager does not keep it above the owner, and it sinks at the first click.
    helpAtFirstShow_ = UserSettings::showHelpAtStart();

    // The web-results list: "Webpage Type" a quarter of its width, "URL" three quarters.
    if (QLayout* l = centralWidget()->layout())
        l->activate();
    if (QLayout* l = websiteFrame_->layout())
        l->activate();
    QTreeView* webResults = websiteFrame_->webResults();
    int width = webResults->width();
    if (width < 50)
        width = px(8595);
    webResults->setColumnWidth(0, width / 4);
    webResults->setColumnWidth(1, width * 3 / 4);
    showCaptionsWhole(webResults->header());

    chartFrame_->restoreChartType();
    websiteFrame_->openBlankPage();
    // The engine columns as engines.ini names them (the built-in captions without the file).
    results_->setHeaderEngines(
        std::make_shared<const EngineSnapshot>(EngineSnapshot::of(programEngines())));
    layoutControls();

    // A store that cannot be read is said once the window shows: API keys and preferences are
    // missing, which would otherwise show up as riddles.
    storeProblem_ = userSettingsProblem();
    // The URL list of the last session, kept from now on as it changes.
    urlPanel_->rememberIn(ProgramFolder::sessionUrlList());
    if (sourcesHintDue(isFreshStart(ProgramFolder::path())))
        sourcesHint_->offer();
}

void MainWindow::restoreLayout() {
    const UserSettings::WindowLayout stored = UserSettings::windowLayout();
    if (!stored.geometry.isEmpty() && restoreGeometry(stored.geometry) &&
        windowState() == Qt::WindowNoState && !frameIsOnScreen(this))
        fitOnScreen(this); // left on a screen that is gone, or larger than this one
    if (!stored.state.isEmpty())
        restoreState(stored.state);
    if (!stored.split.isEmpty())
        split_->restoreState(stored.split);
    // Columns the user sized (kept in another font perhaps); until then the table fits its
    // columns to its width itself. They are set as a user sets them, section by section, so that
    // the table takes them for the user's.
    if (!stored.columns.isEmpty()) {
        QHeaderView* header = resultsTable_->header();
        QHeaderView kept(Qt::Horizontal);
        kept.setModel(header->model());
        if (kept.restoreState(stored.columns) && kept.count() == header->count()) {
            for (int section = 0; section < header->count(); ++section)
                header->resizeSection(section, kept.sectionSize(section));
            showCaptionsWhole(header);
        }
    }
}

void MainWindow::saveLayout() {
    // Kept for the next start; a store that cannot be written keeps the last layout it holds
    // (its failure is said where a setting is changed, not as the program ends).
    UserSettings::saveWindowLayout(
        {saveGeometry(), saveState(), split_->saveState(), resultsTable_->header()->saveState()});
}

void MainWindow::showCaptionsWhole(QHeaderView* header) {
    // A column narrower than its caption (a larger font than the one it was sized in) grows.
    for (int section = 0; section < header->count(); ++section)
        if (header->sectionSize(section) < header->sectionSizeHint(section))
            header->resizeSection(section, header->sectionSizeHint(section));
}

OptionsDialog* MainWindow::optionsDialog() const {
    return options_;
}

HelpWindow* MainWindow::helpWindow() const {
    return help_;
}

AboutWindow* MainWindow::aboutWindow() const {
    return about_;
}

BrowserWindow* MainWindow::browserWindow() const {
    return browser_;
}

QListWidget* MainWindow::urlList() const {
    return urlPanel_->list();
}

bool MainWindow::isScanning() const {
    return run_ != nullptr;
}

int MainWindow::currentTab() const {
    return tabs_->currentIndex() + 1;
}

void MainWindow::selectTab(int tab) {
    if (tab < 1 || tab > tabs_->count())
        return;
    if (tabs_->currentIndex() == tab - 1)
        showCurrentTabFrame();
    else
        tabs_->setCurrentIndex(tab - 1);
}

QString MainWindow::panelText(int panel) const {
    if (panel < 1 || panel > 4)
        return QString();
    return statusPanels_[panel - 1]->text();
}

void MainWindow::setPanelText(int panel, const QString& text) {
    if (panel == 1 || panel == 2)
        statusPanels_[panel - 1]->setText(text);
}

// ---- Layout ----

void MainWindow::layoutControls() {
    if (isMinimized())
        return;
    if (QLayout* l = centralWidget()->layout())
        l->activate();
    if (QLayout* l = layout())
        l->activate();
    progressBar_->raise();
}

void MainWindow::placeProgressBar() {
    // Over panel 2, in the same cell of its grid as the panel's text.
    QWidget* box = statusPanels_[1]->parentWidget();
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        if (grid->indexOf(progressBar_) < 0)
            grid->addWidget(progressBar_, 0, 0);
    progressBar_->raise();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!storeProblem_.isEmpty()) {
        const QString problem = std::exchange(storeProblem_, QString());
        QTimer::singleShot(0, this, [this, problem] {
            Prompts::message(this, problem, product_.name, QMessageBox::Warning);
        });
    }
    // The window manager's frame is known once the window is up: fitted again if it sticks out.
    if (!fittedToFrame_) {
        fittedToFrame_ = true;
        QTimer::singleShot(0, this, [this] {
            if (!frameIsOnScreen(this) && windowState() == Qt::WindowNoState)
                fitOnScreen(this);
        });
        reportUnreadableSettings();
    }
    if (!helpAtFirstShow_)
        return;
    helpAtFirstShow_ = false;
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            showHelp();
    });
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutControls();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        layoutControls();
    if (event->type() == QEvent::FontChange && resultsTable_) {
        showCaptionsWhole(resultsTable_->header());
        showCaptionsWhole(websiteFrame_->webResults()->header());
        fitStatusPanels();
    }
}

void MainWindow::showCurrentTabFrame() {
    const int index = tabs_->currentIndex();
    QWidget* frames[] = {dataFrame_, chartFrame_, websiteFrame_};
    if (index < 0 || index > 2)
        return;
    for (int i = 0; i < 3; ++i)
        frames[i]->setVisible(i == index);
    // A page is the Website View's next step: its web engine starts while the user chooses one.
    if (frames[index] == websiteFrame_)
        websiteFrame_->browser()->prepare();
}

// ---- The scan ----

void MainWindow::startScan() {
    if (isScanning())
        return;
    // The window's start steps: rows stay in the order they are written, the progress bar shows.
    resultsTable_->setSorted(false);
    placeProgressBar();
    progressBar_->show();
    progressBar_->raise();
    if (urlPanel_->count() == 0)
        return;
    if (fetchers_.isEmpty())
        for (int e = 0; e < EngineCount; ++e)
            fetchers_.append(new NetworkPageFetcher(this));
    failures_.clear();
    showFailureSummary();
    // What the slots are for this run: engines.ini is read once; the run's snapshot of it names the
    // columns when it starts.
    const EngineSet engines = programEngines();
    builtInSlots_ = slotsAskingBuiltInEngines(engines, ProgramFolder::settingsIni());
    // The run reads the thresholds and chkClear, takes the snapshot and goes on the event loop.
    auto* run = new ScanRun(urlPanel_->urls(), ProgramFolder::settingsIni(), fetchers_, this);
    run->setObjectName(QStringLiteral("ScanRun"));
    run->setEngines(engines);
    run_ = run;
    scanPosition_ = 0;
    connectRun(run);
    run->start();
}

void MainWindow::stopScan() {
    progressBar_->hide();
    if (run_)
        run_->requestStop();
}

void MainWindow::scanStopped() {
    setScanControls(false);
}

void MainWindow::setScanControls(bool scanning) {
    // The focus stays where it was; only a button that is disabled now hands it to its twin.
    QWidget* focused = focusWidget();
    startButton_->setText(scanning ? tr("Searching...") : tr("Start"));
    stopButton_->setEnabled(scanning);
    startButton_->setEnabled(!scanning);
    startAction_->setEnabled(!scanning);
    stopAction_->setEnabled(scanning);
    if (focused == startButton_ && scanning)
        stopButton_->setFocus(Qt::OtherFocusReason);
    else if (focused == stopButton_ && !scanning)
        startButton_->setFocus(Qt::OtherFocusReason);
    else if (focused && focusWidget() != focused && focused->isEnabled())
        focused->setFocus(Qt::OtherFocusReason);
    // Clearing the results while a scan writes into them is refused.
    clearAllButton_->setEnabled(!scanning);
    clearResultsAction_->setEnabled(!scanning);
    sortMenu_->setEnabled(!scanning);
    // An export holds finished rows only.
    exportResultsAction_->setEnabled(!scanning);
}

void MainWindow::connectRun(ScanRun* run) {
    // The model keeps the rows; the window shows the rest, throttled like the rows.
    results_->follow(run);
    statusPending_ = false;
    pendingProgress_ = -1;
    runCompleted_ = false;
    connect(run, &ScanRun::clearResultsRequested, this, &MainWindow::clearResultsNow);
    connect(run, &ScanRun::started, this, [this](int urlCount) {
        setScanControls(true);
        progressBar_->setRange(0, urlCount * EngineCount);
        progressBar_->setValue(0);
    });
    connect(run, &ScanRun::rowStarted, this,
            [this](int position) { scanPosition_ = position - 1; });
    connect(run, &ScanRun::statusTextChanged, this, [this](const QString& text) {
        pendingStatus_ = text;
        statusPending_ = true;
        refresh_->request();
    });
    connect(run, &ScanRun::progressChanged, this, [this](int value, int maximum) {
        pendingProgress_ = value;
        pendingMaximum_ = maximum;
        refresh_->request();
    });
    connect(run, &ScanRun::rowFinished, this, [this](int position) { scanPosition_ = position; });
    connect(run, &ScanRun::completed, this,
            [this](const QString& text, qint64, bool) { scanCompleted(text); });
    connect(run, &ScanRun::stopped, this, [this] {
        refresh_->flush();
        scanStopped();
        // Not "Scanning ..." any more: the scan ended at Stop.
        setPanelText(1, tr("Stopped"));
        accessibility::announce(statusPanels_[0], tr("Stopped"));
    });
    connect(run, &ScanRun::finished, this, [this, run] {
        refresh_->flush();
        // The web-results list takes the scan's last rows in a turn of its own.
        QTimer::singleShot(0, websiteFrame_, &WebsiteFrame::refreshWebResults);
        failures_ = run->failures();
        showFailureSummary();
        // Recorded in a turn of its own: the end of a long scan comes in short steps. Behind a
        // timer, so that input and painting come in between (posted calls run back to back).
        if (runCompleted_)
            QTimer::singleShot(1, this, [this, engines = run->snapshot(), failures = failures_] {
                recordRun(engines, failures);
            });
        if (run_ == run)
            run_ = nullptr;
        run->deleteLater();
    });
}

void MainWindow::refreshScanView() {
    results_->publish();
    // The web-results list grows with the scan only while it shows, and then once a second: it
    // holds seven rows per URL. Hidden, its rows are gathered as often and listed at the end.
    if (!webRefreshed_.isValid() || webRefreshed_.elapsed() >= WebResultsRefreshMs) {
        webRefreshed_.start();
        if (websiteFrame_->isVisible())
            websiteFrame_->refreshWebResults();
        else if (WebResultsModel* list = websiteFrame_->webResultsModel())
            list->prepare();
    }
    if (pendingProgress_ >= 0) {
        progressBar_->setMaximum(pendingMaximum_);
        progressBar_->setValue(pendingProgress_);
        pendingProgress_ = -1;
    }
    if (statusPending_) {
        statusPending_ = false;
        setPanelText(1, pendingStatus_);
    }
}

void MainWindow::scanCompleted(const QString& statusText) {
    runCompleted_ = true;
    // Everything the scan wrote is on screen before its end is.
    refresh_->flush();
    // Announced: the completion text says what was found and how many requests failed.
    accessibility::announce(statusPanels_[0], statusText);
    progressBar_->hide();
    setScanControls(false);
    // The table shows the rows in descending order of their totals; the chart takes them in
    // ascending order when it is drawn (both stable: equal totals keep the scan's order).
    if (UserSettings::autoSortByTotal()) {
        resultsTable_->sortRows(2, SortKind::Number, false);
        chartFrame_->chartResults(results_->records(), true);
    } else {
        chartFrame_->chartCurrentResults();
    }
    // Every request to a built-in engine failed: the hint says why and where to go.
    if (sourcesHintDue(builtInEnginesAllFailed(builtInSlots_, results_->records())))
        sourcesHint_->offer();
}

// The scan in the record of runs that Scan › Schedule... lists, beside the scheduled ones.
void MainWindow::recordRun(const std::shared_ptr<const EngineSnapshot>& engines,
                           const QList<ScanFailure>& failures) {
    ResultRecords rows; // this run's, whatever earlier scans left in the table
    for (const auto& row : results_->records())
        if (row->engines == engines)
            rows << row;
    RunRecord r = recordOfScan(rows, failures);
    r.when = QDateTime::currentDateTime();
    r.window = true;
    r.list = ProgramFolder::sessionUrlList();
    r.exitCode = cli::scanExitCode(false, r.counted > 0, r.failed > 0, r.sourceRefused);
    if (const FileOutcome written = appendRunRecord(r); !written)
        setPanelText(2, tr("The scan could not be recorded in %1: %2")
                            .arg(QDir::toNativeSeparators(runRecordFile()), written.reason()));
    if (schedule_)
        schedule_->refresh();
}

void MainWindow::showFailureSummary() {
    // The reasons behind the completion text: the first few as panel 1's tooltip, all of them
    // in the status bar's "Details".
    constexpr int Shown = 10;
    QStringList lines;
    for (qsizetype i = 0; i < failures_.size() && i < Shown; ++i) {
        const ScanFailure& f = failures_.at(i);
        lines << f.url + QStringLiteral(", ") + f.engine + QStringLiteral(": ") + f.reason;
    }
    if (failures_.size() > Shown)
        lines << tr("... and %1 more (Details in the status bar's menu)")
                     .arg(failures_.size() - Shown);
    QLabel* panel = statusPanels_[0];
    panel->setToolTip(lines.isEmpty()
                          ? QString()
                          : tr("Requests without a count:\n%1").arg(lines.join(QLatin1Char('\n'))));
    panel->setAccessibleDescription(
        failures_.isEmpty()
            ? panelRole(1)
            : tr("%1; requests without a count: %2, the reasons are in the status bar's Details")
                  .arg(panelRole(1))
                  .arg(failures_.size()));
    failureDetailsAction_->setEnabled(!failures_.isEmpty());
    scanDetailsAction_->setEnabled(!failures_.isEmpty());
    if (failuresDialog_)
        failuresDialog_->setFailures(failures_);
}

ScanFailuresDialog* MainWindow::failuresDialog() const {
    return failuresDialog_;
}

void MainWindow::showScanFailures() {
    if (!failuresDialog_) {
        failuresDialog_ = new ScanFailuresDialog(this);
        connect(failuresDialog_, &ScanFailuresDialog::sourcesRequested, this,
                [this] { showSources(); });
    }
    failuresDialog_->setFailures(failures_);
    bringForward(failuresDialog_);
}

void MainWindow::abortScan() {
    if (!run_)
        return;
    ScanRun* run = run_;
    run_ = nullptr;
    run->abort(); // the request in flight is cancelled; no further signals
    run->deleteLater();
    // What it wrote stays, as the table shows it.
    results_->publish();
    refresh_->cancel();
}

// ---- The results table ----

void MainWindow::clearResults() {
    // Refused while a scan writes into the table (the commands are disabled then).
    if (isScanning())
        return;
    clearResultsNow();
}

void MainWindow::clearResultsNow() {
    // The web-results list empties with the results it is derived from.
    results_->clear();
    scanPosition_ = 0;
}

void MainWindow::sortByColumn(int column) {
    if (isScanning())
        return;
    const bool ascending = resultsTable_->flipColumnDirection(column);
    resultsTable_->sortRows(column, column == 1 ? SortKind::Text : SortKind::Number, ascending);
}

void MainWindow::saveSelectedRow() {
    const std::shared_ptr<const ResultRecord> row = resultsTable_->selectedRecord();
    if (!row) {
        Prompts::message(this,
                         tr("You must first select the item in the results list "
                            "that you would like to save."),
                         product_.name, QMessageBox::NoIcon);
        return;
    }
    // The row's counts under the captions its run fetched them with.
    SaveSearchDialog dialog(savedCells(*row), this);
    dialog.exec();
}

void MainWindow::exportResults() {
    if (isScanning())
        return;
    const ResultRecords rows = results_->records();
    if (rows.isEmpty()) {
        Prompts::message(this, tr("There are no results to export yet."), tr("Information"),
                         QMessageBox::Information);
        return;
    }
    exportToFile(this, tr("Export Results"),
                 QStringLiteral("%1 results %2.csv")
                     .arg(product_.name, historyToday().toString(Qt::ISODate)),
                 resultsCsv(rows, *results_->headerEngines()));
}

void MainWindow::showWebResultsOfSelectedRow() {
    const std::shared_ptr<const ResultRecord> row = resultsTable_->selectedRecord();
    if (!row) {
        Prompts::message(this,
                         tr("You must first select the item in the results list you "
                            "wish to view web results for."),
                         product_.name);
        return;
    }
    websiteFrame_->showWebResultsFor(row->url);
}

void MainWindow::sortWebResultsByColumn(int column) {
    websiteFrame_->sortWebResults(column, false);
}

void MainWindow::showRowContextMenu(int row, const QPoint& globalPos) {
    if (row < 0 || row >= results_->rowCount())
        return;
    QString url = results_->record(row).url;
    url.replace(QLatin1Char('&'), QStringLiteral("&&"));
    saveResultsAction_->setText(tr("&Save Result For %1").arg(url));
    resultsMenu_->popup(globalPos);
}

// ---- Toolbar and menus ----

void MainWindow::visitWebsite() {
    openBrowser(product_.siteAddress);
}

void MainWindow::openBrowser(const QString& address) {
    if (!browser_) {
        // The site's address is the program's data, not the user's typing: web addresses only.
        const std::optional<QUrl> url = webAddressFor(address);
        if (!url) {
            Prompts::message(this, refusedAddressMessage(address), product_.name,
                             QMessageBox::Warning);
            return;
        }
        browser_ = new BrowserWindow(product_.siteAddress, url->toString(QUrl::FullyEncoded));
        browserLoadedBefore_ = true;
    }
    bringForward(browser_);
}

void MainWindow::showOptions() {
    openOptions(false);
}

void MainWindow::showOptionsModal() {
    openOptions(true);
}

void MainWindow::openOptions(bool modal) {
    // One dialog at a time, whoever opened it: an open one is brought forward. "View Options"
    // blocks this window in any case: an open modeless dialog becomes this window's modal one,
    // the same dialog with what was typed into it.
    if (options_) {
        if (modal && options_->windowModality() != Qt::ApplicationModal) {
            const QPoint place = options_->pos();
            options_->hide(); // modality changes only while it is hidden
            options_->setParent(this, options_->windowFlags());
            options_->setWindowModality(Qt::ApplicationModal);
            options_->move(place);
        }
        bringForward(options_);
        return;
    }
    // Modal, it is owned by this window and blocks the program's other windows; modeless, it
    // stands on its own.
    options_ = new OptionsDialog(modal ? this : nullptr);
    options_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    connect(options_, &OptionsDialog::sourcesRequested, this, [this] { showSources(options_); });
    bringForward(options_);
}

void MainWindow::loadSavedSearch() {
    chartFrame_->loadSavedSearch();
}

void MainWindow::showHelp() {
    if (!help_) {
        auto* help = new HelpWindow(this);
        if (!help->isLoaded()) {
            delete help;
            return;
        }
        help_ = help;
        help_->placeBesideOwner();
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

SourcesDialog* MainWindow::sourcesDialog() const {
    return sources_;
}

void MainWindow::showSources(QWidget* opener) {
    if (!sources_) {
        // Modal over the whole program: the main window and an open Options dialog wait for it.
        sources_ = new SourcesDialog(opener ? opener : this);
        sources_->setWindowModality(Qt::ApplicationModal);
        connect(sources_, &SourcesDialog::enginesChanged, this, [this] {
            // The columns take the new captions now (a scan reads engines.ini when it starts).
            if (!isScanning())
                results_->setHeaderEngines(
                    std::make_shared<const EngineSnapshot>(EngineSnapshot::of(programEngines())));
            if (options_)
                options_->reloadEngines();
            // The hint has done its work once the sources were changed, however they were reached.
            if (sourcesHint_->isVisible())
                sourcesHint_->dismiss();
        });
    }
    bringForward(sources_);
}

void MainWindow::showSchedule() {
    if (!schedule_)
        schedule_ = new ScheduleDialog(this);
    else
        schedule_->refresh();
    bringForward(schedule_);
}

void MainWindow::showSavedSearchHistory(const QString& name) {
    const std::optional<SavedSearchEntry> entry = findSavedSearch(name);
    if (!entry) {
        Prompts::message(this,
                         tr("There is no saved search named \"%1\" in %2.")
                             .arg(name, QDir::toNativeSeparators(savedSearchFolder())),
                         tr("Warning"), QMessageBox::Warning);
        return;
    }
    selectTab(2); // the Chart View
    chartFrame_->chartSavedSearch(entry->fileName);
}

void MainWindow::showAbout() {
    if (!about_) {
        about_ = new AboutWindow(product_, this);
        // The About window's web site opens the browser window on the site's full address until
        // the browser window has been loaded once.
        connect(about_, &AboutWindow::websiteRequested, this, [this] {
            openBrowser(browserLoadedBefore_ ? product_.siteAddress : product_.siteUrl);
        });
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

// ---- Shut-down ----

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (shuttingDown_)
        return;
    // Nothing of the session is lost: the URL list and the window's layout are kept.
    urlPanel_->keepNow();
    saveLayout();
    delete options_.data();
    delete help_.data();
    delete about_.data();
    delete failuresDialog_.data();
    delete sources_.data();
    if (browser_ && browser_->isVisible()) {
        // The program goes on with the browser window alone, which ends it when it closes.
        browser_->setEndsProgramOnClose(true);
        abortScan();
        return;
    }
    shuttingDown_ = true;
    abortScan();
    skin::stop();
    Q_EMIT programEnding();
    QCoreApplication::quit();
}

// settings.ini or engines.ini there but unreadable is said once the window is up, without
// holding the start: the scans would otherwise fail (or ask the wrong place) without a word.
void MainWindow::reportUnreadableSettings() {
    const QString message =
        unreadableSettingsMessage(unreadableSettingsFiles(ProgramFolder::settingsIni()));
    if (message.isEmpty())
        return;
    QTimer::singleShot(0, this, [this, message] {
        Prompts::message(this, message, product_.name, QMessageBox::Warning);
    });
}

} // namespace tally
