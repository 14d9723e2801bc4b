#include "core/numbers/numbers.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace tally {

namespace {

constexpr qint64 Largest = std::numeric_limits<qint64>::max();
constexpr qint64 Smallest = std::numeric_limits<qint64>::min();

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A text of blanks, sign, digits, point and digits, blanks, taken apart.
struct Decimal {
    bool negative = false;
    qint64 whole = 0; // saturated at Largest
    bool overflow = false;
    bool hasPoint = false;
    QStringView fraction; // the digits after the point
};

std::optional<Decimal> readDecimal(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    Decimal number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int digits = 0;
    while (i < n && isDigit(text[i])) {
        const int d = text[i].unicode() - '0';
        if (number.whole > (Largest - d) / 10) {
            number.whole = Largest;
            number.overflow = true;
        } else {
            number.whole = number.whole * 10 + d;
        }
        ++digits;
        ++i;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number.hasPoint = true;
        const qsizetype start = ++i;
        while (i < n && isDigit(text[i]))
            ++i;
        number.fraction = text.mid(start, i - start);
        digits += int(number.fraction.size());
    }
    while (i < n && isBlank(text[i]))
        ++i;
    if (digits == 0 || i != n)
        return std::nullopt;
    return number;
}

qint64 saturatedAdd(qint64 a, qint64 b) {
    qint64 sum;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? Largest : Smallest;
    return sum;
}

// -1, 0 or 1 as the fraction 0.<digits> is below, at or above one half.
int compareWithHalf(QStringView digits) {
    if (digits.isEmpty() || digits[0] < QLatin1Char('5'))
        return -1;
    if (digits[0] > QLatin1Char('5'))
        return 1;
    for (qsizetype i = 1; i < digits.size(); ++i)
        if (digits[i] != QLatin1Char('0'))
            return 1;
    return 0;
}

bool isZeroFraction(QStringView digits) {
    for (QChar c : digits)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

// A cell of plain ASCII digits with an optional sign and spaces around reads the same in every
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
        if (!isDigit(p[i]))
            return false;
        v = v * 10 + (p[i].unicode() - u'0');
    }
    *value = negative ? -double(v) : double(v);
    return true;
}

// A decimal number written with the given separators and signs: blanks, an optional sign,
// digits (either without separators, or in groups: the first of one to three digits, every later
// one of three), an optional decimal separator and fraction, blanks; at least one digit. Nothing
// else: no exponent, no infinity, no NaN. Returned as plain ASCII ("-1234.5") for the C locale's
// reader.
std::optional<QString> plainDecimal(QStringView text, QStringView group, QStringView decimal,
                                    QStringView minus, QStringView plus) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text[i]))
        ++i;
    QString plain;
    plain.reserve(n);
    const auto at = [&](QStringView piece) {
        return !piece.isEmpty() && text.sliced(i).startsWith(piece);
    };
    if (at(minus) || at(u"-")) {
        plain += QLatin1Char('-');
        i += at(minus) ? minus.size() : 1;
    } else if (at(plus) || at(u"+")) {
        i += at(plus) ? plus.size() : 1;
    }
    qsizetype digits = 0;
    qsizetype groupDigits = 0; // digits since the start or the last group separator
    bool grouped = false;
    while (i < n) {
        if (isDigit(text[i])) {
            plain += text[i++];
            ++digits;
            ++groupDigits;
            continue;
        }
        if (!at(group))
            break;
        if (groupDigits == 0 || groupDigits > 3 || (grouped && groupDigits != 3))
            return std::nullopt;
        grouped = true;
        groupDigits = 0;
        i += group.size();
    }
    if (grouped && groupDigits != 3)
        return std::nullopt;
    if (at(decimal)) {
        plain += QLatin1Char('.');
        i += decimal.size();
        while (i < n && isDigit(text[i])) {
            plain += text[i++];
            ++digits;
        }
    }
    while (i < n && isBlank(text[i]))
        ++i;
    if (digits == 0 || i != n)
        return std::nullopt;
    return plain;
}

std::optional<qint64> readWhole(QStringView text) {
    const std::optional<Decimal> number = readDecimal(text);
    if (!number || number->hasPoint)
        return std::nullopt;
    if (number->negative)
        return number->whole == Largest ? Smallest : -number->whole;
    return number->whole;
}

} // namespace

bool readsAsNumber(const QString& text) {
    return readDecimal(text).has_value();
}

bool readsAsCount(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    qsizetype group = 0; // digits since the start or the last separator
    bool grouped = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            ++group;
            continue;
        }
        if (c != QLatin1Char(','))
            break;
        // The first group holds one to three digits, every later one exactly three.
        if (group == 0 || group > 3 || (grouped && group != 3))
            return false;
        grouped = true;
        group = 0;
    }
    if (group == 0 || (grouped && group != 3))
        return false;
    if (i == n)
        return true;
    if (text[i] != QLatin1Char('.') || i + 1 == n)
        return false;
    for (++i; i < n; ++i)
        if (!isDigit(text[i]))
            return false;
    return true;
}

qint64 addRoundedHalfEven(qint64 total, const QString& text) {
    const std::optional<Decimal> number = readDecimal(text);
    if (!number)
        return total;
    if (isZeroFraction(number->fraction))
        return number->negative ? saturatedAdd(total, -number->whole)
                                : saturatedAdd(total, number->whole);
    const int half = compareWithHalf(number->fraction);
    if (!number->negative) {
        // total + whole + f with 0 < f < 1: round down below a half, up above, to even at a half.
        const qint64 base = saturatedAdd(total, number->whole);
        const bool up = half > 0 || (half == 0 && base % 2 != 0);
        return up ? saturatedAdd(base, 1) : base;
    }
    // total - whole - f = (total - whole - 1) + (1 - f): the halves swap sides.
    const qint64 base = saturatedAdd(saturatedAdd(total, -number->whole), -1);
    const bool up = half < 0 || (half == 0 && base % 2 != 0);
    return up ? saturatedAdd(base, 1) : base;
}

std::optional<qint64> readRoundedNumber(const QString& text) {
    if (!readDecimal(text))
        return std::nullopt;
    return addRoundedHalfEven(0, text);
}

std::optional<double> readDecimalNumber(const QString& text) {
    if (!readDecimal(text))
        return std::nullopt;
    // The C locale's reader takes exactly what readDecimal accepted (blanks aside).
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<qint64> readWholeNumber(const QString& text) {
    return readWhole(text);
}

std::optional<qint64> readThreshold(QStringView text) {
    const std::optional<qint64> value = readWhole(text);
    if (!value || *value < std::numeric_limits<qint32>::min() ||
        *value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return value;
}
qsizetype thresholdPrefixLength(QStringView text) {
    enum class Phase { Leading, Sign, Digits, Trailing };
    constexpr qint64 maxPositive = std::numeric_limits<qint32>::max();
    constexpr qint64 maxNegative = -qint64(std::numeric_limits<qint32>::min());

    Phase phase = Phase::Leading;
    bool negative = false;
    qint64 magnitude = 0;
    qsizetype longest = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool digit = isDigit(c);
        switch (phase) {
        case Phase::Leading:
            if (isBlank(c))
                continue;
            if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
                negative = c == QLatin1Char('-');
                phase = Phase::Sign;
                continue;
            }
            if (!digit)
                return longest;
            phase = Phase::Digits;
            break;
        case Phase::Sign:
            if (!digit)
                return longest;
            phase = Phase::Digits;
            break;
        case Phase::Digits:
            if (isBlank(c)) {
                phase = Phase::Trailing;
                longest = i + 1;
                continue;
            }
            if (!digit)
                return longest;
            break;
        case Phase::Trailing:
            if (!isBlank(c))
                return longest;
            longest = i + 1;
            continue;
        }
        // A digit: longer texts only grow the magnitude, so once it is out of range nothing longer
        // reads either.
        magnitude = magnitude * 10 + (c.unicode() - '0');
        if (magnitude > (negative ? maxNegative : maxPositive))
            return longest;
        longest = i + 1;
    }
    return longest;
}

qint64 wholeNumberOrZero(const QString& text) {
    const std::optional<Decimal> number = readDecimal(text);
    if (!number || number->hasPoint || number->overflow)
        return 0;
    return number->negative ? -number->whole : number->whole;
}

bool readsAsSortNumber(const QString& text, double* value) {
    double v = 0;
    bool read = readsAsPlainInteger(text, &v);
    if (!read) {
        const QLocale locale;
        std::optional<QString> plain =
            plainDecimal(text, locale.groupSeparator(), locale.decimalPoint(),
                         locale.negativeSign(), locale.positiveSign());
        if (!plain) // the program's own texts (counts, totals) are written the C locale's way
            plain = plainDecimal(text, u",", u".", u"-", u"+");
        if (plain)
            v = QLocale::c().toDouble(*plain, &read);
        read = read && std::isfinite(v);
    }
    if (read && value)
        *value = v;
    return read;
}

AnswerNumber readAnswerNumber(const QString& text) {
    AnswerNumber reading;
    if (!readsAsNumber(text))
        return reading;
    const QString number = text.trimmed();
    const bool negative = number.startsWith(QLatin1Char('-'));
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    const QStringView whole = QStringView(number).left(point < 0 ? number.size() : point);
    const QStringView fraction = point < 0 ? QStringView() : QStringView(number).mid(point + 1);
    bool fractionIsZero = true;
    for (QChar c : fraction)
        fractionIsZero = fractionIsZero && c == QLatin1Char('0');
    bool wholeIsZero = true;
    for (QChar c : whole)
        wholeIsZero = wholeIsZero && (c == QLatin1Char('0') || !isDigit(c));
    if (!fractionIsZero) {
        reading.kind = negative ? AnswerNumber::Kind::Negative : AnswerNumber::Kind::Decimal;
        return reading;
    }
    if (negative && !wholeIsZero) {
        reading.kind = AnswerNumber::Kind::Negative;
        return reading;
    }
    quint64 value = 0;
    for (QChar c : whole) {
        if (!isDigit(c))
            continue; // the sign
        const quint64 digit = quint64(c.unicode() - '0');
        if (value > (quint64(std::numeric_limits<qint64>::max()) - digit) / 10) {
            reading.kind = AnswerNumber::Kind::TooLarge;
            return reading;
        }
        value = value * 10 + digit;
    }
    reading.kind = AnswerNumber::Kind::Count;
    reading.count = qint64(value);
    return reading;
}

} // namespace tally
