// The web-results list: the pages behind the scanned rows. For every scanned URL, in the order the
// URLs were scanned, a "Home Page" row and one row per engine that has reported (a switched-off
// engine has no page), each with the URL exactly as the URL list holds it: "Webpage Type" and
// "URL". It is derived from the results model when the list is looked at (refresh()), not kept
// row by row while a scan runs; clearing the results empties it.
//
// A header click sorts it by a column's text (letter case ignored), the list's one order toggled
// each time, starting descending; in that sorted mode rows added later take their sorted places.
#pragma once

#include "core/results/reorderable_model.h"

#include <QList>
#include <QPointer>

#include <memory>

namespace tally {

class ResultsModel;
struct ResultRecord;

class WebResultsModel : public ReorderableTableModel {
    Q_OBJECT
public:
    explicit WebResultsModel(ResultsModel* results, QObject* parent = nullptr);
    ~WebResultsModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Brings the list up to date with the scanned rows: new rows at the end (or at their sorted
    // places), an emptied list after the results were cleared.
    void refresh();
    // Gathers what refresh() would add without adding it yet, so that the list comes up to date
    // in one cheap step later (a long scan while the list is hidden).
    void prepare();

    // A row's page type ("Home Page" or the engine's row text as its run named it) and URL.
    QString rowText(int row) const;
    QString url(int row) const;

    // The row "Web Results" opens for a results row's URL: the URL's "Home Page" row (the first
    // scanned one, wherever a sort has put it); -1 when the list holds none.
    int rowForUrl(const QString& url) const;

    // The header click on a 1-based column: sorts by its text with the list's order toggled.
    // True on success (and for an empty list, which stays as it is); false for a column the list
    // does not have.
    bool toggleTextSort(int column);
    bool isSorted() const { return sorted_; }
    int sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return ascending_; }

private:
    void reset();
    void sortAll();

    struct Entry {
        int group; // index into groups_
        int slot;  // -1 for the home page
    };
    QPointer<ResultsModel> results_;
    QList<std::shared_ptr<const ResultRecord>> groups_; // the scanned rows seen, in scan order
    QList<int> shown_;                                  // rows listed per group so far
    int firstOpenGroup_ = 0;                            // groups before it have every row listed
    QList<Entry> entries_;
    QList<Entry> staged_; // gathered by prepare(), not listed yet
    quint64 epoch_ = 0;
    bool sorted_ = false;
    bool ascending_ = true; // the stored order; the first click toggles it to descending
    int sortColumn_ = 1;
};

} // namespace tally
