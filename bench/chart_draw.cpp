// The time to draw each chart type for a ten-year daily history (3,650 rows, 6 engines; the median
// of five draws), the same with a third of each engine's days missing (lines and areas broken at
// every gap), the first 3D chart of a run on its own, and the time to append one day to a saved
// search of that size. Needs a display for the 3D types (run it
// under xvfb-run). With a folder as argument it also saves a picture of every type there.
#include "bench_stats.h"
#include "core/product/engine_table.h"
#include "core/results/chart_data.h"
#include "core/results/saved_search.h"
#include "core/settings/program_folder.h"
#include "gui/charts/history_chart.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

using tally::bench::median;

namespace {

QList<tally::EngineHistory> decade(int days) {
    QList<tally::EngineHistory> engines;
    const QDate today(2026, 12, 7);
    for (int e = 0; e < tally::EngineCount; ++e) {
        tally::EngineHistory history{QLatin1String(tally::engineTable()[e].caption), {}};
        for (int d = 0; d < days; ++d) {
            const qint64 count =
                200000 + e * 150000 +
                qint64((days - d) * (146000.0 / days) * (1.0 + 0.2 * std::sin(d * 40.0 / days)));
            history.rows.append({tally::historyDateKey(today.addDays(-d)), count});
        }
        engines.append(history);
    }
    return engines;
}

constexpr int Days = 3650;

// The same history with about a third of each engine's days left out, each engine other ones.
QList<tally::EngineHistory> withGaps(QList<tally::EngineHistory> engines) {
    std::mt19937 random(7);
    for (tally::EngineHistory& engine : engines) {
        QList<tally::HistoryRow> kept;
        for (const tally::HistoryRow& row : engine.rows)
            if (random() % 3 != 0)
                kept.append(row);
        engine.rows = kept;
    }
    return engines;
}

QByteArray decadeFile(const QList<tally::EngineHistory>& engines) {
    QByteArray text;
    for (const tally::EngineHistory& e : engines) {
        text += "\r\n[" + e.engine.toUtf8() + "]\r\n";
        for (const tally::HistoryRow& row : e.rows)
            text += row.label.toUtf8() + '=' + QByteArray::number(row.count) + "\r\n";
    }
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Optional: a folder for pictures of every type, and another number of days to draw.
    const QString shots = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int days = argc > 2 ? std::max(1, std::atoi(argv[2])) : Days;

    const QList<tally::EngineHistory> engines = decade(days);
    tally::HistoryChart chart;
    chart.resize(1000, 700);
    chart.show();
    // The first 3D chart of a run also makes OpenGL ready and compiles the graph's shaders: timed
    // on its own, with a week of dates, and each 3D type drawn once before the timed runs.
    {
        tally::ChartData week = tally::allEnginesChart(decade(7));
        QElapsedTimer timer;
        timer.start();
        for (int type = 0; type < tally::ChartTypeCount; ++type) {
            if (!tally::chartTypeIs3D(type))
                continue;
            week.type = type;
            chart.setChartData(week);
            chart.renderImage();
            if (type == 0)
                std::printf("chart_draw_first_3d_chart_7x6: %.1f ms\n", timer.nsecsElapsed() / 1e6);
        }
    }
    for (const bool gaps : {false, true}) {
        tally::ChartData data = tally::allEnginesChart(gaps ? withGaps(engines) : engines);
        data.title = QStringLiteral("mysite");
        for (int type = 0; type < tally::ChartTypeCount; ++type) {
            std::vector<double> times;
            for (int run = 0; run < 5; ++run) {
                data.type = type;
                QElapsedTimer timer;
                timer.start();
                chart.setChartData(data);
                const QImage picture = chart.renderImage(); // the whole chart, drawn once
                times.push_back(timer.nsecsElapsed() / 1e6);
                if (run == 0 && !shots.isEmpty())
                    picture.save(QDir(shots).filePath(QStringLiteral("chart-%1%2.png")
                                                          .arg(QLatin1String(gaps ? "gaps-" : ""))
                                                          .arg(type)));
            }
            QByteArray name = tally::chartTypeNames().at(type).toLower().toUtf8();
            name.replace(' ', '_');
            std::printf("chart_draw_%s%s_%dx6: %.1f ms%s\n", gaps ? "gaps_" : "", name.constData(),
                        days, median(times),
                        chart.shownType() == type ? "" : " (drawn as 2D: no OpenGL)");
            std::fflush(stdout);
        }
    }

    // Five sites side by side, each saved on its own days (a site on every third day, from a
    // different first day): sitesChart built from the histories and the 2D line drawn.
    {
        QList<tally::SiteHistory> sites;
        for (int site = 0; site < 5; ++site) {
            tally::SiteHistory history{QStringLiteral("site%1.example").arg(site), {}};
            const QList<tally::HistoryRow>& rows = engines.at(site).rows;
            for (qsizetype d = site % 3; d < rows.size(); d += 3)
                history.rows.append(rows.at(d));
            sites.append(history);
        }
        std::vector<double> times, lineTimes;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer timer;
            timer.start();
            tally::ChartData data = tally::sitesChart(QStringLiteral("Google"), sites);
            data.type = tally::DefaultChartType;
            chart.setChartData(data);
            chart.renderImage();
            times.push_back(timer.nsecsElapsed() / 1e6);
            // The anchor: one site's history of the same length as a 2D line.
            tally::ChartData one =
                tally::engineHistoryChart(QStringLiteral("Google"), engines.first().rows);
            one.type = tally::DefaultChartType;
            timer.restart();
            chart.setChartData(one);
            chart.renderImage();
            lineTimes.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("chart_draw_sites_side_by_side_5x%d: %.1f ms\n", days, median(times));
        std::printf("chart_draw_one_site_line_%d: %.1f ms\n", days, median(lineTimes));
        std::fflush(stdout);
    }

    if (days != Days)
        return 0;
    // Appending one day: the six engines' writes applied to the file in one replacement.
    QTemporaryDir dir;
    tally::ProgramFolder::setOverride(dir.path());
    const QString file = dir.filePath(QStringLiteral("Saved/decade.vqz"));
    QDir(dir.path()).mkpath(QStringLiteral("Saved"));
    const QByteArray base = decadeFile(engines);
    QList<tally::RowCell> pending;
    for (const tally::EngineInfo& e : tally::engineTable())
        pending.append({QLatin1String(e.caption), QStringLiteral("987654")});
    std::vector<double> times;
    for (int run = 0; run < 15; ++run) {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        out.write(base);
        out.close();
        QElapsedTimer timer;
        timer.start();
        tally::saveSearchRow(pending, file, tally::SaveMode::Append, QDate(2026, 12, 8));
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("saved_search_append_one_day_3650x6: %.1f ms\n", median(times));
    return 0;
}
