// The results table's typed sort (SortListView) on the real widget, as a header click runs it:
// 10,000 and 100,000 rows of a scan's shape (URL, total, six counts, some empty or non-number
// cells). For each size: the median time of a number sort on the Total column (from a shuffled
// order each time), the median of a text sort on the URL column, and the ratio 100k / 10k.
//
// Usage: results_sort [runs]
#include "bench_stats.h"
#include "gui/results/results_table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tally;
using tally::bench::median;

namespace {

void fill(ResultsTable& table, int rows) {
    QRandomGenerator rng(7);
    QList<QStringList> items;
    items.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        QStringList cells{QStringLiteral("http://www.site%1.example/").arg(rng.bounded(rows * 10))};
        qint64 total = 0;
        QStringList counts;
        for (int e = 0; e < 6; ++e) {
            const int pick = rng.bounded(20);
            if (pick == 0) {
                counts << QString();
            } else if (pick == 1) {
                counts << QStringLiteral("n/a");
            } else {
                const int v = rng.bounded(2000000);
                total += v;
                counts << QString::number(v);
            }
        }
        cells << QString::number(total) << counts;
        items << cells;
    }
    table.appendRows(items);
    for (int i = 0; i < rows; ++i)
        table.topLevelItem(i)->setIcon(0, profileIcon(1 + rng.bounded(3)));
}

// Puts the rows in a random order again (by a column of fresh random numbers, untimed).
void shuffle(ResultsTable& table, QRandomGenerator& rng) {
    for (int i = 0; i < table.topLevelItemCount(); ++i)
        table.topLevelItem(i)->setText(7, QString::number(rng.bounded(1000000)));
    sortRows(&table, 8, SortKind::Number, true);
}

struct Figures {
    double number;
    double text;
};

Figures measure(int rows, int runs) {
    ResultsTable table;
    table.resize(800, 600);
    table.show();
    fill(table, rows);
    QRandomGenerator rng(11);
    std::vector<double> number, text;
    for (int r = 0; r < runs; ++r) {
        shuffle(table, rng);
        QElapsedTimer timer;
        timer.start();
        sortRows(&table, 2, SortKind::Number, r % 2 == 0);
        number.push_back(timer.nsecsElapsed() / 1e6);
        shuffle(table, rng);
        timer.restart();
        sortRows(&table, 1, SortKind::Text, r % 2 == 0);
        text.push_back(timer.nsecsElapsed() / 1e6);
    }
    return {median(number), median(text)};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const Figures small = measure(10000, runs);
    const Figures large = measure(100000, runs);
    std::printf("results_sort_number_10k_median: %.2f ms\n", small.number);
    std::printf("results_sort_number_100k_median: %.2f ms\n", large.number);
    std::printf("results_sort_number_ratio_100k_10k: %.2f x\n", large.number / small.number);
    std::printf("results_sort_text_10k_median: %.2f ms\n", small.text);
    std::printf("results_sort_text_100k_median: %.2f ms\n", large.text);
    std::printf("results_sort_text_ratio_100k_10k: %.2f x\n", large.text / small.text);
    return 0;
}
