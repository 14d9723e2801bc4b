// The skin: colours by control kind, the application style, and every window with the switch off.
#include "core/settings/user_settings.h"
#include "gui/help/help_window.h"
#include "gui/kit/skin.h"
#include "gui/main/about_window.h"
#include "gui/main/main_window.h"
#include "gui/main/splash_window.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTableWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

using namespace tally;
using namespace tally::skin;

namespace {

const QColor kWhite(Qt::white);
const QColor kBlack(Qt::black);
const QColor kPanel(235, 235, 235);

// A window with one control of each kind.
struct Sample {
    QWidget window;
    QPushButton* button = new QPushButton(QStringLiteral("Start"), &window);
    QToolButton* tool = new QToolButton(&window);
    QLineEdit* text = new QLineEdit(&window);
    QPlainTextEdit* memo = new QPlainTextEdit(&window);
    QSpinBox* spin = new QSpinBox(&window);
    QComboBox* combo = new QComboBox(&window);
    QListWidget* list = new QListWidget(&window);
    QTreeWidget* listView = new QTreeWidget(&window);
    QTableWidget* table = new QTableWidget(2, 2, &window);
    QLabel* label = new QLabel(QStringLiteral("Caption:"), &window);
    QLabel* picture = new QLabel(&window);
    QWidget* strip = new QWidget(&window);
    QGroupBox* frame = new QGroupBox(QStringLiteral("URLs"), &window);
    QCheckBox* check = new QCheckBox(QStringLiteral("Check"), frame);
    QRadioButton* option = new QRadioButton(QStringLiteral("Option"), frame);
    QProgressBar* progress = new QProgressBar(&window);
    QTextBrowser* rich = new QTextBrowser(&window);
    QPushButton* inFrame = new QPushButton(QStringLiteral("Add"), frame);

    Sample() {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::red);
        picture->setPixmap(pixmap);
        strip->setObjectName(QStringLiteral("Picture1"));
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            layout->addWidget(w);
        auto* frameLayout = new QVBoxLayout(frame);
        frameLayout->addWidget(check);
        frameLayout->addWidget(option);
        frameLayout->addWidget(inFrame);
    }
};

bool ownPalette(const QWidget* w) {
    return w->testAttribute(Qt::WA_SetPalette);
}

QColor colour(const QWidget* w, QPalette::ColorRole role) {
    return w->palette().color(QPalette::Active, role);
}

} // namespace

class TestSkin : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        skin::stop();
        skin::setEnabled(false);
    }

    void kindsOfControls() {
        Sample s;
        QCOMPARE(controlKind(s.button), QStringLiteral("CommandButton"));
        QCOMPARE(controlKind(s.tool), QStringLiteral("CommandButton"));
        QCOMPARE(controlKind(s.text), QStringLiteral("TextBox"));
        QCOMPARE(controlKind(s.memo), QStringLiteral("TextBox"));
        QCOMPARE(controlKind(s.spin), QStringLiteral("TextBox"));
        QCOMPARE(controlKind(s.combo), QStringLiteral("ComboBox"));
        QCOMPARE(controlKind(s.list), QStringLiteral("ListBox"));
        QCOMPARE(controlKind(s.listView), QStringLiteral("ListView"));
        QCOMPARE(controlKind(s.table), QStringLiteral("ListView"));
        QCOMPARE(controlKind(s.label), QStringLiteral("Label"));
        QCOMPARE(controlKind(s.picture), QStringLiteral("PictureBox"));
        QCOMPARE(controlKind(s.strip), QStringLiteral("PictureBox"));
        QCOMPARE(controlKind(s.frame), QStringLiteral("Frame"));
        QCOMPARE(controlKind(s.check), QStringLiteral("CheckBox"));
        QCOMPARE(controlKind(s.option), QStringLiteral("OptionButton"));
        QCOMPARE(controlKind(s.rich), QStringLiteral("RichTextBox"));
        QCOMPARE(controlKind(s.progress), QStringLiteral("Other"));
        // A kind given to the widget wins.
        setControlKind(s.label, QStringLiteral("PictureBox"));
        QCOMPARE(controlKind(s.label), QStringLiteral("PictureBox"));
        QCOMPARE(controlKind(nullptr), QString());
    }

    void applySkinColoursByKind() {
        Sample s;
        const QPalette before = s.window.palette();
        applyTo(&s.window);

        for (QWidget* button : {static_cast<QWidget*>(s.button), static_cast<QWidget*>(s.tool),
                                static_cast<QWidget*>(s.inFrame)})
            QCOMPARE(colour(button, QPalette::Button), kWhite);
        for (QWidget* w : {static_cast<QWidget*>(s.text), static_cast<QWidget*>(s.memo),
                           static_cast<QWidget*>(s.spin), static_cast<QWidget*>(s.combo),
                           static_cast<QWidget*>(s.list), static_cast<QWidget*>(s.listView),
                           static_cast<QWidget*>(s.table)}) {
            QCOMPARE(colour(w, QPalette::Base), kWhite);
            QCOMPARE(colour(w, QPalette::Text), kBlack);
        }
        // A combo box that cannot be edited draws its field with the button colours.
        QCOMPARE(colour(s.combo, QPalette::Button), kWhite);
        QCOMPARE(colour(s.combo, QPalette::ButtonText), kBlack);
        // Picture boxes: the panel colour, painted.
        for (QWidget* w : {static_cast<QWidget*>(s.picture), s.strip}) {
            QCOMPARE(colour(w, QPalette::Window), kPanel);
            QVERIFY(w->autoFillBackground());
        }
        // Labels: black text on the panel.
        QCOMPARE(colour(s.label, QPalette::WindowText), kBlack);
        QVERIFY(!s.label->autoFillBackground());
        // Every other kind keeps its own colours (it only inherits the window's).
        for (QWidget* w : {static_cast<QWidget*>(s.check), static_cast<QWidget*>(s.option),
                           static_cast<QWidget*>(s.frame), static_cast<QWidget*>(s.progress),
                           static_cast<QWidget*>(s.rich)})
            QVERIFY2(!ownPalette(w), w->metaObject()->className());
        // The window itself: the panel colour.
        QCOMPARE(colour(&s.window, QPalette::Window), kPanel);
        QVERIFY(s.window.property("tallySkinned").toBool());
        QVERIFY(before.color(QPalette::Window) != kPanel || ownPalette(&s.window));
    }

    void disabledTextKeepsItsGreyedLook() {
        Sample s;
        s.text->setEnabled(false);
        applyTo(&s.window);
        QVERIFY(s.text->palette().color(QPalette::Disabled, QPalette::Text) != kBlack);
        QCOMPARE(s.text->palette().color(QPalette::Disabled, QPalette::Base), kWhite);
    }

    void otherWindowsInsideAreLeftAlone() {
        Sample s;
        auto* tool = new QWidget(&s.window, Qt::Tool);
        auto* inner = new QPushButton(QStringLiteral("Inner"), tool);
        applyTo(&s.window);
        QVERIFY(!ownPalette(inner));
        QVERIFY(!ownPalette(tool));
        // Its own load skins it.
        applyTo(tool);
        QCOMPARE(colour(inner, QPalette::Button), kWhite);
    }

    void applicationStyleStartsAndStops() {
        const QString ownStyle = QApplication::style()->name();
        const QColor ownWindow = QApplication::palette().color(QPalette::Window);
        QVERIFY(!started());
        start();
        QVERIFY(started());
        QCOMPARE(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
        QCOMPARE(QApplication::palette().color(QPalette::Window), kPanel);
        QCOMPARE(QApplication::palette().color(QPalette::Base), kWhite);
        start(); // once is enough
        stop();
        QVERIFY(!started());
        QCOMPARE(QApplication::style()->name(), ownStyle);
        QCOMPARE(QApplication::palette().color(QPalette::Window), ownWindow);
        stop(); // nothing to stop
    }

    void aWindowSkinnedBeforeTheSplashStartsTheSkinOnly() {
        tally::test::TestEnv env;
        QVERIFY(!started());
        Sample s;
        applyTo(&s.window);
        QVERIFY(started());
        QCOMPARE(colour(s.button, QPalette::Button), kWhite);
        // No splash window went on to open the main window.
        QTest::qWait(50);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QVERIFY(!qobject_cast<MainWindow*>(w));
            QVERIFY(!qobject_cast<SplashWindow*>(w));
        }
    }

    void everyWindowWithTheSwitchOff() {
        tally::test::TestEnv env;
        env.writeFile(QStringLiteral("Help.rtf"), tally::test::shippedHelp());
        writeSetting(QLatin1String(settingkeys::ShowHelp), QStringLiteral("1"));

        SplashWindow splash(10, false);
        QVERIFY(!skin::enabled());
        QTRY_VERIFY(splash.mainWindow());
        MainWindow* form = splash.mainWindow();
        form->showHelp();
        form->showAbout();
        QWidget* helpWindow = form->helpWindow();
        QWidget* aboutWindow = form->aboutWindow();
        QVERIFY(helpWindow && aboutWindow);
        for (QWidget* w : {static_cast<QWidget*>(&splash), static_cast<QWidget*>(form), helpWindow,
                           aboutWindow}) {
            QVERIFY2(!w->property("tallySkinned").toBool(), qPrintable(w->objectName()));
            QVERIFY2(!ownPalette(w), qPrintable(w->objectName()));
            for (QWidget* control : w->findChildren<QWidget*>())
                if (control->window() == w &&
                    !control->objectName().startsWith(QLatin1String("qt_")))
                    QVERIFY2(control->palette().color(QPalette::Window) != kPanel ||
                                 QApplication::palette().color(QPalette::Window) == kPanel,
                             qPrintable(control->objectName()));
        }
        QVERIFY(!started());
        // They still work: the help text and the About fields are there.
        QVERIFY(helpWindow->findChild<QTextBrowser*>(QStringLiteral("rtf1"))
                    ->toPlainText()
                    .contains(QStringLiteral("Tallyscope Help")));
        QCOMPARE(aboutWindow->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("1.3"));
    }
};

TALLY_MAIN {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestSkin tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_skin.moc"
