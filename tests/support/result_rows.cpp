#include "support/result_rows.h"

namespace tally::test {

namespace {

EngineOutcome outcomeOf(const QString& text) {
    return text.isEmpty() ? EngineOutcome::failed(FailureKind::CouldNotConnect, "refused")
                          : EngineOutcome::counted(text);
}

} // namespace

ResultRecord finishedRecord(const QString& url, const QStringList& counts,
                            std::shared_ptr<const EngineSnapshot> engines) {
    // Through a model of its own, so that each cell is exactly what a run's outcome makes of it.
    ResultsModel model;
    model.startRow(1, url, std::move(engines));
    for (int s = 0; s < EngineCount && s < counts.size(); ++s)
        model.setOutcome(1, s, outcomeOf(counts.at(s)));
    model.finishRow(1);
    ResultRecord record = model.record(0);
    record.serial = 0; // added, not scanned
    return record;
}

void appendRecords(ResultsModel* model, const QList<QStringList>& rows) {
    for (const QStringList& row : rows)
        model->insertRecord(model->rowCount() + 1, finishedRecord(row.value(0), row.mid(1)));
}

void addScannedRow(ResultsModel* model, int position, const QString& url, const QStringList& counts,
                   std::shared_ptr<const EngineSnapshot> engines) {
    model->startRow(position, url, std::move(engines));
    for (int s = 0; s < EngineCount && s < counts.size(); ++s)
        model->setOutcome(position, s, outcomeOf(counts.at(s)));
    model->finishRow(position);
    model->publish();
}

std::shared_ptr<const EngineSnapshot> engineSnapshot(const QStringList& rowTexts,
                                                     int switchedOffFrom) {
    EngineSnapshot snapshot = *EngineSnapshot::builtIn();
    for (int s = 0; s < EngineCount; ++s) {
        if (s < rowTexts.size())
            snapshot.slot[s].rowText = rowTexts.at(s);
        snapshot.slot[s].switchedOff = s >= switchedOffFrom;
    }
    return std::make_shared<const EngineSnapshot>(snapshot);
}

} // namespace tally::test
