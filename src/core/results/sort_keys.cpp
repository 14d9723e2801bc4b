#include "core/results/sort_keys.h"

#include "core/numbers/numbers.h"

#include <algorithm>
#include <vector>

namespace tally {

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

SortKey makeSortKey(const QString& cell, SortKind kind) {
    SortKey key;
    if (kind == SortKind::Text) {
        key.text = cell.toCaseFolded();
        return key;
    }
    double v = 0;
    key.number = readsAsSortNumber(cell, &v);
    key.value = key.number && v != 0 ? v : 0.0;
    return key;
}

namespace {

// The keys sit next to their positions, so that the sort walks one array.
struct Entry {
    SortKey key;
    int position;
};

std::vector<Entry> entriesOf(const QStringList& cells, SortKind kind) {
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(cells.size()));
    for (qsizetype i = 0; i < cells.size(); ++i)
        entries.push_back({makeSortKey(cells.at(i), kind), static_cast<int>(i)});
    return entries;
}

} // namespace

QList<int> sortedPositions(const QStringList& cells, SortKind kind, bool ascending) {
    std::vector<Entry> entries = entriesOf(cells, kind);
    if (ascending)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.key < b.key; });
    else
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return b.key < a.key; });
    QList<int> order;
    order.reserve(cells.size());
    for (const Entry& e : entries)
        order.append(e.position);
    return order;
}

SortedBothWays sortedPositionsBothWays(const QStringList& cells, SortKind kind) {
    std::vector<Entry> entries = entriesOf(cells, kind);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
    SortedBothWays both;
    both.ascending.reserve(cells.size());
    both.descending.reserve(cells.size());
    for (const Entry& e : entries)
        both.ascending.append(e.position);
    // Descending: the runs of equal keys from the last, each in its own (stable) order.
    for (size_t end = entries.size(); end > 0;) {
        size_t start = end - 1;
        while (start > 0 && !(entries[start - 1].key < entries[start].key))
            --start;
        for (size_t i = start; i < end; ++i)
            both.descending.append(entries[i].position);
        end = start;
    }
    return both;
}

} // namespace tally
