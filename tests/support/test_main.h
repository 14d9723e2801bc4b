// The tests of one area are one executable: each file registers its main under the file's name, and
// the executable runs the test that its name (a link in the tests' folder) or its first argument
// names. Each test still runs in a process of its own.
#pragma once

#include "support/test_entry.h"

#include <QtTest>

// Opens the main of the test in this file; its body sees argc and argv as a main does. Its names
// carry a counter: a folder's files are compiled as one source.
#define TALLY_MAIN TALLY_MAIN_NUMBERED(__COUNTER__)
#define TALLY_MAIN_NUMBERED(n) TALLY_MAIN_CAT(n)
#define TALLY_MAIN_CAT(n) TALLY_MAIN_NAMED(tallyTestMain##n, tallyTestEntry##n)
#define TALLY_MAIN_NAMED(function, entry)                                                          \
    static int function(int argc, char* argv[]);                                                   \
    static const tally::test::TestEntry entry(__FILE__, &function);                                \
    static int function(int argc, char* argv[])

// The shapes of Qt Test's own mains.
#define TALLY_APPLESS_TEST_MAIN(TestObject)                                                        \
    TALLY_MAIN {                                                                                   \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#define TALLY_GUILESS_TEST_MAIN(TestObject)                                                        \
    TALLY_MAIN {                                                                                   \
        QCoreApplication app(argc, argv);                                                          \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#ifdef QT_WIDGETS_LIB
#include <QApplication>
#define TALLY_TEST_MAIN(TestObject)                                                                \
    TALLY_MAIN {                                                                                   \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
#endif
