// Reading an engine's result count out of its result page.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace tally {

// The text between the first IBefore and the following IPast (both case-sensitive). A missing
// IBefore cuts off its length less one from the front instead; a missing IPast leaves the rest
// whole. The result is short only when both markers are found close together.
QString GetBetween(const QString& IStringStr, const QString& IBefore, const QString& IPast);

// How a count is read out of a page with markers. Each of the six engines' own rules is one of
// these (builtInMarkerRule), and engines.ini may change any part of it.
struct MarkerRule {
    // Every double quote of the page becomes a single quote before anything is looked for.
    bool singleQuotes = false;
    // The count text lies between these two markers...
    QString countBefore;
    QString countAfter;
    // ...unless otherCountBefore is set and the page does not hold countBefore in any letter
    // case: then it lies between these two.
    QString otherCountBefore;
    QString otherCountAfter;
    // Removed from the count text, one after the other, before the length test.
    QStringList remove;
    // The length test: a count text of 1 to maxLength characters.
    int maxLength = 10;
    // After the length test every space of the count text becomes the digit 0.
    bool spacesToZeros = false;
    // The page says it found nothing when the text between these markers (with its line feeds
    // taken out, when noResultsJoinLines) is exactly the phrase. No opening marker: never.
    QString noResultsBefore;
    QString noResultsAfter;
    QString noResultsPhrase;
    bool noResultsJoinLines = false;

    bool operator==(const MarkerRule&) const = default;
};

// The rule of engine intEngine (1..6); an empty rule (no count ever) for any other number.
const MarkerRule& builtInMarkerRule(int intEngine);

// What an engine's page says, read with the engine's markers.
struct EngineCountReading {
    // The page carries the engine's count passage (its opening marker and a count text that reads
    // as a count) or its no-results passage (count "0").
    bool recognised = false;
    // The count as the page prints it after the engine's cleaning (thousands commas kept).
    QString count;
};

// Reads a count out of a page with a rule. A count is taken only where the opening marker really
// occurs in the page and the text between the markers, cleaned, passes the length test and reads
// as a count (readsAsCount); "0" only where the no-results passage really occurs and says the
// phrase. Everything else is not recognised.
EngineCountReading readMarkerCount(QString page, const MarkerRule& rule);

// readMarkerCount on a page's own bytes in its charset (pageCharset), without decoding the page:
// the same reading, for UTF-8 and single-byte charsets and a rule whose markers are ASCII; nothing
// for any other page or rule (decode it and use readMarkerCount).
std::optional<EngineCountReading>
readMarkerCountInBytes(QByteArrayView page, const QByteArray& charset, const MarkerRule& rule);
// Whether such a page holds an ASCII text in any letter case of its ASCII letters; nothing for
// another page or text.
std::optional<bool> bytesContain(QByteArrayView page, const QByteArray& charset,
                                 const QString& text);

// Engine intEngine's (1..6) count on its page: readMarkerCount with the engine's own rule.
EngineCountReading readEngineCount(QString page, int intEngine);

// The count that engine intEngine (1..6) reports on its page strData: the count text, "0" when
// the page says it found nothing, or the empty text when the page carries neither. Any other
// engine number gives the empty text.
QString ParseEngineData(QString strData, int intEngine);

} // namespace tally
