// Host and domain names as the program and the published web graphs use them. The one home of
// the registrable-domain rule: the Public Suffix List (through libpsl and the list the
// "publicsuffix" package installs), its ICANN section only, the way the publisher's domain graphs
// fold hosts into domains: "www.shop.someone.me.uk" belongs to someone.me.uk, "myblog.blogspot.com"
// to blogspot.com (blogspot.com is in the list's private section, which the domain graphs ignore:
// their vertex com.blogspot stands for millions of hosts), and a host that is itself a public
// suffix of two or more labels ("gov.uk") is its own domain, as those graphs have it.
//
// Vertex names are written in reverse notation ("com.example.www"); the graphs drop one leading
// "www" label of a host, and hold no IP addresses.
#pragma once

#include <QByteArray>
#include <QString>

namespace tally {

// What a graph's vertices are.
enum class GraphLevel { Domains = 0, Hosts = 1 };

// A host as the graphs name it: without one leading "www" label ("www.example.com" gives
// "example.com"; "www" alone stays).
QString graphHost(const QString& host);

// Whether a host (lower case, ASCII form) is a public suffix of the list's ICANN section: "com",
// "co.uk", "me.uk", "foo.kawasaki.jp" (a wildcard rule), but not "city.kawasaki.jp" (an
// exception) nor "blogspot.com" (private section). An unknown top-level label is one, as the list's
// default rule says.
bool isPublicSuffix(const QString& host);

// The domain a host was registered under, by the ICANN section of the Public Suffix List: the
// public suffix and one label before it ("example.co.uk" of "www.example.co.uk",
// "city.kawasaki.jp" of "www.city.kawasaki.jp", "blogspot.com" of "myblog.blogspot.com"). A host
// that is itself a public suffix ("gov.uk", "localhost") is its own domain. Empty for an empty
// host, and when the list cannot be read (publicSuffixListProblem() then says why).
QString registrableDomain(const QString& host);

// Why the Public Suffix List cannot be used; empty when it can.
QString publicSuffixListProblem();

// A name in reverse notation: "www.example.com" gives "com.example.www".
QByteArray reversedName(const QString& host);

// The vertex a URL is looked up by in a graph of a level: its host as the graphs name it (host
// level), or that host's registrable domain (domain level), in reverse notation. Empty, with the
// reason in *problem, when the URL names no host, names an IP address, or has no domain.
QByteArray graphVertexOfUrl(const QString& url, GraphLevel level, QString* problem = nullptr);

} // namespace tally
