// modINI: the program's own reader and writer of INI files (settings.ini and the saved searches).
//
// Every call reads the whole file, works on its lines and, for a write, saves the whole file back
// atomically. Nothing is cached between calls. A reader that asks several things of one file loads
// it once as an IniDocument; a series of writes is one IniFileEdit: one read, every change made to
// the lines in memory, one write, under the file's lock (file_lock.h) so that another program's
// change of the same file in between is never lost. Lines are handled as bytes: lines that a write
// does not touch keep their bytes; names and values passed in and out are UTF-8. Relative file
// names are resolved against the program folder.
//
// Files are read only when they are regular files within their size limit (settings.ini 1 MiB,
// any other INI file 64 MiB); a leading UTF-8 byte-order mark is skipped. A file that cannot be
// read reads as an empty one, but is never written over: a write to it fails and leaves it as it
// is. A header line may be indented: spaces before the "[" (and before a key) are ignored on
// reading as a write removes them.
#pragma once

#include "core/files/safe_file.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

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

// One INI file as loaded: the reads above, each on the same lines.
class IniDocument {
public:
    // An empty document, as a missing file loads.
    IniDocument() = default;
    // Loads the file (a missing or unreadable one loads as empty; outcome() says why it could not
    // be read).
    static IniDocument load(const QString& file);

    QString value(const QString& section, const QString& key, const QString& defaultValue) const;
    QString section(const QString& section, const QString& defaultValue) const;
    QStringList sections() const;
    // Nothing but blank lines and comments (";" or "#"): a file that says nothing.
    bool isBlank() const;
    const FileOutcome& outcome() const { return outcome_; }

private:
    QList<QByteArray> lines_;
    FileOutcome outcome_ = FileOutcome::success();
};

// A series of writes to one file, applied to its lines in memory and saved with one atomic
// replacement. Each step follows the rules of the function it is named after, so the file ends up
// holding exactly the bytes that those functions called one after the other would leave, but no
// reader and no interruption can ever see it half way through.
class IniFileEdit {
public:
    explicit IniFileEdit(const QString& file);

    IniFileEdit& writeIniValue(const QString& section, const QString& key, const QString& value);
    IniFileEdit& writePrivateProfileString(const QString& section, const QString& key,
                                           const QString& value);
    IniFileEdit& writePrivateProfileSection(const QString& section, const QString& sectionText);

    // Adds key=value to the section unless the key is there already (its line is kept as it
    // is): before the first key line for which goesBefore(that line's key) holds, else after the
    // section's last line; a missing section is appended. The key is added to *inserted (when
    // given) once the step adds it.
    IniFileEdit& insertMissingKey(const QString& section, const QString& key, const QString& value,
                                  std::function<bool(const QString& lineKey)> goesBefore,
                                  QStringList* inserted = nullptr);

    // Takes the file's lock, removes the temporary files of saves that were killed half way,
    // loads the file, applies every step, saves it once and lets the lock go. Nothing is written
    // when the lock is held by another program beyond the wait limit, when the file cannot be read,
    // when a step cannot be applied (a name holding "[", "]" or "=", a text holding a line break or
    // a NUL), or when the save fails; the reason says which.
    FileOutcome save() const;
    // A step of its own run under the same lock once the file is replaced (a file kept beside
    // it); its failure is save()'s, with the file already replaced.
    IniFileEdit& afterReplacing(std::function<FileOutcome()> step);

private:
    enum class Kind { Value, ProfileString, ProfileSection, MissingKey };
    struct Step {
        Kind kind;
        QString section;
        QString key;
        QString value;
        std::function<bool(const QString&)> goesBefore = {};
        QStringList* inserted = nullptr;
    };
    QString file_;
    QList<Step> steps_;
    std::function<FileOutcome()> after_;
};

// The size limit of an INI file: settings.ini's own, or that of a saved search.
qint64 iniFileSizeLimit(const QString& file);

} // namespace tally::modINI
