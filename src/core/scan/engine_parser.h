// Reading an engine's result count out of its result page.
#pragma once

#include <QString>

namespace tally {

// The text between the first IBefore and the following IPast (both case-sensitive). A missing
// IBefore cuts off its length less one from the front instead; a missing IPast leaves the rest
// whole. The result is short only when both markers are found close together.
QString GetBetween(const QString& IStringStr, const QString& IBefore, const QString& IPast);

// The count that engine intEngine (1..6) reports on its page strData: the count text, "0" when
// the page says it found nothing, or the empty text. Any other engine number gives the empty text.
QString ParseEngineData(QString strData, int intEngine);

} // namespace tally
