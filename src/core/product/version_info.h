// The program's version information and the display strings taken from it.
#pragma once

#include <QString>

namespace tally {

// The version information of the program: product, company, comments (the web site address) and
// version numbers. The build sets the program's own values in one place (CMakeLists.txt).
struct VersionInfo {
    QString productName;
    QString companyName;
    QString comments;
    int major = 0;
    int minor = 0;
};

// The program's own version information.
VersionInfo programVersion();

// The version as the About window shows it: major, ".", minor, both as plain whole numbers
// (1 and 3 give "1.3", 1 and 10 give "1.10").
QString versionText(int major, int minor);

// The display strings that the windows show, set once by the splash window from the version
// information before the main window loads. Until then they hold the program's own values.
struct DisplayStrings {
    QString productName;
    QString companyName;
    QString versionText;
};

const DisplayStrings& displayStrings();

// Sets the display strings and appState().SiteAddress (from the comments) from `info`.
void setDisplayStrings(const VersionInfo& info);

} // namespace tally
