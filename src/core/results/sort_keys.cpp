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
    const NumberKey number = numberKeyOf(cell);
    key.number = number.number;
    key.value = number.value;
    return key;
}

NumberKey numberKeyOf(const QString& cell) {
    double v = 0;
    return readsAsSortNumber(cell, &v) ? numberKeyOf(v) : NumberKey();
}

namespace {

// The keys sit next to their positions, so that the sort walks one array.
template <typename Key> struct Entry {
    Key key;
    int position;
};

template <typename Key, typename Cells, typename MakeKey>
std::vector<Entry<Key>> entriesOf(const Cells& cells, MakeKey makeKey) {
    std::vector<Entry<Key>> entries;
    entries.reserve(static_cast<size_t>(cells.size()));
    for (qsizetype i = 0; i < cells.size(); ++i)
        entries.push_back({makeKey(cells.at(i)), static_cast<int>(i)});
    return entries;
}

template <typename Key> QList<int> sortedOf(std::vector<Entry<Key>> entries, bool ascending) {
    if (ascending)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry<Key>& a, const Entry<Key>& b) { return a.key < b.key; });
    else
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry<Key>& a, const Entry<Key>& b) { return b.key < a.key; });
    QList<int> order;
    order.reserve(qsizetype(entries.size()));
    for (const Entry<Key>& e : entries)
        order.append(e.position);
    return order;
}

NumberKey same(const NumberKey& key) {
    return key;
}

} // namespace

QList<int> sortedPositions(const QStringList& cells, SortKind kind, bool ascending) {
    if (kind == SortKind::Number)
        return sortedOf(
            entriesOf<NumberKey>(cells, [](const QString& c) { return numberKeyOf(c); }),
            ascending);
    return sortedOf(
        entriesOf<SortKey>(cells, [](const QString& c) { return makeSortKey(c, SortKind::Text); }),
        ascending);
}

QList<int> sortedPositions(const QList<NumberKey>& keys, bool ascending) {
    return sortedOf(entriesOf<NumberKey>(keys, same), ascending);
}

} // namespace tally
