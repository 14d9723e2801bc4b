// The program's windows as a window manager and a desktop see them: the built program started
// under openbox on the test's X server carries the window class that its desktop entry names
// (StartupWMClass), so that the desktop ties its windows to the entry and its icon.
#include "support/test_main.h"
#include "support/window_manager.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using tally::test::WindowManager;

class TestWindowClass : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowManager> windowManager_;

private Q_SLOTS:
    void initTestCase() {
        windowManager_ = std::make_unique<WindowManager>();
        if (!windowManager_->running())
            QSKIP(qPrintable(windowManager_->skipReason()));
    }
    void cleanupTestCase() { windowManager_.reset(); }

    void windowsCarryTheDesktopEntrysClass() {
        QFile entry(QStringLiteral(TALLY_BUILD_DIR "/generated/shipped/" TALLY_APP_ID ".desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QString wanted;
        for (const QByteArray& line : entry.readAll().split('\n'))
            if (line.startsWith("StartupWMClass="))
                wanted = QString::fromUtf8(line.mid(15)).trimmed();
        QVERIFY(!wanted.isEmpty());

        // The program with a home of its own; ended before it writes anything of its session.
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        const QList<std::uint32_t> before = WindowManager::stacking();
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TALLY_BUILD_DIR "/bin/tallyscope"), {});
        QVERIFY(program.waitForStarted());
        // The windows come and go as the program starts (the splash screen, the main window,
        // the help): the first moment two of them show is looked at.
        QStringList classes;
        const auto windowsShown = [&] {
            classes.clear();
            for (std::uint32_t window : WindowManager::stacking())
                if (!before.contains(window))
                    classes << WindowManager::windowClass(window).join(QLatin1Char('/'));
            return classes.size() >= 2;
        };
        QDeadlineTimer deadline(30000);
        while (!windowsShown() && !deadline.hasExpired())
            QTest::qWait(50);
        QVERIFY2(classes.size() >= 2, qPrintable(classes.join(QLatin1Char(' '))));
        program.kill();
        program.waitForFinished();
        for (const QString& cls : std::as_const(classes))
            QCOMPARE(cls, QStringLiteral("tallyscope/") + wanted);
    }
};

TALLY_MAIN {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    TestWindowClass test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window_class.moc"
