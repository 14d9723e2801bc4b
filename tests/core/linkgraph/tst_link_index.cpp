// The link index file: lookups across its levels in both name orders, files that are not (or no
// longer) an index, and an index replaced or rewritten while it is being read.
#include "core/files/safe_file.h"
#include "core/linkgraph/link_index.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace tally;

namespace {

// Names in which the two orders differ: "com.site12", "com.site12-b" and "com.site12.a".
QList<QByteArray> namesOf(int count, NameOrder order) {
    QList<QByteArray> names;
    for (int i = 0; names.size() < count; ++i) {
        const QByteArray base = "com.site" + QByteArray::number(i * 7);
        names << base;
        if (i % 3 == 0 && names.size() < count)
            names << base + "-b";
        if (i % 5 == 0 && names.size() < count)
            names << base + ".a";
    }
    std::sort(names.begin(), names.end(), [order](const QByteArray& a, const QByteArray& b) {
        return graphNameOrder(a, b, order) < 0;
    });
    return names;
}

GraphValues valuesOf(int i, quint32 seed) {
    return GraphValues{quint32(i) * 3 + seed, quint32(i) + 1, quint32(1000 - i % 1000)};
}

QByteArray indexOf(const QList<QByteArray>& names, NameOrder order, quint32 seed = 0,
                   quint32 measures = 7, GraphLevel level = GraphLevel::Domains) {
    LinkIndexBytes sink;
    LinkIndexWriter writer(sink, "rel", level, order, measures);
    for (int i = 0; i < names.size(); ++i)
        if (!writer.add(names[i], valuesOf(i, seed)))
            return QByteArray();
    return writer.finish() ? sink.bytes : QByteArray();
}

QString statusName(LinkIndex::Lookup::Status s) {
    switch (s) {
    case LinkIndex::Lookup::Status::Found:
        return "found";
    case LinkIndex::Lookup::Status::NotFound:
        return "not found";
    case LinkIndex::Lookup::Status::Damaged:
        return "damaged";
    case LinkIndex::Lookup::Status::Changed:
        return "changed";
    }
    return QString();
}

// Rewrites a file in place: the same file (inode), new bytes.
bool rewriteInPlace(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

class TestLinkIndex : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookups_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<NameOrder>("order");
        for (NameOrder order : {NameOrder::Bytes, NameOrder::TrailingDot}) {
            const char* o = order == NameOrder::Bytes ? "bytes" : "trailing dot";
            for (int count : {0, 1, 63, 64, 65, 8193, 12000})
                QTest::addRow("%s, %d names", o, count) << count << order;
        }
    }
    // Every name is found with its own values, in the order the index says its names are in;
    // names around them are not.
    void lookups() {
        QFETCH(int, count);
        QFETCH(NameOrder, order);
        test::TestEnv env(false);
        const QList<QByteArray> names = namesOf(count, order);
        QVERIFY(writeFileAtomically(env.file("i.links"), indexOf(names, order)));
        QString problem;
        const auto index = LinkIndex::open(env.file("i.links"), &problem);
        QVERIFY2(index, qPrintable(problem));
        QCOMPARE(index->size(), quint64(count));
        QCOMPARE(index->nameOrder(), order);
        QCOMPARE(index->measures(), 7u);
        QCOMPARE(index->releaseName(), QString("rel"));
        for (int i = 0; i < names.size(); ++i) {
            const LinkIndex::Lookup found = index->find(names[i]);
            QVERIFY2(found.status == LinkIndex::Lookup::Status::Found, names[i].constData());
            QCOMPARE(found.values, valuesOf(i, 0));
            QCOMPARE(found.name, names[i]);
        }
        for (const QByteArray absent : {"a", "com.site", "com.site1-", "com.site0.b", "com.site7-c",
                                        "com.site14.", "zz", "com.site99999999"})
            QCOMPARE(statusName(index->find(absent).status), QString("not found"));
    }

    void writerRefuses_data() {
        QTest::addColumn<QList<QByteArray>>("names");
        QTest::newRow("out of order") << QList<QByteArray>{"com.b", "com.a"};
        QTest::newRow("twice") << QList<QByteArray>{"com.a", "com.a"};
        QTest::newRow("dot order in a byte-order index") << QList<QByteArray>{"com.a-b", "com.a"};
        QTest::newRow("empty") << QList<QByteArray>{"com.a", ""};
        QTest::newRow("NUL") << QList<QByteArray>{QByteArray("com.a\0b", 7)};
        QTest::newRow("too long") << QList<QByteArray>{"com." + QByteArray(1021, 'x')};
    }
    void writerRefuses() {
        QFETCH(QList<QByteArray>, names);
        LinkIndexBytes sink;
        LinkIndexWriter writer(sink, "r", GraphLevel::Domains, NameOrder::Bytes, 1);
        bool all = true;
        for (const QByteArray& name : names)
            all = writer.add(name, {1, 0, 0}) && all;
        QVERIFY(!all);
    }

    // Of one name given twice the first stays, with the larger count.
    void builderSortsAndMerges() {
        test::TestEnv env(false);
        LinkIndexBuilder builder("b", GraphLevel::Hosts);
        builder.add("org.z", 0);
        builder.add("com.a-b", 1);
        builder.add("com.a", 2);
        builder.add("org.z", 3);
        const LinkIndexBuilder::Result built =
            builder.finish([](quint32 id) { return id == 3 ? 40u : id * 10 + 1; });
        QCOMPARE(built.records, 3u);
        QCOMPARE(built.duplicateNames, 1u);
        QVERIFY(writeFileAtomically(env.file("b"), built.bytes));
        const auto index = LinkIndex::open(env.file("b"));
        QVERIFY(index);
        QCOMPARE(index->countMeaning(), QString("linking hosts in b"));
        QCOMPARE(index->find("org.z").count(), 40u);
        QCOMPARE(index->find("com.a-b").count(), 11u);
        QCOMPARE(index->find("com.a").count(), 21u);
    }

    void notAnIndex_data() {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file there
        QTest::addColumn<QString>("problem");
        const QByteArray good = indexOf(namesOf(300, NameOrder::Bytes), NameOrder::Bytes);
        QTest::newRow("missing") << QByteArray() << "there is no file";
        QTest::newRow("text") << QByteArray(200, 'x') << "is not a link index";
        QTest::newRow("short") << good.left(100) << "is not a link index";
        QTest::newRow("older version")
            << QByteArray("TLNKIDX1") + QByteArray(120, '\0') << "older tallyscope-graph";
        QTest::newRow("cut off") << good.left(good.size() - 10) << "is damaged";
        QTest::newRow("grown") << good + "more"
                               << "is damaged";
        QByteArray renamed = good;
        renamed[128] = 'R'; // the release name: the header's checksum no longer fits
        QTest::newRow("header changed") << renamed << "is damaged";
        QByteArray root = good;
        root[root.size() - 5] = char(root[root.size() - 5] ^ 0x40);
        QTest::newRow("root changed") << root << "is damaged";
    }
    void notAnIndex() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        test::TestEnv env(false);
        if (!bytes.isEmpty())
            QVERIFY(writeFileAtomically(env.file("x.links"), bytes));
        QString why;
        QVERIFY(!LinkIndex::open(env.file("x.links"), &why));
        QVERIFY2(why.contains(problem), qPrintable(why));
        QVERIFY(!LinkIndex::open(env.path(), &why));
        QVERIFY2(why.contains("not a regular file"), qPrintable(why));
    }

    // A block changed on the disk fails the lookups that need it, and no other.
    void damagedBlock() {
        test::TestEnv env(false);
        const QList<QByteArray> names = namesOf(1000, NameOrder::Bytes);
        QByteArray bytes = indexOf(names, NameOrder::Bytes);
        const qsizetype firstBlock = 128 + 3; // after the header and the release name "rel"
        bytes[firstBlock + 40] = char(bytes[firstBlock + 40] ^ 0x01);
        QVERIFY(writeFileAtomically(env.file("d.links"), bytes));
        const auto index = LinkIndex::open(env.file("d.links"));
        QVERIFY(index);
        for (int i : {0, 30, 63})
            QCOMPARE(statusName(index->find(names[i]).status), QString("damaged"));
        for (int i : {64, 500, 999})
            QCOMPARE(index->find(names[i]).values, valuesOf(i, 0));
    }

    // Replaced by a rename (as an import does): the open index still reads as it was opened.
    void replacedByRename() {
        test::TestEnv env(false);
        const QList<QByteArray> names = namesOf(5000, NameOrder::Bytes);
        QVERIFY(writeFileAtomically(env.file("r.links"), indexOf(names, NameOrder::Bytes, 0)));
        const auto before = LinkIndex::open(env.file("r.links"));
        QVERIFY(before);
        QVERIFY(writeFileAtomically(env.file("r.links"), indexOf(names, NameOrder::Bytes, 7)));
        const auto after = LinkIndex::open(env.file("r.links"));
        QVERIFY(after);
        for (int i : {0, 2500, 4999}) {
            QCOMPARE(before->find(names[i]).values, valuesOf(i, 0));
            QCOMPARE(after->find(names[i]).values, valuesOf(i, 7));
        }
    }

    void rewrittenInPlace_data() {
        QTest::addColumn<int>("newSize"); // -1: another index of the same names
        QTest::newRow("another index") << -1;
        QTest::newRow("cut to half") << 1;
        QTest::newRow("emptied") << 0;
        QTest::newRow("cut to the header") << 2;
    }
    // Rewritten in place under an open index: its lookups fail "changed", never crash (a mapped
    // file cut short would raise SIGBUS) and never give a count of either version.
    void rewrittenInPlace() {
        QFETCH(int, newSize);
        test::TestEnv env(false);
        const QList<QByteArray> names = namesOf(20000, NameOrder::Bytes);
        const QByteArray first = indexOf(names, NameOrder::Bytes, 0);
        QVERIFY(writeFileAtomically(env.file("w.links"), first));
        const auto index = LinkIndex::open(env.file("w.links"));
        QVERIFY(index);
        QCOMPARE(index->find(names[10]).values, valuesOf(10, 0));
        const QByteArray second = indexOf(names, NameOrder::Bytes, 9);
        const QByteArray bytes = newSize < 0    ? second
                                 : newSize == 1 ? first.left(first.size() / 2)
                                 : newSize == 2 ? first.left(200)
                                                : QByteArray();
        QVERIFY(rewriteInPlace(env.file("w.links"), bytes));
        for (int i : {0, 10, 9999, 19999}) {
            const LinkIndex::Lookup found = index->find(names[i]);
            QCOMPARE(statusName(found.status), QString("changed"));
            QCOMPARE(found.values, GraphValues{});
        }
        QCOMPARE(statusName(index->find("zz.absent").status), QString("changed"));
    }

    // Lookups while another thread rewrites the file over and over: each either gives the
    // opened index's own values or fails; no crash, no value of the other version.
    void rewrittenDuringLookups() {
        test::TestEnv env(false);
        const QList<QByteArray> names = namesOf(10000, NameOrder::Bytes);
        const QByteArray first = indexOf(names, NameOrder::Bytes, 0);
        const QByteArray second = indexOf(names, NameOrder::Bytes, 5);
        QVERIFY(writeFileAtomically(env.file("c.links"), first));
        const auto index = LinkIndex::open(env.file("c.links"));
        QVERIFY(index);
        std::atomic<bool> done{false};
        std::atomic<int> rounds{0};
        std::thread writer([&] {
            for (int round = 0; !done; ++round) {
                const QByteArray& bytes = round % 3 == 0 ? second : first;
                rewriteInPlace(env.file("c.links"), round % 3 == 2 ? bytes.left(5000) : bytes);
                rounds = round + 1;
            }
        });
        // At least 1,000 lookups, and on until the writer has been through each of its three
        // versions twice (it may start late on a busy machine).
        int answered = 0;
        int failed = 0;
        QString wrong;
        for (int k = 0; wrong.isEmpty() && (k < 1000 || rounds < 6); ++k) {
            const int i = (k * 7919) % names.size();
            const LinkIndex::Lookup found = index->find(names[i]);
            if (found.status == LinkIndex::Lookup::Status::Found) {
                if (found.values != valuesOf(i, 0))
                    wrong = QString("another version's values for name %1").arg(i);
                ++answered;
            } else if (found.status == LinkIndex::Lookup::Status::Changed ||
                       found.status == LinkIndex::Lookup::Status::Damaged) {
                ++failed;
            } else {
                wrong = QString("status %1 for name %2").arg(statusName(found.status)).arg(i);
            }
        }
        done = true;
        writer.join();
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QVERIFY(answered + failed >= 1000);
        QVERIFY(failed > 0);
    }
};

TALLY_GUILESS_TEST_MAIN(TestLinkIndex)
#include "tst_link_index.moc"
