// The program's pictures on a screen scaled to 200 %: each is drawn at the device-pixel ratio it
// is shown at, never a picture made for 100 % and enlarged.
#include "gui/kit/icons.h"
#include "gui/kit/pictures.h"
#include "gui/main/about_window.h"
#include "gui/main/splash_window.h"
#include "gui/results/results_table.h"
#include "support/test_main.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QStandardPaths>
#include <QtTest>

using namespace tally;

namespace {

// An icon painted into a 16 x 16 area of a picture at ratio 2.
QImage paintedAt2x(const std::function<void(QPainter&)>& paint) {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter);
    return image;
}

} // namespace

class TestHighDpi : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    void iconsAtTheScreensRatio_data() {
        QTest::addColumn<QIcon>("picture");
        QTest::newRow("Data View tab") << icon(IconKind::DataTab);
        QTest::newRow("Chart View tab") << icon(IconKind::ChartTab);
        QTest::newRow("Website View tab") << icon(IconKind::WebsiteTab);
        QTest::newRow("low profile") << profileIcon(1);
        QTest::newRow("medium profile") << profileIcon(2);
        QTest::newRow("high profile") << profileIcon(3);
        QTest::newRow("failure mark") << failureMark();
        QTest::newRow("program icon") << pictures::programIcon();
    }
    void iconsAtTheScreensRatio() {
        QFETCH(QIcon, picture);
        const QPixmap pixmap = picture.pixmap(QSize(16, 16), qApp->devicePixelRatio());
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
        QCOMPARE(pixmap.size(), QSize(32, 32));
        // Painted where a list or tab draws it: finer than the 100 % picture enlarged.
        const QImage painted =
            paintedAt2x([&](QPainter& p) { picture.paint(&p, QRect(0, 0, 16, 16)); });
        const QImage enlarged = paintedAt2x(
            [&](QPainter& p) { p.drawPixmap(QRect(0, 0, 16, 16), picture.pixmap(16, 1.0)); });
        QVERIFY(painted != enlarged);
    }

    void windowPicturesAtTheScreensRatio() {
        SplashWindow splash(60000, false);
        AboutWindow about;
        const struct {
            const char* name;
            QPixmap pixmap;
            QSize size;
        } pictures[] = {
            {"splash", splash.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap(),
             QSize(478, 318)},
            {"About logo", about.findChild<QLabel*>(QStringLiteral("Picture1"))->pixmap(),
             QSize(96, 96)},
        };
        for (const auto& picture : pictures) {
            QCOMPARE(picture.pixmap.devicePixelRatio(), 2.0);
            QVERIFY2(picture.pixmap.size() == picture.size * 2, picture.name);
        }
    }
};

TALLY_MAIN {
    QStandardPaths::setTestModeEnabled(true);
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHighDpi tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_high_dpi.moc"
