#include "gui/main/main_window.h"

#include "gui/results/chart_frame.h"
#include "gui/results/results_table.h"
#include "gui/results/save_search_dialog.h"
#include "core/scan/engine_parser.h"
#include "core/scan/engine_table.h"
#include "core/scan/network_page_fetcher.h"
#include "gui/options/options_dialog.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/main/about_window.h"
#include "core/product/app_state.h"
#include "gui/help/help_window.h"
#include "gui/kit/picture_button.h"
#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"
#include "tally_version.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/browser_window.h"
#include "gui/webview/website_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tally {

namespace {

// The designed geometry is in twips; the window maps them at 15 twips per pixel.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}

QString programTitle() {
    return QString::fromUtf8(version::ProductName);
}

// Small pictures of the three tabs: a table, a bar chart and a globe.
QIcon tabIcon(int tab) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x33, 0x4e, 0x7a);
    switch (tab) {
    case 1:
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0xe8, 0xf0, 0xfb));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.fillRect(QRectF(2, 3, 12, 3), ink);
        p.drawLine(QPointF(6.5, 6), QPointF(6.5, 13.5));
        p.drawLine(QPointF(2, 9.5), QPointF(14, 9.5));
        break;
    case 2:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2e, 0x8b, 0x3a));
        p.drawRect(QRectF(2, 8, 3, 6));
        p.setBrush(QColor(0xef, 0x9a, 0x00));
        p.drawRect(QRectF(6.5, 4, 3, 10));
        p.setBrush(QColor(0x33, 0x6e, 0xc6));
        p.drawRect(QRectF(11, 2, 3, 12));
        p.setPen(QPen(ink, 1));
        p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
        break;
    default: {
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0xd6, 0xe9, 0xff));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        break;
    }
    }
    return QIcon(pixmap);
}

// A status bar panel: a sunken box holding its text, where the progress bar can be laid over.
QWidget* makePanel(QLabel** label, int minimumWidth, QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setFrameShape(QFrame::Panel);
    box->setFrameShadow(QFrame::Sunken);
    box->setMinimumWidth(minimumWidth);
    box->setFixedHeight(px(315) - 1); // the bar keeps its height with or without the progress bar
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 1, 2, 1);
    grid->setSpacing(0);
    *label = new QLabel(box);
    (*label)->setTextFormat(Qt::PlainText);
    grid->addWidget(*label, 0, 0);
    return box;
}

bool settingIsOne(const char* key) {
    return readWholeNumber(readSetting(QLatin1String(key))) == 1;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tallyrank Checker"));
    QFont windowFont = font();
    windowFont.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                            QStringLiteral("Bitstream Vera Sans"),
                            QStringLiteral("Liberation Sans")});
    windowFont.setStyleHint(QFont::SansSerif);
    windowFont.setPointSize(8);
    setFont(windowFont);

    buildMenus();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1Client"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolbar());

    // The URL panel keeps its designed width; the tab strip takes the rest.
    auto* body = new QHBoxLayout;
    body->setContentsMargins(px(60), 0, px(75), px(45));
    body->setSpacing(px(45));
    frame1_ = new UrlPanel(central);
    frame1_->setFixedWidth(px(3495));
    body->addWidget(frame1_);

    tabStrip1_ = new QTabWidget(central);
    tabStrip1_->setObjectName(QStringLiteral("TabStrip1"));
    tabStrip1_->setAccessibleName(QStringLiteral("Views"));
    // The three view frames always share one rectangle: every page gets the page area, and the
    // tab switch shows exactly one of them.
    if (auto* stack = tabStrip1_->findChild<QStackedWidget*>())
        if (auto* stackLayout = qobject_cast<QStackedLayout*>(stack->layout()))
            stackLayout->setStackingMode(QStackedLayout::StackAll);
    frame2_ = buildDataFrame();
    frame3_ = new ChartFrame(central);
    frame4_ = new WebsiteFrame(central);
    tabStrip1_->addTab(frame2_, tabIcon(1), QStringLiteral("Data View"));
    tabStrip1_->addTab(frame3_, tabIcon(2), QStringLiteral("Chart View"));
    tabStrip1_->addTab(frame4_, tabIcon(3), QStringLiteral("Website View"));
    body->addWidget(tabStrip1_, 1);
    column->addLayout(body, 1);
    // A small window clips its controls rather than refusing to shrink.
    column->setSizeConstraint(QLayout::SetNoConstraint);
    setCentralWidget(central);

    buildStatusBar();

    connect(tabStrip1_, &QTabWidget::currentChanged, this, &MainWindow::TabStrip1_Click);
    connect(listView1_, &ResultsTable::ColumnClick, this, &MainWindow::ListView1_ColumnClick);
    connect(listView1_, &ResultsTable::rowContextMenuRequested, this, &MainWindow::showRowContextMenu);
    connect(listView1_, &ResultsTable::DblClick, this, &MainWindow::ListView1_DblClick);
    QTreeWidget* listView2 = frame4_->webResults();
    listView2->header()->setSectionsClickable(true);
    connect(listView2->header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { ListView2_ColumnClick(logical + 1); });
    connect(frame4_, &WebsiteFrame::websiteTabRequested, this, [this] { selectTab(3); });
    connect(frame4_, &WebsiteFrame::statusText, this,
            [this](const QString& text) { setPanelText(1, text); });
    connect(frame4_, &WebsiteFrame::openingText, this,
            [this](const QString& text) { setPanelText(2, text); });

    // Designed client area 13170 x 11115 twips, below the menu bar; centred on the screen.
    setMinimumSize(1, 1);
    resize(px(13170), px(11115) + menuBar()->sizeHint().height());
    if (const QScreen* s = screen()) {
        const QRect available = s->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }

    TabStrip1_Click();
    Form_Load();
}

MainWindow::~MainWindow() {
    abortScan();
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const QString& caption,
                       const QKeySequence& shortcut = QKeySequence()) {
        QAction* action = m->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        return action;
    };

    QMenu* file = menu("mnuFile2", QStringLiteral("File"));
    QAction* newUrl =
        item(file, "mnuNewURL", QStringLiteral("Add URL"), QKeySequence(Qt::CTRL | Qt::Key_N));
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSplit1"));
    QAction* saveList = item(file, "mnuSaveUrlList", QStringLiteral("Save URL List to File"),
                             QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* openList = item(file, "mnuOpenURLList", QStringLiteral("Load URL List from File"),
                             QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* clipboard =
        item(file, "mnuOpenClipboard", QStringLiteral("Load URL List from Clipboard"),
             QKeySequence(Qt::CTRL | Qt::Key_V));
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSplit84"));
    QAction* exitNow =
        item(file, "mnuExitNow", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu* scan = menu("mnuOptions", QStringLiteral("Scan"));
    mnuScan_ = item(scan, "mnuScan", QStringLiteral("Start Scan"));
    mnuStop_ = item(scan, "mnuStop", QStringLiteral("Stop Scan"));

    QMenu* options = menu("mnuOptions2", QStringLiteral("Options"));
    QAction* config = item(options, "mnuConfig", QStringLiteral("View Options"));

    QMenu* tools = menu("mnuTools", QStringLiteral("Tools"));
    QAction* graph = item(tools, "mnuGraph", QStringLiteral("View Graph..."));
    tools->menuAction()->setVisible(false);

    QMenu* help = menu("mnuHelp01", QStringLiteral("Help"));
    QAction* helpItem = item(help, "mnuHelpItem", QStringLiteral("View Help"));

    QMenu* about = menu("mnuHelp", QStringLiteral("About"));
    QAction* aboutItem = item(about, "mnuAbout", QStringLiteral("About this software"));

    // The results table's context menu: never on the menu bar.
    mnuListView_ = new QMenu(QStringLiteral("ListView"), this);
    mnuListView_->setObjectName(QStringLiteral("mnuListView"));
    mnuSaveResults_ = item(mnuListView_, "mnuSaveResults", QStringLiteral("Save Results"));
    QAction* webResults = item(mnuListView_, "mnuWebResults", QStringLiteral("Web Results"));
    QAction* clearResults = item(mnuListView_, "mnuClearResults", QStringLiteral("Clear Results"));

    // The URL panel exists after the menus; its slots are reached through the panel pointer.
    connect(newUrl, &QAction::triggered, this, [this] { frame1_->addUrl(); });
    connect(saveList, &QAction::triggered, this, [this] { frame1_->saveListFile(); });
    connect(openList, &QAction::triggered, this, [this] { frame1_->loadListFile(); });
    connect(clipboard, &QAction::triggered, this, [this] { frame1_->loadClipboard(); });
    connect(exitNow, &QAction::triggered, this, &MainWindow::mnuExitNow_Click);
    connect(mnuScan_, &QAction::triggered, this, &MainWindow::mnuScan_Click);
    connect(mnuStop_, &QAction::triggered, this, &MainWindow::mnuStop_Click);
    connect(config, &QAction::triggered, this, &MainWindow::mnuConfig_Click);
    connect(graph, &QAction::triggered, this, &MainWindow::mnuGraph_Click);
    connect(helpItem, &QAction::triggered, this, &MainWindow::mnuHelpItem_Click);
    connect(aboutItem, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
    connect(mnuSaveResults_, &QAction::triggered, this, &MainWindow::mnuSaveResults_Click);
    connect(webResults, &QAction::triggered, this, &MainWindow::mnuWebResults_Click);
    connect(clearResults, &QAction::triggered, this, &MainWindow::mnuClearResults_Click);
}

QWidget* MainWindow::buildToolbar() {
    auto* strip = new QFrame;
    picture1_ = strip;
    strip->setObjectName(QStringLiteral("Picture1"));
    strip->setAccessibleName(QStringLiteral("Toolbar"));
    strip->setFixedHeight(px(1095));
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(px(60), px(60), px(75), px(60));
    row->setSpacing(px(45));
    auto button = [strip](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
        QPushButton* b = new PictureButton(caption, strip);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(strip->style()->standardIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setFixedSize(px(1275), px(975));
        return b;
    };
    command1_ = button("Command1", QStringLiteral("Start"), QStyle::SP_MediaPlay);
    command2_ = button("Command2", QStringLiteral("Stop"), QStyle::SP_MediaStop);
    command6_ = button("Command6", QStringLiteral("Options"), QStyle::SP_FileDialogDetailedView);
    command3_ = button("Command3", QStringLiteral("Visit "), QStyle::SP_DriveNetIcon);
    command3_->setMinimumWidth(0);
    command3_->setMaximumWidth(QWIDGETSIZE_MAX);
    command3_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    command2_->setEnabled(false);
    command1_->setToolTip(QStringLiteral("Start a scan of every URL in the list"));
    command2_->setToolTip(QStringLiteral("Stop the scan after the URL in progress"));
    for (QPushButton* b : {command1_, command2_, command6_})
        row->addWidget(b);
    row->addWidget(command3_, 1);
    connect(command1_, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(command6_, &QPushButton::clicked, this, &MainWindow::Command6_Click);
    connect(command3_, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    return strip;
}

QWidget* MainWindow::buildDataFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Results - Data View"));
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(px(45));
    auto button = [frame](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
        auto* b = new QPushButton(caption, frame);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(frame->style()->standardIcon(icon));
        b->setFixedSize(px(1755), px(735));
        return b;
    };
    QPushButton* save =
        button("Command4", QStringLiteral("Save Selected"), QStyle::SP_DialogSaveButton);
    QPushButton* web =
        button("Command12", QStringLiteral("Web Results"), QStyle::SP_FileDialogInfoView);
    QPushButton* clear =
        button("Command5", QStringLiteral("Clear All"), QStyle::SP_DialogResetButton);
    for (QPushButton* b : {save, web, clear})
        buttons->addWidget(b);
    buttons->addStretch(1);

    listView1_ = new ResultsTable(frame);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(px(120), px(120), px(120), px(200));
    layout->setSpacing(px(120));
    layout->addLayout(buttons);
    layout->addWidget(listView1_, 1);

    connect(save, &QPushButton::clicked, this, &MainWindow::Command4_Click);
    connect(web, &QPushButton::clicked, this, &MainWindow::Command12_Click);
    connect(clear, &QPushButton::clicked, this, &MainWindow::Command5_Click);
    return frame;
}

void MainWindow::buildStatusBar() {
    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar1_->setAccessibleName(QStringLiteral("Status"));
    statusBar1_->setSizeGripEnabled(true);
    QWidget* boxes[4] = {
        makePanel(&panels_[0], px(1440), statusBar1_),
        makePanel(&panels_[1], px(3500), statusBar1_),
        makePanel(&panels_[2], px(1440), statusBar1_),
        makePanel(&panels_[3], px(1440), statusBar1_),
    };
    boxes[1]->setFixedWidth(px(3500));
    panel2Box_ = boxes[1];
    static const char* const names[] = {"Panel1", "Panel2", "Panel3", "Panel4"};
    static const char* const roles[] = {"Status message", "Progress", "Time", "Date"};
    for (int i = 0; i < 4; ++i) {
        boxes[i]->setObjectName(QString::fromLatin1(names[i]));
        panels_[i]->setObjectName(QString::fromLatin1(names[i]) + QStringLiteral("Text"));
        panels_[i]->setAccessibleName(QString::fromLatin1(roles[i]));
        statusBar1_->addWidget(boxes[i], i == 0 ? 1 : 0);
    }
    panels_[2]->setAlignment(Qt::AlignCenter);
    panels_[3]->setAlignment(Qt::AlignCenter);
    setStatusBar(statusBar1_);

    progressBar1_ = new QProgressBar(panel2Box_);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setAccessibleName(QStringLiteral("Scan progress"));
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    progressBar1_->setMinimumHeight(1);
    progressBar1_->hide();

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
    if (panels_[2]->text() != time)
        panels_[2]->setText(time);
    if (panels_[3]->text() != date)
        panels_[3]->setText(date);
}

void MainWindow::Form_Load() {
    // Every step runs even when an earlier one had nothing to do.
    PlaceProgressInPanel(progressBar1_, statusBar1_, 2);
    setWindowTitle(QString::fromUtf8(version::ProductName) + QStringLiteral(" by ") +
                   QString::fromUtf8(version::CompanyName));
    const QString site = appState().SiteAddress.isEmpty() ? QString::fromUtf8(version::Comments)
                                                          : appState().SiteAddress;
    command3_->setText(QStringLiteral("Visit ") + site);
    mnuStop_->setEnabled(false);
    blnStop_ = false;
    PlaceProgressInPanel(progressBar1_, statusBar1_, 2);
    setPanelText(1, QString());
    if (appState().SkinningOn)
        modSkin::ApplySkin(this);
    if (readSetting(QLatin1String(settingkeys::ShowHelp)) == QLatin1String("1"))
        showHelpWindow(this);

    // The web-results list: "Webpage Type" a quarter of its width, "URL" three quarters.
    if (QLayout* l = centralWidget()->layout())
        l->activate();
    if (QLayout* l = frame4_->layout())
        l->activate();
    QTreeWidget* listView2 = frame4_->webResults();
    int width = listView2->width();
    if (width < 50)
        width = px(8595);
    listView2->setColumnCount(2);
    listView2->setHeaderLabels({QStringLiteral("Webpage Type"), QStringLiteral("URL")});
    listView2->setColumnWidth(0, width / 4);
    listView2->setColumnWidth(1, width * 3 / 4);

    frame3_->restoreChartType();
    frame4_->navigateBlank();
    LayoutControls();
}

QListWidget* MainWindow::urlList() const {
    return frame1_->list();
}

bool MainWindow::isScanning() const {
    return run_ != nullptr;
}

void MainWindow::setPageFetcher(PageFetcher* fetcher) {
    fetcher_ = fetcher;
}

int MainWindow::currentTab() const {
    return tabStrip1_->currentIndex() + 1;
}

void MainWindow::selectTab(int tab) {
    if (tab < 1 || tab > tabStrip1_->count())
        return;
    if (tabStrip1_->currentIndex() == tab - 1)
        TabStrip1_Click();
    else
        tabStrip1_->setCurrentIndex(tab - 1);
}

QString MainWindow::panelText(int panel) const {
    if (panel < 1 || panel > 4)
        return QString();
    return panels_[panel - 1]->text();
}

void MainWindow::setPanelText(int panel, const QString& text) {
    if (panel == 1 || panel == 2)
        panels_[panel - 1]->setText(text);
}

// ---- Layout ----

void MainWindow::LayoutControls() {
    if (isMinimized())
        return;
    if (QLayout* l = centralWidget()->layout())
        l->activate();
    if (QLayout* l = layout())
        l->activate();
    progressBar1_->raise();
}

void MainWindow::PlaceProgressInPanel(QProgressBar* bar, QStatusBar* statusBar, int panel) {
    if (!bar || statusBar != statusBar1_ || panel < 1 || panel > 4)
        return;
    QWidget* box = panels_[panel - 1]->parentWidget();
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    if (!grid)
        return;
    if (bar->parentWidget() != box) {
        if (QWidget* old = bar->parentWidget())
            if (QLayout* oldLayout = old->layout())
                oldLayout->removeWidget(bar);
        const bool visible = bar->isVisibleTo(bar->parentWidget());
        bar->setParent(box);
        bar->setVisible(visible);
    }
    grid->addWidget(bar, 0, 0);
    bar->raise();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LayoutControls();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        LayoutControls();
}

void MainWindow::TabStrip1_Click() {
    const int index = tabStrip1_->currentIndex();
    QWidget* frames[] = {frame2_, frame3_, frame4_};
    if (index < 0 || index > 2)
        return;
    for (int i = 0; i < 3; ++i)
        frames[i]->setVisible(i == index);
}

// ---- The scan ----

void MainWindow::mnuScan_Click() {
    Command1_Click();
}

void MainWindow::Command1_Click() {
    if (isScanning())
        return;
    // The window's start steps: rows stay in the order they are written, the progress bar shows.
    listView1_->setSorted(false);
    PlaceProgressInPanel(progressBar1_, statusBar1_, 2);
    progressBar1_->show();
    progressBar1_->raise();
    if (frame1_->count() == 0)
        return;
    if (!fetcher_) {
        if (!ownFetcher_)
            ownFetcher_ = new NetworkPageFetcher(this);
        fetcher_ = ownFetcher_;
    }
    // The run reads the thresholds and chkClear, takes the snapshot and goes on the event loop.
    auto* run = new ScanRun(frame1_->urls(), ProgramFolder::settingsIni(), fetcher_, this);
    run->setObjectName(QStringLiteral("ScanRun"));
    run_ = run;
    lngScanIndex_ = 0;
    connectRun(run);
    run->start();
}

void MainWindow::Command2_Click() {
    mnuStop_Click();
}

void MainWindow::mnuStop_Click() {
    blnStop_ = true;
    progressBar1_->hide();
    if (run_)
        run_->requestStop();
}

void MainWindow::stopped() {
    blnStop_ = false;
    setScanControls(false);
}

void MainWindow::setScanControls(bool scanning) {
    command1_->setText(scanning ? QStringLiteral("Searching...") : QStringLiteral("Start"));
    command1_->setEnabled(!scanning);
    command2_->setEnabled(scanning);
    mnuStop_->setEnabled(scanning);
    // Clearing the results while a scan writes into them is refused.
    if (auto* clear = findChild<QPushButton*>(QStringLiteral("Command5")))
        clear->setEnabled(!scanning);
    if (auto* clear = mnuListView_->findChild<QAction*>(QStringLiteral("mnuClearResults")))
        clear->setEnabled(!scanning);
}

void MainWindow::connectRun(ScanRun* run) {
    connect(run, &ScanRun::clearResultsRequested, this, &MainWindow::clearResults);
    connect(run, &ScanRun::started, this, [this](int urlCount) {
        setScanControls(true);
        progressBar1_->setRange(0, urlCount * EngineCount);
        progressBar1_->setValue(0);
    });
    connect(run, &ScanRun::rowStarted, this, [this](int position, const QString& url) {
        lngScanIndex_ = position - 1;
        listView1_->addRow(position, url);
    });
    connect(run, &ScanRun::webResultAdded, this, [this](const QString& text, const QString& url) {
        frame4_->addWebResult(text, url);
        QTreeWidget* list = frame4_->webResults();
        placeSortedRow(list, list->topLevelItem(list->topLevelItemCount() - 1));
    });
    connect(run, &ScanRun::statusTextChanged, this,
            [this](const QString& text) { setPanelText(1, text); });
    connect(run, &ScanRun::progressChanged, this, [this](int value, int maximum) {
        progressBar1_->setMaximum(maximum);
        progressBar1_->setValue(value);
    });
    connect(run, &ScanRun::engineResult, this,
            [this](int position, int column, const QString& cell) {
                if (QTreeWidgetItem* row = listView1_->rowAt(position))
                    row->setText(column - 1, cell);
            });
    connect(run, &ScanRun::rowFinished, this, [this](int position, const QString& total, int icon) {
        if (QTreeWidgetItem* row = listView1_->rowAt(position)) {
            row->setText(1, total);
            row->setIcon(0, profileIcon(icon));
        }
        lngScanIndex_ = position;
    });
    connect(run, &ScanRun::completed, this,
            [this](const QString& text, qint64, bool) { scanCompleted(text); });
    connect(run, &ScanRun::stopped, this, &MainWindow::stopped);
    connect(run, &ScanRun::finished, this, [this, run] {
        if (run_ == run)
            run_ = nullptr;
        run->deleteLater();
    });
}

void MainWindow::scanCompleted(const QString& statusText) {
    setPanelText(1, statusText);
    progressBar1_->hide();
    setScanControls(false);
    if (settingIsOne(settingkeys::AutoSort))
        SortListView(listView1_, 2, SortKind::Number, true);
    frame3_->doChart2();
    if (settingIsOne(settingkeys::AutoSort))
        SortListView(listView1_, 2, SortKind::Number, false);
}

void MainWindow::abortScan() {
    if (!run_)
        return;
    ScanRun* run = run_;
    run_ = nullptr;
    run->abort(); // the request in flight is cancelled; no further signals
    run->deleteLater();
}

// ---- The results table ----

void MainWindow::mnuClearResults_Click() {
    // Refused while a scan writes into the table (the commands are disabled then).
    if (isScanning())
        return;
    clearResults();
}

void MainWindow::clearResults() {
    listView1_->clear();
    frame4_->clearWebResults();
    lngScanIndex_ = 0;
}

void MainWindow::Command5_Click() {
    mnuClearResults_Click();
}

void MainWindow::ListView1_ColumnClick(int column) {
    if (command1_->text() != QLatin1String("Start"))
        return;
    const bool ascending = listView1_->flipColumnDirection(column);
    SortListView(listView1_, column, column == 1 ? SortKind::Text : SortKind::Number, ascending);
}

void MainWindow::mnuSaveResults_Click() {
    QTreeWidgetItem* row = listView1_->selectedRow();
    if (!row) {
        Prompts::message(this,
                         QStringLiteral("You must first select the item in the results list "
                                        "that you would like to save."),
                         programTitle(), QMessageBox::NoIcon);
        return;
    }
    QString text;
    for (const EngineInfo& engine : engineTable()) {
        const int column = engine.resultsColumn - 1;
        text += listView1_->headerItem()->text(column) + QLatin1Char(':') + row->text(column) +
                QLatin1Char('\n');
    }
    appState().PendingSaveText = text;
    showSaveDialog(this);
}

void MainWindow::Command4_Click() {
    mnuSaveResults_Click();
}

void MainWindow::mnuWebResults_Click() {
    frame4_->ShowWebResults(listView1_->selectedRow());
}

void MainWindow::Command12_Click() {
    mnuWebResults_Click();
}

void MainWindow::ListView1_DblClick() {
    mnuWebResults_Click();
}

void MainWindow::ListView2_ColumnClick(int column) {
    EnhListView_SortColumns(frame4_->webResults(), column, false);
}

void MainWindow::showRowContextMenu(QTreeWidgetItem* row, const QPoint& globalPos) {
    if (!row)
        return;
    QString url = row->text(0);
    url.replace(QLatin1Char('&'), QStringLiteral("&&"));
    mnuSaveResults_->setText(QStringLiteral("Save Result For ") + url);
    mnuListView_->popup(globalPos);
}

// ---- Toolbar and menus ----

void MainWindow::Command3_Click() {
    appState().BrowserTarget = QStringLiteral("Website");
    showBrowserWindow();
}

void MainWindow::Command6_Click() {
    showOptionsModeless();
}

void MainWindow::mnuConfig_Click() {
    showOptionsModal(this);
}

void MainWindow::mnuGraph_Click() {
    frame3_->showLoadDialog();
}

void MainWindow::mnuHelpItem_Click() {
    showHelpWindow(this);
}

void MainWindow::mnuAbout_Click() {
    showAboutWindow(this);
}

void MainWindow::mnuExitNow_Click() {
    close();
}

// ---- Shut-down ----

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (shuttingDown_)
        return;
    unloadOptionsDialog();
    unloadHelpWindow();
    unloadAboutWindow();
    if (browserWindowVisible()) {
        // The program goes on with the browser window alone, which ends it when it closes.
        appState().ExitPending = true;
        abortScan();
        return;
    }
    shuttingDown_ = true;
    abortScan();
    Q_EMIT programEnding();
    QCoreApplication::quit();
}

} // namespace tally
