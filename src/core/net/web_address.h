// Web addresses as the program reads them: the host of a URL as a list holds it, and whether an
// address may be opened as a web page. The one home of these rules.
#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace tally {

// A URL as a list holds it ("www.example.com/a", "https://Example.com:8080/"), read as QUrl reads
// it with "http://" put in front of a bare host. Invalid for an empty text.
QUrl listUrl(const QString& url);

// The host of such a URL: lower case, in its ASCII form (international names as "xn--"), without
// a port or a trailing dot; an IP address as it is written. Empty when the text names no host.
QString urlHost(const QString& url);

// The same, but only a host name: empty for an IP address too.
QString hostOfUrl(const QString& url);

// Whether the URL's host is an IP address (v4 or v6).
bool urlHostIsAddress(const QString& url);

// Whether an address built from the program's data may be opened in the embedded browser, and as
// what: the text completed as a typed address would be (a bare host name becomes an http address),
// accepted only when that is an http or https address. The URL list and settings.ini are the
// user's files, not the user's typing: file:, javascript:, data: and local paths are refused.
std::optional<QUrl> webAddressFor(const QString& address);

// Whether the text is written as a web address: http or https, with a host.
bool isWebAddress(const QString& address);
bool isWebUrl(const QUrl& url);

} // namespace tally
