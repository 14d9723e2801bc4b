#include "core/net/http_headers.h"

#include "core/numbers/numbers.h"

#include <algorithm>

namespace tally {

bool headerIs(QByteArrayView line, QByteArrayView name, QByteArray* value) {
    if (line.size() <= name.size() || line[name.size()] != ':' ||
        QByteArrayView(line.first(name.size())).compare(name, Qt::CaseInsensitive) != 0)
        return false;
    *value = line.sliced(name.size() + 1).toByteArray().trimmed();
    return true;
}

std::optional<qint64> retryAfterMs(QByteArrayView bytes, const QDateTime& now) {
    const QString value = QString::fromLatin1(bytes).trimmed();
    if (value.isEmpty())
        return std::nullopt;
    if (const std::optional<qint64> secs = readWholeNumber(value)) {
        if (*secs < 0 || value.startsWith(QLatin1Char('-')) || value.startsWith(QLatin1Char('+')))
            return std::nullopt;
        return *secs > (qint64(1) << 40) ? qint64(1) << 50 : *secs * 1000;
    }
    // An HTTP date: "Sun, 06 Nov 1994 08:49:37 GMT" (read as the same date at +0000).
    QString date = value;
    if (date.endsWith(QLatin1String(" GMT")) || date.endsWith(QLatin1String(" UTC")))
        date = date.left(date.size() - 4) + QLatin1String(" +0000");
    const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!when.isValid())
        return std::nullopt;
    return std::max<qint64>(0, now.msecsTo(when));
}

} // namespace tally
