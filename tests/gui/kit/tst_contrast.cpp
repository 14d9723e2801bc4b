// Contrast as the accessibility guidelines measure it, and colours moved just far enough to read.
#include "gui/kit/contrast.h"
#include "support/test_main.h"

#include <QPalette>
#include <QTest>

using namespace tally;

class TestContrast : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ratios_data() {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("white on black, the same") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
        QTest::newRow("one colour") << QColor(0x33, 0x66, 0x99) << QColor(0x33, 0x66, 0x99) << 1.0;
        // The guidelines' own borderline examples.
        QTest::newRow("#777 on white, just below 4.5")
            << QColor(0x77, 0x77, 0x77) << QColor(Qt::white) << 4.48;
        QTest::newRow("#767676 on white, just above")
            << QColor(0x76, 0x76, 0x76) << QColor(Qt::white) << 4.54;
    }
    void ratios() {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY2(qAbs(contrastRatio(a, b) - ratio) < 0.01,
                 qPrintable(QString::number(contrastRatio(a, b))));
    }

    // Moved only as far as needed, towards white on dark and towards black on light, keeping
    // the hue; a colour that reads already stays as it is.
    void readableColours_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<bool>("unchanged");
        const QColor dark(0x1b, 0x1e, 0x20);
        QTest::newRow("dark blue heading on a dark base")
            << QColor(24, 72, 128) << dark << TextContrast << false;
        QTest::newRow("engine blue on a dark chart")
            << QColor(0x1f, 0x5f, 0xbf) << dark << GraphicContrast << false;
        QTest::newRow("dark red warning on a dark window")
            << QColor(0xa0, 0, 0) << QColor(0x2a, 0x2e, 0x32) << TextContrast << false;
        QTest::newRow("yellow-green on white")
            << QColor(0x9a, 0xb8, 0x1c) << QColor(Qt::white) << GraphicContrast << false;
        QTest::newRow("black on white stays")
            << QColor(Qt::black) << QColor(Qt::white) << TextContrast << true;
        QTest::newRow("light grey on a dark base stays")
            << QColor(0xef, 0xf0, 0xf1) << dark << TextContrast << true;
    }
    void readableColours() {
        QFETCH(QColor, colour);
        QFETCH(QColor, background);
        QFETCH(double, minimum);
        QFETCH(bool, unchanged);
        const QColor moved = readableOn(colour, background, minimum);
        QVERIFY(contrastRatio(moved, background) >= minimum);
        QCOMPARE(moved == colour, unchanged);
        if (!unchanged && colour.hslSaturation() > 0)
            QVERIFY(qAbs(moved.hslHue() - colour.hslHue()) <= 2);
        // Not further than needed: one step back does not reach the minimum.
        if (!unchanged) {
            QColor back = moved.toHsl();
            const bool lighter = relativeLuminance(background) < 0.18;
            back.setHslF(back.hslHueF(), back.hslSaturationF(),
                         back.lightnessF() + (lighter ? -0.03f : 0.03f));
            QVERIFY(contrastRatio(back, background) < minimum);
        }
    }

    void darkPalettes() {
        QPalette light(QColor(0xef, 0xef, 0xef), QColor(0xf6, 0xf6, 0xf6));
        QVERIFY(!isDark(light));
        QPalette dark(QColor(0x31, 0x36, 0x3b), QColor(0x2a, 0x2e, 0x32));
        dark.setColor(QPalette::WindowText, QColor(0xef, 0xf0, 0xf1));
        QVERIFY(isDark(dark));
    }
};

TALLY_TEST_MAIN(TestContrast)
#include "tst_contrast.moc"
