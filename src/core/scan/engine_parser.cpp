#include "core/scan/engine_parser.h"

#include "core/numbers/numbers.h"

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

// The length test and, beyond it, the number rule: what is shown and saved is a count.
bool acceptedCount(const QString& count) {
    return validLength(count) && readsAsCount(count);
}

void doubleQuotesToSingle(QString& page) {
    page.replace(QLatin1Char('"'), QLatin1Char('\''));
}

bool occurs(const QString& page, const QString& marker) {
    return !marker.isEmpty() && page.contains(marker, Qt::CaseSensitive);
}

// The text between the count markers, or nothing when the opening marker is not on the page
// (GetBetween would then hand back most of the page).
std::optional<QString> countText(const QString& page, const QString& before, const QString& past) {
    if (!occurs(page, before))
        return std::nullopt;
    return GetBetween(page, before, past);
}

// Whether the no-results passage is on the page and says the phrase.
bool saysNoResults(const QString& page, const QString& before, const QString& past,
                   const char* phrase, bool withoutLineFeeds = false) {
    if (!occurs(page, before))
        return false;
    QString passage = GetBetween(page, before, past);
    if (withoutLineFeeds)
        passage.remove(QLatin1Char('\n'));
    return passage == QLatin1String(phrase);
}

EngineCountReading counted(const QString& count) {
    return {true, count};
}

EngineCountReading noCountOrNone(bool none) {
    return none ? counted(QStringLiteral("0")) : EngineCountReading{};
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

EngineCountReading readEngineCount(QString page, int intEngine) {
    switch (intEngine) {
    case 1: { // Google
        if (auto count =
                countText(page, QStringLiteral("</b> of "), QStringLiteral("</b> linking to "))) {
            count->remove(QStringLiteral("about <b>"));
            count->remove(QStringLiteral("<b>"));
            if (acceptedCount(*count))
                return counted(*count);
        }
        return noCountOrNone(saysNoResults(page, QStringLiteral("</b> - "),
                                           QStringLiteral(".  <br><br>"),
                                           "did not match any documents"));
    }
    case 2: { // AltaVista
        const auto count =
            countText(page, QStringLiteral("AltaVista found "), QStringLiteral(" results</A>"));
        if (count && acceptedCount(*count))
            return counted(*count);
        return noCountOrNone(saysNoResults(page, QStringLiteral("<span class=m><span class=y>"),
                                           QStringLiteral(". "), "We found 0 results"));
    }
    case 3: { // Yahoo!
        doubleQuotesToSingle(page);
        const auto count =
            countText(page, QStringLiteral("of about "), QStringLiteral(" for <strong>"));
        if (count && acceptedCount(*count))
            return counted(*count);
        return noCountOrNone(
            saysNoResults(page, QStringLiteral("<big>"), QStringLiteral(":<ul><li>"),
                          "We didn't find any Web pages matching the following criteria"));
    }
    case 4: { // Ask: no no-results passage
        doubleQuotesToSingle(page);
        auto count =
            countText(page, QStringLiteral("Showing results 1-10 of "), QStringLiteral("</td>"));
        if (!count)
            return {};
        count->remove(QLatin1Char(' '));
        count->remove(QLatin1Char('\r'));
        count->remove(QLatin1Char('\n'));
        count->remove(QLatin1Char(','));
        return acceptedCount(*count) ? counted(*count) : EngineCountReading{};
    }
    case 5: { // MSN
        doubleQuotesToSingle(page);
        auto count = page.contains(QLatin1String("Page 1 of "), Qt::CaseInsensitive)
                         ? countText(page, QStringLiteral("Page 1 of "), QStringLiteral(" results"))
                         : countText(page, QStringLiteral(" of "), QStringLiteral(" containing "));
        if (count) {
            count->remove(QLatin1Char(','));
            count->remove(QLatin1Char(' '));
            if (acceptedCount(*count))
                return counted(*count);
        }
        return noCountOrNone(saysNoResults(page, QStringLiteral("</td><td><span class='h1'>"),
                                           QStringLiteral(" <span class='h1 blue'>"),
                                           "Sorry, no results were found containing"));
    }
    case 6: { // AllTheWeb
        doubleQuotesToSingle(page);
        if (auto count = countText(page, QStringLiteral("<span class='ofSoMany'>"),
                                   QStringLiteral("</span>"));
            count && validLength(*count)) {
            count->replace(QLatin1Char(' '), QLatin1Char('0'));
            if (readsAsCount(*count))
                return counted(*count);
        }
        return noCountOrNone(saysNoResults(page, QStringLiteral("<div class='noResults'>"),
                                           QStringLiteral(".</p>"),
                                           "<p>No Web pagesfound that match your query", true));
    }
    default:
        return {};
    }
}

QString ParseEngineData(QString strData, int intEngine) {
    EngineCountReading reading = readEngineCount(std::move(strData), intEngine);
    return reading.recognised ? reading.count : QString();
}

} // namespace tally
