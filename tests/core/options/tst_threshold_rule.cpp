// The change rule of the three profile thresholds, on plain texts.
#include "core/numbers/numbers.h"
#include "core/options/threshold_rule.h"
#include "support/test_main.h"

#include <QRandomGenerator>
#include <QTest>

using tally::ProfileTexts;
using tally::readThreshold;
using tally::thresholdChangeRule;

namespace {

// The box `index` receives `text` in one step (a paste, or the dialog's own code) and the rule
// runs.
ProfileTexts setBox(ProfileTexts texts, int index, const QString& text) {
    if (texts[index] != text) {
        texts[index] = text;
        thresholdChangeRule(texts, index);
    }
    return texts;
}

// Typing: every keystroke changes the box and runs the rule.
ProfileTexts type(ProfileTexts texts, int index, const QString& keys) {
    for (QChar key : keys) {
        texts[index] += key;
        thresholdChangeRule(texts, index);
    }
    return texts;
}

ProfileTexts boxes(const char* low, const char* medium, const char* high) {
    return {QString::fromLatin1(low), QString::fromLatin1(medium), QString::fromLatin1(high)};
}

} // namespace

namespace QTest {
template <> char* toString(const ProfileTexts& t) {
    return qstrdup(QStringLiteral("[%1|%2|%3]").arg(t[0], t[1], t[2]).toUtf8().constData());
}
} // namespace QTest

class TestThresholdRule : public QObject {
    Q_OBJECT
private slots:

    void lowAtOrAboveMediumDoublesIntoMedium() {
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 0, "2000"), boxes("2000", "4000", "4000"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 0, "1000"), boxes("1000", "2000", "2000"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 0, "999"), boxes("999", "1000", "1000"));
        // Zero and below: double of low is not above it, so medium pushes low down again.
        QCOMPARE(setBox(boxes("500", "-3", "-3"), 0, "0"), boxes("-1", "0", "0"));
        ProfileTexts t = boxes("5", "3", "3");
        QVERIFY(thresholdChangeRule(t, 0));
        QCOMPARE(t, boxes("5", "10", "10"));
        t = boxes("-5", "-7", "-7");
        thresholdChangeRule(t, 0);
        QCOMPARE(t, boxes("-11", "-10", "-10"));
    }

    void mediumPullsLowDownAndHighAlong() {
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 1, "400"), boxes("399", "400", "400"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 1, "600"), boxes("500", "600", "600"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 1, "500"), boxes("499", "500", "500"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 1, "0"), boxes("-1", "0", "0"));
    }

    void everyKeystrokeCounts() {
        // Selecting all of medium and typing 4, 0, 0: the "4" already pulls low down to 3.
        ProfileTexts t = boxes("500", "", "1000");
        t = type(t, 1, "400");
        QCOMPARE(t, boxes("3", "400", "400"));
    }

    void highSetsMedium() {
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 2, "700"), boxes("500", "700", "700"));
        QCOMPARE(setBox(boxes("800", "1000", "1000"), 2, "700"), boxes("699", "700", "700"));
        QCOMPARE(setBox(boxes("700", "1000", "1000"), 2, "700"), boxes("699", "700", "700"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 2, "5000"), boxes("500", "5000", "5000"));
    }

    void letterAfterANumberIsRemoved() {
        for (int index = 0; index < 3; ++index) {
            ProfileTexts t = boxes("500", "1000", "1000");
            t[index].clear();
            t = type(t, index, "12");
            const ProfileTexts before = t;
            t = type(t, index, "x");
            QCOMPARE(t, before);
            QCOMPARE(t[index], QStringLiteral("12"));
        }
        // A pasted tail goes back to the longest part that reads.
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 2, "12 3abc"), boxes("11", "12", "12"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 0, "-"), boxes("", "1000", "1000"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 0, "abc"), boxes("", "1000", "1000"));
    }

    void blankBoxesAreLeftAlone() {
        ProfileTexts t = boxes("", "1000", "1000");
        QVERIFY(!thresholdChangeRule(t, 0));
        QCOMPARE(t, boxes("", "1000", "1000"));
        t = boxes("500", " ", "1000");
        QVERIFY(!thresholdChangeRule(t, 1));
        QCOMPARE(t, boxes("500", " ", "1000"));
        // Two spaces are not blank: they do not read and the second one goes.
        t = boxes("500", "  ", "1000");
        QVERIFY(thresholdChangeRule(t, 1));
        QCOMPARE(t, boxes("500", " ", "1000"));
    }

    void anotherBlankBoxEmptiesTheEditedOne() {
        QCOMPARE(type(boxes("", "1000", "1000"), 1, "5"), boxes("", "", "1000"));
        QCOMPARE(type(boxes("500", " ", "1000"), 2, "77"), boxes("500", " ", ""));
        // ...down to a single space when the text starts with one.
        QCOMPARE(setBox(boxes("500", "", "1000"), 0, " 12"), boxes(" ", "", "1000"));
    }

    void sameTextEndsTheChain() {
        ProfileTexts t = boxes("500", "1000", "1000");
        QVERIFY(!thresholdChangeRule(t, 0));
        QVERIFY(!thresholdChangeRule(t, 1));
        QVERIFY(!thresholdChangeRule(t, 2));
        QCOMPARE(t, boxes("500", "1000", "1000"));
        // Medium with blanks gives high the bare number, and high hands that back to medium.
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 1, " 800"), boxes("500", "800", "800"));
        // Low keeps its blanks: nothing sets it back.
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 0, "7 "), boxes("7 ", "1000", "1000"));
    }

    void indexOutOfRangeDoesNothing() {
        ProfileTexts t = boxes("x", "y", "z");
        QVERIFY(!thresholdChangeRule(t, -1));
        QVERIFY(!thresholdChangeRule(t, 3));
        QCOMPARE(t, boxes("x", "y", "z"));
    }

    void valuesBeyondTheRange() {
        // low + low is worked out without overflow; the medium box then cannot hold it and sheds
        // its last digit, pulling low below it.
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 0, "2000000000"),
                 boxes("399999999", "400000000", "400000000"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 0, "2147483647"),
                 boxes("429496728", "429496729", "429496729"));
        // A digit that takes a box out of the range does not stay.
        QCOMPARE(type(boxes("500", "2147483647", "2147483647"), 2, "9"),
                 boxes("500", "2147483647", "2147483647"));
        QCOMPARE(setBox(boxes("500", "1000", "1000"), 2, "99999999999"),
                 boxes("500", "999999999", "999999999"));
    }

    void lowestMediumEnds() {
        // No low fits below the lowest medium: the boxes chase each other until the chain is cut.
        ProfileTexts t = setBox(boxes("500", "1000", "1000"), 1, "-2147483648");
        for (const QString& text : t)
            QVERIFY(text.size() <= 12);
    }

    void longPasteIsShedQuickly() {
        ProfileTexts t = setBox(boxes("500", "1000", "1000"), 1, QString(200000, QLatin1Char('x')));
        QCOMPARE(t, boxes("500", "", "1000"));
        t = setBox(boxes("500", "1000", "1000"), 1,
                   QStringLiteral("42") + QString(200000, QLatin1Char(' ')) + QStringLiteral("x"));
        QCOMPARE(t, boxes("41", "42", "42"));
    }

    void invariantsHoldAfterAnyTyping() {
        // Random keystrokes on random boxes: whenever all three boxes read, high equals medium and
        // low lies below medium.
        QRandomGenerator random(20240611);
        const QString keys = QStringLiteral("0123456789x-");
        for (int run = 0; run < 200; ++run) {
            ProfileTexts t = boxes("500", "1000", "1000");
            for (int step = 0; step < 40; ++step) {
                const int index = random.bounded(3);
                const int key = random.bounded(keys.size() + 3);
                if (key >= keys.size()) {
                    if (t[index].isEmpty())
                        continue;
                    t[index].chop(1); // backspace
                } else {
                    t[index] += keys[key];
                }
                thresholdChangeRule(t, index);
                const auto low = readThreshold(t[0]);
                const auto medium = readThreshold(t[1]);
                const auto high = readThreshold(t[2]);
                for (const QString& text : t)
                    QVERIFY2(text.isEmpty() || readThreshold(text) || text == QStringLiteral(" "),
                             qPrintable(text));
                if (low && medium && high) {
                    QCOMPARE(*high, *medium);
                    QVERIFY(*low < *medium);
                }
            }
        }
    }
};

TALLY_APPLESS_TEST_MAIN(TestThresholdRule)
#include "tst_threshold_rule.moc"
