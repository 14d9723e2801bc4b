#include "results/sort_keys.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tally {

bool readsAsSortNumber(const QString& text, double* value) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    double v = QLocale().toDouble(trimmed, &ok);
    if (!ok) // the program's own texts (counts, totals) are plain digits in any locale
        v = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || std::isnan(v))
        return false;
    if (value)
        *value = v;
    return true;
}

QString NinesComplement(const QString& key) {
    QString out = key;
    for (QChar& c : out) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            c = QChar(u'9' - (c.unicode() - u'0'));
    }
    return out;
}

QString numberSortKey(double value) {
    if (value == 0)
        value = 0; // no "-0"
    if (value < 0)
        return QStringLiteral("&") + NinesComplement(numberSortKey(-value));
    // 20 integer digits, the separator and 10 decimals: 31 characters.
    return QString::asprintf("%031.10f", value);
}

QString cellSortKey(const QString& cell) {
    double v = 0;
    return readsAsSortNumber(cell, &v) ? numberSortKey(v) : QString();
}

QList<int> sortedPositions(const QStringList& cells, SortKind kind, bool ascending) {
    const qsizetype n = cells.size();
    std::vector<int> order(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = static_cast<int>(i);

    if (kind == SortKind::Text) {
        std::vector<QString> keys;
        keys.reserve(static_cast<size_t>(n));
        for (const QString& cell : cells)
            keys.push_back(cell.toCaseFolded());
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const QString& ka = keys[static_cast<size_t>(a)];
            const QString& kb = keys[static_cast<size_t>(b)];
            return ascending ? ka < kb : kb < ka;
        });
    } else {
        // (is a number, value): non-numbers order before every number.
        struct Key {
            bool number;
            double value;
        };
        std::vector<Key> keys;
        keys.reserve(static_cast<size_t>(n));
        for (const QString& cell : cells) {
            double v = 0;
            const bool number = readsAsSortNumber(cell, &v);
            keys.push_back({number, number ? (v == 0 ? 0.0 : v) : 0.0});
        }
        auto less = [](const Key& a, const Key& b) {
            if (a.number != b.number)
                return !a.number;
            return a.value < b.value;
        };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const Key& ka = keys[static_cast<size_t>(a)];
            const Key& kb = keys[static_cast<size_t>(b)];
            return ascending ? less(ka, kb) : less(kb, ka);
        });
    }
    return QList<int>(order.begin(), order.end());
}

} // namespace tally
