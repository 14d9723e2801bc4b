#include "core/results/saved_search.h"

#include "core/numbers/numbers.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <functional>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SavedSearch)
};

QDate& pinnedToday() {
    static QDate date;
    return date;
}

const QLatin1String extension(SavedSearchExtension);

} // namespace

QDate historyToday() {
    return pinnedToday().isValid() ? pinnedToday() : QDate::currentDate();
}

void setHistoryToday(const QDate& date) {
    pinnedToday() = date;
}

QString historyDateKey(const QDate& date) {
    return date.toString(QStringLiteral("MM-dd-yy"));
}

std::optional<QDate> historyKeyDate(const QString& key) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{2})-([0-9]{2})-([0-9]{2})$"));
    const QRegularExpressionMatch match = pattern.match(key);
    if (!match.hasMatch())
        return std::nullopt;
    const int twoDigitYear = match.captured(3).toInt();
    const int year = twoDigitYear < 80 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
    const QDate date(year, match.captured(1).toInt(), match.captured(2).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString savedSearchFolder() {
    const QDir program(ProgramFolder::path());
    const QStringList dirs =
        program.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    const QString designed = QFileInfo(ProgramFolder::savedFolder()).fileName();
    if (dirs.contains(designed))
        return ProgramFolder::savedFolder();
    for (const QString& dir : dirs)
        if (dir.compare(designed, Qt::CaseInsensitive) == 0)
            return program.filePath(dir);
    return ProgramFolder::savedFolder();
}

bool ensureSavedSearchFolder() {
    return bool(makeFolder(savedSearchFolder()));
}

QString savedSearchFileFor(const QString& name, bool* exists) {
    const std::optional<SavedSearchEntry> existing = findSavedSearch(name);
    if (exists)
        *exists = existing.has_value();
    return savedSearchPath(existing ? existing->fileName : name + extension);
}

QString savedSearchPath(const QString& fileName) {
    return savedSearchFolder() + QLatin1Char('/') + fileName;
}

QList<SavedSearchEntry> listSavedSearches() {
    QList<SavedSearchEntry> entries;
    const QDir folder(savedSearchFolder());
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& file : files) {
        if (!file.endsWith(extension, Qt::CaseInsensitive))
            continue;
        entries.append({file.left(file.size() - extension.size()), file});
    }
    std::sort(entries.begin(), entries.end(),
              [](const SavedSearchEntry& a, const SavedSearchEntry& b) {
                  const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
                  if (folded != 0)
                      return folded < 0;
                  return a.fileName < b.fileName;
              });
    return entries;
}

std::optional<SavedSearchEntry> findSavedSearch(const QString& name) {
    for (const SavedSearchEntry& entry : listSavedSearches())
        if (entry.name == name)
            return entry;
    return std::nullopt;
}

SearchNameProblem checkSearchName(const QString& name) {
    if (name.isEmpty())
        return SearchNameProblem::Empty;
    for (QChar c : name)
        if (c == QLatin1Char('/') || c.category() == QChar::Other_Control)
            return SearchNameProblem::BadCharacter;
    if (!fitsAtomicFileName(name + extension))
        return SearchNameProblem::TooLong;
    return SearchNameProblem::None;
}

bool isSavableCount(const QString& count) {
    return !count.isEmpty() && count != QLatin1String("-");
}

namespace {

// A text the file can keep in a line: no line break, no NUL, none of "=", "[", "]".
bool fitsInLine(const QString& text) {
    for (QChar c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\0') ||
            c == QLatin1Char('=') || c == QLatin1Char('[') || c == QLatin1Char(']'))
            return false;
    return true;
}

} // namespace

namespace {

// The saved search's provenance changed by `change` and written, as the last step of a save under
// the file's lock; left as it is when `change` says there is nothing to write, or when a newer
// version wrote it.
FileOutcome changeSources(const QString& file, const std::function<bool(Provenance&)>& change) {
    bool newer = false;
    Provenance sources = Provenance::read(file, nullptr, &newer);
    if (newer || !change(sources))
        return FileOutcome::success();
    if (const FileOutcome written = sources.write(file); !written)
        return FileOutcome::failure(
            Text::tr("the counts were saved, but not where they came from: %1")
                .arg(written.reason()));
    return FileOutcome::success();
}

} // namespace

bool isWritableRow(const QList<RowCell>& cells) {
    QStringList seen;
    for (const RowCell& cell : cells) {
        if (cell.caption.isEmpty() || !fitsInLine(cell.caption) || !fitsInLine(cell.count) ||
            seen.contains(cell.caption))
            return false;
        seen << cell.caption;
    }
    return true;
}

SaveResult saveSearchRow(const QList<RowCell>& row, const QString& file, SaveMode mode,
                         const QDate& date, QString* reason) {
    if (!isWritableRow(row))
        return SaveResult::Refused;
    QList<RowCell> cells = row;
    cells.removeIf([](const RowCell& cell) { return !isSavableCount(cell.count); });
    if (cells.isEmpty())
        return SaveResult::NothingToSave;
    auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return SaveResult::Failed;
    };
    if (const FileOutcome made = makeFolder(QFileInfo(file).absolutePath()); !made)
        return fail(made.reason());
    const QString key = historyDateKey(date);
    modINI::IniFileEdit edit(file);
    for (const RowCell& cell : cells) {
        if (mode == SaveMode::NewSearch)
            edit.writePrivateProfileSection(cell.caption, QString());
        edit.writeIniValue(cell.caption, key, cell.count);
    }
    const bool anySource = std::any_of(cells.begin(), cells.end(),
                                       [](const RowCell& c) { return c.source.isKnown(); });
    edit.afterReplacing([&cells, &file, &date, mode, anySource] {
        return changeSources(file, [&](Provenance& sources) {
            if (!anySource && sources.isEmpty())
                return false;
            for (const RowCell& cell : cells) {
                if (mode == SaveMode::NewSearch)
                    sources.clearSection(cell.caption);
                sources.set(cell.caption, date, cell.source);
            }
            return true;
        });
    });
    if (const FileOutcome outcome = edit.save(); !outcome)
        return fail(outcome.reason());
    return SaveResult::Saved;
}

SaveResult mergePastPoints(const QString& file, const QString& section,
                           const QList<PastPoint>& points, int* added, QString* reason) {
    if (added)
        *added = 0;
    for (const PastPoint& point : points)
        if (!isWritableRow({RowCell(section, point.count)}) || !point.date.isValid())
            return SaveResult::Refused;
    if (points.isEmpty())
        return SaveResult::NothingToSave;
    if (const FileOutcome made = makeFolder(QFileInfo(file).absolutePath()); !made) {
        if (reason)
            *reason = made.reason();
        return SaveResult::Failed;
    }
    QStringList inserted;
    QHash<QString, const PastPoint*> byKey;
    modINI::IniFileEdit edit(file);
    for (const PastPoint& point : points) {
        const QString key = historyDateKey(point.date);
        if (byKey.contains(key))
            continue; // one point a day: the first given
        byKey.insert(key, &point);
        // Newest first: before the first line of an older day.
        edit.insertMissingKey(
            section, key, point.count,
            [date = point.date](const QString& lineKey) {
                const std::optional<QDate> lineDate = historyKeyDate(lineKey);
                return lineDate && *lineDate < date;
            },
            &inserted);
    }
    edit.afterReplacing([&] {
        return changeSources(file, [&](Provenance& sources) {
            for (const QString& key : std::as_const(inserted))
                sources.set(section, byKey.value(key)->date, byKey.value(key)->source);
            return !inserted.isEmpty();
        });
    });
    if (const FileOutcome outcome = edit.save(); !outcome) {
        if (reason)
            *reason = outcome.reason();
        return SaveResult::Failed;
    }
    if (added)
        *added = int(inserted.size());
    return inserted.isEmpty() ? SaveResult::NothingToSave : SaveResult::Saved;
}

FileOutcome checkSavedSearchReadable(const QString& file) {
    if (FileOutcome readable = checkFileReadable(file, modINI::iniFileSizeLimit(file)); !readable)
        return readable;
    // Random bytes, an empty file or another program's file is no history, not an empty one.
    for (const QString& section : modINI::ListIniSections(file))
        if (!readEngineHistoryLines(section, file).isEmpty())
            return FileOutcome::success();
    return FileOutcome::failure(
        Text::tr("it holds no saved counts (no [section] with a date=count line)"));
}

QList<HistoryLine> readEngineHistoryLines(const QString& engine, const QString& file) {
    QList<HistoryLine> lines;
    QString text = modINI::ReadIniSection(engine, QString(), file);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(text.endsWith(QLatin1String("\r\n")) ? 2 : 1);
    if (text.isEmpty())
        return lines; // a section without lines
    const QStringList pieces = text.split(QLatin1String("\r\n"));
    lines.reserve(pieces.size());
    for (const QString& line : pieces) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        qsizetype end = line.indexOf(QLatin1Char('='), eq + 1);
        if (end < 0)
            end = line.size();
        lines.append({line.left(eq), line.mid(eq + 1, end - eq - 1)});
    }
    return lines;
}

QList<HistoryRow> readEngineHistory(const QString& engine, const QString& file) {
    QList<HistoryRow> rows;
    const QList<HistoryLine> lines = readEngineHistoryLines(engine, file);
    rows.reserve(lines.size());
    for (const HistoryLine& line : lines)
        rows.append({line.label, wholeNumberOrZero(line.value)});
    return rows;
}

QString searchNameOfTyped(const QString& typed) {
    if (typed.size() > extension.size() && typed.endsWith(extension, Qt::CaseInsensitive))
        return typed.left(typed.size() - extension.size());
    return typed;
}

QString savedSearchTitle(const QString& fileName) {
    QString title = fileName;
    title.remove(extension, Qt::CaseInsensitive);
    return title;
}

} // namespace tally
