// The load dialog (object name "Form4", "Load Saved Search"): picks a saved search to chart.
#pragma once

#include "core/results/saved_search.h"

#include <QDialog>

class QComboBox;
class QListWidget;

namespace tally {

// Lists the saved searches; "Ok" reports the chosen one through savedSearchChosen and closes.
class LoadSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoadSearchDialog(QWidget* owner = nullptr);

    const QList<SavedSearchEntry>& entries() const { return entries_; }

public Q_SLOTS:
    // "Ok": reports the chosen saved search and closes; with none chosen, says so.
    void openChosenSearch();
    // "Fill in the past...": the chosen saved search's past, in a dialog of its own.
    void fillInPast();

Q_SIGNALS:
    // A saved search was chosen: its file name (name + ".vqz") in the saved-search folder.
    void savedSearchChosen(const QString& fileName);
    // The chosen saved search and those ticked to go beside it (file names, the chosen first).
    void sitesChosen(const QStringList& fileNames);

private:
    QComboBox* searchList_ = nullptr;
    QListWidget* compareList_ = nullptr;
    QList<SavedSearchEntry> entries_;
};

// Fills a list with the saved searches and returns them; with none, says so first.
QList<SavedSearchEntry> fillSavedSearchList(QComboBox* combo, QWidget* messageParent);

} // namespace tally
