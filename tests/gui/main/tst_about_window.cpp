// The About window: its fields, the version text, loading, closing and the skin.
#include "core/product/product.h"
#include "gui/kit/skin.h"
#include "gui/main/about_window.h"
#include "gui/main/main_window.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace tally;

namespace {
QString field(QWidget* window, const char* name) {
    auto* label = window->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}
} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { skin::setEnabled(false); }
    void cleanup() {
        skin::stop();
        skin::setEnabled(false);
    }

    void fieldsFromTheProductInformation() {
        test::TestEnv env;
        MainWindow owner;
        owner.showAbout();
        QWidget* window = owner.aboutWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(window->windowTitle(), QStringLiteral("About Tallyscope"));
        QCOMPARE(field(window, "Label1"), QStringLiteral("Tallyscope"));
        QCOMPARE(field(window, "Label2"), QStringLiteral("Version:"));
        QCOMPARE(field(window, "Label3"), QStringLiteral("Owned By:"));
        QCOMPARE(field(window, "Label4"), QStringLiteral("Website:"));
        QCOMPARE(field(window, "lblVersion"), QStringLiteral("1.3"));
        QCOMPARE(field(window, "lblCompany"), product().company);
        auto* website = window->findChild<QLabel*>(QStringLiteral("lblWebsite"));
        QCOMPARE(website->accessibleName(), product().siteAddress);
        QVERIFY(website->text().contains(product().siteAddress));
        QVERIFY(website->textInteractionFlags() & Qt::LinksAccessibleByKeyboard);
        QVERIFY(!website->openExternalLinks());
        QVERIFY(!window->findChild<QLabel*>(QStringLiteral("Picture1"))->pixmap().isNull());
        // Modeless, owned by the main window.
        QVERIFY(!window->isModal());
        QCOMPARE(window->parentWidget(), &owner);
    }

    void minorVersionTenShowsAsOnePointTen() {
        const ProductInfo other{QStringLiteral("Tallyscope"),
                                QStringLiteral("Someone"),
                                QStringLiteral("www.example.org"),
                                QString(),
                                1,
                                10};
        AboutWindow window(other);
        QCOMPARE(field(&window, "lblVersion"), QStringLiteral("1.10"));
        QCOMPARE(field(&window, "lblCompany"), QStringLiteral("Someone"));
        QVERIFY(field(&window, "lblWebsite").contains(QStringLiteral("www.example.org")));
    }

    void openingAgainOnlyShowsIt() {
        test::TestEnv env;
        MainWindow owner;
        owner.showAbout();
        QPointer<QWidget> first = owner.aboutWindow();
        first->hide();
        owner.showAbout();
        QCOMPARE(owner.aboutWindow(), first.data());
        QVERIFY(first->isVisible());
        // OK closes and unloads it; the next opening loads a new one.
        QTest::mouseClick(first->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QTRY_VERIFY(!first);
        QVERIFY(!owner.aboutWindow());
        owner.showAbout();
        QVERIFY(owner.aboutWindow());
    }

    void escapeCloses() {
        QPointer<AboutWindow> window = new AboutWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!window);
    }

    void fixedSize() {
        AboutWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(window.width() >= 400);
    }

    void withoutTheSkinEveryFieldShows() {
        AboutWindow window;
        QVERIFY(!window.property("tallySkinned").toBool());
        QVERIFY(!window.testAttribute(Qt::WA_SetPalette));
        QVERIFY(!skin::started());
        for (const char* name : {"Label1", "lblVersion", "lblCompany", "lblWebsite"})
            QVERIFY2(!field(&window, name).isEmpty(), name);
    }

    void skinnedWithTheSwitch() {
        skin::setEnabled(true);
        AboutWindow window;
        QVERIFY(window.property("tallySkinned").toBool());
        QCOMPARE(window.palette().color(QPalette::Window), QColor(235, 235, 235));
        // The logo is a picture box: the panel colour behind it.
        auto* picture = window.findChild<QLabel*>(QStringLiteral("Picture1"));
        QCOMPARE(picture->palette().color(QPalette::Window), QColor(235, 235, 235));
        QVERIFY(picture->autoFillBackground());
        // Labels show black text.
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblCompany"))
                     ->palette()
                     .color(QPalette::WindowText),
                 QColor(Qt::black));
        QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("cmdOK"))
                     ->palette()
                     .color(QPalette::Button),
                 QColor(Qt::white));
    }
};

TALLY_TEST_MAIN(TestAboutWindow)
#include "tst_about_window.moc"
