// Reading an engine's result count out of its result page, and the one rule for what "reads as a
// number" (MSN's count test and the scan's totals).
#pragma once

#include <QString>

#include <optional>

namespace tally {

// The text between the first IBefore and the following IPast (both case-sensitive). A missing
// IBefore cuts off its length less one from the front instead; a missing IPast leaves the rest
// whole. The result is short only when both markers are found close together.
QString GetBetween(const QString& IStringStr, const QString& IBefore, const QString& IPast);

// The count that engine intEngine (1..6) reports on its page strData: the count text, "0" when
// the page says it found nothing, or the empty text. Any other engine number gives the empty text.
QString ParseEngineData(QString strData, int intEngine);

// True for optional blanks, an optional sign, digits with an optional decimal point (at least one
// digit in all) and optional blanks. No thousands separators, exponent, NaN or infinity.
bool readsAsNumber(const QString& text);

// The value of a text of optional blanks, an optional sign, digits and optional blanks (beyond the
// 64-bit range it saturates); nothing for any other text. Settings read "as whole numbers" (the
// thresholds, the check boxes) go through this.
std::optional<qint64> readWholeNumber(const QString& text);

// total + the number that text reads as, rounded to the nearest whole number with ties going to
// the even one; total unchanged when text does not read as a number. Saturates instead of
// overflowing.
qint64 addRoundedHalfEven(qint64 total, const QString& text);

} // namespace tally
