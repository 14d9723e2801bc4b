// The ordering of the typed sort, without a window.
#include "core/results/sort_keys.h"
#include "support/test_main.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>

using namespace tally;

namespace {
QStringList ordered(const QStringList& cells, SortKind kind, bool ascending) {
    QStringList out;
    for (int i : sortedPositions(cells, kind, ascending))
        out << cells.at(i);
    return out;
}
} // namespace

class TestSortKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void numbersSortByValue();
    void negativesBeforeZero();
    void nonNumbersFirstAscendingLastDescending();
    void textIgnoresCase();
    void equalKeysKeepTheirOrder();
    void keyTexts();
    void valueOrderMatchesKeyTextOrder();
};

void TestSortKeys::numbersSortByValue() {
    const QStringList cells{"100", "20", "3"};
    QCOMPARE(ordered(cells, SortKind::Number, true), (QStringList{"3", "20", "100"}));
    QCOMPARE(ordered(cells, SortKind::Number, false), (QStringList{"100", "20", "3"}));
    // As text, "100" < "20" < "3".
    QCOMPARE(ordered(cells, SortKind::Text, true), (QStringList{"100", "20", "3"}));
}

void TestSortKeys::negativesBeforeZero() {
    QCOMPARE(ordered({"7", "-1", "0", "-5"}, SortKind::Number, true),
             (QStringList{"-5", "-1", "0", "7"}));
    QCOMPARE(ordered({"0.5", "-0.25", "0", "-0"}, SortKind::Number, true),
             (QStringList{"-0.25", "0", "-0", "0.5"}));
}

void TestSortKeys::nonNumbersFirstAscendingLastDescending() {
    const QStringList cells{"12", "", "n/a", "-3", "4"};
    QCOMPARE(ordered(cells, SortKind::Number, true), (QStringList{"", "n/a", "-3", "4", "12"}));
    QCOMPARE(ordered(cells, SortKind::Number, false), (QStringList{"12", "4", "-3", "", "n/a"}));
}

void TestSortKeys::textIgnoresCase() {
    QCOMPARE(ordered({"http://b.com", "HTTP://A.com", "http://a.con"}, SortKind::Text, true),
             (QStringList{"HTTP://A.com", "http://a.con", "http://b.com"}));
    QCOMPARE(ordered({"abc", "abd"}, SortKind::Text, true), (QStringList{"abc", "abd"}));
    QCOMPARE(ordered({"abc", "abd"}, SortKind::Text, false), (QStringList{"abd", "abc"}));
}

void TestSortKeys::equalKeysKeepTheirOrder() {
    const QStringList cells{"5", "x", "5.0", "y", "05"};
    QCOMPARE(sortedPositions(cells, SortKind::Number, true), (QList<int>{1, 3, 0, 2, 4}));
    QCOMPARE(sortedPositions(cells, SortKind::Number, false), (QList<int>{0, 2, 4, 1, 3}));
}

void TestSortKeys::keyTexts() {
    QCOMPARE(numberSortKey(1234.5), QString(16, QLatin1Char('0')) + "1234.5000000000");
    QCOMPARE(numberSortKey(0).size(), 31);
    QCOMPARE(NinesComplement(QStringLiteral("0123456789.5")), QStringLiteral("9876543210.4"));
    QCOMPARE(numberSortKey(-1), "&" + NinesComplement(numberSortKey(1)));
    QCOMPARE(numberSortKey(-0.0), numberSortKey(0));
    QCOMPARE(cellSortKey(QStringLiteral("n/a")), QString());
    QCOMPARE(cellSortKey(QStringLiteral(" 7 ")), numberSortKey(7));
}

// The fast comparison orders exactly as the fixed-width key texts compared as strings would.
void TestSortKeys::valueOrderMatchesKeyTextOrder() {
    QRandomGenerator rng(42);
    QStringList cells;
    for (int i = 0; i < 2000; ++i) {
        switch (rng.bounded(5)) {
        case 0:
            cells << QString::number(rng.bounded(2000000) - 1000000);
            break;
        case 1:
            cells << QString::number((rng.bounded(200000) - 100000) / 64.0, 'f', 6);
            break;
        case 2:
            cells << (rng.bounded(2) ? QStringLiteral("") : QStringLiteral("n/a"));
            break;
        default:
            cells << QString::number(rng.bounded(1000));
        }
    }
    for (bool ascending : {true, false}) {
        const QList<int> order = sortedPositions(cells, SortKind::Number, ascending);
        for (int i = 1; i < order.size(); ++i) {
            const QString a = cellSortKey(cells.at(order.at(i - 1)));
            const QString b = cellSortKey(cells.at(order.at(i)));
            QVERIFY2(ascending ? a <= b : a >= b, qPrintable(a + " / " + b));
        }
    }
}

TALLY_GUILESS_TEST_MAIN(TestSortKeys)
#include "tst_sort_keys.moc"
