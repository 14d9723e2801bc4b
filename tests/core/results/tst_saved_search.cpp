// Saved-search files: writing a results row as dated history, reading one engine back, listing.
#include "core/results/saved_search.h"
#include "core/results/site_histories.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "support/full_disk.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>

#include <QtTest>
#include <cstring>

using namespace tally;
using tally::test::TestEnv;

Q_DECLARE_METATYPE(QList<tally::RowCell>)

namespace {

// A results row on its way into a saved search, under the built-in captions.
QList<RowCell> row(const char* google, const char* altavista, const char* yahoo, const char* ask,
                   const char* msn, const char* atw) {
    return {{"Google", google}, {"Altavista", altavista}, {"Yahoo!", yahoo}, {"Ask", ask},
            {"MSN", msn},       {"All The Web", atw}};
}

} // namespace

class TestSavedSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What changed since a site's previous saved point: the newest before today, of the same
    // source and release.
    void changeSincePreviousPoint_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("release");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("change"); // empty for none
        QTest::newRow("grew") << "majestic"
                              << "" << qint64(1100) << "+100 (+10.0 %)";
        QTest::newRow("fell") << "majestic"
                              << "" << qint64(990) << "\u221210 (\u22121.0 %)";
        QTest::newRow("another source") << "semrush"
                                        << "" << qint64(1100) << "";
        QTest::newRow("another release") << "majestic"
                                         << "cc-b" << qint64(1100) << "";
    }
    void changeSincePreviousPoint() {
        QFETCH(QString, source);
        QFETCH(QString, release);
        QFETCH(qint64, count);
        QFETCH(QString, change);
        TestEnv env;
        const QString file = env.file("Saved/site.vqz");
        const PointSource majestic{"majestic", {}, {}, {}, "https://site.example/", {}};
        for (const auto& [day, value] : {std::pair{1, "1000"}, std::pair{9, "5"}})
            QCOMPARE(saveSearchRow({RowCell("Links", value, majestic)}, file, SaveMode::Append,
                                   QDate(2026, 12, day)),
                     SaveResult::Saved);
        const SiteHistories histories = SiteHistories::read(env.file("Saved"));
        // Today's own point (9 December) is not the previous one.
        const std::optional<CountChange> found =
            histories.change("https://site.example/", "Links", {source, {}, release, {}, {}, {}},
                             count, QDate(2026, 12, 9));
        QCOMPARE(found ? found->text() : QString(), change);
        if (found)
            QCOMPARE(found->since, QDate(2026, 12, 1));
        QVERIFY(!histories.change("https://other.example/", "Links", majestic, count,
                                  QDate(2026, 12, 9)));
    }

    void cleanup() { setHistoryToday(QDate()); }

    void workedExampleByteForByte() {
        TestEnv env;
        const QString file = savedSearchPath(QStringLiteral("mysite.vqz"));
        QCOMPARE(file, env.file(QStringLiteral("Saved/mysite.vqz")));
        QCOMPARE(saveSearchRow(row("912", "140", "377", "-", "65", "88"), file, SaveMode::NewSearch,
                               QDate(2026, 12, 7)),
                 SaveResult::Saved);
        QCOMPARE(saveSearchRow(row("930", "150", "380", "12", "70", "90"), file, SaveMode::Append,
                               QDate(2026, 12, 14)),
                 SaveResult::Saved);
        const QByteArray expected = "\r\n[Google]\r\n12-14-26=930\r\n12-07-26=912\r\n"
                                    "\r\n[Altavista]\r\n12-14-26=150\r\n12-07-26=140\r\n"
                                    "\r\n[Yahoo!]\r\n12-14-26=380\r\n12-07-26=377\r\n"
                                    "\r\n[MSN]\r\n12-14-26=70\r\n12-07-26=65\r\n"
                                    "\r\n[All The Web]\r\n12-14-26=90\r\n12-07-26=88\r\n"
                                    "\r\n[Ask]\r\n12-14-26=12\r\n";
        QCOMPARE(env.readFile(QStringLiteral("Saved/mysite.vqz")), expected);

        const QList<HistoryRow> ask = readEngineHistory(QStringLiteral("Ask"), file);
        QCOMPARE(ask.size(), 1);
        QCOMPARE(ask[0].label, QStringLiteral("12-14-26"));
        QCOMPARE(ask[0].count, 12);
        const QList<HistoryRow> google = readEngineHistory(QStringLiteral("Google"), file);
        QCOMPARE(google.size(), 2);
        QCOMPARE(google[0].label, QStringLiteral("12-14-26"));
        QCOMPARE(google[0].count, 930);
        QCOMPARE(google[1].label, QStringLiteral("12-07-26"));
        QCOMPARE(google[1].count, 912);
    }

    // One save is one replacement of the file holding exactly what the writes of the history
    // format, one engine at a time, would leave.
    void aSaveIsTheSeriesOfWritesInOneReplacement_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<RowCell>>("cells");
        const QByteArray example = "\r\n[Google]\r\n12-07-26=912\r\n\r\n[Ask]\r\n12-07-26=1\r\n";
        const QList<RowCell> full = row("930", "150", "380", "12", "70", "90");
        const QList<RowCell> gaps = row("931", "-", "", "13", "-", "91");
        QTest::newRow("new, no file") << QByteArray() << int(SaveMode::NewSearch) << full;
        QTest::newRow("new over a history") << example << int(SaveMode::NewSearch) << gaps;
        QTest::newRow("append") << example << int(SaveMode::Append) << full;
        QTest::newRow("append, skipped cells") << example << int(SaveMode::Append) << gaps;
        QTest::newRow("append, same day again")
            << QByteArray(example).replace("12-07-26", "12-14-26") << int(SaveMode::Append) << full;
        QTest::newRow("append to a hand-edited file")
            << QByteArray("\xEF\xBB\xBF  [yahoo!] \r\n\r\n 12-01-26=3 \r\n   \r\n[MSN]\n")
            << int(SaveMode::Append) << full;
    }
    void aSaveIsTheSeriesOfWritesInOneReplacement() {
        QFETCH(QByteArray, start);
        QFETCH(int, mode);
        QFETCH(QList<RowCell>, cells);
        TestEnv env;
        const QString file = env.file(QStringLiteral("Saved/s.vqz"));
        const QString series = env.file(QStringLiteral("series.vqz"));
        if (!start.isEmpty()) {
            env.writeFile(QStringLiteral("Saved/s.vqz"), start);
            env.writeFile(QStringLiteral("series.vqz"), start);
        }
        const QDate day(2026, 12, 14);
        QCOMPARE(saveSearchRow(cells, file, SaveMode(mode), day), SaveResult::Saved);
        for (const RowCell& cell : cells) {
            if (!isSavableCount(cell.count))
                continue;
            if (SaveMode(mode) == SaveMode::NewSearch)
                QVERIFY(modINI::WritePrivateProfileSectionA(cell.caption, QString(), series));
            QVERIFY(modINI::WriteIniValue(cell.caption, historyDateKey(day), cell.count, series));
        }
        QCOMPARE(env.readFile(QStringLiteral("Saved/s.vqz")),
                 env.readFile(QStringLiteral("series.vqz")));
    }

    void aFailedSaveLeavesTheHistoryWhole() {
        TestEnv env;
        const QString file = savedSearchPath(QStringLiteral("decade.vqz"));
        QDate day(2016, 12, 14);
        QVERIFY(saveSearchRow(row("1", "2", "3", "4", "5", "6"), file, SaveMode::NewSearch, day) ==
                SaveResult::Saved);
        for (int i = 0; i < 3650; i += 73) // a day every ten weeks for ten years
            saveSearchRow(row("1", "2", "3", "4", "5", "6"), file, SaveMode::Append,
                          day = day.addDays(73));
        const QByteArray before = env.readFile(QStringLiteral("Saved/decade.vqz"));
        QString reason;
        {
            test::FileSizeLimit full(before.size() / 2);
            QCOMPARE(saveSearchRow(row("9", "9", "9", "9", "9", "9"), file, SaveMode::Append,
                                   day.addDays(1), &reason),
                     SaveResult::Failed);
        }
        QCOMPARE(reason, QString::fromLocal8Bit(strerror(EFBIG)));
        QCOMPARE(env.readFile(QStringLiteral("Saved/decade.vqz")), before);
        QCOMPARE(QDir(env.file(QStringLiteral("Saved"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("decade.vqz")});
    }

    void aByteOrderMarkDoesNotHideTheFirstEngine() {
        TestEnv env;
        env.writeFile(QStringLiteral("Saved/bom.vqz"),
                      "\xEF\xBB\xBF[Google]\r\n12-07-26=912\r\n\r\n[Ask]\r\n12-07-26=1\r\n");
        const QString file = savedSearchPath(QStringLiteral("bom.vqz"));
        QCOMPARE(modINI::ListIniSections(file), QStringList({"Google", "Ask"}));
        QCOMPARE(readEngineHistory(QStringLiteral("Google"), file).size(), 1);
        QCOMPARE(readEngineHistory(QStringLiteral("Google"), file)[0].count, 912);
    }

    void secondSaveOnSameDayReplacesItsLine() {
        TestEnv env;
        const QString file = savedSearchPath(QStringLiteral("a.vqz"));
        const QDate day(2026, 3, 1);
        saveSearchRow(row("10", "20", "30", "40", "50", "60"), file, SaveMode::NewSearch,
                      day.addDays(-1));
        saveSearchRow(row("11", "21", "31", "41", "51", "61"), file, SaveMode::Append, day);
        saveSearchRow(row("12", "22", "32", "42", "52", "62"), file, SaveMode::Append, day);
        const QList<HistoryRow> google = readEngineHistory(QStringLiteral("Google"), file);
        QCOMPARE(google.size(), 2);
        QCOMPARE(google[0].label, QStringLiteral("03-01-26"));
        QCOMPARE(google[0].count, 12);
        QCOMPARE(google[1].count, 10);
    }

    void newSearchOverExistingNameEmptiesOnlySavedSections() {
        TestEnv env;
        const QString file = savedSearchPath(QStringLiteral("b.vqz"));
        saveSearchRow(row("1", "2", "3", "4", "5", "6"), file, SaveMode::NewSearch,
                      QDate(2025, 1, 1));
        saveSearchRow(row("7", "8", "9", "10", "11", "12"), file, SaveMode::Append,
                      QDate(2025, 1, 2));
        saveSearchRow(row("100", "-", "", "-", "500", "600"), file, SaveMode::NewSearch,
                      QDate(2025, 2, 1));
        QCOMPARE(readEngineHistory(QStringLiteral("Google"), file).size(), 1);
        QCOMPARE(readEngineHistory(QStringLiteral("Google"), file)[0].count, 100);
        QCOMPARE(readEngineHistory(QStringLiteral("Altavista"), file).size(), 2);
        QCOMPARE(readEngineHistory(QStringLiteral("Yahoo!"), file).size(), 2); // empty cell
        QCOMPARE(readEngineHistory(QStringLiteral("Ask"), file).size(), 2);
        QCOMPARE(readEngineHistory(QStringLiteral("MSN"), file).size(), 1);
    }

    void nothingToSaveCreatesNoFile() {
        TestEnv env;
        const QString file = savedSearchPath(QStringLiteral("none.vqz"));
        QCOMPARE(saveSearchRow(row("-", "-", "", "-", "-", "-"), file, SaveMode::NewSearch,
                               QDate(2025, 1, 1)),
                 SaveResult::NothingToSave);
        QCOMPARE(saveSearchRow({}, file, SaveMode::Append, QDate(2025, 1, 1)),
                 SaveResult::NothingToSave);
        QVERIFY(!QFile::exists(file));
    }

    void missingFolderIsCreatedAndUnwritableFolderFails() {
        TestEnv env;
        QVERIFY(QDir(env.file(QStringLiteral("Saved"))).removeRecursively());
        QVERIFY(ensureSavedSearchFolder());
        QVERIFY(QDir(env.file(QStringLiteral("Saved"))).removeRecursively());
        const QString file = savedSearchPath(QStringLiteral("c.vqz"));
        QCOMPARE(saveSearchRow(row("1", "2", "3", "4", "5", "6"), file, SaveMode::NewSearch,
                               QDate(2025, 1, 1)),
                 SaveResult::Saved);
        QVERIFY(QFile::exists(file));

        // A plain file where the folder should be: nothing can be written under it.
        QVERIFY(QDir(env.file(QStringLiteral("Saved"))).removeRecursively());
        env.writeFile(QStringLiteral("Saved"), "not a folder");
        QVERIFY(!ensureSavedSearchFolder());
        QCOMPARE(saveSearchRow(row("1", "2", "3", "4", "5", "6"),
                               savedSearchPath(QStringLiteral("d.vqz")), SaveMode::NewSearch,
                               QDate(2025, 1, 1)),
                 SaveResult::Failed);
    }

    void listingIgnoresLetterCaseAndKeepsRealFiles() {
        TestEnv env;
        QVERIFY(QDir(env.file(QStringLiteral("Saved"))).removeRecursively());
        env.writeFile(QStringLiteral("SAVED/b.vqz"), "\r\n[Google]\r\n01-01-25=1\r\n");
        env.writeFile(QStringLiteral("SAVED/A.VQZ"), "\r\n[Google]\r\n01-01-25=2\r\n");
        env.writeFile(QStringLiteral("SAVED/.vqz"), "");
        env.writeFile(QStringLiteral("SAVED/notes.txt"), "");
        env.writeFile(QStringLiteral("SAVED/old.vqz.bak"), "");
        QDir(env.file(QStringLiteral("SAVED"))).mkdir(QStringLiteral("folder.vqz"));
        QCOMPARE(savedSearchFolder(), env.file(QStringLiteral("SAVED")));

        const QList<SavedSearchEntry> entries = listSavedSearches();
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0].name, QString());
        QCOMPARE(entries[0].fileName, QStringLiteral(".vqz"));
        QCOMPARE(entries[1].name, QStringLiteral("A"));
        QCOMPARE(entries[1].fileName, QStringLiteral("A.VQZ"));
        QCOMPARE(entries[2].name, QStringLiteral("b"));

        // Appending to "A" writes the file it came from, in the folder as it is spelt.
        const auto a = findSavedSearch(QStringLiteral("A"));
        QVERIFY(a.has_value());
        saveSearchRow(row("5", "-", "-", "-", "-", "-"), savedSearchPath(a->fileName),
                      SaveMode::Append, QDate(2025, 1, 2));
        QCOMPARE(
            readEngineHistory(QStringLiteral("Google"), env.file(QStringLiteral("SAVED/A.VQZ")))
                .size(),
            2);
        QVERIFY(!QFile::exists(env.file(QStringLiteral("SAVED/A.vqz"))));
        QVERIFY(!QDir(env.file(QStringLiteral("Saved"))).exists());
        QVERIFY(!findSavedSearch(QStringLiteral("a")).has_value());
    }

    void noFolderListsNothing() {
        TestEnv env;
        QVERIFY(QDir(env.file(QStringLiteral("Saved"))).removeRecursively());
        QVERIFY(listSavedSearches().isEmpty());
    }

    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("problem");
        QTest::newRow("empty") << QString() << int(SearchNameProblem::Empty);
        QTest::newRow("slash") << QStringLiteral("a/b") << int(SearchNameProblem::BadCharacter);
        QTest::newRow("leading slash")
            << QStringLiteral("/etc") << int(SearchNameProblem::BadCharacter);
        QTest::newRow("tab") << QStringLiteral("a\tb") << int(SearchNameProblem::BadCharacter);
        QTest::newRow("line feed")
            << QStringLiteral("a\nb") << int(SearchNameProblem::BadCharacter);
        QTest::newRow("nul") << QString(QChar(0)) << int(SearchNameProblem::BadCharacter);
        QTest::newRow("delete") << QString(QChar(0x7f)) << int(SearchNameProblem::BadCharacter);
        QTest::newRow("spaces") << QStringLiteral("  my site (2) ") << int(SearchNameProblem::None);
        QTest::newRow("dots") << QStringLiteral("..") << int(SearchNameProblem::None);
        QTest::newRow("ini marks") << QStringLiteral("[a]=b") << int(SearchNameProblem::None);
        QTest::newRow("backslash") << QStringLiteral("a\\b") << int(SearchNameProblem::None);
        QTest::newRow("accents") << QStringLiteral("über café") << int(SearchNameProblem::None);
        // The file name and the temporary file beside it must fit the 255-byte limit on names.
        QTest::newRow("longest") << QString(244, 'n') << int(SearchNameProblem::None);
        QTest::newRow("a byte too long") << QString(245, 'n') << int(SearchNameProblem::TooLong);
        QTest::newRow("longest in two-byte letters")
            << QString(122, QChar(0xe9)) << int(SearchNameProblem::None);
        QTest::newRow("too long in two-byte letters")
            << QString(123, QChar(0xe9)) << int(SearchNameProblem::TooLong);
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(int, problem);
        QCOMPARE(int(checkSearchName(name)), problem);
    }

    // A caption or cell that would split or add a line, a key or a section is refused whole.
    void refusedRows_data() {
        QTest::addColumn<QList<RowCell>>("cells");
        const QList<RowCell> rest = row("1", "2", "3", "4", "5", "6").mid(1);
        const auto with = [&rest](const QString& caption, const QString& count) {
            return QList<RowCell>{{caption, count}} + rest;
        };
        QTest::newRow("line feed in a cell") << with("Google", "1\nFake:77");
        QTest::newRow("CR LF in a cell") << with("Google", "1\r\n2");
        QTest::newRow("CR in a cell") << with("Google", "1\r2");
        QTest::newRow("NUL in a cell") << with("Google", QString("12") + QChar(0) + "34");
        QTest::newRow("equals in a cell") << with("Google", "1=2");
        QTest::newRow("bracket in a cell") << with("Google", "[x]");
        QTest::newRow("bracket in a caption") << with("Goo]gle", "1");
        QTest::newRow("equals in a caption") << with("a=b", "1");
        QTest::newRow("line feed in a caption") << with("Goo\ngle", "1");
        QTest::newRow("empty caption") << with("", "1");
        QTest::newRow("caption twice") << with("Altavista", "1");
    }
    void refusedRows() {
        QFETCH(QList<RowCell>, cells);
        TestEnv env;
        const QString file = savedSearchPath(QStringLiteral("refused.vqz"));
        QVERIFY(!isWritableRow(cells));
        for (SaveMode mode : {SaveMode::NewSearch, SaveMode::Append})
            QCOMPARE(saveSearchRow(cells, file, mode, QDate(2026, 12, 7)), SaveResult::Refused);
        QVERIFY(!QFile::exists(file));
    }

    // The captions are the row's own, whatever engines.ini says now: a caption no slot has today
    // (its run fetched the count under it) and a colon are written as they are.
    void rowsKeepTheirOwnCaptions() {
        TestEnv env;
        env.writeFile(QStringLiteral("engines.ini"), "[Google]\nCaption=Renamed\n");
        const QString file = savedSearchPath(QStringLiteral("own.vqz"));
        QVERIFY(isWritableRow(row("1", "-", "", "2.5", "5", "6")));
        QCOMPARE(saveSearchRow({{"Google", "7"}, {"Links: all", "8"}}, file, SaveMode::NewSearch,
                               QDate(2026, 12, 7)),
                 SaveResult::Saved);
        QCOMPARE(env.readFile(QStringLiteral("Saved/own.vqz")),
                 QByteArray("\r\n[Google]\r\n12-07-26=7\r\n\r\n[Links: all]\r\n12-07-26=8\r\n"));
        QVERIFY(!isSavableCount(QStringLiteral("-")));
        QVERIFY(!isSavableCount(QString()));
        QVERIFY(isSavableCount(QStringLiteral("0")));
    }

    void readingOddHistories() {
        TestEnv env;
        env.writeFile(QStringLiteral("Saved/odd.vqz"),
                      "[Empty]\r\n[Odd]\r\nno equals sign\r\n01-02-25=12.5\r\n01-01-25=5=7\r\n"
                      "12-31-24=9000000000\r\n12-30-24=\r\n12-29-24= 42 \r\n=3\r\n"
                      "[LastEmpty]\r\n");
        const QString file = env.file(QStringLiteral("Saved/odd.vqz"));
        QVERIFY(readEngineHistory(QStringLiteral("Empty"), file).isEmpty());
        QVERIFY(readEngineHistory(QStringLiteral("LastEmpty"), file).isEmpty());
        QVERIFY(readEngineHistory(QStringLiteral("Missing"), file).isEmpty());
        QVERIFY(
            readEngineHistory(QStringLiteral("Odd"), env.file(QStringLiteral("none"))).isEmpty());
        const QList<HistoryRow> odd = readEngineHistory(QStringLiteral("Odd"), file);
        QCOMPARE(odd.size(), 6);
        QCOMPARE(odd[0].count, 0);            // not a whole number
        QCOMPARE(odd[1].count, 5);            // up to the second "="
        QCOMPARE(odd[2].count, 9000000000LL); // 64-bit
        QCOMPARE(odd[3].count, 0);            // empty
        QCOMPARE(odd[4].count, 42);
        QCOMPARE(odd[5].label, QString());
        QCOMPARE(odd[5].count, 3);
    }

    void datesAndTitles() {
        QCOMPARE(historyDateKey(QDate(2026, 12, 7)), QStringLiteral("12-07-26"));
        QCOMPARE(historyDateKey(QDate(2009, 1, 2)), QStringLiteral("01-02-09"));
        setHistoryToday(QDate(2026, 12, 7));
        QCOMPARE(historyToday(), QDate(2026, 12, 7));
        setHistoryToday(QDate());
        QCOMPARE(historyToday(), QDate::currentDate());
        QCOMPARE(savedSearchTitle(QStringLiteral("mysite.vqz")), QStringLiteral("mysite"));
        QCOMPARE(savedSearchTitle(QStringLiteral("A.VQZ")), QStringLiteral("A"));
        QCOMPARE(savedSearchTitle(QStringLiteral("x.vqz.y.Vqz")), QStringLiteral("x.y"));
        QCOMPARE(savedSearchTitle(QStringLiteral(".vqz")), QString());
    }
};

TALLY_GUILESS_TEST_MAIN(TestSavedSearch)
#include "tst_saved_search.moc"
