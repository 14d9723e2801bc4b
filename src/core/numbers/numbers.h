// Every way the program reads a number out of a text, in one place.
//
// The readings differ on purpose; each is named for what it reads and its difference from the
// others is written beside it. All of them take ASCII digits only, and "blanks" are spaces and
// tabs only (never line breaks). None of them depends on the user's locale except
// readsAsSortNumber.
//
//   reading                 sign  fraction  groups  beyond the range      used for
//   readsAsNumber           yes   yes       no      (any length reads)    totals
//   readRoundedNumber       yes   yes       no      saturates at 64 bits  a cell's count
//   readDecimalNumber       yes   yes       no      as a double           a score's value
//   readsAsCount            no    yes       ","     (any length reads)    an engine's count
//   readWholeNumber         yes   no        no      saturates at 64 bits  settings stored as text
//   readThreshold           yes   no        no      no value (32 bits)    the profile thresholds
//   wholeNumberOrZero       yes   no        no      0                     saved-history counts
//   readsAsSortNumber       yes   yes       locale  as a double           the typed sort
//   readPlainIndex          no    no        no      no value (19 digits)  graph ids, JSON indexes
//   readAnswerNumber        named named     no      named too large       an API answer's text
//   scanPlainIndex          the same, at the start of a longer text       a web graph's edge lines
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace tally {

// Counts as the engines report them and as the scan totals them: optional blanks, an optional
// sign, digits with an optional decimal point (at least one digit in all), optional blanks. No
// group separators, exponent, NaN or infinity.
bool readsAsNumber(const QString& text);

// A count as an engine prints it: ASCII digits, optionally in groups of three after the first
// separated by single commas ("1,234"), optionally a point and more digits ("2.5"). Nothing else:
// no sign, no blanks, no line breaks, no other characters.
bool readsAsCount(const QString& text);

// total + the number that text reads as (readsAsNumber), rounded to the nearest whole number with
// ties going to the even one; total unchanged when text does not read as a number. Saturates
// instead of overflowing.
qint64 addRoundedHalfEven(qint64 total, const QString& text);

// The number that text reads as (readsAsNumber), rounded to the nearest whole number with ties
// going to the even one, saturating at the 64-bit range; nothing when text does not read as a
// number. addRoundedHalfEven(0, text) for a text that reads.
std::optional<qint64> readRoundedNumber(const QString& text);

// The number that text reads as (readsAsNumber), as a double: a score that may have decimals.
// Nothing when text does not read as a number.
std::optional<double> readDecimalNumber(const QString& text);

// A setting stored as a whole number (thresholds at scan time, check boxes, the chart type):
// optional blanks, an optional sign, digits, optional blanks. Beyond the 64-bit range the value
// saturates; anything else gives nothing.
std::optional<qint64> readWholeNumber(const QString& text);

// A threshold box of the Options dialog: readWholeNumber, but only inside the signed 32-bit range
// the thresholds are kept in; a value out of range gives nothing.
std::optional<qint64> readThreshold(QStringView text);

// The length of the longest leading part of text that readThreshold reads, 0 when none does. One
// pass, so that trimming a long pasted text character by character stays cheap.
qsizetype thresholdPrefixLength(QStringView text);

// A count line of a saved history: readWholeNumber, except that anything that does not read, and
// any value beyond the 64-bit range, counts 0 (a damaged line draws as 0 rather than as the
// largest possible count).
qint64 wholeNumberOrZero(const QString& text);

// A cell of the results table under the typed sort: blanks, an optional sign, digits (plain, or
// in groups of three after the first with group separators), an optional decimal separator and
// fraction, blanks. The separators and signs are the user's locale's, or else the C locale's
// ("," and "."); plain digits read the same in every locale. No exponent, infinity or NaN. The
// value goes to *value.
bool readsAsSortNumber(const QString& text, double* value);

// An index or identifier written plainly: ASCII digits only, without sign, blanks or a leading
// zero ("0" itself excepted), at most 19 digits. Vertex ids of a link graph, array steps of a
// JSON pointer. Inline: a web graph's import reads billions of them.
inline std::optional<quint64> readPlainIndex(QByteArrayView text) {
    const qsizetype n = text.size();
    if (n == 0 || n > 19 || (n > 1 && text[0] == '0'))
        return std::nullopt;
    quint64 value = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + quint64(c - '0');
    }
    return value;
}

// A plain index (as readPlainIndex reads it) at the start of [p, end): its value in *value and
// the first byte after its digits; nullptr when the digits there are no plain index (none, a
// leading zero, more than 19). What follows the digits is the caller's to check.
inline const char* scanPlainIndex(const char* p, const char* end, quint64* value) {
    const char* start = p;
    quint64 v = 0;
    while (p < end && *p >= '0' && *p <= '9' && p - start < 20)
        v = v * 10 + quint64(*p++ - '0');
    const qsizetype n = p - start;
    if (n == 0 || n > 19 || (n > 1 && *start == '0'))
        return nullptr;
    *value = v;
    return p;
}

// A number in a text answer of a backlink API (a column of a delimited table): optional blanks,
// an optional sign, digits with an optional decimal point (readsAsNumber), optional blanks. A
// count is whole ("12" or "12.0"), at least 0 and within the signed 64-bit range (leading zeros
// allowed); for anything else the reading says what it is instead.
struct AnswerNumber {
    enum class Kind {
        Count,     // a whole number >= 0; in count
        TooLarge,  // whole and >= 0, but beyond 64 bits
        Negative,  // below 0
        Decimal,   // a fraction
        NotANumber // anything readsAsNumber does not read
    };
    Kind kind = Kind::NotANumber;
    qint64 count = 0;
};
AnswerNumber readAnswerNumber(const QString& text);

} // namespace tally
