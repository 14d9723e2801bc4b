// Every reading of a number out of a text, side by side.
#include "core/numbers/numbers.h"
#include "support/test_main.h"

#include <QLocale>
#include <QTest>

#include <limits>

using namespace tally;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void plainIndexes_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("read");    // readPlainIndex: the value, or "-"
        QTest::addColumn<QString>("scanned"); // scanPlainIndex: value and what follows, or "-"
        QTest::newRow("zero") << QByteArray("0") << "0"
                              << "0|";
        QTest::newRow("an id") << QByteArray("1234") << "1234"
                               << "1234|";
        QTest::newRow("an edge") << QByteArray("17\t42") << "-"
                                 << "17|\t42";
        QTest::newRow("line end") << QByteArray("42\r\n") << "-"
                                  << "42|\r\n";
        QTest::newRow("leading zero") << QByteArray("007") << "-"
                                      << "-";
        QTest::newRow("zero then more") << QByteArray("0\t1") << "-"
                                        << "0|\t1";
        QTest::newRow("19 digits") << QByteArray("9999999999999999999") << "9999999999999999999"
                                   << "9999999999999999999|";
        QTest::newRow("20 digits") << QByteArray("10000000000000000000") << "-"
                                   << "-";
        QTest::newRow("sign") << QByteArray("+1") << "-"
                              << "-";
        QTest::newRow("blank") << QByteArray(" 1") << "-"
                               << "-";
        QTest::newRow("empty") << QByteArray() << "-"
                               << "-";
        QTest::newRow("letters after") << QByteArray("12ab") << "-"
                                       << "12|ab";
    }
    void plainIndexes() {
        QFETCH(QByteArray, text);
        QFETCH(QString, read);
        QFETCH(QString, scanned);
        const std::optional<quint64> value = readPlainIndex(text);
        QCOMPARE(value ? QString::number(*value) : QStringLiteral("-"), read);
        quint64 v = 0;
        const char* after = scanPlainIndex(text.constData(), text.constData() + text.size(), &v);
        QCOMPARE(after ? QString::number(v) + '|' +
                             QString::fromLatin1(after, text.constData() + text.size() - after)
                       : QStringLiteral("-"),
                 scanned);
    }

    void readsAsNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        for (const char* yes : {"0", "1234", " 12 ", "-5", "+5", "1.5", "1.", ".5", "\t7", "007"})
            QTest::newRow(yes) << QString::fromLatin1(yes) << true;
        for (const char* no : {"", " ", "-", ".", "1,234", "1e5", "NaN", "inf", "Infinity", "12a",
                               "1 2", "--1", "0x10", "1.2.3", "&H10"})
            QTest::newRow(no) << QString::fromLatin1(no) << false;
    }
    void readsAsNumber() {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QCOMPARE(tally::readsAsNumber(text), number);
    }

    void readsAsCount_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("count");
        for (const char* yes : {"0", "1234", "007", "1,234", "12,345,678", "2.5", "1,000.25"})
            QTest::newRow(yes) << QString::fromLatin1(yes) << true;
        for (const char* no :
             {"", " 1", "1 ", "-5", "+5", "1.", ".5", "1,23", "1,2345", ",123", "123,", "1,,234",
              "1234,567", "12:34", "1\nFake:77", "1\r\n2", "1e5", "many"})
            QTest::newRow(QByteArray(no).toPercentEncoding(" :,.-+").constData())
                << QString::fromLatin1(no) << false;
        QTest::newRow("NUL") << QString::fromLatin1("12\0"
                                                    "34",
                                                    5)
                             << false;
    }
    void readsAsCount() {
        QFETCH(QString, text);
        QFETCH(bool, count);
        QCOMPARE(tally::readsAsCount(text), count);
    }

    void roundedTotals() {
        QCOMPARE(addRoundedHalfEven(0, "1234"), 1234);
        QCOMPARE(addRoundedHalfEven(10, "many"), 10); // not a number: counts 0
        QCOMPARE(addRoundedHalfEven(10, ""), 10);
        QCOMPARE(addRoundedHalfEven(0, "0.5"), 0); // ties to even
        QCOMPARE(addRoundedHalfEven(1, "0.5"), 2);
        QCOMPARE(addRoundedHalfEven(0, "2.5"), 2);
        QCOMPARE(addRoundedHalfEven(0, "3.5"), 4);
        QCOMPARE(addRoundedHalfEven(0, "2.50001"), 3);
        QCOMPARE(addRoundedHalfEven(0, "2.4999"), 2);
        QCOMPARE(addRoundedHalfEven(0, "2.000"), 2);
        QCOMPARE(addRoundedHalfEven(0, "-0.5"), 0);
        QCOMPARE(addRoundedHalfEven(0, "-1.5"), -2);
        QCOMPARE(addRoundedHalfEven(0, "-1.2"), -1);
        QCOMPARE(addRoundedHalfEven(5, "-1.7"), 3);
        // 64-bit: far beyond 32 bits, and saturating at the end of the range.
        QCOMPARE(addRoundedHalfEven(2147483647, "9999999999"), Q_INT64_C(12147483646));
        const qint64 max = std::numeric_limits<qint64>::max();
        QCOMPARE(addRoundedHalfEven(max - 1, "5"), max);
        QCOMPARE(addRoundedHalfEven(0, "99999999999999999999999"), max);
    }

    void readsWholeNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("reads");
        QTest::addColumn<qint64>("value");
        QTest::newRow("plain") << "500" << true << qint64(500);
        QTest::newRow("blanks around") << "  12 \t" << true << qint64(12);
        QTest::newRow("plus") << "+7" << true << qint64(7);
        QTest::newRow("minus") << "-3" << true << qint64(-3);
        QTest::newRow("leading zeros") << "007" << true << qint64(7);
        QTest::newRow("largest") << "2147483647" << true << qint64(2147483647);
        QTest::newRow("smallest") << "-2147483648" << true << qint64(-2147483648LL);
        QTest::newRow("one too large") << "2147483648" << false << qint64(0);
        QTest::newRow("one too small") << "-2147483649" << false << qint64(0);
        QTest::newRow("very long") << QString(40, QLatin1Char('9')) << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("space") << " " << false << qint64(0);
        QTest::newRow("lone sign") << "-" << false << qint64(0);
        QTest::newRow("blank after sign") << "- 5" << false << qint64(0);
        QTest::newRow("letter") << "12a" << false << qint64(0);
        QTest::newRow("inner blank") << "1 2" << false << qint64(0);
        QTest::newRow("fraction") << "1.5" << false << qint64(0);
        QTest::newRow("grouping") << "1,000" << false << qint64(0);
        QTest::newRow("exponent") << "1e3" << false << qint64(0);
        QTest::newRow("hex") << "0x10" << false << qint64(0);
        QTest::newRow("other digits") << QString::fromUtf8("\u0663") << false << qint64(0);
    }
    void readsWholeNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, reads);
        QFETCH(qint64, value);
        const auto read = readThreshold(text);
        QCOMPARE(read.has_value(), reads);
        if (reads)
            QCOMPARE(*read, value);
    }

    // The typed sort's rule: sign, digits with group separators, fraction; in the user's locale
    // or the C locale's way. Nothing the locale's own reader would add (exponent, infinity, NaN).
    void sortNumbers_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("reads");
        QTest::addColumn<double>("value");
        const QString us = QStringLiteral("en_US");
        const QString de = QStringLiteral("de_DE");
        QTest::newRow("grouped, blanks") << us << " 1,234.5 " << true << 1234.5;
        QTest::newRow("plus") << us << "+12" << true << 12.0;
        QTest::newRow("minus fraction") << us << "-0.25" << true << -0.25;
        QTest::newRow("fraction only") << us << ".5" << true << 0.5;
        QTest::newRow("two groups") << us << "150,000,000" << true << 150000000.0;
        QTest::newRow("german") << de << "1.234,5" << true << 1234.5;
        QTest::newRow("german, C way") << de << "1,234.5" << true << 1234.5;
        QTest::newRow("german, own counts") << de << "1234" << true << 1234.0;
        QTest::newRow("exponent") << us << "1e3" << false << 0.0;
        QTest::newRow("exponent, capital") << us << "2E-2" << false << 0.0;
        QTest::newRow("inf") << us << "inf" << false << 0.0;
        QTest::newRow("-inf") << us << "-inf" << false << 0.0;
        QTest::newRow("nan") << us << "nan" << false << 0.0;
        QTest::newRow("german inf") << de << "inf" << false << 0.0;
        QTest::newRow("letters after") << us << "12abc" << false << 0.0;
        QTest::newRow("empty") << us << "" << false << 0.0;
        QTest::newRow("sign alone") << us << "-" << false << 0.0;
        QTest::newRow("short group") << us << "1,23" << false << 0.0;
        QTest::newRow("long first group") << us << "1234,567" << false << 0.0;
        QTest::newRow("separator first") << us << ",123" << false << 0.0;
        QTest::newRow("two signs") << us << "--1" << false << 0.0;
        QTest::newRow("inner blank") << us << "1 234" << false << 0.0;
        QTest::newRow("too large") << us << QString(400, QLatin1Char('9')) << false << 0.0;
    }
    void sortNumbers() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, reads);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(locale));
        double v = -1;
        QCOMPARE(readsAsSortNumber(text, &v), reads);
        if (reads)
            QCOMPARE(v, value);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void wholeNumbers() {
        QCOMPARE(wholeNumberOrZero(QStringLiteral("123")), 123);
        QCOMPARE(wholeNumberOrZero(QStringLiteral("-4")), -4);
        QCOMPARE(wholeNumberOrZero(QStringLiteral("-")), 0);
        QCOMPARE(wholeNumberOrZero(QStringLiteral("1,234")), 0);
        QCOMPARE(wholeNumberOrZero(QStringLiteral("99999999999999999999")), 0);
        // A setting beyond the range saturates instead.
        QCOMPARE(readWholeNumber(QStringLiteral("99999999999999999999")),
                 std::numeric_limits<qint64>::max());
        QCOMPARE(readWholeNumber(QStringLiteral(" -7\t")), -7);
        QVERIFY(!readWholeNumber(QStringLiteral("1.0")));
        QCOMPARE(wholeNumberOrZero(QStringLiteral("9223372036854775807")),
                 std::numeric_limits<qint64>::max());
    }

    // A number in an API's text answer: a count, or what it is instead.
    void answerNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<qint64>("count");
        const auto add = [](const char* tag, const char* text, AnswerNumber::Kind kind,
                            qint64 count = 0) {
            QTest::newRow(tag) << QString::fromLatin1(text) << int(kind) << count;
        };
        using K = AnswerNumber::Kind;
        add("count", "49145", K::Count, 49145);
        add("blanks", " \t12 ", K::Count, 12);
        add("leading zeros", "007", K::Count, 7);
        add("zero", "0", K::Count, 0);
        add("whole written as a fraction", "12.0", K::Count, 12);
        add("largest", "9223372036854775807", K::Count, std::numeric_limits<qint64>::max());
        add("one past the largest", "9223372036854775808", K::TooLarge);
        add("far beyond", "123456789012345678901234567890", K::TooLarge);
        add("decimal", "4.68", K::Decimal);
        add("negative", "-3", K::Negative);
        add("negative decimal", "-0.5", K::Negative);
        add("minus zero", "-0", K::Count, 0);
        add("plus", "+5", K::Count, 5);
        add("grouped", "1,234", K::NotANumber);
        add("word", "NOTHING", K::NotANumber);
        add("empty", "", K::NotANumber);
        add("line break", "12\n", K::NotANumber);
    }
    void answerNumbers() {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(qint64, count);
        const AnswerNumber reading = readAnswerNumber(text);
        QCOMPARE(int(reading.kind), kind);
        if (reading.kind == AnswerNumber::Kind::Count)
            QCOMPARE(reading.count, count);
    }
};

TALLY_GUILESS_TEST_MAIN(TestNumbers)
#include "tst_numbers.moc"
