#include "core/net/web_address.h"

#include <QHostAddress>

namespace tally {

namespace {

bool isWebScheme(const QUrl& url) {
    return url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ||
           url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

} // namespace

QUrl listUrl(const QString& url) {
    QString text = url.trimmed();
    if (text.isEmpty())
        return QUrl();
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    return QUrl(text, QUrl::TolerantMode);
}

QString urlHost(const QString& url) {
    const QUrl parsed = listUrl(url);
    if (!parsed.isValid())
        return QString();
    QString host = parsed.host(QUrl::FullyEncoded).toLower();
    while (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    return host;
}

QString hostOfUrl(const QString& url) {
    const QString host = urlHost(url);
    return QHostAddress(host).isNull() ? host : QString();
}

bool urlHostIsAddress(const QString& url) {
    const QString host = urlHost(url);
    return !host.isEmpty() && !QHostAddress(host).isNull();
}

std::optional<QUrl> webAddressFor(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid() || url.host().isEmpty() || !isWebScheme(url))
        return std::nullopt;
    return url;
}

bool isWebAddress(const QString& address) {
    return isWebUrl(QUrl(address.trimmed()));
}

bool isWebUrl(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() && isWebScheme(url);
}

} // namespace tally
