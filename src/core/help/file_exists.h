// xfileExists: whether an ordinary file exists at a full path.
#pragma once

#include <QString>

namespace tally::xfileExists {

// True when an ordinary file exists at that path. A folder, a hidden file (a name starting with
// "."), a path without a file name, a name holding wildcards and any failure of the lookup count
// as absent.
bool FileExists(const QString& strPath);

} // namespace tally::xfileExists

namespace tally {
using xfileExists::FileExists;
} // namespace tally
