// The About window: its fields, the version text, loading, closing and the skin.
#include "gui/main/about_window.h"
#include "core/product/app_state.h"
#include "gui/kit/skin.h"
#include "core/product/version_info.h"
#include "tally_version.h"

#include <QLabel>
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
    void init() {
        appState().SkinningOn = false;
        setDisplayStrings(programVersion());
    }
    void cleanup() {
        unloadAboutWindow();
        modSkin::StopSkin();
        appState().SkinningOn = false;
        setDisplayStrings(programVersion());
    }

    void fieldsFromTheVersionInformation() {
        QWidget owner;
        showAboutWindow(&owner);
        QWidget* window = aboutWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(window->windowTitle(), QStringLiteral("About Tallyscope"));
        QCOMPARE(field(window, "Label1"), QStringLiteral("Tallyscope"));
        QCOMPARE(field(window, "Label2"), QStringLiteral("Version:"));
        QCOMPARE(field(window, "Label3"), QStringLiteral("Owned By:"));
        QCOMPARE(field(window, "Label4"), QStringLiteral("Website:"));
        QCOMPARE(field(window, "lblVersion"), QStringLiteral("1.3"));
        QCOMPARE(field(window, "lblCompany"), QString::fromUtf8(version::CompanyName));
        auto* website = window->findChild<QLabel*>(QStringLiteral("lblWebsite"));
        QCOMPARE(website->accessibleName(), appState().SiteAddress);
        QVERIFY(website->text().contains(appState().SiteAddress));
        QVERIFY(website->textInteractionFlags() & Qt::LinksAccessibleByKeyboard);
        QVERIFY(!website->openExternalLinks());
        QVERIFY(!window->findChild<QLabel*>(QStringLiteral("Picture1"))->pixmap().isNull());
        // Modeless, owned by the main window.
        QVERIFY(!window->isModal());
        QCOMPARE(window->parentWidget(), &owner);
        unloadAboutWindow();
    }

    void minorVersionTenShowsAsOnePointTen() {
        setDisplayStrings(VersionInfo{QStringLiteral("Tallyscope"), QStringLiteral("Someone"),
                                      QStringLiteral("www.example.org"), 1, 10});
        showAboutWindow(nullptr);
        QCOMPARE(field(aboutWindow(), "lblVersion"), QStringLiteral("1.10"));
        QCOMPARE(field(aboutWindow(), "lblCompany"), QStringLiteral("Someone"));
        QVERIFY(field(aboutWindow(), "lblWebsite").contains(QStringLiteral("www.example.org")));
    }

    void openingAgainOnlyShowsIt() {
        showAboutWindow(nullptr);
        QPointer<QWidget> first = aboutWindow();
        first->hide();
        showAboutWindow(nullptr);
        QCOMPARE(aboutWindow(), first.data());
        QVERIFY(first->isVisible());
        // OK closes and unloads it; the next opening loads a new one.
        QTest::mouseClick(first->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QTRY_VERIFY(!first);
        QVERIFY(!aboutWindow());
        showAboutWindow(nullptr);
        QVERIFY(aboutWindow());
    }

    void escapeCloses() {
        showAboutWindow(nullptr);
        QPointer<QWidget> window = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!window);
    }

    void fixedSize() {
        showAboutWindow(nullptr);
        QWidget* window = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(window->width() >= 400);
    }

    void withoutTheSkinEveryFieldShows() {
        showAboutWindow(nullptr);
        QWidget* window = aboutWindow();
        QVERIFY(!window->property("tallySkinned").toBool());
        QVERIFY(!window->testAttribute(Qt::WA_SetPalette));
        QVERIFY(!modSkin::SkinStarted());
        for (const char* name : {"Label1", "lblVersion", "lblCompany", "lblWebsite"})
            QVERIFY2(!field(window, name).isEmpty(), name);
    }

    void skinnedWithTheSwitch() {
        appState().SkinningOn = true;
        showAboutWindow(nullptr);
        QWidget* window = aboutWindow();
        QVERIFY(window->property("tallySkinned").toBool());
        QCOMPARE(window->palette().color(QPalette::Window), QColor(235, 235, 235));
        // The logo is a picture box: the panel colour behind it.
        auto* picture = window->findChild<QLabel*>(QStringLiteral("Picture1"));
        QCOMPARE(picture->palette().color(QPalette::Window), QColor(235, 235, 235));
        QVERIFY(picture->autoFillBackground());
        // Labels show black text.
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("lblCompany"))
                     ->palette()
                     .color(QPalette::WindowText),
                 QColor(Qt::black));
        QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("cmdOK"))
                     ->palette()
                     .color(QPalette::Button),
                 QColor(Qt::white));
    }
};

QTEST_MAIN(TestAboutWindow)
#include "tst_about_window.moc"
