// The registry of the tests in one executable (see test_main.h), without Qt Test.
#pragma once

namespace tally::test {

using TestMain = int (*)(int argc, char* argv[]);

// Registers a file's main under the file's base name ("tst_numbers" for ".../tst_numbers.cpp").
struct TestEntry {
    TestEntry(const char* file, TestMain main);
};

} // namespace tally::test
