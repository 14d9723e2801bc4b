#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "support/full_disk.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

using namespace tally;
using namespace tally::modINI;

class TestIniFile : public QObject {
    Q_OBJECT

    test::TestEnv* env = nullptr;
    QString path;

    void write(const QByteArray& bytes) { env->writeFile(QStringLiteral("t.ini"), bytes); }
    QByteArray contents() const { return env->readFile(QStringLiteral("t.ini")); }

private Q_SLOTS:
    void init() {
        env = new test::TestEnv(false);
        path = env->file(QStringLiteral("t.ini"));
    }
    void cleanup() {
        delete env;
        env = nullptr;
    }

    void namesIgnoreCaseAndKeysMatchExactly() {
        write("[ENGINES]\r\ngoogle=g\r\nAsk1=a1\r\nAsk=a\r\nYahoo =y\r\n");
        QCOMPARE(ReadIniValue("Engines", "Google", "d", path), QString("g"));
        QCOMPARE(ReadIniValue("Engines", "Ask", "d", path), QString("a"));
        // Spaces around "=" belong to the key: "Yahoo " is not "Yahoo".
        QCOMPARE(ReadIniValue("Engines", "Yahoo", "d", path), QString("d"));
        QCOMPARE(ReadIniValue("Engines", "Yahoo ", "d", path), QString("y"));
        QCOMPARE(ReadIniValue("Other", "Google", "d", path), QString("d"));
    }

    void firstHeaderAndFirstKeyWin() {
        write("[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n");
        QCOMPARE(ReadIniValue("S", "k", "", path), QString("1"));
        QVERIFY(WriteIniValue("s", "K", "9", path));
        QCOMPARE(contents(), QByteArray("\r\n[S]\r\nK=9\r\nk=2\r\n\r\n[S]\r\nk=3\r\n"));
    }

    void headerWithTrailingTextAndValueWithEquals() {
        write("[Engines] comment\r\nGoogle=http://x/?a=b&q=link:\r\n[Open\r\nx=1\r\n");
        QCOMPARE(ReadIniValue("Engines", "Google", "", path), QString("http://x/?a=b&q=link:"));
        QCOMPARE(ListIniSections(path), QStringList({"Engines", "Open"}));
    }

    void invalidNamesReadDefaultAndWriteNothing() {
        write("[S]\r\nk=v\r\n");
        for (const char* bad : {"a[b", "a]b", "a=b"}) {
            QCOMPARE(ReadIniValue(bad, "k", "d", path), QString("d"));
            QCOMPARE(ReadIniValue("S", bad, "d", path), QString("d"));
            QCOMPARE(ReadIniSection(bad, "d", path), QString("d"));
            QVERIFY(!WriteIniValue(bad, "k", "v", path));
            QVERIFY(!WriteIniValue("S", bad, "v", path));
            QVERIFY(!WritePrivateProfileStringA(bad, "k", "v", path));
            QVERIFY(!WritePrivateProfileSectionA(bad, "", path));
        }
        QCOMPARE(contents(), QByteArray("[S]\r\nk=v\r\n"));
        QVERIFY(IsValidIniName("All The Web"));
        QVERIFY(!IsValidIniName("x=y"));
    }

    void lineBreaksAndNulsAreRefused() {
        write("[S]\r\nk=v\r\n");
        QVERIFY(!WriteIniValue("S", "k", "v\r\n[Evil]", path));
        QVERIFY(!WriteIniValue("S", "k\n", "v", path));
        QVERIFY(!WriteIniValue("S\r", "k", "v", path));
        QVERIFY(!WriteIniValue("S", "k", QString("a") + QChar(0) + "b", path));
        QVERIFY(!WritePrivateProfileStringA("S", "k", "a\nb", path));
        QCOMPARE(contents(), QByteArray("[S]\r\nk=v\r\n"));
    }

    void missingFile() {
        QCOMPARE(ReadIniValue("S", "k", "d", path), QString("d"));
        QCOMPARE(ReadIniSection("S", "d", path), QString("d"));
        QVERIFY(ListIniSections(path).isEmpty());
        QVERIFY(WriteIniValue("S", "k", "v", path));
        QCOMPARE(contents(), QByteArray("[S]\r\nk=v\r\n"));
    }

    void writesPlaceKeysAndSections() {
        write("[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
        QVERIFY(WriteIniValue("A", "new", "n", path)); // directly under the header
        QVERIFY(WriteIniValue("B", "y", "3", path));   // in place
        QVERIFY(WriteIniValue("C", "z", "4", path));   // appended with one blank line
        QCOMPARE(contents(),
                 QByteArray("\r\n[A]\r\nnew=n\r\nx=1\r\n\r\n[B]\r\ny=3\r\n\r\n[C]\r\nz=4\r\n"));
    }

    void aWriteNormalisesBlankLinesAndSpaces() {
        write("top\r\n\r\n  lead=1  \r\n   \r\n[A]\r\n\r\nx=1\r\n\tt=2\r\n");
        QVERIFY(WriteIniValue("A", "x", "5", path));
        // Lines are trimmed of spaces (tabs stay); a line of spaces becomes empty...
        QCOMPARE(contents(), QByteArray("top\r\nlead=1\r\n\r\n\r\n[A]\r\nx=5\r\n\tt=2\r\n"));
        // ...and the next load drops it: exactly one blank line before the header remains.
        QVERIFY(WriteIniValue("A", "x", "6", path));
        QCOMPARE(contents(), QByteArray("top\r\nlead=1\r\n\r\n[A]\r\nx=6\r\n\tt=2\r\n"));
    }

    void readSectionEnds() {
        write("[A]\r\na1=1\r\na2=2\r\n[B]\r\nb=1\r\n[E]\r\n");
        QCOMPARE(ReadIniSection("A", "d", path), QString("a1=1\r\na2=2\r\n"));
        QCOMPARE(ReadIniSection("B", "d", path), QString("b=1\r\n"));
        QCOMPARE(ReadIniSection("E", "d", path), QString(""));
        write("[A]\r\na=1\r\n[B]\r\nb=1\r\nc=2");
        QCOMPARE(ReadIniSection("b", "d", path), QString("b=1\r\nc=2"));
    }

    void lineEndsCrLfCrAndLf() {
        write("[A]\rx=1\r[B]\ny=2\nz=3\r\n");
        QCOMPARE(ReadIniValue("A", "x", "", path), QString("1"));
        QCOMPARE(ReadIniValue("B", "y", "", path), QString("2"));
        QCOMPARE(ReadIniValue("B", "z", "", path), QString("3"));
        QVERIFY(WriteIniValue("B", "z", "4", path));
        QCOMPARE(contents(), QByteArray("\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\nz=4\r\n"));
    }

    void untouchedBytesSurviveAndTextIsUtf8() {
        write("[A]\r\nlatin=caf\xe9\r\n");
        QVERIFY(WriteIniValue(QString::fromUtf8("Caf\u00e9s"), QString::fromUtf8("cl\u00e9"),
                              QString::fromUtf8("\u20ac"), path));
        QCOMPARE(contents(),
                 QByteArray("\r\n[A]\r\nlatin=caf\xe9\r\n\r\n[Caf\xc3\xa9s]\r\ncl\xc3\xa9="
                            "\xe2\x82\xac\r\n"));
        QCOMPARE(
            ReadIniValue(QString::fromUtf8("CAF\u00c9S"), QString::fromUtf8("cl\u00e9"), "", path),
            QString::fromUtf8("\u20ac"));
    }

    void profileStringAppendsAtSectionEnd() {
        write("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
        QVERIFY(WritePrivateProfileStringA("A", "w", "0", path));
        QVERIFY(WritePrivateProfileStringA("A", "x", "9", path));
        QVERIFY(WritePrivateProfileStringA("N", "k", "v", path));
        QCOMPARE(
            contents(),
            QByteArray("\r\n[A]\r\nx=9\r\ny=2\r\nw=0\r\n\r\n[B]\r\nz=3\r\n\r\n[N]\r\nk=v\r\n"));
        QFile::remove(path);
        QVERIFY(WritePrivateProfileStringA("Engines", "Google", "g", path));
        QCOMPARE(ReadIniValue("Engines", "Google", "", path), QString("g"));
    }

    void profileSectionEmptiesOrCreates() {
        write("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
        QVERIFY(WritePrivateProfileSectionA("a", "", path));
        QCOMPARE(contents(), QByteArray("\r\n[A]\r\n\r\n[B]\r\nz=3\r\n"));
        QVERIFY(WritePrivateProfileSectionA("B", "", path));
        QVERIFY(WritePrivateProfileSectionA("C", "", path));
        QCOMPARE(contents(), QByteArray("\r\n[A]\r\n\r\n[B]\r\n\r\n[C]\r\n"));
        QCOMPARE(ListIniSections(path), QStringList({"A", "B", "C"}));
        QFile::remove(path);
        QVERIFY(WritePrivateProfileSectionA("Google", "", path));
        QCOMPARE(contents(), QByteArray("[Google]\r\n"));
    }

    void relativeNamesUseTheProgramFolder() {
        QVERIFY(WriteIniValue("S", "k", "v", "rel.ini"));
        QVERIFY(QFile::exists(env->file("rel.ini")));
        QCOMPARE(ReadIniValue("S", "k", "", "rel.ini"), QString("v"));
    }

    void failedWritesLeaveFilesWhole() {
        // A folder that does not exist.
        QVERIFY(!WriteIniValue("S", "k", "v", env->file("missing/x.ini")));
        QVERIFY(!QFile::exists(env->file("missing/x.ini")));
        // A target that is a folder.
        QVERIFY(!WriteIniValue("S", "k", "v", env->file("Saved")));
        // A read-only file (root may write anyway; then the write must still be whole).
        write("[S]\r\nk=v\r\n");
        QFile::setPermissions(path, QFile::ReadOwner);
        const bool ok = WriteIniValue("S", "k", "w", path);
        if (geteuid() != 0) {
            QVERIFY(!ok);
            QCOMPARE(contents(), QByteArray("[S]\r\nk=v\r\n"));
        } else {
            QCOMPARE(ReadIniValue("S", "k", "", path), QString(ok ? "w" : "v"));
        }
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    void indentedHeadersAndKeysReadAsAWriteLeavesThem() {
        write("  [Engines]  \r\n  Google=old\r\nAsk=a\r\n");
        QCOMPARE(ListIniSections(path), QStringList{"Engines"});
        QCOMPARE(ReadIniValue("Engines", "Google", "", path), QString("old"));
        // One [Engines] section after the write: the indented one, replaced in place.
        QVERIFY(WritePrivateProfileStringA("Engines", "Google", "new", path));
        QVERIFY(WritePrivateProfileStringA("Engines", "MSN", "m", path));
        QCOMPARE(contents(), QByteArray("\r\n[Engines]\r\nGoogle=new\r\nAsk=a\r\nMSN=m\r\n"));
    }

    void byteOrderMarkIsSkipped() {
        write("\xEF\xBB\xBF[Google]\r\n12-01-26=5\r\n[Ask]\r\n12-01-26=7\r\n");
        QCOMPARE(ListIniSections(path), QStringList({"Google", "Ask"}));
        QCOMPARE(ReadIniValue("Google", "12-01-26", "", path), QString("5"));
        QVERIFY(WriteIniValue("Ask", "12-02-26", "8", path));
        QVERIFY(contents().startsWith("\r\n[Google]\r\n12-01-26=5\r\n")); // and no mark added
    }

    // A series of writes applied as one edit leaves exactly the bytes of the same writes made one
    // after the other, whatever shape the file had.
    void oneEditEqualsTheSeriesOfWrites_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("missing file") << QByteArray();
        QTest::newRow("saved search") << QByteArray("\r\n[Google]\r\n12-07-26=912\r\n\r\n[Ask]\r\n"
                                                    "12-07-26=1\r\n12-06-26=2\r\n");
        QTest::newRow("hand-edited") << QByteArray(
            "\xEF\xBB\xBF  top \r\n   \r\n\r\n  [google] x\r\n\r\n 12-07-26 =1\r\n   \r\n"
            "[Engines]\r\nMSN=m\r\n[Ask]\r\n[GOOGLE]\r\nx=1\n[ATW]\r");
        QTest::newRow("only spaces") << QByteArray("   \r\n  \r\n");
    }
    void oneEditEqualsTheSeriesOfWrites() {
        QFETCH(QByteArray, start);
        const QString one = env->file(QStringLiteral("one.ini"));
        const QString series = env->file(QStringLiteral("series.ini"));
        const char* sections[] = {"Google", "Ask", "Engines", "All The Web"};
        for (int round = 0; round < 2; ++round) {
            for (const QString& file : {one, series})
                if (!start.isEmpty())
                    env->writeFile(QFileInfo(file).fileName(), start);
                else
                    QFile::remove(file);
            IniFileEdit edit(one);
            for (const char* section : sections) {
                if (round == 0) { // a new saved search, as the save dialog's "Save" writes it
                    edit.writePrivateProfileSection(section, "");
                    QVERIFY(WritePrivateProfileSectionA(section, "", series));
                }
                edit.writeIniValue(section, "12-08-26", "5");
                QVERIFY(WriteIniValue(section, "12-08-26", "5", series));
                edit.writePrivateProfileString(section, "MSN", " m ");
                QVERIFY(WritePrivateProfileStringA(section, "MSN", " m ", series));
            }
            QVERIFY(edit.save().ok());
            QCOMPARE(env->readFile("one.ini"), env->readFile("series.ini"));
        }
    }

    void anEditThatCannotBeAppliedWritesNothing() {
        write("[S]\r\nk=v\r\n");
        const FileOutcome outcome = IniFileEdit(path)
                                        .writeIniValue("S", "a", "1")
                                        .writeIniValue("S", "b", "2\r\n[X]")
                                        .save();
        QVERIFY(!outcome.ok());
        QVERIFY(
            !IniFileEdit(path).writeIniValue("S", "a", "1").writeIniValue("S=", "b", "2").save());
        QCOMPARE(contents(), QByteArray("[S]\r\nk=v\r\n"));
    }

    // A file that cannot be read whole is never written over with what little was read.
    void unreadableFilesAreLeftAlone_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("setup");
        QTest::newRow("FIFO") << "t.ini"
                              << "fifo";
        QTest::newRow("settings.ini over 1 MiB") << "settings.ini"
                                                 << "1 MiB";
        QTest::newRow("saved search over 64 MiB") << "big.vqz"
                                                  << "64 MiB";
    }
    void unreadableFilesAreLeftAlone() {
        QFETCH(QString, name);
        QFETCH(QString, setup);
        const QString file = env->file(name);
        if (setup == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else {
            const qint64 limit = setup == QLatin1String("1 MiB") ? MiB : 64 * MiB;
            QCOMPARE(iniFileSizeLimit(file), limit);
            QVERIFY(QFile(file).open(QIODevice::WriteOnly) && QFile::resize(file, limit + 1));
        }
        QCOMPARE(ReadIniValue("S", "k", "d", file), QString("d")); // at once, without blocking
        QVERIFY(ListIniSections(file).isEmpty());
        QVERIFY(!WriteIniValue("S", "k", "v", file));
        QVERIFY(!WritePrivateProfileSectionA("S", "", file));
        const QFileInfo after(file);
        QCOMPARE(after.isFile(), setup != QLatin1String("fifo"));
        if (after.isFile())
            QVERIFY(after.size() > MiB);
    }

    // A full disk: every write function reports the failure and the file keeps its bytes.
    void writesOnAFullDiskKeepTheFile() {
        QByteArray old;
        for (int i = 0; i < 100; ++i)
            old +=
                "12-" + QByteArray::number(10 + i % 18) + "-26=" + QByteArray::number(i) + "\r\n";
        old = "\r\n[Google]\r\n" + old;
        write(old);
        test::FileSizeLimit full(10);
        QVERIFY(!WriteIniValue("Google", "12-31-26", "1", path));
        QVERIFY(!WritePrivateProfileStringA("Google", "12-31-26", "1", path));
        QVERIFY(!WritePrivateProfileSectionA("Google", "", path));
        QCOMPARE(IniFileEdit(path).writeIniValue("Ask", "12-31-26", "1").save().reason(),
                 QString::fromLocal8Bit(strerror(EFBIG)));
        QCOMPARE(contents(), old);
    }

    void hostileFilesNeverCrash() {
        QRandomGenerator rng(1234);
        for (int round = 0; round < 50; ++round) {
            QByteArray junk(1 + rng.bounded(4000), Qt::Uninitialized);
            for (char& c : junk)
                c = char(rng.bounded(256));
            write(junk);
            ReadIniValue("S", "k", "d", path);
            ReadIniSection("S", "d", path);
            ListIniSections(path);
            QVERIFY(WriteIniValue("S", "k", "v", path));
            QCOMPARE(ReadIniValue("S", "k", "", path), QString("v"));
        }
        write(QByteArray("[S]\r\nk=a\0b\r\n[\0]\r\n", 17));
        QCOMPARE(ReadIniValue("S", "k", "", path).size(), 3);
        QCOMPARE(ListIniSections(path).size(), 2);
    }

    void largeFiles() {
        // Far beyond 32,767 line positions.
        QByteArray big = "[A]\r\n";
        for (int i = 0; i < 200000; ++i)
            big += "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
        big += "[B]\r\nlast=yes\r\n";
        write(big);
        QCOMPARE(ReadIniValue("A", "k199999", "", path), QString("199999"));
        QCOMPARE(ReadIniValue("B", "last", "", path), QString("yes"));
        QVERIFY(WriteIniValue("B", "after", "1", path));
        QVERIFY(WriteIniValue("A", "k0", "zero", path));
        QCOMPARE(ReadIniValue("A", "k0", "", path), QString("zero"));
        QCOMPARE(ReadIniValue("A", "k150000", "", path), QString("150000"));
        // One blank line before each header, the new key line, and "0" grown to "zero".
        QCOMPARE(contents().size(), big.size() + 2 + 2 + 9 + 3);
    }
};

TALLY_GUILESS_TEST_MAIN(TestIniFile)
#include "tst_ini_file.moc"
