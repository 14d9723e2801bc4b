// Which proxy an address goes through, read from the environment as command-line tools read it:
// http_proxy for http addresses, https_proxy (or HTTPS_PROXY) for https, no_proxy (or NO_PROXY)
// for the hosts reached directly. HTTP_PROXY is never read (a web server's CGI environment sets
// it from a request header). Without them every connection is direct.
#pragma once

#include <QNetworkProxy>
#include <QUrl>

namespace tally {

// The proxy for an address according to the environment; NoProxy when none applies. An http
// proxy or a SOCKS 5 one ("socks5://", "socks5h://"); anything else counts as none.
QNetworkProxy proxyFromEnvironment(const QUrl& url);

} // namespace tally
