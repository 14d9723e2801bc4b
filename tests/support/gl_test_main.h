// The main of tests that show the web view or 3D charts: as the program starts (the shared OpenGL
// context is made when first needed), and a program that quits only when told to.
#pragma once

#include <QApplication>
#include <QStandardPaths>
#include <QtTest>

#define TALLY_GL_TEST_MAIN(TestClass)                                                              \
    int main(int argc, char* argv[]) {                                                             \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        QApplication app(argc, argv);                                                              \
        QApplication::setQuitOnLastWindowClosed(false);                                            \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
