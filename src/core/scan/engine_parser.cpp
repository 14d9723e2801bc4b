#include "core/scan/engine_parser.h"

#include "core/numbers/numbers.h"

#include <array>
#include <initializer_list>

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

bool occurs(const QString& page, const QString& marker) {
    return !marker.isEmpty() && page.contains(marker, Qt::CaseSensitive);
}

// Whether the no-results passage is on the page and says the phrase.
bool saysNoResults(const QString& page, const MarkerRule& rule) {
    if (!occurs(page, rule.noResultsBefore))
        return false;
    QString passage = GetBetween(page, rule.noResultsBefore, rule.noResultsAfter);
    if (rule.noResultsJoinLines)
        passage.remove(QLatin1Char('\n'));
    return passage == rule.noResultsPhrase;
}

MarkerRule makeRule(bool singleQuotes, const char* countBefore, const char* countAfter,
                    std::initializer_list<const char*> remove, const char* noneBefore,
                    const char* noneAfter, const char* phrase) {
    MarkerRule rule;
    rule.singleQuotes = singleQuotes;
    rule.countBefore = QString::fromLatin1(countBefore);
    rule.countAfter = QString::fromLatin1(countAfter);
    for (const char* text : remove)
        rule.remove << QString::fromLatin1(text);
    rule.noResultsBefore = QString::fromLatin1(noneBefore);
    rule.noResultsAfter = QString::fromLatin1(noneAfter);
    rule.noResultsPhrase = QString::fromLatin1(phrase);
    return rule;
}

std::array<MarkerRule, 6> makeBuiltInRules() {
    std::array<MarkerRule, 6> rules{
        // Google
        makeRule(false, "</b> of ", "</b> linking to ", {"about <b>", "<b>"}, "</b> - ",
                 ".  <br><br>", "did not match any documents"),
        // AltaVista
        makeRule(false, "AltaVista found ", " results</A>", {}, "<span class=m><span class=y>",
                 ". ", "We found 0 results"),
        // Yahoo!
        makeRule(true, "of about ", " for <strong>", {}, "<big>", ":<ul><li>",
                 "We didn't find any Web pages matching the following criteria"),
        // Ask: no no-results passage
        makeRule(true, "Showing results 1-10 of ", "</td>", {" ", "\r", "\n", ","}, "", "", ""),
        // MSN: "Page 1 of " when the page has it in any letter case, else " of "
        makeRule(true, "Page 1 of ", " results", {",", " "}, "</td><td><span class='h1'>",
                 " <span class='h1 blue'>", "Sorry, no results were found containing"),
        // AllTheWeb
        makeRule(true, "<span class='ofSoMany'>", "</span>", {}, "<div class='noResults'>", ".</p>",
                 "<p>No Web pagesfound that match your query"),
    };
    rules[4].otherCountBefore = QStringLiteral(" of ");
    rules[4].otherCountAfter = QStringLiteral(" containing ");
    rules[5].spacesToZeros = true;
    rules[5].noResultsJoinLines = true;
    return rules;
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

const MarkerRule& builtInMarkerRule(int intEngine) {
    static const std::array<MarkerRule, 6> rules = makeBuiltInRules();
    static const MarkerRule none;
    return intEngine >= 1 && intEngine <= 6 ? rules[intEngine - 1] : none;
}

EngineCountReading readMarkerCount(QString page, const MarkerRule& rule) {
    if (rule.singleQuotes)
        page.replace(QLatin1Char('"'), QLatin1Char('\''));
    const bool other =
        !rule.otherCountBefore.isEmpty() && !page.contains(rule.countBefore, Qt::CaseInsensitive);
    const QString& before = other ? rule.otherCountBefore : rule.countBefore;
    const QString& after = other ? rule.otherCountAfter : rule.countAfter;
    // Without the opening marker GetBetween would hand back most of the page: no count text.
    if (occurs(page, before)) {
        QString count = GetBetween(page, before, after);
        for (const QString& text : rule.remove)
            if (!text.isEmpty())
                count.remove(text, Qt::CaseSensitive);
        if (count.size() >= 1 && count.size() <= rule.maxLength) {
            if (rule.spacesToZeros)
                count.replace(QLatin1Char(' '), QLatin1Char('0'));
            // Beyond the length test, what is shown and saved is a count.
            if (readsAsCount(count))
                return {true, count};
        }
    }
    if (saysNoResults(page, rule))
        return {true, QStringLiteral("0")};
    return {};
}

EngineCountReading readEngineCount(QString page, int intEngine) {
    return readMarkerCount(std::move(page), builtInMarkerRule(intEngine));
}

QString ParseEngineData(QString strData, int intEngine) {
    EngineCountReading reading = readEngineCount(std::move(strData), intEngine);
    return reading.recognised ? reading.count : QString();
}

} // namespace tally
