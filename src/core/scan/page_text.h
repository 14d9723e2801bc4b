// A page's bytes as text, in the charset the page is written in: the one its Content-Type names,
// else the one its byte order mark shows, else the one a <meta charset> or <meta http-equiv
// content="...; charset=..."> in its first 4 KB names, else UTF-8 when the bytes are valid UTF-8,
// else Windows-1252 (which browsers read for "iso-8859-1" and "us-ascii" as well).
#pragma once

#include <QByteArray>
#include <QString>

namespace tally {

// The name of the charset the page is read in ("UTF-8", "windows-1252", "Shift_JIS"...).
QByteArray pageCharset(const QByteArray& body, const QByteArray& contentType);
// The page as text, decoded from that charset (a byte order mark left out).
QString pageText(const QByteArray& body, const QByteArray& contentType);
// The same, the charset already known (pageCharset).
QString pageTextIn(const QByteArray& body, const QByteArray& charset);

} // namespace tally
