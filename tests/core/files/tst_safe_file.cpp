// Atomic writes that never report success for a short write, and bounded reads of regular files.
#include "core/files/safe_file.h"
#include "support/full_disk.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace tally;
using tally::test::FileSizeLimit;
using tally::test::SmallFileSystem;

namespace {

// A saved search of about 2 KB, as the program writes it.
QByteArray history() {
    QByteArray text;
    for (const char* engine : {"Google", "Ask"}) {
        text += QByteArray("\r\n[") + engine + "]\r\n";
        for (int i = 0; i < 60; ++i)
            text += QByteArray::number(1 + i / 28).rightJustified(2, '0') + '-' +
                    QByteArray::number(1 + i % 28).rightJustified(2, '0') +
                    "-26=" + QByteArray::number(100000 + i) + "\r\n";
    }
    return text;
}

void writePlain(const QString& path, const QByteArray& bytes) {
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(out.write(bytes), bytes.size());
}

QByteArray readPlain(const QString& path) {
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

class TestSafeFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The fault this guards: a buffered write whose "no space left" only shows at commit, after
    // which an empty file took the old one's place and the write said it had succeeded.
    void fullDiskKeepsTheOldFile_data() {
        QTest::addColumn<bool>("realFileSystem");
        QTest::addColumn<bool>("existing");
        QTest::newRow("small tmpfs filled up, replacing") << true << true;
        QTest::newRow("small tmpfs filled up, creating") << true << false;
        QTest::newRow("file size limit, replacing") << false << true;
        QTest::newRow("file size limit, creating") << false << false;
    }
    void fullDiskKeepsTheOldFile() {
        QFETCH(bool, realFileSystem);
        QFETCH(bool, existing);
        QTemporaryDir dir;
        std::optional<SmallFileSystem> disk;
        if (realFileSystem) {
            disk.emplace(dir.path());
            if (!disk->mounted())
                QSKIP("cannot mount a small tmpfs here (needs root)");
        }
        const QString path = dir.filePath(QStringLiteral("mysite.vqz"));
        const QByteArray old = history();
        QVERIFY(old.size() > 2000);
        if (existing)
            writePlain(path, old);
        if (disk)
            disk->fill();
        const QStringList before = folderEntries(dir.path());
        const QByteArray bigger = old + "\r\n[MSN]\r\n12-29-26=1\r\n";

        FileOutcome outcome = FileOutcome::success();
        if (disk) {
            outcome = writeFileAtomically(path, bigger);
        } else {
            FileSizeLimit limit(30);
            outcome = writeFileAtomically(path, bigger);
        }
        QVERIFY(!outcome.ok());
        QVERIFY(!outcome.reason().isEmpty());
        QCOMPARE(readPlain(path), existing ? old : QByteArray("<missing>"));
        QCOMPARE(folderEntries(dir.path()), before); // no temporary file left behind
    }

    void piecewiseWrites_data() {
        QTest::addColumn<QString>("end"); // how the writer's life ends
        QTest::newRow("committed") << "commit";
        QTest::newRow("dropped before the commit") << "drop";
        QTest::newRow("over the file size limit") << "limit";
    }
    // A file written in pieces (and one piece rewritten) replaces the old one only at the commit;
    // a writer dropped or failing leaves the old file and nothing else.
    void piecewiseWrites() {
        QFETCH(QString, end);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("index.links"));
        writePlain(path, "old");
        const QStringList before = folderEntries(dir.path());
        const QByteArray big(3 * 1024 * 1024 + 17, 'b'); // more than the writer's buffer
        QByteArray expected = QByteArray("head") + "small" + big + "tail";
        expected.replace(0, 4, "HEAD");
        bool written = false;
        FileOutcome outcome = FileOutcome::failure(QStringLiteral("not committed"));
        {
            std::optional<FileSizeLimit> limit;
            if (end == QLatin1String("limit"))
                limit.emplace(1024 * 1024);
            AtomicFileWriter writer(path);
            QVERIFY(writer.open());
            written = writer.write("head", 4) && writer.write("small", 5) &&
                      writer.write(big.constData(), big.size()) && writer.write("tail", 4) &&
                      writer.overwrite(0, "HEAD", 4);
            if (end != QLatin1String("drop"))
                outcome = writer.commit();
            if (!written)
                QVERIFY(!writer.reason().isEmpty());
        }
        if (end == QLatin1String("commit")) {
            QVERIFY(written);
            QVERIFY2(outcome.ok(), qPrintable(outcome.reason()));
            QCOMPARE(readPlain(path), expected);
        } else {
            QVERIFY(!outcome.ok());
            QCOMPARE(readPlain(path), QByteArray("old"));
        }
        QCOMPARE(folderEntries(dir.path()), before);
    }

    void refusedTargetsStayAsTheyAre_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only file") << "readonly"
                                        << "The file is read-only";
        QTest::newRow("folder in its place") << "folder"
                                             << "It is a folder";
        QTest::newRow("FIFO in its place") << "fifo"
                                           << "It is not a regular file";
        QTest::newRow("missing folder") << "nofolder"
                                        << "The folder does not exist";
        QTest::newRow("name too long") << "longname"
                                       << "The file name is too long";
    }
    void refusedTargetsStayAsTheyAre() {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("target"));
        if (setup == QLatin1String("readonly")) {
            writePlain(path, "old");
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
        } else if (setup == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("target")));
        } else if (setup == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (setup == QLatin1String("nofolder")) {
            path = dir.filePath(QStringLiteral("none/target"));
        } else {
            path = dir.filePath(QString(maxAtomicFileNameBytes() + 1, QLatin1Char('n')));
        }
        const QStringList before = folderEntries(dir.path());
        const FileOutcome outcome = writeFileAtomically(path, "new");
        QCOMPARE(outcome.reason(), reason);
        QCOMPARE(folderEntries(dir.path()), before);
        if (setup == QLatin1String("readonly"))
            QCOMPARE(readPlain(path), QByteArray("old"));
    }

    void replacesWholeThroughLinksKeepingPermissions() {
        QTemporaryDir dir;
        const QString real = dir.filePath(QStringLiteral("real.ini"));
        const QString link = dir.filePath(QStringLiteral("link.ini"));
        writePlain(real, "old contents, longer than the new");
        QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QVERIFY(QFile::link(real, link));
        QVERIFY(writeFileAtomically(link, "new").ok());
        QCOMPARE(readPlain(real), QByteArray("new"));
        QVERIFY(QFileInfo(link).isSymLink());
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0604u);
        // The longest name the temporary file leaves room for is written as any other.
        const QString longest = dir.filePath(QString(maxAtomicFileNameBytes(), QLatin1Char('x')));
        QVERIFY(writeFileAtomically(longest, "").ok());
        QCOMPARE(readPlain(longest), QByteArray());
        QVERIFY(!fitsAtomicFileName(QString(maxAtomicFileNameBytes() / 2 + 1, QChar(0xe9))));
    }

    // Who may read a written file: the umask for a new file and the old mode for an existing one,
    // or the owner alone, new or not.
    void accessOfWrittenFiles_data() {
        QTest::addColumn<int>("access");
        QTest::addColumn<int>("existingMode"); // -1: no file yet
        QTest::addColumn<uint>("mode");
        const int usual = int(FileAccess::Usual);
        const int owner = int(FileAccess::OwnerOnly);
        QTest::newRow("usual, new") << usual << -1 << 0644u;
        QTest::newRow("usual, existing keeps its mode") << usual << 0640 << 0640u;
        QTest::newRow("owner only, new") << owner << -1 << 0600u;
        QTest::newRow("owner only, existing readable by all") << owner << 0644 << 0600u;
        QTest::newRow("owner only, existing of the owner") << owner << 0600 << 0600u;
    }
    void accessOfWrittenFiles() {
        QFETCH(int, access);
        QFETCH(int, existingMode);
        QFETCH(uint, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("store.conf"));
        const mode_t oldMask = ::umask(022);
        if (existingMode >= 0) {
            writePlain(path, "old");
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(existingMode)), 0);
        }
        const FileOutcome outcome = writeFileAtomically(path, "key=secret", FileAccess(access));
        ::umask(oldMask);
        QVERIFY2(outcome.ok(), qPrintable(outcome.reason()));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(uint(st.st_mode & 0777), mode);
        QCOMPARE(readPlain(path), QByteArray("key=secret"));
    }

    void boundedReads_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        using S = FileContents::Status;
        QTest::newRow("regular file at the limit") << "limit" << int(S::Read) << "";
        QTest::newRow("missing") << "missing" << int(S::Missing) << "The file does not exist";
        QTest::newRow("over the limit (sparse)")
            << "sparse" << int(S::Refused) << "It is larger than 1 KiB";
        QTest::newRow("FIFO") << "fifo" << int(S::Refused) << "It is not a regular file";
        QTest::newRow("link to /dev/zero")
            << "zero" << int(S::Refused) << "It is not a regular file";
        QTest::newRow("folder") << "folder" << int(S::Refused) << "It is a folder";
    }
    void boundedReads() {
        QFETCH(QString, setup);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f"));
        const QByteArray encoded = QFile::encodeName(path);
        if (setup == QLatin1String("limit"))
            writePlain(path, QByteArray(1024, 'a'));
        else if (setup == QLatin1String("sparse"))
            QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, 1025));
        else if (setup == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(encoded.constData(), 0600), 0); // a blocking open would hang here
        else if (setup == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else if (setup == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("f")));

        const FileContents contents = readFileBounded(path, 1024);
        QCOMPARE(int(contents.status), status);
        QCOMPARE(contents.reason, reason);
        QCOMPARE(contents.bytes.size(), status == int(FileContents::Status::Read) ? 1024 : 0);
        QCOMPARE(checkFileReadable(path, 1024).reason(), reason);
    }

    void systemFilesWithoutASizeAreReadUpToTheLimit() {
        // /proc files report a size of 0 and are read in steps.
        const FileContents status = readFileBounded(QStringLiteral("/proc/self/status"), MiB);
        QVERIFY(status.isRead());
        QVERIFY(status.bytes.contains("Name:"));
        QCOMPARE(readFileBounded(QStringLiteral("/proc/self/status"), 10).reason,
                 QStringLiteral("It is larger than 10 bytes"));
    }

    void byteOrderMark() {
        QCOMPARE(withoutByteOrderMark("\xEF\xBB\xBF[Google]"), QByteArray("[Google]"));
        QCOMPARE(withoutByteOrderMark("[Google]\xEF\xBB\xBF"), QByteArray("[Google]\xEF\xBB\xBF"));
        QCOMPARE(withoutByteOrderMark("\xEF\xBB"), QByteArray("\xEF\xBB"));
    }
};

TALLY_GUILESS_TEST_MAIN(TestSafeFile)
#include "tst_safe_file.moc"
