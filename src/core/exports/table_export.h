// Numbers leaving the program: the results table as CSV or JSON, and a saved search's history as
// CSV. The window's export commands and the command line write the same bytes.
//
// CSV follows RFC 4180: comma-separated, CR LF after every record (the last one included), a
// field in double quotes when it holds a comma, a quote, a CR or an LF, a quote inside doubled.
// The text is UTF-8 without a byte-order mark. A text field that a spreadsheet would take for a
// formula (one starting with "=", "+", "-", "@", a tab or a CR) gets a "'" in front, so that
// opening an export never runs what a URL list or a page put there. Counts and totals are plain
// digits and never change.
#pragma once

#include "core/files/safe_file.h"
#include "core/scan/engine_table.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace tally {

// One row of the results table.
struct ResultRow {
    QString url;
    std::array<QString, EngineCount> counts;  // in engine order; empty for a failed request
    std::array<QString, EngineCount> reasons; // why a request failed; empty for a count
    QString total;                            // the row total, empty while unknown
    int profile = 0;                          // 1 low, 2 medium, 3 high, 0 none
};

// "low", "medium", "high", or the empty text.
QString profileName(int profile);

// One CSV field as written, quoted and guarded as described above.
QString csvField(const QString& text);
// One record: the fields joined by commas, then CR LF.
QByteArray csvRecord(const QStringList& fields);

// Header "URL", the six engine captions (as engines.ini names the slots), "Total", "Profile", then
// "<caption> reason" for each engine; one record per row, in the order given.
QByteArray resultsCsv(const QList<ResultRow>& rows);

// {"date": "yyyy-mm-dd", "results": [{"url", "total", "profile", "engines": [{"engine", "count",
// "reason"}...]}...]}: a count is a number (a text when it is not a whole number), null for a
// failure, which carries its reason; total is null while unknown, profile null for none.
QByteArray resultsJson(const QList<ResultRow>& rows, const QDate& date);

// A saved search's whole history: header "Date" and its engines (sections) in file order; one
// record per date saved for any engine, newest first, the date as yyyy-mm-dd; an engine without a
// value that day has an empty field, and so has a value that is not a whole number. Date texts
// that are not dates of the history follow, as written, in the order first found. Fails, with the
// reason, when the file cannot be read whole.
FileOutcome historyCsv(const QString& savedSearchFile, QByteArray* csv);

} // namespace tally
