#include "core/product/version_info.h"

#include "core/product/app_state.h"
#include "tally_version.h"

namespace tally {

namespace {
DisplayStrings fromVersion(const VersionInfo& info) {
    return DisplayStrings{info.productName, info.companyName, versionText(info.major, info.minor)};
}

DisplayStrings& current() {
    static DisplayStrings strings = fromVersion(programVersion());
    return strings;
}
} // namespace

VersionInfo programVersion() {
    return VersionInfo{QString::fromUtf8(version::ProductName),
                       QString::fromUtf8(version::CompanyName),
                       QString::fromUtf8(version::Comments), version::Major, version::Minor};
}

QString versionText(int major, int minor) {
    return QString::number(major) + QLatin1Char('.') + QString::number(minor);
}

const DisplayStrings& displayStrings() {
    return current();
}

void setDisplayStrings(const VersionInfo& info) {
    current() = fromVersion(info);
    appState().SiteAddress = info.comments;
}

} // namespace tally
