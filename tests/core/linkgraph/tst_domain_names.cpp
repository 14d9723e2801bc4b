// Host and domain names: the vertex a URL is looked up by in a host-level and a domain-level web
// graph. The domain rule is the Public Suffix List's ICANN section, as the publisher's domain
// graphs fold hosts: their published ranks list com.blogspot (4,119,696 hosts) and io.github
// (276,416 hosts) as single domains, and uk.gov (a public suffix) as a domain of its own.
#include "core/linkgraph/domain_names.h"
#include "support/test_main.h"

#include <QTest>

using namespace tally;

class TestDomainNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void vertexOfUrl_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("host");   // the host-level vertex, or why there is none
        QTest::addColumn<QString>("domain"); // the domain-level vertex, or why there is none
        const QString address = "an IP address (the web graphs hold host names only)";
        const QString noHost = "not a web address with a host name";
        QTest::newRow("www folded") << "http://www.example.com/page"
                                    << "com.example"
                                    << "com.example";
        QTest::newRow("subdomain") << "blog.example.com"
                                   << "com.example.blog"
                                   << "com.example";
        QTest::newRow("only one www") << "www.www.example.com"
                                      << "com.example.www"
                                      << "com.example";
        QTest::newRow("co.uk") << "https://www.Example.CO.UK:81/x"
                               << "uk.co.example"
                               << "uk.co.example";
        QTest::newRow("me.uk deep") << "http://www.shop.someone.me.uk/"
                                    << "uk.me.someone.shop"
                                    << "uk.me.someone";
        QTest::newRow("com.au") << "shop.example.com.au"
                                << "au.com.example.shop"
                                << "au.com.example";
        QTest::newRow("city wildcard") << "http://shop.foo.kawasaki.jp/"
                                       << "jp.kawasaki.foo.shop"
                                       << "jp.kawasaki.foo.shop";
        QTest::newRow("city wildcard, deeper") << "a.shop.foo.kawasaki.jp"
                                               << "jp.kawasaki.foo.shop.a"
                                               << "jp.kawasaki.foo.shop";
        QTest::newRow("city exception") << "www.city.kawasaki.jp"
                                        << "jp.kawasaki.city"
                                        << "jp.kawasaki.city";
        QTest::newRow("city exception, subdomain") << "info.city.kawasaki.jp"
                                                   << "jp.kawasaki.city.info"
                                                   << "jp.kawasaki.city";
        QTest::newRow("platform blog") << "https://myblog.blogspot.com/2024/"
                                       << "com.blogspot.myblog"
                                       << "com.blogspot";
        QTest::newRow("platform pages") << "someone.github.io"
                                        << "io.github.someone"
                                        << "io.github";
        QTest::newRow("suffix as a domain") << "https://www.gov.uk/"
                                            << "uk.gov"
                                            << "uk.gov";
        QTest::newRow("IDN") << "http://www.bücher.de/"
                             << "de.xn--bcher-kva"
                             << "de.xn--bcher-kva";
        QTest::newRow("IDN top-level") << "http://магазин.пример.рф/"
                                       << "xn--p1ai.xn--e1afmkfd.xn--80aairftm"
                                       << "xn--p1ai.xn--e1afmkfd";
        QTest::newRow("punycode as given") << "xn--bcher-kva.de"
                                           << "de.xn--bcher-kva"
                                           << "de.xn--bcher-kva";
        QTest::newRow("trailing dot, port, user") << "http://user@shop.example.org.:8080/a?b#c"
                                                  << "org.example.shop"
                                                  << "org.example";
        QTest::newRow("unknown top-level") << "www.intranet.corp"
                                           << "corp.intranet"
                                           << "corp.intranet";
        QTest::newRow("one label") << "localhost"
                                   << "localhost"
                                   << "localhost";
        QTest::newRow("IPv4") << "http://10.0.0.1/" << address << address;
        QTest::newRow("IPv4 with port") << "192.168.1.20:8080" << address << address;
        QTest::newRow("IPv6") << "http://[2001:db8::1]/" << address << address;
        QTest::newRow("nothing") << "" << noHost << noHost;
        QTest::newRow("no host") << "file:///tmp/list.txt" << noHost << noHost;
    }
    void vertexOfUrl() {
        QFETCH(QString, url);
        QFETCH(QString, host);
        QFETCH(QString, domain);
        for (const auto& [level, expected] :
             {std::pair{GraphLevel::Hosts, host}, std::pair{GraphLevel::Domains, domain}}) {
            QString problem;
            const QByteArray vertex = graphVertexOfUrl(url, level, &problem);
            QCOMPARE(vertex.isEmpty() ? problem : QString::fromUtf8(vertex), expected);
        }
    }

    void publicSuffixes_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("suffix");
        QTest::addColumn<QString>("domain");
        QTest::newRow("com") << "com" << true << "com";
        QTest::newRow("co.uk") << "co.uk" << true << "co.uk";
        QTest::newRow("me.uk") << "me.uk" << true << "me.uk";
        QTest::newRow("wildcard") << "foo.kawasaki.jp" << true << "foo.kawasaki.jp";
        QTest::newRow("exception") << "city.kawasaki.jp" << false << "city.kawasaki.jp";
        QTest::newRow("private section") << "blogspot.com" << false << "blogspot.com";
        QTest::newRow("private wildcard") << "x.compute.amazonaws.com" << false << "amazonaws.com";
        QTest::newRow("registered") << "www.example.co.uk" << false << "example.co.uk";
        QTest::newRow("IDN suffix, ASCII form") << "xn--55qx5d.cn" << true << "xn--55qx5d.cn";
        QTest::newRow("under it") << "www.shop.xn--55qx5d.cn" << false << "shop.xn--55qx5d.cn";
        QTest::newRow("empty") << "" << false << "";
    }
    void publicSuffixes() {
        QFETCH(QString, host);
        QFETCH(bool, suffix);
        QFETCH(QString, domain);
        QVERIFY(publicSuffixListProblem().isEmpty());
        QCOMPARE(isPublicSuffix(host), suffix);
        QCOMPARE(registrableDomain(host), domain);
    }
};

TALLY_GUILESS_TEST_MAIN(TestDomainNames)
#include "tst_domain_names.moc"
