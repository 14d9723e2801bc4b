// URL list files and the clipboard import rule, without a window.
#include "core/files/safe_file.h"
#include "core/urllist/url_list_file.h"
#include "support/full_disk.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QFile>
#include <QtTest>

#include <sys/stat.h>

using namespace tally;

class TestUrlListFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitsAtEveryLineEnd_data();
    void splitsAtEveryLineEnd();
    void normalizesImportedLines_data();
    void normalizesImportedLines();
    void clipboardTextBecomesEntries();
    void writesCrLfAfterEveryEntry();
    void readAppendsAndKeepsBlankOnlyLines();
    void unreadableFilesKeepTheEntries_data();
    void unreadableFilesKeepTheEntries();
    void unwritableTargetKeepsOldFile();
    void txtSuffixRule_data();
    void txtSuffixRule();
};

void TestUrlListFile::splitsAtEveryLineEnd_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lf") << "a\nb\nc" << QStringList{"a", "b", "c"};
    QTest::newRow("lone cr") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("mixed, blank lines") << "\r\n\r\na\n\n\r\rb\r\n\r\n" << QStringList{"a", "b"};
    QTest::newRow("blanks kept") << "  \r\n a \r\n" << QStringList{"  ", " a "};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("no end") << "only" << QStringList{"only"};
}

void TestUrlListFile::splitsAtEveryLineEnd() {
    QFETCH(QString, text);
    QFETCH(QStringList, pieces);
    QCOMPARE(splitListText(text), pieces);
}

void TestUrlListFile::normalizesImportedLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("url");
    QTest::newRow("bare domain") << "example.com"
                                 << "http://www.example.com";
    QTest::newRow("www") << "www.example.com"
                         << "http://www.example.com";
    QTest::newRow("http") << "http://example.com/x"
                          << "http://example.com/x";
    QTest::newRow("capitals") << "HTTP://EXAMPLE.COM"
                              << "HTTP://EXAMPLE.COM";
    QTest::newRow("WWW capitals") << "WWW.example.com"
                                  << "http://WWW.example.com";
    QTest::newRow("sub-domain www") << "shop.www.example.com"
                                    << "http://shop.www.example.com";
    QTest::newRow("leading blank") << " example.com"
                                   << "http://www. example.com";
    QTest::newRow("https keeps its scheme") << "https://www.wikipedia.org/"
                                            << "https://www.wikipedia.org/";
    QTest::newRow("https capitals") << "HTTPS://Example.com"
                                    << "HTTPS://Example.com";
    QTest::newRow("https without www") << "https://example.com"
                                       << "https://example.com";
    QTest::newRow("http later") << "see http://x.org"
                                << "see http://x.org";
}

void TestUrlListFile::normalizesImportedLines() {
    QFETCH(QString, line);
    QFETCH(QString, url);
    QCOMPARE(NormalizeImportedUrl(line), url);
}

void TestUrlListFile::clipboardTextBecomesEntries() {
    const QString text = QStringLiteral("example.com\r\n\r\nwww.example.org\r\nhttp://x.net/\r\n");
    QCOMPARE(importedUrls(text),
             (QStringList{"http://www.example.com", "http://www.example.org", "http://x.net/"}));
    // Linux text: LF only.
    QCOMPARE(importedUrls(QStringLiteral("a.com\nb.com\n")),
             (QStringList{"http://www.a.com", "http://www.b.com"}));
    QVERIFY(importedUrls(QString()).isEmpty());
}

void TestUrlListFile::writesCrLfAfterEveryEntry() {
    test::TestEnv env;
    const QString path = env.file(QStringLiteral("Lists/three.txt"));
    QVERIFY(writeUrlListFile(path, {"http://a", "http://b", "  "}));
    QCOMPARE(env.readFile(QStringLiteral("Lists/three.txt")),
             QByteArray("http://a\r\nhttp://b\r\n  \r\n"));
    QVERIFY(writeUrlListFile(path, {}));
    QCOMPARE(env.readFile(QStringLiteral("Lists/three.txt")), QByteArray());
    // Non-ASCII text survives a round trip.
    QVERIFY(writeUrlListFile(path, {QStringLiteral("http://bücher.example")}));
    QStringList back;
    QVERIFY(readUrlListFile(path, &back));
    QCOMPARE(back, QStringList{QStringLiteral("http://bücher.example")});
}

void TestUrlListFile::readAppendsAndKeepsBlankOnlyLines() {
    test::TestEnv env;
    env.writeFile(QStringLiteral("Lists/l.txt"), "http://a\r\n\r\n \r\nhttp://b");
    QStringList entries{QStringLiteral("old")};
    QVERIFY(readUrlListFile(env.file(QStringLiteral("Lists/l.txt")), &entries));
    QCOMPARE(entries, (QStringList{"old", "http://a", " ", "http://b"}));
    // A byte-order mark in front of the first line is not part of it.
    env.writeFile(QStringLiteral("Lists/bom.txt"), "\xEF\xBB\xBFhttp://first\r\nhttp://b\r\n");
    entries.clear();
    QVERIFY(readUrlListFile(env.file(QStringLiteral("Lists/bom.txt")), &entries));
    QCOMPARE(entries, (QStringList{"http://first", "http://b"}));
}

void TestUrlListFile::unreadableFilesKeepTheEntries_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing"
                             << "The file does not exist";
    QTest::newRow("FIFO") << "fifo"
                          << "It is not a regular file";
    QTest::newRow("link to /dev/urandom") << "urandom"
                                          << "It is not a regular file";
    QTest::newRow("over 64 MiB") << "big"
                                 << "It is larger than 64 MiB";
}

void TestUrlListFile::unreadableFilesKeepTheEntries() {
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    test::TestEnv env;
    const QString path = env.file(QStringLiteral("Lists/l.txt"));
    if (setup == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (setup == QLatin1String("urandom"))
        QVERIFY(QFile::link(QStringLiteral("/dev/urandom"), path));
    else if (setup == QLatin1String("big"))
        QVERIFY(QFile(path).open(QIODevice::WriteOnly) &&
                QFile::resize(path, UrlListFileLimit + 1));
    QStringList entries{QStringLiteral("keep")};
    QString error;
    QVERIFY(!readUrlListFile(path, &entries, &error));
    QCOMPARE(error, reason);
    QCOMPARE(entries, QStringList{QStringLiteral("keep")});
}

void TestUrlListFile::unwritableTargetKeepsOldFile() {
    test::TestEnv env;
    // A file name inside a folder that does not exist cannot be written.
    QString error;
    QVERIFY(!writeUrlListFile(env.file(QStringLiteral("nowhere/list.txt")), {"x"}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(env.file(QStringLiteral("nowhere/list.txt"))));
    // A full disk: the old list stays whole.
    env.writeFile(QStringLiteral("Lists/old.txt"), "http://a\r\nhttp://b\r\n");
    {
        test::FileSizeLimit full(8);
        QVERIFY(!writeUrlListFile(env.file(QStringLiteral("Lists/old.txt")),
                                  {"http://c", "http://d", "http://e"}, &error));
    }
    QCOMPARE(error, QString::fromLocal8Bit(strerror(EFBIG)));
    QCOMPARE(env.readFile(QStringLiteral("Lists/old.txt")), QByteArray("http://a\r\nhttp://b\r\n"));
}

void TestUrlListFile::txtSuffixRule_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("name");
    QTest::newRow("none") << "/l/list"
                          << "/l/list.txt";
    QTest::newRow("txt") << "/l/list.txt"
                         << "/l/list.txt";
    QTest::newRow("TXT") << "/l/list.TXT"
                         << "/l/list.TXT";
    QTest::newRow("other") << "/l/list.csv"
                           << "/l/list.csv.txt";
}

void TestUrlListFile::txtSuffixRule() {
    QFETCH(QString, chosen);
    QFETCH(QString, name);
    QCOMPARE(urlListFileName(chosen), name);
}

TALLY_GUILESS_TEST_MAIN(TestUrlListFile)
#include "tst_url_list_file.moc"
