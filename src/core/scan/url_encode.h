// Percent-encoding of a text that stands inside a query string (the web results view's engine
// addresses). The scan itself never encodes: it appends URLs exactly as the list holds them.
#pragma once

#include <QString>

namespace tally::xurlEncode {

// "%" first, then space < > # { } | \ ^ ~ $ [ ] ` ; / ? : @ = & LF CR; every other character,
// non-ASCII included, passes unchanged.
QString URLEncode(const QString& strText);

} // namespace tally::xurlEncode
