#include "core/net/proxy_environment.h"

#include <QHostAddress>

namespace tally {

namespace {

QByteArray environment(const char* lower, const char* upper) {
    QByteArray value = qgetenv(lower).trimmed();
    if (value.isEmpty() && upper)
        value = qgetenv(upper).trimmed();
    return value;
}

// Whether no_proxy names the host: "*", the host itself, or a domain it lies in (".example.com",
// "example.com", "*.example.com"); an address only by itself. A port after an entry is ignored.
bool reachedDirectly(const QString& host) {
    const QByteArray name = host.toLower().toUtf8();
    const bool isAddress = !QHostAddress(host).isNull();
    for (QByteArray entry : environment("no_proxy", "NO_PROXY").split(',')) {
        entry = entry.trimmed().toLower();
        if (entry == "*")
            return true;
        if (entry.count(':') == 1)
            entry = entry.left(entry.indexOf(':'));
        if (entry.startsWith("*."))
            entry = entry.mid(2);
        else if (entry.startsWith('.'))
            entry = entry.mid(1);
        if (!entry.isEmpty() && (name == entry || (!isAddress && name.endsWith('.' + entry))))
            return true;
    }
    return false;
}

} // namespace

QNetworkProxy proxyFromEnvironment(const QUrl& url) {
    const bool https = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    const QByteArray value =
        https ? environment("https_proxy", "HTTPS_PROXY") : environment("http_proxy", nullptr);
    if (value.isEmpty() || reachedDirectly(url.host()))
        return QNetworkProxy(QNetworkProxy::NoProxy);
    const QUrl proxy(QString::fromUtf8(value.contains("://") ? value : "http://" + value),
                     QUrl::TolerantMode);
    const QString scheme = proxy.scheme().toLower();
    QNetworkProxy::ProxyType type;
    if (scheme == QLatin1String("http"))
        type = QNetworkProxy::HttpProxy;
    else if (scheme == QLatin1String("socks5") || scheme == QLatin1String("socks5h"))
        type = QNetworkProxy::Socks5Proxy;
    else
        return QNetworkProxy(QNetworkProxy::NoProxy);
    if (!proxy.isValid() || proxy.host().isEmpty())
        return QNetworkProxy(QNetworkProxy::NoProxy);
    return QNetworkProxy(type, proxy.host(), quint16(proxy.port(1080)),
                         proxy.userName(QUrl::FullyDecoded), proxy.password(QUrl::FullyDecoded));
}

} // namespace tally
