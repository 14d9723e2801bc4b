#include "core/results/sort_keys.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tally {

namespace {

// A cell of plain ASCII digits with an optional sign and blanks around reads the same in every
// locale: it is read here directly (the program's own counts and totals all look like this).
bool readsAsPlainInteger(const QString& text, double* value) {
    const QChar* p = text.constData();
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && p[b] == QLatin1Char(' '))
        ++b;
    while (e > b && p[e - 1] == QLatin1Char(' '))
        --e;
    bool negative = false;
    if (b < e && (p[b] == QLatin1Char('-') || p[b] == QLatin1Char('+'))) {
        negative = p[b] == QLatin1Char('-');
        ++b;
    }
    if (b == e || e - b > 15) // beyond 15 digits a double no longer holds every integer
        return false;
    qint64 v = 0;
    for (qsizetype i = b; i < e; ++i) {
        const char16_t c = p[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    *value = negative ? -double(v) : double(v);
    return true;
}

} // namespace

bool readsAsSortNumber(const QString& text, double* value) {
    double v = 0;
    if (readsAsPlainInteger(text, &v)) {
        if (value)
            *value = v;
        return true;
    }
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    v = QLocale().toDouble(trimmed, &ok);
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

QList<int> sortedPositions(const QStringList& cells, SortKind kind, bool ascending) {
    const qsizetype n = cells.size();
    // The keys sit next to their positions, so that the sort walks one array.
    struct Entry {
        SortKey key;
        int position;
    };
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        entries.push_back({makeSortKey(cells.at(i), kind), static_cast<int>(i)});
    if (ascending)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.key < b.key; });
    else
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return b.key < a.key; });
    QList<int> order;
    order.reserve(n);
    for (const Entry& e : entries)
        order.append(e.position);
    return order;
}

} // namespace tally
