// The requests of the last scan that gave no count (object name "frmFailures"): one line per
// request with its URL, its engine and the reason, opened from the status bar's "Details".
#pragma once

#include "core/scan/scan_run.h"

#include <QDialog>

class QTreeWidget;

namespace tally {

class ScanFailuresDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScanFailuresDialog(QWidget* owner = nullptr);

    // Replaces the lines shown.
    void setFailures(const QList<ScanFailure>& failures);
    QTreeWidget* list() const { return list_; }

private:
    QTreeWidget* list_;
};

} // namespace tally
