// The mains of the window tests: one as the program starts (the shared OpenGL context is made
// when first needed, and the program quits only when told to), one on a screen of a given size.
#pragma once

#include "support/test_main.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace tally::test {

// How long a web page may take to open (the web engine's first start included).
constexpr int loadTimeout = 30000;
// The exit code of an event loop that nobody ended.
constexpr int stillRunning = 42;

// Points the offscreen platform at one screen of this size, with window frames as a desktop has
// them. Called before the application exists; the configuration lives as long as the result.
inline std::unique_ptr<QTemporaryDir> offscreenScreen(int width, int height) {
    auto dir = std::make_unique<QTemporaryDir>();
    QFile file(dir->filePath(QStringLiteral("screens.json")));
    if (file.open(QIODevice::WriteOnly))
        file.write(QStringLiteral("{\"windowFrameMargins\": true, \"screens\": [{\"name\": "
                                  "\"test\", \"x\": 0, \"y\": 0, \"width\": %1, \"height\": %2, "
                                  "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                       .arg(width)
                       .arg(height)
                       .toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file.fileName().toLocal8Bit());
    return dir;
}

// Runs one test object in a program that quits only when told to.
template <class TestClass> int runWindowTest(int argc, char* argv[]) {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestClass tc;
    return QTest::qExec(&tc, argc, argv);
}

} // namespace tally::test

// The main of tests on such a screen.
#define TALLY_SCREEN_TEST_MAIN(TestClass, width, height)                                           \
    TALLY_MAIN {                                                                                   \
        const auto screen = tally::test::offscreenScreen(width, height);                           \
        return tally::test::runWindowTest<TestClass>(argc, argv);                                  \
    }

#define TALLY_GL_TEST_MAIN(TestClass)                                                              \
    TALLY_MAIN {                                                                                   \
        return tally::test::runWindowTest<TestClass>(argc, argv);                                  \
    }
