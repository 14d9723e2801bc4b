#include "core/help/file_exists.h"

#include <QFileInfo>

namespace tally::xfileExists {

bool FileExists(const QString& strPath) {
    if (strPath.isEmpty())
        return false;
    // The name part: everything after the last separator. A directory search treats "*" and "?"
    // as wildcards, whose match never has the searched name itself.
    const qsizetype cut = strPath.lastIndexOf(QLatin1Char('/'));
    const QString name = strPath.mid(cut + 1);
    if (name.isEmpty() || name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        return false;
    const QFileInfo info(strPath);
    if (!info.exists() || !info.isFile() || info.isHidden())
        return false;
    return info.fileName().compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace tally::xfileExists
