#include "results/chart_frame.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tally {

ChartFrame::ChartFrame(QWidget* parent) : QGroupBox(QStringLiteral("Results - Chart View"), parent) {
    setObjectName(QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(this);
    auto* load = new QPushButton(QStringLiteral("Load Data"), this);
    load->setObjectName(QStringLiteral("Command7"));
    auto* print = new QPushButton(QStringLiteral("Print"), this);
    print->setObjectName(QStringLiteral("Command14"));
    auto* engineLabel = new QLabel(QStringLiteral("Search Engine:"), this);
    engineLabel->setObjectName(QStringLiteral("lblChartSearch"));
    auto* typeLabel = new QLabel(QStringLiteral("Chart Type:"), this);
    typeLabel->setObjectName(QStringLiteral("lblChartType"));
    auto* engines = new QComboBox(this);
    engines->setObjectName(QStringLiteral("cmbChart1"));
    auto* types = new QComboBox(this);
    types->setObjectName(QStringLiteral("cmbChart2"));
    auto* chart = new QWidget(this);
    chart->setObjectName(QStringLiteral("MSChart1"));
    grid->addWidget(load, 0, 0, 2, 1);
    grid->addWidget(print, 0, 1, 2, 1);
    grid->addWidget(engineLabel, 0, 2);
    grid->addWidget(engines, 0, 3);
    grid->addWidget(typeLabel, 1, 2);
    grid->addWidget(types, 1, 3);
    grid->addWidget(chart, 2, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(2, 1);
    connect(load, &QPushButton::clicked, this, &ChartFrame::showLoadDialog);
    connect(print, &QPushButton::clicked, this, &ChartFrame::printChart);
}

void ChartFrame::restoreChartType() {}
void ChartFrame::doChart() {}
void ChartFrame::doChart2() {}
void ChartFrame::showLoadDialog() {}
void ChartFrame::printChart() {}

} // namespace tally
