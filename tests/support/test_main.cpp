#include "support/test_entry.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tally::test {
namespace {

std::map<std::string, TestMain>& entries() {
    static std::map<std::string, TestMain> all;
    return all;
}

std::string baseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    std::string name = slash ? slash + 1 : path;
    const auto dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

TestEntry::TestEntry(const char* file, TestMain main) {
    entries()[baseName(file)] = main;
}

} // namespace tally::test

// "tests_core_net tst_page_fetcher -v2" runs as "<folder>/tst_page_fetcher -v2" would: the test's
// own name is its program name, which names its application and its folders in the test mode of
// QStandardPaths, so that tests of one executable running at once keep apart.
int main(int argc, char* argv[]) {
    const auto& entries = tally::test::entries();
    if (const auto own = entries.find(tally::test::baseName(argv[0])); own != entries.end())
        return own->second(argc, argv);
    const auto named = argc > 1 ? entries.find(argv[1]) : entries.end();
    if (named == entries.end()) {
        std::fprintf(stderr, "Usage: %s TEST [Qt Test options]\nTests:", argv[0]);
        for (const auto& entry : entries)
            std::fprintf(stderr, " %s", entry.first.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    const char* slash = std::strrchr(argv[0], '/');
    std::string program = std::string(argv[0], slash ? slash + 1 - argv[0] : 0) + argv[1];
    std::vector<char*> args{program.data()};
    args.insert(args.end(), argv + 2, argv + argc);
    args.push_back(nullptr);
    return named->second(argc - 1, args.data());
}
