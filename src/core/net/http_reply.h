// Reading the header lines of an HTTP reply: the one place that says how a header line is matched
// and what a Retry-After value means, for page fetches and downloads alike.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <optional>

namespace tally {

// True when `line` is the header `name` (any case), with its value trimmed into *value.
bool headerIs(QByteArrayView line, QByteArrayView name, QByteArray* value);

// How long a Retry-After value asks the client to wait: whole seconds, or an HTTP date taken
// against now (RFC 9110, 10.2.3). Nothing for a value that reads as neither.
std::optional<qint64> retryAfterMs(QByteArrayView value, const QDateTime& now);

} // namespace tally
