// The record of recent scans, scheduled and run by hand: one JSON object per line in
// <config>/Tallyscope/runs.jsonl (the newest 200 kept), read by the window's Recent Runs and
// written at the end of every --scan, --run-schedule and scan in the window.
#pragma once

#include "core/files/safe_file.h"
#include "core/results/results_model.h"
#include "core/scan/scan_run.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace tally {

struct RunRecord {
    QDateTime when;      // the end of the run
    QString schedule;    // the schedule's name; empty for a run by hand
    bool window = false; // a scan in the window (else the command line's)
    QString list;        // the URL list file
    int urls = 0;
    int counted = 0; // requests that gave a count
    int failed = 0;  // requests that did not
    int exitCode = 0;
    QStringList sources; // one line per source that failed: "Majestic: API key refused (...)"
    bool sourceRefused = false; // a key refused, a quota spent, a definition (not kept)
};

// A finished scan as the record keeps it: its counts, failures and a line per source that
// failed. When, what and the exit code are the caller's.
RunRecord recordOfScan(const ResultRecords& rows, const QList<ScanFailure>& failures);

inline constexpr int KeptRuns = 200;

QString runRecordFile();
// Adds a run (the oldest beyond KeptRuns go), in one atomic replacement under the file's lock.
FileOutcome appendRunRecord(const RunRecord& record);
// The runs kept, newest first; lines that do not read as a run are left out.
QList<RunRecord> recentRuns();

} // namespace tally
