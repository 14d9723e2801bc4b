// The save dialog (object name "Form5", "Save Search Results"): saves one results row as a new
// saved search or appends it to an existing one.
#pragma once

#include "core/results/saved_search.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace tally {

// Built when shown, so that its list of saved searches is fresh every time.
class SaveSearchDialog : public QDialog {
    Q_OBJECT
public:
    // cells: the row on its way to the history, each engine under the caption its run fetched the
    // count with.
    explicit SaveSearchDialog(const QList<RowCell>& cells, QWidget* owner = nullptr);

    // The saved searches listed for appending, in list order.
    const QList<SavedSearchEntry>& entries() const { return entries_; }

public Q_SLOTS:
    // "Save": the typed name becomes a new saved search (asking first before replacing one).
    void saveAsNewSearch();
    // "Ok": today's counts are appended to the chosen saved search.
    void appendToChosenSearch();

private:
    // Writes the row; closes the dialog unless the write failed.
    void save(const QString& file, SaveMode mode);

    QList<RowCell> cells_;
    QLineEdit* nameBox_ = nullptr;
    QComboBox* searchList_ = nullptr;
    QList<SavedSearchEntry> entries_;
};

} // namespace tally
