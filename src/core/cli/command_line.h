// The program's command line: the window by default, or one of the commands that run without a
// window (and without a display) on the core alone.
//
//   tallyscope [--history NAME]     the window (at the saved search NAME's history)
//   tallyscope --help | --version
//   tallyscope --scan LIST [--save NAME] [--csv FILE|-] [--json FILE|-] [--quiet]
//   tallyscope --backfill LIST --save NAME [--months N] [--quiet]
//   tallyscope --export-history NAME [NAME2 ... --source SECTION] [--csv FILE|-] [--json FILE|-]
//   tallyscope --schedule NAME --list FILE [--every daily|weekly|Nh] [--at HH:MM] [--day DAY]
//              [--notify-drop PERCENT] [--save NAME]
//   tallyscope --unschedule NAME | --schedules | --run-schedule NAME [--quiet]
//
// --scan reads the URL list file as the window's Load does ("-", a pipe or /dev/stdin: standard
// input) and scans it with the same engines,
// settings, pacing and failure reasons as the window; --save appends today's counts of each URL
// to the saved search NAME as the save dialog does (a new saved search is created when there is
// none of that name; "{host}" in NAME stands for each URL's host, one saved search per site).
// Without --csv, --json or --save the CSV goes to standard output. Progress and a summary go to
// standard error (with --quiet nothing, unless something failed). The outputs are checked before
// the first request. --backfill fills in the past of each URL's saved search (named as --save
// names it) from every column that can look back, --months months (24) before this one. A saved
// search may be named as its file ("mysite.vqz" is "mysite"). Options
// may also be written --option=value.
#pragma once

#include "core/schedule/schedule.h"

#include <QString>
#include <QStringList>

class QIODevice;

namespace tally::cli {

enum class Command {
    Window,        // no command: the window, with the arguments left to the toolkit
    Help,          // --help, -h
    Version,       // --version
    Scan,          // --scan LIST
    Backfill,      // --backfill LIST --save NAME: the past of each URL's saved search
    ExportHistory, // --export-history NAME
    Schedule,      // --schedule NAME --list FILE [...]: a schedule written and enabled
    Unschedule,    // --unschedule NAME
    ListSchedules, // --schedules
    RunSchedule    // --run-schedule NAME: what a schedule's service runs
};

// The exit codes of the commands.
enum ExitCode {
    ExitSuccess = 0,    // every request gave a count and everything was written
    ExitSomeFailed = 1, // some requests gave no count
    ExitBadInput = 2,   // bad arguments, an unreadable or empty list, an unreadable settings.ini
                        // or engines.ini, an output that is the list or the other output, no
                        // such saved search
    ExitNotWritten = 3, // a CSV, JSON or saved search could not be written (or could not be
                        // created, found before the first request)
    ExitNothingCounted = 4, // the scan ran, but no request gave a count at all
    ExitSourceRefused = 5   // a source refused: a key refused, a quota spent, a definition that
                            // cannot work (whatever else was counted)
};

// The exit code of a finished scan: what could not be written first, then a source that refused,
// then whether anything at all was counted, then whether every request gave a count.
int scanExitCode(bool notWritten, bool anyCount, bool anyFailure, bool sourceRefused);

struct Options {
    Command command = Command::Window;
    QString listFile;          // --scan
    QString saveName;          // --save
    QString csvTarget;         // --csv: a file, or "-" for standard output
    QString jsonTarget;        // --json
    QString historyName;       // --export-history
    QStringList moreHistories; // --export-history NAME NAME2 ...: sites side by side
    QString historySource;     // --source: the section charted across them
    int backfillMonths = 24;   // --months: how far --backfill looks back
    bool quiet = false;        // --quiet: nothing on standard error unless something failed
    tally::Schedule schedule;  // --schedule (whole), --unschedule and --run-schedule (its name)
    QString error;             // why the arguments are refused; empty when they are fine
};

// Reads the arguments (without the program's name). Arguments that belong to no command of the
// program are left to the window (the toolkit's own, such as "-platform xcb") unless one of the
// program's options is among them.
Options parseArguments(const QStringList& arguments);

// Whether any argument names one of the program's commands or options, or is an option with two
// dashes that the toolkit does not take, so that the window must not start (checked before any
// toolkit object exists).
bool isCommandLineRun(const QStringList& arguments);

// The window's own option, among the arguments the toolkit left: --history NAME opens the window
// at that saved search's history (what a click on a scheduled run's notification starts).
struct WindowOptions {
    QString history;
    QString error; // why the arguments are refused
};
WindowOptions parseWindowArguments(const QStringList& arguments);

QString usageText();
QString versionText();

// "{host}" in a saved-search name replaced by the URL's host; the name as it is without "{host}".
// An empty text when the URL has no host.
QString savedSearchNameFor(const QString& pattern, const QString& url);

// Runs a command other than Window to its end, on the running QCoreApplication's event loop when
// it scans (it calls QCoreApplication::exec itself then). Writes "-" outputs to `out`, progress,
// the summary and errors to `err`. Returns the exit code.
int run(const Options& options, QIODevice* out, QIODevice* err);

} // namespace tally::cli
