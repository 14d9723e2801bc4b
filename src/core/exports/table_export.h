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
#include "core/results/results_model.h"

#include <QByteArray>
#include <QByteArrayView>

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include <memory>

namespace tally {

// "low", "medium", "high", or the empty text.
QString profileName(int profile);

// One CSV field as written, quoted and guarded as described above.
QString csvField(const QString& text);
// One record: the fields joined by commas, then CR LF.
QByteArray csvRecord(const QStringList& fields);

// Header "URL", the engines' captions as the header's snapshot names them (the run's, not what
// engines.ini says now), "Total", "Profile", then "<caption> reason" for each engine; one record
// per row, in the order given. A failed request's count is empty and its reason given; a row
// without a total has an empty total and profile. A switched-off engine has no columns; a score
// engine's values (which may have decimals) stand in its column like counts. Each link-index
// engine then has a column "<caption> matched": the vertex its count belongs to ("com.example"),
// empty where none was looked up.
QByteArray resultsCsv(const ResultRecords& rows, const EngineSnapshot& header);
// Its header record, and the record of one row: a table written as the rows come.
QByteArray resultsCsvHeader(const EngineSnapshot& header);
QByteArray resultsCsvRow(const ResultRecord& row, const EngineSnapshot& header);

// {"date": "yyyy-mm-dd", "results": [{"url", "total", "profile", "engines": [{"engine", "count",
// "reason"}...]}...]}: each engine named as the row's run named it; a count is a number (a text
// when it does not read as one), null for a failure, which carries its reason; total and profile
// are null for a row without a total. A score engine's entry says "inTotal": false and its value
// may have decimals; a switched-off engine is left out. A link-index engine's entry has
// "matched": the vertex its count belongs to, or null.
QByteArray resultsJson(const ResultRecords& rows, const QDate& date);
// The same handed to `sink` a row at a time (a file written as it is made); stops at the first
// piece the sink refuses and returns false.
bool writeResultsJson(const ResultRecords& rows, const QDate& date,
                      const std::function<bool(QByteArrayView)>& sink);
// The same a row at a time, as the rows come: add() each row in order, then finish(). Each
// returns false once the sink refused a piece (nothing more is handed to it then).
class SiteHistories;
class ResultsJsonWriter {
public:
    ResultsJsonWriter(const QDate& date, std::function<bool(QByteArrayView)> sink);
    ~ResultsJsonWriter();
    bool add(const ResultRecord& row);
    bool finish();

private:
    QDate date_;
    std::function<bool(QByteArrayView)> sink_;
    std::unique_ptr<SiteHistories> histories_;
    QByteArray json_;
    bool first_ = true;
    bool refused_ = false;
};

// A saved search's whole history: header "Date" and its engines (sections) in file order; one
// record per date saved for any engine, newest first, the date as yyyy-mm-dd; an engine without a
// value that day has an empty field, and so has a value that is not a whole number. Date texts
// that are not dates of the history follow, as written, in the order first found. Fails, with the
// reason, when the file cannot be read whole.
// A section whose points came from a preset or a definition of the user's (as its provenance
// says) is followed by "<section> source" and "<section> release". *problem (when given) names a
// provenance file left aside.
FileOutcome historyCsv(const QString& savedSearchFile, QByteArray* csv, QString* problem = nullptr);
// The same history as JSON, one object per point, newest first, section by section:
// {"name", "points": [{"date", "caption", "count", "source", "metric", "release", "vertex",
// "url", "backfilled"}]}; what is not known is null.
FileOutcome historyJson(const QString& savedSearchFile, QByteArray* json,
                        QString* problem = nullptr);
// One section of several saved searches side by side (sitesChart's rows, oldest first): CSV
// "Date" and a column per saved search; JSON {"source", "sites": [{"name", "points"}]}.
FileOutcome sitesHistoryCsv(const QStringList& files, const QString& section, QByteArray* csv);
FileOutcome sitesHistoryJson(const QStringList& files, const QString& section, QByteArray* json,
                             QString* problem = nullptr);

} // namespace tally
