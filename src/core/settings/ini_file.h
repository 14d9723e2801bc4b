// modINI: the program's own reader and writer of INI files (settings.ini and the saved searches).
//
// Every call reads the whole file, works on its lines and, for a write, saves the whole file back
// atomically. Nothing is cached between calls. Lines are handled as bytes: lines that a write does
// not touch keep their bytes; names and values passed in and out are UTF-8. Relative file names
// are resolved against the program folder.
#pragma once

#include <QString>
#include <QStringList>

namespace tally::modINI {

// The key's value (everything after the first "=" of its line), or defaultValue.
QString ReadIniValue(const QString& section, const QString& key, const QString& defaultValue,
                     const QString& file);

// The section's lines joined with CR LF between them, or defaultValue when there is no such
// section. A section followed by another ends with CR LF (the blank line before the next header).
QString ReadIniSection(const QString& section, const QString& defaultValue, const QString& file);

// The section names in file order; empty for a missing file.
QStringList ListIniSections(const QString& file);

// Replaces the key's line, or puts a new key directly under its section's header, or appends a
// new section at the end. Returns whether the file was written.
bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& file);

// True when the name holds none of "[", "]" and "=".
bool IsValidIniName(const QString& name);

// Profile write as the platform does it: an existing key is replaced in its own line, a new key
// goes at the end of its section, a missing section or file is created.
bool WritePrivateProfileStringA(const QString& section, const QString& key, const QString& value,
                                const QString& file);

// Creates the section or empties it; sectionText (normally empty) holds "key=value" lines that
// then make up the section.
bool WritePrivateProfileSectionA(const QString& section, const QString& sectionText,
                                 const QString& file);

} // namespace tally::modINI
