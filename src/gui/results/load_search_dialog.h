// The load dialog (LoadSearchDialog, "Load Saved Search").
#pragma once

#include "core/results/saved_search.h"

#include <QDialog>

class QComboBox;

namespace tally {

// Lists the saved searches; "Ok" sets appState().CurrentSavedSearch to the chosen one's file
// name and reports it through savedSearchChosen before closing.
class LoadSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoadSearchDialog(QWidget* owner = nullptr);

    const QList<SavedSearchEntry>& entries() const { return entries_; }

public Q_SLOTS:
    void Command1_Click(); // "Ok"
    void Command2_Click(); // "Cancel"

Q_SIGNALS:
    // A saved search was chosen: the chart should load it (doChart).
    void savedSearchChosen();

private:
    QComboBox* Combo1_ = nullptr;
    QList<SavedSearchEntry> entries_;
};

// Fills a list with the saved searches and returns them; with none, says so first.
QList<SavedSearchEntry> fillSavedSearchList(QComboBox* combo, QWidget* messageParent);

} // namespace tally
