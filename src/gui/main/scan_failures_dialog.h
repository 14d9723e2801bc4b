// The requests of the last scan that gave no count (object name "frmFailures"): one line per
// request with its URL, its engine and the reason, opened from the status bar's "Details", with
// the way to the Sources window where most of them are mended.
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

Q_SIGNALS:
    // "Sources...": where a refused key, a spent quota or a definition is mended.
    void sourcesRequested();

private:
    QTreeWidget* list_;
};

} // namespace tally
