#include "gui/results/chart_frame.h"

#include "core/exports/table_export.h"
#include "core/numbers/numbers.h"
#include "core/product/engine_table.h"
#include "core/results/chart_data.h"
#include "core/results/results_model.h"
#include "core/results/saved_search.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "gui/charts/chart_table_dialog.h"
#include "gui/charts/history_chart.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/file_export.h"
#include "gui/kit/icons.h"
#include "gui/kit/print.h"
#include "gui/kit/prompts.h"
#include "gui/kit/windows.h"
#include "gui/results/load_search_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QWindow>

namespace tally {

ChartFrame::ChartFrame(QWidget* parent) : QGroupBox(tr("Results - Chart View"), parent) {
    setObjectName(QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(this);
    loadButton_ = new QPushButton(tr("Load Data"), this);
    loadButton_->setObjectName(QStringLiteral("Command7"));
    loadButton_->setIcon(icon(IconKind::Open));
    loadButton_->setToolTip(tr("Load a saved search and chart its history (Ctrl+L)"));
    loadButton_->setMinimumHeight(40);
    printButton_ = new QPushButton(tr("Print"), this);
    printButton_->setObjectName(QStringLiteral("Command14"));
    printButton_->setIcon(icon(IconKind::Print));
    printButton_->setToolTip(tr("Print the chart (Ctrl+P)"));
    printButton_->setMinimumHeight(40);
    exportButton_ = new QPushButton(tr("Export History..."), this);
    exportButton_->setObjectName(QStringLiteral("cmdExportHistory"));
    exportButton_->setIcon(icon(IconKind::Save));
    exportButton_->setToolTip(tr("Save the loaded saved search's history as a CSV file"));
    exportButton_->setEnabled(false);
    engineLabel_ = new QLabel(tr("Search Engine:"), this);
    engineLabel_->setObjectName(QStringLiteral("lblChartSearch"));
    chartTypeLabel_ = new QLabel(tr("Chart Type:"), this);
    chartTypeLabel_->setObjectName(QStringLiteral("lblChartType"));
    engineList_ = new QComboBox(this);
    engineList_->setObjectName(QStringLiteral("cmbChart1"));
    engineList_->setAccessibleName(tr("Search Engine"));
    engineList_->setMinimumWidth(177);
    engineList_->setEnabled(false);
    engineLabel_->setBuddy(engineList_);
    chartTypeList_ = new QComboBox(this);
    chartTypeList_->setObjectName(QStringLiteral("cmbChart2"));
    chartTypeList_->setAccessibleName(tr("Chart Type"));
    chartTypeList_->setMinimumWidth(177);
    chartTypeList_->addItems(chartTypeNames());
    chartTypeList_->setCurrentIndex(DefaultChartType);
    chartTypeLabel_->setBuddy(chartTypeList_);

    // The focus sink takes the keyboard whenever the chart would get it. It stands in for the
    // chart, so it reads as the chart; neither it nor the chart is in the Tab chain.
    focusSink_ = new QWidget(this);
    focusSink_->setObjectName(QStringLiteral("cmdFocus"));
    accessibility::setRole(focusSink_, QAccessible::Chart);
    focusSink_->setFocusPolicy(Qt::NoFocus);
    chart_ = new HistoryChart(this);
    chart_->setMinimumSize(300, 200);
    chart_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    hintLabel_ = new QLabel(this);
    hintLabel_->setObjectName(QStringLiteral("Label1"));
    hintLabel_->setAccessibleDescription(tr("Chart hint"));
    hintLabel_->setMinimumHeight(hintLabel_->fontMetrics().height()); // no jump when the hint comes
    // Without a hint the label is hidden, keeping its place: an empty label would otherwise be
    // read by the frame's title.
    QSizePolicy keepPlace = hintLabel_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    hintLabel_->setSizePolicy(keepPlace);
    hintLabel_->hide();

    grid->addWidget(loadButton_, 0, 0, 2, 1);
    grid->addWidget(printButton_, 0, 1, 2, 1);
    grid->addWidget(engineLabel_, 0, 2, Qt::AlignRight);
    grid->addWidget(engineList_, 0, 3);
    grid->addWidget(chartTypeLabel_, 1, 2, Qt::AlignRight);
    grid->addWidget(chartTypeList_, 1, 3);
    grid->addWidget(chart_, 2, 0, 1, 5);
    // Below the chart: the hint, and the export of the charted history at the right.
    grid->addWidget(hintLabel_, 3, 0, 1, 4);
    grid->addWidget(exportButton_, 3, 4, Qt::AlignRight);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnMinimumWidth(2, 105);
    chart_->raise(); // cmdFocus sits behind the chart
    // Tab reads the frame as it is laid out: the export below the chart comes last.
    setTabOrder(chartTypeList_, exportButton_);

    connect(loadButton_, &QPushButton::clicked, this, &ChartFrame::loadSavedSearch);
    connect(printButton_, &QPushButton::clicked, this, &ChartFrame::printChart);
    connect(exportButton_, &QPushButton::clicked, this, &ChartFrame::exportHistory);
    connect(engineList_, &QComboBox::currentIndexChanged, this, &ChartFrame::engineChosen);
    connect(chartTypeList_, &QComboBox::currentIndexChanged, this, &ChartFrame::chartTypeChosen);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && (now == chart_ || chart_->isAncestorOf(now)))
            takeFocusFromChart();
    });
    // The 3D graph is a window of its own: when it takes the keyboard, take it back.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        if (now && chart_->ownsWindow(now))
            QTimer::singleShot(0, this, &ChartFrame::takeFocusFromChart);
    });
    // The frame's keys work wherever the focus is in the window while the Chart View shows (a
    // click on its tab leaves the focus where it was); a hidden frame's shortcuts never fire.
    auto* printKey = new QShortcut(QKeySequence::Print, this);
    printKey->setContext(Qt::WindowShortcut);
    connect(printKey, &QShortcut::activated, this, &ChartFrame::printChart);
    auto* loadKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    loadKey->setContext(Qt::WindowShortcut);
    connect(loadKey, &QShortcut::activated, this, &ChartFrame::loadSavedSearch);

    chartMenu_ = new QMenu(tr("Chart"), this);
    chartMenu_->setObjectName(QStringLiteral("mnuChart"));
    QAction* asTable = chartMenu_->addAction(tr("Show as &Table"));
    asTable->setObjectName(QStringLiteral("mnuShowAsTable"));
    connect(asTable, &QAction::triggered, this, &ChartFrame::showChartTable);
    connect(chart_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showChartMenu(chart_->mapToGlobal(pos)); });
    // The chart never holds the keyboard, so its menu keys work from every control of the frame.
    accessibility::onContextMenuKeys(this, Qt::WidgetWithChildrenShortcut, [this] {
        showChartMenu(chart_->mapToGlobal(QPoint(qMin(40, chart_->width() / 2), 20)));
    });
    connect(chart_, &HistoryChart::contentChanged, this, [this] {
        if (table_)
            table_->setChartData(chart_->chartData(), withoutCount_); // made by now
    });
    // The sink reads as the chart it stands in for.
    const auto describeSink = [this] {
        focusSink_->setAccessibleName(chart_->accessibleName());
        focusSink_->setAccessibleDescription(chart_->accessibleDescription());
    };
    connect(chart_, &HistoryChart::contentChanged, this, describeSink);
    describeSink();
}

void ChartFrame::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    placeFocusSink();
}

void ChartFrame::placeFocusSink() {
    // Small and behind the chart's top-left corner: it can hold the focus without being seen.
    focusSink_->setGeometry(QRect(chart_->geometry().topLeft() + QPoint(4, 4), QSize(25, 17)));
    focusSink_->lower();
}

void ChartFrame::restoreChartType() {
    const int type = UserSettings::chartType();
    {
        const QSignalBlocker block(chartTypeList_);
        chartTypeList_->setCurrentIndex(type);
    }
    // Stored back as the handler does; a store that cannot take it is said by the main window
    // as it opens, or when the user chooses a type.
    quietStore_ = true;
    chartTypeChosen();
    quietStore_ = false;
}

void ChartFrame::setResultsModel(ResultsModel* model) {
    results_ = model;
}

void ChartFrame::warnIfOneDate(qsizetype lines) {
    if (lines != 1 || twoSearchesWarned_)
        return;
    twoSearchesWarned_ = true;
    Prompts::message(window(), tr("You need atleast 2 saved searches to get any data displayed"),
                     tr("Information"), QMessageBox::Information);
}

void ChartFrame::chartSites(const QStringList& fileNames) {
    sitePaths_.clear();
    QStringList sections;
    for (const QString& fileName : fileNames) {
        sitePaths_ << savedSearchPath(fileName);
        for (const QString& section : modINI::ListIniSections(sitePaths_.constLast()))
            if (!sections.contains(section))
                sections << section;
    }
    savedSearchPath_.clear();
    sources_ = Provenance();
    {
        const QSignalBlocker block(engineList_);
        engineList_->clear();
        engineList_->addItems(sections); // one source at a time: no "All Engines"
        engineList_->setEnabled(!sections.isEmpty());
        engineList_->setCurrentIndex(sections.isEmpty() ? -1 : 0);
    }
    exportButton_->setEnabled(false); // Export History is one saved search's
    engineChosen();
}

void ChartFrame::chartSavedSearch(const QString& fileName) {
    sitePaths_.clear();
    savedSearchPath_ = savedSearchPath(fileName);
    // Where its points came from; a file beside it that cannot be read is named once, and the
    // chart is drawn as a saved search without one.
    QString problem;
    sources_ = Provenance::read(savedSearchPath_, &problem);
    if (!problem.isEmpty() && !namedProblems_.contains(savedSearchPath_)) {
        namedProblems_.insert(savedSearchPath_);
        Prompts::message(window(), problem, tr("Warning"), QMessageBox::Warning);
    }
    const QStringList sections = modINI::ListIniSections(savedSearchPath_);
    {
        const QSignalBlocker block(engineList_);
        engineList_->clear();
        engineList_->addItems(sections);
        engineList_->addItem(QLatin1String(AllEnginesEntry));
        engineList_->setEnabled(true);
        engineList_->setCurrentIndex(0);
    }
    title_ = savedSearchTitle(fileName);
    exportButton_->setEnabled(true);
    engineChosen();
}

void ChartFrame::engineChosen() {
    const int index = engineList_->currentIndex();
    if (index < 0)
        return;
    ChartData data;
    if (!sitePaths_.isEmpty()) { // sites side by side
        const QString section = engineList_->itemText(index);
        QList<SiteHistory> sites;
        for (const QString& path : std::as_const(sitePaths_))
            sites.append(
                {savedSearchTitle(QFileInfo(path).fileName()), readEngineHistory(section, path)});
        data = sitesChart(section, sites);
        data.type = chartTypeList_->currentIndex();
        withoutCount_.clear();
        chart_->setChartData(data);
        return;
    }
    // The last entry is "All Engines", whatever the sections are called.
    if (index < engineList_->count() - 1) {
        const QString engine = engineList_->itemText(index);
        const QList<HistoryRow> rows = readEngineHistory(engine, savedSearchPath_);
        warnIfOneDate(rows.size());
        data = engineHistoryChart(engine, rows);
    } else {
        QList<EngineHistory> engines;
        for (int c = 0; c < engineList_->count() - 1; ++c) {
            const QString engine = engineList_->itemText(c);
            engines.append({engine, readEngineHistory(engine, savedSearchPath_)});
            warnIfOneDate(engines.constLast().rows.size());
        }
        data = allEnginesChart(engines);
    }
    data.title = title_;
    data.type = chartTypeList_->currentIndex();
    markSources(data, sources_);
    withoutCount_.clear();
    chart_->setChartData(data);
}

void ChartFrame::chartCurrentResults() {
    chartResults(results_ ? results_->records() : ResultRecords());
}

void ChartFrame::chartResults(const ResultRecords& given, bool byTotal) {
    sitePaths_.clear();
    {
        const QSignalBlocker block(engineList_);
        engineList_->clear();
        engineList_->setEnabled(false);
    }
    title_ = QLatin1String(TemporaryResultsTitle);
    exportButton_->setEnabled(false); // the chart no longer shows a saved search
    withoutCount_.clear();
    const ResultsModel* model = results_.data();
    const std::shared_ptr<const EngineSnapshot> header =
        model ? model->headerEngines() : EngineSnapshot::builtIn();
    // Made when the chart is shown or looked at.
    chart_->setChartDataLater(
        [this, header, given, byTotal] {
            const ResultRecords rows = byTotal ? byTotalAscending(given) : given;
            // What "Show as Table" says of a cell the chart draws nothing for.
            withoutCount_.clear();
            withoutCount_.reserve(rows.size());
            for (const std::shared_ptr<const ResultRecord>& row : rows) {
                QList<bool> noCount;
                for (int s = 0; s < EngineCount; ++s)
                    if (!header->slot[s].switchedOff)
                        noCount.append(!row->value(s).has_value());
                withoutCount_.append(noCount);
            }
            return resultsChart(*header, rows);
        },
        chartTypeList_->currentIndex());
}

void ChartFrame::chartTypeChosen() {
    const int type = chartTypeList_->currentIndex();
    if (type < 0)
        return;
    if (const FileOutcome stored = UserSettings::setChartType(type); !stored && !quietStore_)
        Prompts::fileProblem(window(), tr("The chart type could not be kept for the next start in"),
                             userSettingsFile(), stored.reason());
    chart_->setChartType(type);
    focusSink_->setAccessibleDescription(chart_->accessibleDescription());
    hintLabel_->setText(chartTypeHint(type));
    hintLabel_->setHidden(hintLabel_->text().isEmpty());
}

void ChartFrame::takeFocusFromChart() {
    QWidget* top = window();
    if (QGuiApplication::focusWindow() != top->windowHandle())
        top->activateWindow();
    focusSink_->setFocus(Qt::OtherFocusReason);
}

void ChartFrame::loadSavedSearch() {
    LoadSearchDialog dialog(window());
    connect(&dialog, &LoadSearchDialog::savedSearchChosen, this, &ChartFrame::chartSavedSearch);
    connect(&dialog, &LoadSearchDialog::sitesChosen, this, &ChartFrame::chartSites);
    dialog.exec();
}

void ChartFrame::exportHistory() {
    if (!exportButton_->isEnabled() || savedSearchPath_.isEmpty())
        return;
    QByteArray csv;
    if (const FileOutcome read = historyCsv(savedSearchPath_, &csv); !read) {
        Prompts::fileProblem(window(), tr("The saved search could not be read from"),
                             savedSearchPath_, read.reason(), tr("Warning"));
        return;
    }
    exportToFile(window(), tr("Export History"),
                 tr("%1 history.csv").arg(savedSearchTitle(QFileInfo(savedSearchPath_).fileName())),
                 csv);
}

void ChartFrame::printChart() {
    // A saved search's chart is offered as "<name>.pdf" when it cannot be printed.
    printing::printPicture(window(), chart_->renderImage(),
                           engineList_->isEnabled() ? title_ : QString());
}

void ChartFrame::showChartMenu(const QPoint& globalPos) {
    chartMenu_->popup(globalPos);
}

void ChartFrame::showChartTable() {
    if (!table_)
        table_ = new ChartTableDialog(window());
    const ChartData& data = chart_->chartData(); // made first, with withoutCount_
    table_->setChartData(data, withoutCount_);
    bringForward(table_);
}

ChartTableDialog* ChartFrame::chartTable() const {
    return table_;
}

} // namespace tally
