// The main window fitted into the screen: where a window of a given size goes in a screen's free
// area, and the main window started on a 1366 x 768 screen (the offscreen platform configured
// with that screen and window frames).
#include "gui/kit/twips.h"
#include "gui/kit/windows.h"
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include <QScreen>

using namespace tally;

Q_DECLARE_METATYPE(QMargins)

class TestWindowFit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fittedGeometry_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("fitted");
        const QSize designed(878, 763);
        QTest::newRow("large screen: designed size")
            << designed << QRect(0, 0, 1920, 1040) << designed;
        QTest::newRow("1366 x 768 with a panel")
            << designed << QRect(0, 0, 1366, 728) << QSize(878, 694);
        QTest::newRow("1920 x 1080 at 150 %")
            << designed << QRect(0, 0, 1280, 696) << QSize(878, 662);
        QTest::newRow("800 x 600") << designed << QRect(0, 0, 800, 600) << QSize(792, 566);
        QTest::newRow("second screen") << designed << QRect(1920, 24, 1366, 744) << QSize(878, 710);
        QTest::newRow("smaller than the frame") << designed << QRect(0, 0, 6, 20) << QSize(1, 1);
    }
    void fittedGeometry() {
        QFETCH(QSize, size);
        QFETCH(QRect, available);
        QFETCH(QSize, fitted);
        const QMargins frame(4, 30, 4, 4);
        const QRect placed = tally::fittedGeometry(size, frame, available);
        QCOMPARE(placed.size(), fitted);
        const QRect outer = placed.marginsAdded(frame);
        QVERIFY(outer.topLeft().x() >= available.left() && outer.top() >= available.top());
        if (outer.width() <= available.width() && outer.height() <= available.height()) {
            QVERIFY(available.contains(outer));
            // Centred: the gaps on either side differ by a pixel at most.
            QVERIFY(qAbs((outer.left() - available.left()) - (available.right() - outer.right())) <=
                    1);
            QVERIFY(qAbs((outer.top() - available.top()) - (available.bottom() - outer.bottom())) <=
                    1);
        }
    }

    void mainWindowFitsASmallScreen() {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(available.size(), QSize(1366, 768));
        test::MainWindowFixture f;
        QTRY_VERIFY(f.form->frameGeometry() != f.form->geometry()); // the frame is known
        QVERIFY2(available.contains(f.form->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(f.form->frameGeometry().x())
                                .arg(f.form->frameGeometry().y())
                                .arg(f.form->frameGeometry().width())
                                .arg(f.form->frameGeometry().height())));
        // Only as much smaller as the screen makes it: the designed width stays.
        QCOMPARE(f.form->width(), px(13170));
        QVERIFY(f.form->height() < px(11115));
        QVERIFY(f.form->frameGeometry().bottom() >= available.bottom() - 40);
        // The status bar is on the screen.
        auto* status = f.form->findChild<QWidget*>("StatusBar1");
        QVERIFY(status && status->isVisible());
        QVERIFY(available.contains(QRect(status->mapToGlobal(QPoint(0, 0)), status->size())));
    }

    // A geometry kept on a larger screen (or on one that is gone) still gives a window that fits
    // this one, frame and status bar included.
    void keptGeometryOfALargerScreenFits_data() {
        QTest::addColumn<QRect>("kept");
        QTest::newRow("larger than this screen") << QRect(10, 40, 1900, 1150);
        QTest::newRow("on a screen to the right") << QRect(1500, 60, 900, 700);
        QTest::newRow("below the screen") << QRect(100, 900, 878, 700);
    }
    void keptGeometryOfALargerScreenFits() {
        QFETCH(QRect, kept);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        test::MainWindowFixture f;
        f.form->setGeometry(kept);
        f.form->close(); // the geometry is kept for the next start
        f.open(product());
        QTRY_VERIFY(f.form->frameGeometry() != f.form->geometry());
        QTRY_VERIFY2(available.contains(f.form->frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2 %3x%4")
                                    .arg(f.form->frameGeometry().x())
                                    .arg(f.form->frameGeometry().y())
                                    .arg(f.form->frameGeometry().width())
                                    .arg(f.form->frameGeometry().height())));
    }

    // Beside its owner: right, else left, narrowed to the room there but not below the least
    // size; nothing when neither side has room for that.
    void besideTheOwner_data() {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QRect>("placed"); // the client rectangle; empty: no room
        // A window of 686 x 528 with frames of 4, 30, 4, 4 on a screen of 1920 x 1040.
        QTest::newRow("room on the right") << QRect(0, 0, 886, 793) << QRect(890, 30, 686, 528);
        QTest::newRow("room on the left only")
            << QRect(1000, 100, 886, 793) << QRect(310, 130, 686, 528);
        QTest::newRow("narrow room on the right")
            << QRect(400, 0, 1100, 793) << QRect(1504, 30, 412, 528);
        QTest::newRow("more room on the left than the right, neither whole")
            << QRect(600, 0, 1100, 793) << QRect(4, 30, 592, 528);
        QTest::newRow("no room on either side") << QRect(200, 0, 1500, 793) << QRect();
        QTest::newRow("owner low on the screen: moved up to stay on it")
            << QRect(0, 700, 886, 340) << QRect(890, 508, 686, 528);
    }
    void besideTheOwner() {
        QFETCH(QRect, owner);
        QFETCH(QRect, placed);
        const QMargins frame(4, 30, 4, 4);
        const QRect available(0, 0, 1920, 1040);
        const QRect beside =
            besideGeometry(QSize(686, 528), QSize(320, 240), frame, owner, available);
        QCOMPARE(beside, placed);
        if (!beside.isEmpty()) {
            QVERIFY(!beside.marginsAdded(frame).intersects(owner));
            QVERIFY(available.contains(beside.marginsAdded(frame)));
        }
    }
};

TALLY_SCREEN_TEST_MAIN(TestWindowFit, 1366, 768)

#include "tst_window_fit.moc"
