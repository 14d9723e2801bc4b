#include "gui/results/chart_frame.h"

#include "core/results/chart_data.h"
#include "gui/charts/history_chart.h"
#include "gui/results/load_search_dialog.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_table.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "core/product/app_state.h"
#include "gui/kit/print.h"
#include "gui/kit/prompts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QWindow>

namespace tally {

ChartFrame::ChartFrame(QWidget* parent)
    : QGroupBox(QStringLiteral("Results - Chart View"), parent) {
    setObjectName(QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(this);
    Command7_ = new QPushButton(QStringLiteral("Load Data"), this);
    Command7_->setObjectName(QStringLiteral("Command7"));
    Command7_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    Command7_->setToolTip(QStringLiteral("Load a saved search and chart its history (Ctrl+L)"));
    Command7_->setMinimumHeight(40);
    Command14_ = new QPushButton(QStringLiteral("Print"), this);
    Command14_->setObjectName(QStringLiteral("Command14"));
    Command14_->setIcon(QIcon::fromTheme(QStringLiteral("document-print"),
                                         style()->standardIcon(QStyle::SP_FileIcon)));
    Command14_->setToolTip(QStringLiteral("Print the chart (Ctrl+P)"));
    Command14_->setMinimumHeight(40);
    lblChartSearch_ = new QLabel(QStringLiteral("Search Engine:"), this);
    lblChartSearch_->setObjectName(QStringLiteral("lblChartSearch"));
    lblChartType_ = new QLabel(QStringLiteral("Chart Type:"), this);
    lblChartType_->setObjectName(QStringLiteral("lblChartType"));
    cmbChart1_ = new QComboBox(this);
    cmbChart1_->setObjectName(QStringLiteral("cmbChart1"));
    cmbChart1_->setAccessibleName(QStringLiteral("Search Engine"));
    cmbChart1_->setMinimumWidth(177);
    cmbChart1_->setEnabled(false);
    lblChartSearch_->setBuddy(cmbChart1_);
    cmbChart2_ = new QComboBox(this);
    cmbChart2_->setObjectName(QStringLiteral("cmbChart2"));
    cmbChart2_->setAccessibleName(QStringLiteral("Chart Type"));
    cmbChart2_->setMinimumWidth(177);
    cmbChart2_->addItems(chartTypeNames());
    cmbChart2_->setCurrentIndex(DefaultChartType);
    lblChartType_->setBuddy(cmbChart2_);

    cmdFocus_ = new QPushButton(this);
    cmdFocus_->setObjectName(QStringLiteral("cmdFocus"));
    cmdFocus_->setAccessibleName(QStringLiteral("Chart focus"));
    cmdFocus_->setFlat(true);
    cmdFocus_->setFocusPolicy(Qt::TabFocus);
    MSChart1_ = new HistoryChart(this);
    MSChart1_->setMinimumSize(300, 200);
    MSChart1_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Label1_ = new QLabel(this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setAccessibleName(QStringLiteral("Chart hint"));
    Label1_->setMinimumHeight(Label1_->fontMetrics().height()); // no jump when the hint comes

    grid->addWidget(Command7_, 0, 0, 2, 1);
    grid->addWidget(Command14_, 0, 1, 2, 1);
    grid->addWidget(lblChartSearch_, 0, 2, Qt::AlignRight);
    grid->addWidget(cmbChart1_, 0, 3);
    grid->addWidget(lblChartType_, 1, 2, Qt::AlignRight);
    grid->addWidget(cmbChart2_, 1, 3);
    grid->addWidget(MSChart1_, 2, 0, 1, 5);
    grid->addWidget(Label1_, 3, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnMinimumWidth(2, 105);
    MSChart1_->raise(); // cmdFocus sits behind the chart

    connect(Command7_, &QPushButton::clicked, this, &ChartFrame::Command7_Click);
    connect(Command14_, &QPushButton::clicked, this, &ChartFrame::Command14_Click);
    connect(cmbChart1_, &QComboBox::currentIndexChanged, this, &ChartFrame::cmbChart1_Click);
    connect(cmbChart2_, &QComboBox::currentIndexChanged, this, &ChartFrame::cmbChart2_Click);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && (now == MSChart1_ || MSChart1_->isAncestorOf(now)))
            MSChart1_GotFocus();
    });
    // The 3D graph is a window of its own: when it takes the keyboard, take it back.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        if (now && MSChart1_->ownsWindow(now))
            QTimer::singleShot(0, this, &ChartFrame::MSChart1_GotFocus);
    });
    auto* printKey = new QShortcut(QKeySequence::Print, this);
    printKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(printKey, &QShortcut::activated, this, &ChartFrame::Command14_Click);
    auto* loadKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    loadKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(loadKey, &QShortcut::activated, this, &ChartFrame::Command7_Click);
}

void ChartFrame::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    placeFocusSink();
}

void ChartFrame::placeFocusSink() {
    // Small and behind the chart's top-left corner: it can hold the focus without being seen.
    cmdFocus_->setGeometry(QRect(MSChart1_->geometry().topLeft() + QPoint(4, 4), QSize(25, 17)));
    cmdFocus_->lower();
}

void ChartFrame::restoreChartType() {
    const int type = chartTypeFromSetting(readSetting(QLatin1String(settingkeys::ChartType)));
    {
        const QSignalBlocker block(cmbChart2_);
        cmbChart2_->setCurrentIndex(type);
    }
    cmbChart2_Click();
}

void ChartFrame::setResultsModel(QAbstractItemModel* model) {
    results_ = model;
}

QAbstractItemModel* ChartFrame::resultsModel() const {
    if (results_)
        return results_;
    if (auto* table = window()->findChild<QAbstractItemView*>(QStringLiteral("ListView1")))
        return table->model();
    return nullptr;
}

void ChartFrame::warnIfOneDate(qsizetype lines) {
    if (lines != 1 || TwoSearchesWarned_)
        return;
    TwoSearchesWarned_ = true;
    Prompts::message(window(),
                     QStringLiteral("You need atleast 2 saved searches to get any data displayed"),
                     QStringLiteral("Information"), QMessageBox::Information);
}

void ChartFrame::doChart() {
    CurrentSavedSearchPath_ = savedSearchPath(appState().CurrentSavedSearch);
    const QStringList sections = modINI::ListIniSections(CurrentSavedSearchPath_);
    {
        const QSignalBlocker block(cmbChart1_);
        cmbChart1_->clear();
        cmbChart1_->addItems(sections);
        cmbChart1_->addItem(QLatin1String(AllEnginesEntry));
        cmbChart1_->setEnabled(true);
        cmbChart1_->setCurrentIndex(0);
    }
    title_ = savedSearchTitle(appState().CurrentSavedSearch);
    cmbChart1_Click();
}

void ChartFrame::cmbChart1_Click() {
    const int index = cmbChart1_->currentIndex();
    if (index < 0)
        return;
    ChartData data;
    // The last entry is "All Engines", whatever the sections are called.
    if (index < cmbChart1_->count() - 1) {
        const QString engine = cmbChart1_->itemText(index);
        const QList<HistoryRow> rows = readEngineHistory(engine, CurrentSavedSearchPath_);
        warnIfOneDate(rows.size());
        data = engineHistoryChart(engine, rows);
    } else {
        QList<EngineHistory> engines;
        for (int c = 0; c < cmbChart1_->count() - 1; ++c) {
            const QString engine = cmbChart1_->itemText(c);
            engines.append({engine, readEngineHistory(engine, CurrentSavedSearchPath_)});
            warnIfOneDate(engines.constLast().rows.size());
        }
        data = allEnginesChart(engines);
    }
    data.title = title_;
    data.type = cmbChart2_->currentIndex();
    MSChart1_->setChartData(data);
}

void ChartFrame::doChart2() {
    {
        const QSignalBlocker block(cmbChart1_);
        cmbChart1_->clear();
        cmbChart1_->setEnabled(false);
    }
    title_ = QLatin1String(TemporaryResultsTitle);
    QStringList captions;
    for (const EngineInfo& engine : engineTable())
        captions.append(QLatin1String(engine.columnHeader));
    QList<ResultsRowCells> rows;
    if (QAbstractItemModel* model = resultsModel()) {
        for (int c = 0; c < EngineCount; ++c) {
            const QString header =
                model->headerData(2 + c, Qt::Horizontal, Qt::DisplayRole).toString();
            if (!header.isEmpty())
                captions[c] = header;
        }
        for (int r = 0; r < model->rowCount(); ++r) {
            ResultsRowCells row;
            row.url = model->index(r, 0).data().toString();
            for (int c = 0; c < EngineCount; ++c)
                row.cells.append(model->index(r, 2 + c).data().toString());
            rows.append(row);
        }
    }
    ChartData data = resultsChart(captions, rows);
    data.type = cmbChart2_->currentIndex();
    MSChart1_->setChartData(data);
}

void ChartFrame::cmbChart2_Click() {
    const int type = cmbChart2_->currentIndex();
    if (type < 0)
        return;
    writeSetting(QLatin1String(settingkeys::ChartType), QString::number(type));
    MSChart1_->setChartType(type);
    Label1_->setText(chartTypeHint(type));
}

void ChartFrame::MSChart1_GotFocus() {
    QWidget* top = window();
    if (QGuiApplication::focusWindow() != top->windowHandle())
        top->activateWindow();
    cmdFocus_->setFocus(Qt::OtherFocusReason);
}

void ChartFrame::showLoadDialog() {
    LoadSearchDialog dialog(window());
    connect(&dialog, &LoadSearchDialog::savedSearchChosen, this, &ChartFrame::doChart);
    dialog.exec();
}

void ChartFrame::Command7_Click() {
    showLoadDialog();
}

void ChartFrame::printChart() {
    modPrint::printPicture(window(), MSChart1_->renderImage());
}

void ChartFrame::Command14_Click() {
    printChart();
}

} // namespace tally
