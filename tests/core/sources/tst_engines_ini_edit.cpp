// engines.ini changed one slot at a time: what a section says (a SlotChoice), the lines a choice
// writes, and the file's other bytes kept as they were.
#include "core/files/safe_file.h"
#include "core/sources/engines_ini_edit.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QFileInfo>
#include <QTest>

using namespace tally;

namespace {

const QStringList Presets{QStringLiteral("majestic"), QStringLiteral("moz")};

SlotChoice choice(SlotChoice::Kind kind, const char* preset = "", const char* server = "",
                  const char* caption = "") {
    return SlotChoice{kind, QString::fromLatin1(preset), QString::fromLatin1(server),
                      QString::fromLatin1(caption)};
}

} // namespace

Q_DECLARE_METATYPE(tally::SlotChoice)

class TestEnginesIniEdit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choiceOfSection_data() {
        using K = SlotChoice::Kind;
        QTest::addColumn<QString>("section");
        QTest::addColumn<SlotChoice>("expected");
        QTest::newRow("nothing") << QString() << choice(K::BuiltIn);
        QTest::newRow("comments only") << "; mine\r\n\r\n" << choice(K::BuiltIn);
        QTest::newRow("caption") << "Caption=G" << choice(K::BuiltIn, "", "", "G");
        QTest::newRow("preset") << "Preset=moz" << choice(K::Preset, "moz");
        QTest::newRow("preset, server, caption")
            << "; x\r\nPreset=majestic\r\nServer=http://127.0.0.1:8\r\nCaption=M"
            << choice(K::Preset, "majestic", "http://127.0.0.1:8", "M");
        QTest::newRow("off, any case") << "kind = OFF" << choice(K::Off);
        // Values read as the scan reads them: quotes taken off.
        QTest::newRow("off, quoted") << "Kind=\"off\"" << choice(K::Off);
        QTest::newRow("preset, quoted") << "Preset=\"moz\"" << choice(K::Preset, "moz");
        QTest::newRow("unknown preset") << "Preset=nosuch" << choice(K::Custom);
        QTest::newRow("preset and a key of its own")
            << "Preset=moz\r\nPointer=/x" << choice(K::Custom);
        QTest::newRow("json definition") << "Kind=json\r\nPointer=/n" << choice(K::Custom);
        QTest::newRow("preset twice") << "Preset=moz\r\nPreset=majestic" << choice(K::Custom);
        QTest::newRow("preset and off") << "Preset=moz\r\nKind=off" << choice(K::Custom);
        QTest::newRow("built-in through a server") << "Server=http://m:1" << choice(K::Custom);
        QTest::newRow("a line without =") << "Preset=moz\r\njunk" << choice(K::Custom);
    }
    void choiceOfSection() {
        QFETCH(QString, section);
        QFETCH(SlotChoice, expected);
        QCOMPARE(slotChoiceOf(section, Presets), expected);
    }

    void pick_data() {
        using K = SlotChoice::Kind;
        QTest::addColumn<SlotChoice>("before");
        QTest::addColumn<SlotChoice>("picked");
        QTest::addColumn<SlotChoice>("after");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("built-in to preset")
            << choice(K::BuiltIn, "", "", "G") << choice(K::Preset, "moz")
            << choice(K::Preset, "moz") << QStringList{"Preset=moz"};
        // The old preset's gateway would get the new preset's key: it goes with its preset.
        QTest::newRow("preset to preset drops the old server")
            << choice(K::Preset, "moz", "http://s:1", "Moz") << choice(K::Preset, "majestic")
            << choice(K::Preset, "majestic") << QStringList{"Preset=majestic"};
        QTest::newRow("same preset keeps everything")
            << choice(K::Preset, "moz", "http://s:1", "Mine") << choice(K::Preset, "moz")
            << choice(K::Preset, "moz", "http://s:1", "Mine")
            << QStringList{"Caption=Mine", "Preset=moz", "Server=http://s:1"};
        QTest::newRow("preset to off") << choice(K::Preset, "moz", "http://s:1") << choice(K::Off)
                                       << choice(K::Off) << QStringList{"Kind=off"};
        QTest::newRow("custom to preset, nothing kept")
            << choice(K::Custom) << choice(K::Preset, "moz") << choice(K::Preset, "moz")
            << QStringList{"Preset=moz"};
        QTest::newRow("off to built-in")
            << choice(K::Off) << choice(K::BuiltIn) << choice(K::BuiltIn) << QStringList{};
    }
    void pick() {
        QFETCH(SlotChoice, before);
        QFETCH(SlotChoice, picked);
        QFETCH(SlotChoice, after);
        QFETCH(QStringList, lines);
        QCOMPARE(choiceAfterPick(before, picked), after);
        QCOMPARE(sectionLinesOf(after), lines);
    }

    void setSection_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no file") << QByteArray() << "MSN" << QStringList{"Preset=moz"}
                                 << QByteArray("[MSN]\r\nPreset=moz\r\n");
        QTest::newRow("comments, blank lines and other sections kept")
            << QByteArray("; my engines\r\n\r\n[Google]\r\n; why: blocked\r\nKind=off\r\n"
                          "\r\n[Other]\r\nx = 1\r\n")
            << "Google" << QStringList{"Preset=moz"}
            << QByteArray("; my engines\r\n\r\n[Google]\r\n; why: blocked\r\nPreset=moz\r\n"
                          "\r\n[Other]\r\nx = 1\r\n");
        QTest::newRow("appended to a file of LF lines")
            << QByteArray("[ATW]\nKind=off\n") << "MSN" << QStringList{"Preset=majestic"}
            << QByteArray("[ATW]\nKind=off\n\n[MSN]\nPreset=majestic\n");
        QTest::newRow("appended after a last line without its end")
            << QByteArray("; only a comment") << "ATW" << QStringList{"Kind=off"}
            << QByteArray("; only a comment\r\n\r\n[ATW]\r\nKind=off");
        QTest::newRow("the header's own spelling")
            << QByteArray("[msn]\r\nPreset=moz\r\n") << "MSN" << QStringList{"Kind=off"}
            << QByteArray("[msn]\r\nKind=off\r\n");
        QTest::newRow("a last line without its end stays so")
            << QByteArray("[MSN]\r\nPreset=moz") << "MSN" << QStringList{"Preset=majestic"}
            << QByteArray("[MSN]\r\nPreset=majestic");
        QTest::newRow("built-in again: the last section goes")
            << QByteArray("[Other]\r\nx=1\r\n\r\n[MSN]\r\nPreset=moz\r\n") << "MSN" << QStringList{}
            << QByteArray("[Other]\r\nx=1\r\n");
        QTest::newRow("built-in again: a section in the middle goes")
            << QByteArray("[Google]\r\nKind=off\r\n\r\n[MSN]\r\nPreset=moz\r\n") << "Google"
            << QStringList{} << QByteArray("[MSN]\r\nPreset=moz\r\n");
        QTest::newRow("built-in again: a section with a comment keeps it")
            << QByteArray("[MSN]\r\n; note\r\nPreset=moz\r\n") << "MSN" << QStringList{}
            << QByteArray("[MSN]\r\n; note\r\n");
        QTest::newRow("a section written twice is left alone")
            << QByteArray("[MSN]\r\nKind=off\r\n[MSN]\r\nPreset=moz\r\n") << "MSN"
            << QStringList{"Preset=majestic"}
            << QByteArray("[MSN]\r\nKind=off\r\n[MSN]\r\nPreset=moz\r\n");
        QTest::newRow("a byte-order mark and the header after it")
            << QByteArray("\xEF\xBB\xBF[ATW]\r\nKind=off\r\n") << "ATW" << QStringList{}
            << QByteArray();
    }
    void setSection() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, expected);
        test::TestEnv env;
        if (!file.isNull())
            env.writeFile(QStringLiteral("engines.ini"), file);
        EnginesIniEdit edit = EnginesIniEdit::load(env.file(QStringLiteral("engines.ini")));
        QVERIFY(edit.ok());
        edit.setSection(section, lines);
        QCOMPARE(edit.bytes(), expected);
        QVERIFY(edit.save().ok());
        QCOMPARE(env.readFile(QStringLiteral("engines.ini")), expected);
        // Read back, the section says what was written.
        const EnginesIniEdit again = EnginesIniEdit::load(env.file(QStringLiteral("engines.ini")));
        if (again.sectionCount(section) == 1)
            QCOMPARE(slotChoiceOf(again.sectionText(section), Presets),
                     slotChoiceOf(lines.join(QStringLiteral("\r\n")), Presets));
    }

    void unreadableFileIsNeverWritten() {
        test::TestEnv env;
        // Beyond the size limit of a settings file: it cannot be read, so it is not replaced.
        const QByteArray big = "[MSN]\r\n; " + QByteArray(SettingsFileLimit, 'x') + "\r\n";
        env.writeFile(QStringLiteral("engines.ini"), big);
        EnginesIniEdit edit = EnginesIniEdit::load(env.file(QStringLiteral("engines.ini")));
        QVERIFY(!edit.ok());
        edit.setSection(QStringLiteral("MSN"), {QStringLiteral("Preset=moz")});
        const FileOutcome outcome = edit.save();
        QVERIFY(!outcome.ok());
        QVERIFY(!outcome.reason().isEmpty());
        QCOMPARE(env.readFile(QStringLiteral("engines.ini")), big);
    }

    void unchangedFileIsNotWritten() {
        test::TestEnv env;
        // Nothing is made where nothing was, and an unchanged file keeps its time.
        EnginesIniEdit none = EnginesIniEdit::load(env.file(QStringLiteral("engines.ini")));
        none.setSection(QStringLiteral("MSN"), {});
        QVERIFY(none.save().ok());
        QVERIFY(!QFileInfo::exists(env.file(QStringLiteral("engines.ini"))));
    }
};

TALLY_GUILESS_TEST_MAIN(TestEnginesIniEdit)
#include "tst_engines_ini_edit.moc"
