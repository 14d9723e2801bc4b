// Host and domain names as the published web graphs name their vertices: in reverse notation
// ("com.example.www"), the host-level graphs without a leading "www.".
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tally {

// The host of a URL as a list holds it ("www.example.com/a", "https://Example.com:8080/"): lower
// case, in its ASCII form (international names as "xn--"), without a trailing dot. Empty when the
// text names no host, and for an IP address (the graphs hold names only).
QString hostOfUrl(const QString& url);

// The domain a host was registered under, by a small rule rather than a public-suffix list: the
// last two labels ("example.com" of "www.example.com"), or the last three when the last is a
// two-letter country code and the one before it a common second-level label such as co, com,
// org, net, ac, gov or edu ("example.co.uk", "example.com.au"). A host of one or two labels is
// its own domain.
QString registrableDomain(const QString& host);

// A name in reverse notation: "www.example.com" gives "com.example.www".
QByteArray reversedName(const QString& host);

// The vertex names to look a URL up by, best first: its host without a leading "www.", then its
// registrable domain (each once). Empty when the URL names no host.
QList<QByteArray> graphNamesOfUrl(const QString& url);

} // namespace tally
