// The main window fitted into the screen: where a window of a given size goes in a screen's free
// area, and the main window started on a 1366 x 768 screen (the offscreen platform configured
// with that screen and window frames).
#include "gui/kit/twips.h"
#include "gui/kit/windows.h"
#include "support/main_window_fixture.h"

#include <QScreen>
#include <QTemporaryDir>

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
};

int main(int argc, char* argv[]) {
    // One screen of 1366 x 768, and windows with frames.
    QTemporaryDir dir;
    const QString config = dir.filePath("screens.json");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"windowFrameMargins": true, "screens": [{"name": "small", "x": 0, "y": 0,
               "width": 1366, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestWindowFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window_fit.moc"
