// Opening a page when the web engine plugin cannot be loaded: the view area says so and why, the
// browser stays on about:blank and its commands do nothing.
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/web_engine_plugin.h"
#include "gui/webview/website_frame.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace tally;

class TestWebEngineMissing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { setWebEnginePluginFolder(QString()); }
    void pageInAFolderWithoutThePlugin();
    void brokenPluginFile();

private:
    // Types an address into a shown Website View frame and presses Go; returns the message that
    // the browser's area then shows, or an empty text when it shows none.
    static QString openPage(WebsiteFrame& frame);
};

QString TestWebEngineMissing::openPage(WebsiteFrame& frame) {
    frame.resize(800, 600);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return QString();
    auto* address = frame.findChild<QLineEdit*>("Text1");
    QTest::keyClicks(address, "127.0.0.1:9/page");
    QTest::mouseClick(frame.findChild<QPushButton*>("Command10"), Qt::LeftButton);
    // The engine is tried once the click has returned, not within it.
    if (frame.findChild<QLabel*>("WebBrowser1LoadError"))
        return QStringLiteral("tried within the click");
    QLabel* message = nullptr;
    if (!QTest::qWaitFor([&] {
            message = frame.findChild<QLabel*>("WebBrowser1LoadError");
            return message && message->isVisible();
        }))
        return QString();
    return message->text();
}

void TestWebEngineMissing::pageInAFolderWithoutThePlugin() {
    test::TestEnv env;
    QTemporaryDir dir;
    const QString missing = dir.filePath("no-plugins-here");
    setWebEnginePluginFolder(missing);
    WebsiteFrame frame;
    const QString message = openPage(frame);
    QVERIFY2(message.startsWith("The web engine could not be loaded"), qPrintable(message));
    QVERIFY2(message.contains("libtallywebengine.so was not found in " + missing),
             qPrintable(message));
    QVERIFY(!frame.browser()->isCreated());
    QCOMPARE(frame.browser()->currentAddress(), QString("about:blank"));

    // The commands find no page to act on; Go again tries again and says the same.
    QSignalSpy begun(frame.browser(), &LazyWebView::loadStarted);
    for (const char* name : {"Command8", "Command9", "Command11", "Command70", "Command10"})
        QTest::mouseClick(frame.findChild<QPushButton*>(name), Qt::LeftButton);
    QVERIFY(begun.isEmpty());
    QCOMPARE(frame.findChildren<QLabel*>("WebBrowser1LoadError").size(), 1);
    QCOMPARE(frame.findChild<QLabel*>("WebBrowser1LoadError")->text(), message);
}

void TestWebEngineMissing::brokenPluginFile() {
    test::TestEnv env;
    QTemporaryDir dir;
    QFile broken(dir.filePath("libtallywebengine.so"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a library");
    broken.close();
    setWebEnginePluginFolder(dir.path());
    WebsiteFrame frame;
    QSignalSpy status(&frame, &WebsiteFrame::statusText);
    const QString message = openPage(frame);
    // The loader's own reason, naming the file.
    QVERIFY2(message.startsWith("The web engine could not be loaded"), qPrintable(message));
    QVERIFY2(message.contains(broken.fileName()), qPrintable(message));
    QCOMPARE(status.size(), 2);
    QCOMPARE(status.first().first().toString(), QString("Opening page http://127.0.0.1:9/page"));
    QCOMPARE(status.last().first().toString(), QString("The web engine could not be loaded"));
    QVERIFY(!frame.browser()->isCreated());
}

TALLY_TEST_MAIN(TestWebEngineMissing)
#include "tst_web_engine_missing.moc"
