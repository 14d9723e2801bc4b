// Reading an engine's result count out of its result page.
#pragma once

#include <QString>

namespace tally {

// The text between the first IBefore and the following IPast (both case-sensitive). A missing
// IBefore cuts off its length less one from the front instead; a missing IPast leaves the rest
// whole. The result is short only when both markers are found close together.
QString GetBetween(const QString& IStringStr, const QString& IBefore, const QString& IPast);

// What an engine's page says, read with the engine's markers.
struct EngineCountReading {
    // The page carries the engine's count passage (its opening marker and a count text that reads
    // as a count) or its no-results passage (count "0").
    bool recognised = false;
    // The count as the page prints it after the engine's cleaning (thousands commas kept).
    QString count;
};

// Reads engine intEngine's (1..6) count out of its page. A count is taken only where the opening
// marker really occurs in the page and the text between the markers, cleaned, is 1 to 10
// characters long and reads as a count (readsAsCount); "0" only where the no-results passage
// really occurs and says the engine's phrase. Everything else is not recognised.
EngineCountReading readEngineCount(QString page, int intEngine);

// The count that engine intEngine (1..6) reports on its page strData: the count text, "0" when
// the page says it found nothing, or the empty text when the page carries neither. Any other
// engine number gives the empty text.
QString ParseEngineData(QString strData, int intEngine);

} // namespace tally
