// Loading rich text into the help window's text box: one paragraph of 1,000 and of 4,000
// alternating bold and italic runs, read into a shown QTextEdit's document as the help window does.
// Prints the median load time of each size and the ratio 4,000 / 1,000 (4.0 means linear growth).
//
// Usage: help_reader [runs]
#include "bench_stats.h"
#include "gui/help/rtf_reader.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tally;
using tally::bench::median;

namespace {

QByteArray alternatingRuns(int runs) {
    QByteArray rtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard ");
    for (int i = 0; i < runs; ++i)
        rtf.append(i % 2 ? "{\\i italic run } " : "{\\b bold run } ");
    rtf.append("\\par}");
    return rtf;
}

double measure(int runs, int repeats) {
    const QByteArray rtf = alternatingRuns(runs);
    QTextEdit view;
    view.resize(700, 520);
    view.show();
    std::vector<double> times;
    for (int r = 0; r < repeats; ++r) {
        view.clear();
        QElapsedTimer timer;
        timer.start();
        readRtf(rtf, view.document());
        // The document is laid out for the view before it can be shown.
        view.document()->documentLayout()->documentSize();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const double small = measure(1000, repeats);
    const double large = measure(4000, repeats);
    std::printf("help_reader_1000_runs_median: %.2f ms\n", small);
    std::printf("help_reader_4000_runs_median: %.2f ms\n", large);
    std::printf("help_reader_ratio_4000_1000: %.2f x\n", large / small);
    return 0;
}
