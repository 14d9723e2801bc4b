// The ordering of the results table's typed sort.
//
// Kind text compares the cells as text, ignoring letter case. Kind number orders the cells by
// their value: cells that do not read as a number come first, then negative values from the most
// negative up, then zero and the positive values; descending reverses that whole order. This is
// the order of the fixed-width keys below (numberSortKey), compared as plain strings; the sort
// itself compares the values directly and never touches a cell's text or data.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tally {

enum class SortKind { Text = 0, Number = 1 };

// Replaces each digit d by 9 - d and keeps every other character where it is.
QString NinesComplement(const QString& key);

// The fixed-width key of a value: 20 integer digits padded with zeros, ".", 10 decimals; for a
// negative value "&" followed by NinesComplement of the key of its magnitude.
QString numberSortKey(double value);

// The key a cell sorts by under kind number: the empty text for a cell that is not a number.
QString cellSortKey(const QString& cell);

// What a cell sorts by: under kind text its case-folded text; under kind number whether it reads
// as a number and its value (non-numbers before every number).
struct SortKey {
    bool number = false;
    double value = 0;
    QString text;

    // Ascending order; descending is the reverse.
    bool operator<(const SortKey& other) const {
        if (number != other.number)
            return !number;
        if (value != other.value)
            return value < other.value;
        return text < other.text;
    }
};

SortKey makeSortKey(const QString& cell, SortKind kind);

// A cell's key under kind number alone (makeSortKey's number and value), for callers that know a
// cell's value without its text.
struct NumberKey {
    bool number = false;
    double value = 0;
    bool operator<(const NumberKey& other) const {
        return number != other.number ? !number : value < other.value;
    }
};
NumberKey numberKeyOf(const QString& cell);
inline NumberKey numberKeyOf(double value) {
    return {true, value != 0 ? value : 0.0}; // no "-0"
}

// The positions of the cells (0-based) in sorted order. Stable: cells with equal keys keep their
// order, in both directions.
QList<int> sortedPositions(const QStringList& cells, SortKind kind, bool ascending);
// The same for keys under kind number.
QList<int> sortedPositions(const QList<NumberKey>& keys, bool ascending);

} // namespace tally
