// One WriteIniValue of today's date into a saved-search-shaped file: 6 engine sections with a
// year (365 lines) and ten years (3,650 lines) of daily history each.
#include "core/settings/ini_file.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray savedSearch(int days) {
    const char* sections[] = {"Google", "Altavista", "Yahoo!", "Ask", "MSN", "All The Web"};
    QByteArray text;
    const QDate today = QDate::currentDate();
    for (const char* s : sections) {
        text += "\r\n[";
        text += s;
        text += "]\r\n";
        for (int d = 1; d <= days; ++d) {
            text += today.addDays(-d).toString(QStringLiteral("MM-dd-yy")).toLatin1();
            text += '=';
            text += QByteArray::number(100000 + d * 7);
            text += "\r\n";
        }
    }
    return text;
}

double medianWriteMs(const QString& path, const QByteArray& base, int runs) {
    std::vector<double> times;
    const QString today = QDate::currentDate().toString(QStringLiteral("MM-dd-yy"));
    for (int i = 0; i < runs; ++i) {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(base);
        f.close();
        QElapsedTimer t;
        t.start();
        tally::modINI::WriteIniValue(QStringLiteral("All The Web"), today, QStringLiteral("123456"),
                                     path);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.vqz"));
    const double year = medianWriteMs(path, savedSearch(365), 41);
    const double decade = medianWriteMs(path, savedSearch(3650), 21);
    std::printf("ini_write_365_lines_per_section: %.3f ms\n", year);
    std::printf("ini_write_3650_lines_per_section: %.3f ms\n", decade);
    std::printf("ini_write_ratio_3650_vs_365: %.2f x\n", decade / year);
    return 0;
}
