// Saved searches: the dated history of one results row, one file Saved/<name>.vqz per search.
//
// A file is plain INI text with one section per engine (named by the engine column's caption) and
// one line "mm-dd-yy=count" per day the row was saved, newest first. A save is the series of
// modINI::WritePrivateProfileSectionA and modINI::WriteIniValue writes, one engine at a time,
// applied together as one atomic replacement of the file: a save is either whole or not there. The
// load, change and replacement hold the file's lock (file_lock.h): two programs saving into one
// saved search at once (the window and a nightly scan) both keep their days.
#pragma once

#include "core/files/safe_file.h"
#include "core/results/provenance.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace tally {

inline constexpr const char* SavedSearchExtension = ".vqz";

// "Today" for the history: the local date, unless a test pinned another one.
QDate historyToday();
// Pins "today" (tests); an invalid date returns to the real clock.
void setHistoryToday(const QDate& date);
// A date as the key of a history line: "mm-dd-yy".
QString historyDateKey(const QDate& date);
// The date of a key written by historyDateKey: exactly "mm-dd-yy" with a real date; the two-digit
// year is 2000-2079 for 00-79 and 1980-1999 for 80-99. Nothing for any other text.
std::optional<QDate> historyKeyDate(const QString& key);

// The folder holding the saved searches: the program folder's "Saved", found without regard to
// letter case ("saved", "SAVED" count); ProgramFolder::savedFolder() when there is none yet.
QString savedSearchFolder();
// Creates the folder when it is missing; false when it cannot be made.
bool ensureSavedSearchFolder();
// The full path of a file in that folder.
QString savedSearchPath(const QString& fileName);

// One saved search as the dialogs list it: the name shown (the file name without its last four
// characters) and the real file it came from, so that "x.VQZ" is opened and written as itself.
struct SavedSearchEntry {
    QString name;
    QString fileName;
};

// Every file of the saved-search folder whose name ends in ".vqz" (any letter case), hidden files
// included, sorted by name.
QList<SavedSearchEntry> listSavedSearches();

// The entry whose name is exactly `name`, or none.
std::optional<SavedSearchEntry> findSavedSearch(const QString& name);
// The file a save under `name` writes: the existing saved search's (its own letter case), else a
// new "<name>.vqz"; *exists says which.
QString savedSearchFileFor(const QString& name, bool* exists = nullptr);

// Why a typed name cannot become a saved search's file name.
enum class SearchNameProblem {
    None,
    Empty,        // nothing typed
    BadCharacter, // "/" would leave the Saved folder; control characters cannot be file names
    TooLong       // the file name (name + ".vqz") would be longer than the file system allows
};
SearchNameProblem checkSearchName(const QString& name);
// A saved search named as its file: "mysite.vqz" (any letter case) is the saved search "mysite".
QString searchNameOfTyped(const QString& typed);

// One engine's cell of a results row on its way into a saved search: the caption the row's run
// named the engine by (its section) and the count as the cell showed it.
struct RowCell {
    RowCell(QString caption_, QString count_, PointSource source_ = {})
        : caption(std::move(caption_)), count(std::move(count_)), source(std::move(source_)) {}

    QString caption;
    QString count;
    PointSource source; // where the count came from; unknown for a row that says nothing of it
};

// A cell worth saving: neither "-" nor empty (an engine that gave no count never enters the
// history, where it would read as a count of 0).
bool isSavableCount(const QString& count);

enum class SaveMode {
    NewSearch, // every engine saved now starts its history afresh
    Append     // today's line is added to (or replaced in) the existing history
};

enum class SaveResult {
    Saved,         // at least one engine was written
    NothingToSave, // every cell was "-" or empty; no file was created or changed
    Failed,        // the folder or the file could not be written
    Refused        // a caption or cell holds what the file cannot keep; nothing was written
};

// Whether the cells can be written as they are: every caption is a section name the file can keep
// (not empty; none of "[", "]", "=", a line break or a NUL) and no caption comes twice; no cell
// holds "=", "[", "]", a line break or a NUL (each would split or add a line, a key or a section).
// The captions are the row's own: those its run fetched the counts under, whatever engines.ini
// says now.
bool isWritableRow(const QList<RowCell>& cells);

// Writes one save of a results row into `file` (a full path) for the date `date`, in the cells'
// order: the load, the change and the replacement of the file happen under its lock, so that
// another program saving into the same file at the same time loses nothing. Cells that are not
// writable are refused before anything is written. On failure the file is as it was and *reason
// (when given) says why. The cells' sources go into the saved search's provenance under the same
// lock, once the file itself is replaced; a provenance file that a newer version wrote is left
// as it is.
SaveResult saveSearchRow(const QList<RowCell>& cells, const QString& file, SaveMode mode,
                         const QDate& date, QString* reason = nullptr);

// One point of a section's past, filled in afterwards: its day, the count, where it came from.
struct PastPoint {
    QDate date;
    QString count;
    PointSource source;
};

// Merges points of one section's past into `file` (a full path; created when missing), under the
// file's lock as saveSearchRow writes: each goes in at its own date, the section kept newest first;
// a day the section holds already keeps its count and its provenance. The added points' sources
// go into the provenance. *added (when given) says how many were added. Nothing is written for
// a section name or count the file cannot keep (Refused) or when no point is new (NothingToSave).
SaveResult mergePastPoints(const QString& file, const QString& section,
                           const QList<PastPoint>& points, int* added = nullptr,
                           QString* reason = nullptr);

// Whether a saved search can be read whole (a regular file within the size limit) and holds
// saved counts (a section with at least one "label=value" line); the reason when it cannot.
FileOutcome checkSavedSearchReadable(const QString& file);

// One line of an engine's history: the date text as written and the count.
struct HistoryRow {
    QString label;
    qint64 count = 0;
};

// An engine's history in file order (newest first). Lines without "=" are skipped; a count that
// is not a whole number reads as 0. A missing section or file gives no rows.
QList<HistoryRow> readEngineHistory(const QString& engine, const QString& file);

// The same lines as written: the date text and the value text (up to a second "=", if any).
struct HistoryLine {
    QString label;
    QString value;
};
QList<HistoryLine> readEngineHistoryLines(const QString& engine, const QString& file);

// The chart title of a saved search: its file name with every ".vqz" removed (letter case
// ignored).
QString savedSearchTitle(const QString& fileName);

} // namespace tally
