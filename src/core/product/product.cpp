#include "core/product/product.h"

#include "tally_version.h"

namespace tally {

QString ProductInfo::versionText() const {
    return tally::versionText(major, minor);
}

const ProductInfo& product() {
    static const ProductInfo info{QString::fromUtf8(version::ProductName),
                                  QString::fromUtf8(version::CompanyName),
                                  QString::fromUtf8(version::SiteAddress),
                                  QString::fromUtf8(version::SiteUrl),
                                  version::Major,
                                  version::Minor};
    return info;
}

QString versionText(int major, int minor) {
    return QString::number(major) + QLatin1Char('.') + QString::number(minor);
}

} // namespace tally
