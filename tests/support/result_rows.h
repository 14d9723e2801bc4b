// Rows for the results model as a scan leaves them, for tests that need results without a scan.
#pragma once

#include "core/results/results_model.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tally::test {

// A finished row: counts holds one text per slot in slot order; "" is a failed request (reason
// "refused"), any other text a count as the engine reported it ("n/a" included, as a page could
// carry it); slots beyond the list have not reported.
ResultRecord
finishedRecord(const QString& url, const QStringList& counts,
               std::shared_ptr<const EngineSnapshot> engines = EngineSnapshot::builtIn());

// Rows added at the end of the table, each {url, count of slot 0, ..., count of slot 5}.
void appendRecords(ResultsModel* model, const QList<QStringList>& rows);

// A row scanned at a 1-based position, through the steps a run takes (its web results follow
// from it), published at once.
void addScannedRow(ResultsModel* model, int position, const QString& url, const QStringList& counts,
                   std::shared_ptr<const EngineSnapshot> engines = EngineSnapshot::builtIn());

// The built-in engines with the slots from `from` on switched off, and the row texts given
// (in slot order) in place of the built-in ones.
std::shared_ptr<const EngineSnapshot> engineSnapshot(const QStringList& rowTexts = {},
                                                     int switchedOffFrom = EngineCount);

} // namespace tally::test
