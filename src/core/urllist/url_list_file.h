// URL list files and the clipboard import rule.
//
// A list file holds one entry per line. Reading splits the whole text at CR LF, LF or a lone CR
// (Linux text ends its lines with LF) and skips empty pieces; a line of blanks is kept as an
// entry; a leading UTF-8 byte-order mark is skipped. Writing puts CR LF after every entry, the
// last one included, and never adds a byte-order mark. Files are in the local 8-bit encoding, read
// only when they are regular files within the size limit, and replaced atomically (a failed write
// leaves the old file as it was).
#pragma once

#include <QString>
#include <QStringList>

namespace tally {

// The non-empty lines of a text, in order, unchanged.
QStringList splitListText(const QString& text);

// The clipboard import rule for one line (the markers searched anywhere, ignoring case):
// a line holding "http://" or "https://" stays (it has its scheme already); else a line holding
// "www." gets "http://" in front; else it gets "http://www." in front.
QString NormalizeImportedUrl(const QString& line);

// The entries that a clipboard text adds to the list: its non-empty lines, normalised.
QStringList importedUrls(const QString& clipboardText);

// Reads a list file whole. False (and *error set to the reason) when it is missing, is not a
// regular file, is larger than the limit or cannot be read; *entries is then left untouched.
bool readUrlListFile(const QString& path, QStringList* entries, QString* error = nullptr);

// Reads a list as the command line takes it: "-" is standard input; a pipe (a FIFO, /dev/stdin)
// or a terminal is read to its end within the list file's size limit; anything else is read as
// readUrlListFile reads it.
bool readUrlListSource(const QString& source, QStringList* entries, QString* error = nullptr);

// Writes the entries, each followed by CR LF, replacing the file atomically. False (and *error
// set) when the file could not be written; the old file, if any, is then unchanged.
bool writeUrlListFile(const QString& path, const QStringList& entries, QString* error = nullptr);

// The file name a list is saved under: the chosen name, with ".txt" appended unless it already
// ends in ".txt" in any letter case.
QString urlListFileName(const QString& chosen);

} // namespace tally
