// The program's name, maker, web site and version: one place, filled in by the build from the
// values in CMakeLists.txt (the generated tally_version.h) and read by every window.
#pragma once

#include <QString>

namespace tally {

struct ProductInfo {
    QString name;        // "Tallyscope": captions, message titles, the settings store's name
    QString company;     // the maker, in the main window's caption and the About window
    QString siteAddress; // the product's web site as a bare host name ("www.example.com")
    QString siteUrl;     // the same site as a full address ("http://www.example.com/")
    int major = 0;
    int minor = 0;

    // The version as the About window shows it (versionText(major, minor)).
    QString versionText() const;
};

// The program's own information.
const ProductInfo& product();

// A version as the windows show it: major, ".", minor, both as plain whole numbers (1 and 3 give
// "1.3", 1 and 10 give "1.10").
QString versionText(int major, int minor);

} // namespace tally
