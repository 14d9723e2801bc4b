#include "core/scan/engine_parser.h"

#include <limits>
#include <optional>

namespace tally {

namespace {

// Position (1-based) of the first occurrence of part in text, 0 when there is none; an empty
// part is found at 1 in a non-empty text.
qsizetype position(const QString& text, const QString& part) {
    if (text.isEmpty())
        return 0;
    if (part.isEmpty())
        return 1;
    return text.indexOf(part, 0, Qt::CaseSensitive) + 1;
}

// A count text is accepted when it is 1 to 10 characters long.
bool validLength(const QString& count) {
    return count.size() >= 1 && count.size() <= 10;
}

void doubleQuotesToSingle(QString& page) {
    page.replace(QLatin1Char('"'), QLatin1Char('\''));
}

// The answer when no count text was accepted: "0" when the no-results passage says the phrase.
QString noResults(const QString& passage, const char* phrase) {
    return passage == QLatin1String(phrase) ? QStringLiteral("0") : QString();
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

struct Number {
    bool negative = false;
    qint64 whole = 0; // saturated at the largest qint64
    QString fraction; // the digits after the point
};

std::optional<Number> readNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    Number number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int digits = 0;
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        const int d = text[i].unicode() - '0';
        number.whole = number.whole > (max - d) / 10 ? max : number.whole * 10 + d;
        ++digits;
        ++i;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            number.fraction += text[i];
            ++digits;
            ++i;
        }
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
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

// -1, 0 or 1 as the fraction 0.<digits> is below, at or above one half.
int compareWithHalf(const QString& digits) {
    if (digits.isEmpty() || digits[0] < QLatin1Char('5'))
        return -1;
    if (digits[0] > QLatin1Char('5'))
        return 1;
    for (qsizetype i = 1; i < digits.size(); ++i)
        if (digits[i] != QLatin1Char('0'))
            return 1;
    return 0;
}

bool isZeroFraction(const QString& digits) {
    for (QChar c : digits)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

} // namespace

QString GetBetween(const QString& IStringStr, const QString& IBefore, const QString& IPast) {
    QString s = IStringStr;
    const qsizetype p = position(s, IBefore);
    const qsizetype k = s.size() - p - IBefore.size() + 1;
    if (k >= 0)
        s = s.right(k);
    const qsizetype q = position(s, IPast);
    if (q >= 1)
        s = s.left(q - 1);
    return s;
}

QString ParseEngineData(QString strData, int intEngine) {
    switch (intEngine) {
    case 1: { // Google
        QString count =
            GetBetween(strData, QStringLiteral("</b> of "), QStringLiteral("</b> linking to "));
        count.remove(QStringLiteral("about <b>"));
        count.remove(QStringLiteral("<b>"));
        if (validLength(count))
            return count;
        return noResults(
            GetBetween(strData, QStringLiteral("</b> - "), QStringLiteral(".  <br><br>")),
            "did not match any documents");
    }
    case 2: { // AltaVista
        const QString count =
            GetBetween(strData, QStringLiteral("AltaVista found "), QStringLiteral(" results</A>"));
        if (validLength(count))
            return count;
        return noResults(GetBetween(strData, QStringLiteral("<span class=m><span class=y>"),
                                    QStringLiteral(". ")),
                         "We found 0 results");
    }
    case 3: { // Yahoo!
        doubleQuotesToSingle(strData);
        const QString count =
            GetBetween(strData, QStringLiteral("of about "), QStringLiteral(" for <strong>"));
        if (validLength(count))
            return count;
        return noResults(GetBetween(strData, QStringLiteral("<big>"), QStringLiteral(":<ul><li>")),
                         "We didn't find any Web pages matching the following criteria");
    }
    case 4: { // Ask: no no-results passage; anything but a count is "0"
        doubleQuotesToSingle(strData);
        QString count = GetBetween(strData, QStringLiteral("Showing results 1-10 of "),
                                   QStringLiteral("</td>"));
        count.remove(QLatin1Char(' '));
        count.remove(QLatin1Char('\r'));
        count.remove(QLatin1Char('\n'));
        count.remove(QLatin1Char(','));
        return validLength(count) ? count : QStringLiteral("0");
    }
    case 5: { // MSN
        doubleQuotesToSingle(strData);
        QString count =
            strData.contains(QLatin1String("Page 1 of "), Qt::CaseInsensitive)
                ? GetBetween(strData, QStringLiteral("Page 1 of "), QStringLiteral(" results"))
                : GetBetween(strData, QStringLiteral(" of "), QStringLiteral(" containing "));
        count.remove(QLatin1Char(','));
        count.remove(QLatin1Char(' '));
        if (!readsAsNumber(count))
            count = QStringLiteral("0");
        if (validLength(count))
            return count;
        return noResults(GetBetween(strData, QStringLiteral("</td><td><span class='h1'>"),
                                    QStringLiteral(" <span class='h1 blue'>")),
                         "Sorry, no results were found containing");
    }
    case 6: { // AllTheWeb
        doubleQuotesToSingle(strData);
        QString count = GetBetween(strData, QStringLiteral("<span class='ofSoMany'>"),
                                   QStringLiteral("</span>"));
        if (validLength(count))
            return count.replace(QLatin1Char(' '), QLatin1Char('0'));
        QString passage =
            GetBetween(strData, QStringLiteral("<div class='noResults'>"), QStringLiteral(".</p>"));
        passage.remove(QLatin1Char('\n'));
        return noResults(passage, "<p>No Web pagesfound that match your query");
    }
    default:
        return QString();
    }
}

bool readsAsNumber(const QString& text) {
    return readNumber(text).has_value();
}

std::optional<qint64> readWholeNumber(const QString& text) {
    const std::optional<Number> number = readNumber(text);
    if (!number || text.contains(QLatin1Char('.')))
        return std::nullopt;
    if (number->negative)
        return number->whole == std::numeric_limits<qint64>::max()
                   ? std::numeric_limits<qint64>::min()
                   : -number->whole;
    return number->whole;
}

qint64 addRoundedHalfEven(qint64 total, const QString& text) {
    const std::optional<Number> number = readNumber(text);
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

} // namespace tally
