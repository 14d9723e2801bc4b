// The results table's typed sort (SortListView) on the real widget and its model, as a header
// click runs it: 10,000 and 100,000 rows of a scan's shape (URL, six counts, some failed or
// non-number cells, the total derived). For each size: the median time of a number sort on the
// Total column (from a shuffled order each time), the median of a text sort on the URL column, and
// the ratio 100k / 10k.
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

// One engine outcome per slot for each row; the shuffle's own column is the last slot's.
void fill(ResultsModel& model, int rows) {
    QRandomGenerator rng(7);
    for (int i = 0; i < rows; ++i) {
        const int position = i + 1;
        model.startRow(position,
                       QStringLiteral("http://www.site%1.example/").arg(rng.bounded(rows * 10)));
        for (int e = 0; e < 6; ++e) {
            const int pick = rng.bounded(20);
            model.setOutcome(position, e,
                             pick == 0 ? EngineOutcome::failed(FailureKind::HttpStatus, "x")
                             : pick == 1
                                 ? EngineOutcome::counted(QStringLiteral("n/a"))
                                 : EngineOutcome::counted(QString::number(rng.bounded(2000000))));
        }
        model.finishRow(position);
    }
    model.publish();
}

// Puts the rows in another order again (sorted by two other count columns, untimed).
void shuffle(ResultsTable& table, QRandomGenerator& rng) {
    table.sortRows(rng.bounded(2) ? 3 : 4, SortKind::Number, rng.bounded(2) == 0);
    table.sortRows(rng.bounded(2) ? 5 : 6, SortKind::Number, rng.bounded(2) == 0);
}

struct Figures {
    double number;
    double text;
};

Figures measure(int rows, int runs) {
    ResultsItemModel model;
    model.setDeferred(true);
    fill(model, rows);
    ResultsTable table;
    table.setResultsModel(&model);
    table.resize(800, 600);
    table.show();
    QRandomGenerator rng(11);
    std::vector<double> number, text;
    for (int r = 0; r < runs; ++r) {
        shuffle(table, rng);
        QElapsedTimer timer;
        timer.start();
        table.sortRows(2, SortKind::Number, r % 2 == 0);
        number.push_back(timer.nsecsElapsed() / 1e6);
        shuffle(table, rng);
        timer.restart();
        table.sortRows(1, SortKind::Text, r % 2 == 0);
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
