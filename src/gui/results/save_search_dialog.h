// The save dialog (SaveSearchDialog, "Save Search Results").
#pragma once

#include "core/results/saved_search.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tally {

// Shows SaveSearchDialog modally, owned by `owner`; it saves appState().PendingSaveText.
void showSaveDialog(QWidget* owner);

// Saves the pending results row as a new saved search (Text1, "Save") or appends it to an
// existing one (Combo1, "Ok"). Built when shown, so its list is fresh every time.
class SaveSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit SaveSearchDialog(QWidget* owner = nullptr);

    // The saved searches listed in Combo1, in its order.
    const QList<SavedSearchEntry>& entries() const { return entries_; }

public Q_SLOTS:
    void Command3_Click(); // "Save"
    void Command1_Click(); // "Ok"
    void Command2_Click(); // "Cancel"

private:
    // Writes the row; closes the dialog unless the write failed.
    void save(const QString& file, SaveMode mode);

    QLineEdit* Text1_ = nullptr;
    QComboBox* Combo1_ = nullptr;
    QList<SavedSearchEntry> entries_;
};

} // namespace tally
