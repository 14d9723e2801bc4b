// The record of recent scans, scheduled and run by hand: one JSON object per line in
// <config>/Tallyscope/runs.jsonl (the newest 200 kept), read by the window's Recent Runs and
// written by the command line at the end of every --scan and --run-schedule.
#pragma once

#include "core/files/safe_file.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace tally {

struct RunRecord {
    QDateTime when;   // the end of the run
    QString schedule; // the schedule's name; empty for a run by hand
    QString list;     // the URL list file
    int urls = 0;
    int counted = 0; // requests that gave a count
    int failed = 0;  // requests that did not
    int exitCode = 0;
    QStringList sources; // one line per source that failed: "Majestic: API key refused (...)"
};

inline constexpr int KeptRuns = 200;

QString runRecordFile();
// Adds a run (the oldest beyond KeptRuns go), in one atomic replacement.
FileOutcome appendRunRecord(const RunRecord& record);
// The runs kept, newest first; lines that do not read as a run are left out.
QList<RunRecord> recentRuns();

} // namespace tally
