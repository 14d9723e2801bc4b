// Load Data › Fill in the past...: the past of one saved search filled in from every column that
// can look back (core/history/backfill.h). It says which columns are asked and how many requests
// they send before anything starts; Stop ends the requests in flight.
#pragma once

#include "core/history/backfill.h"
#include "core/scan/engine_definitions.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace tally {

class PageFetcher;

class BackfillDialog : public QDialog {
    Q_OBJECT
public:
    // `file`: the saved search's full path. Its URL is taken from its provenance when known.
    explicit BackfillDialog(const QString& file, QWidget* parent = nullptr);
    ~BackfillDialog() override;

    // Points added by the last fill-in.
    int added() const { return added_; }

Q_SIGNALS:
    // The fill-in ended (finished or stopped).
    void done();

private:
    BackfillPlan plan() const;
    void describePlan();
    void start();
    void stop();
    void finished();

    QString file_;
    EngineSet engines_;
    BackfillPlan columns_; // what can look back, read once
    QList<PageFetcher*> fetchers_;
    std::unique_ptr<Backfill> backfill_;
    int added_ = 0;
    int failed_ = 0;
    QLineEdit* url_;
    QSpinBox* months_;
    QLabel* plan_;
    QProgressBar* progress_;
    QListWidget* log_;
    QPushButton* start_;
    QPushButton* stop_;
    QPushButton* close_;
};

} // namespace tally
