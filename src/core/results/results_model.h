// The results: one row per scanned URL with what each engine slot gave (the whole outcome, and
// the count as a number), its total and profile derived from them, and the snapshot of the
// engines its run counted with. Everything that shows or uses results reads this model: the
// results table (a view over it), the chart of the current results, the exports, "Save Selected",
// the sort, "Show as Table", the pages behind the scanned URLs and the command line. Nothing reads
// results back from what a widget shows.
//
// Columns: 0 "Domain Name" (the URL as listed), 1 "Total", 2..7 the six slots by their captions.
// A cell holds the count as the engine reported it (thousands commas removed), nothing for a
// failure (its reason is the tooltip and the accessible description), "off" for a switched-off
// slot. A row's total and profile show once every slot has reported; a row without any count in
// the slots that count into the total has no total and no profile, never 0.
//
// A scan writes into the model as it goes (follow()). In deferred mode (the window's) the views
// hear of new rows and changed cells only when publish() is called, so that a long scan is drawn
// a few times a second rather than once per request; the model itself is always up to date, and
// rows a run has started but not yet published are found by their positions all the same.
#pragma once

#include "core/results/reorderable_model.h"
#include "core/results/saved_search.h"
#include "core/results/site_histories.h"
#include "core/results/sort_keys.h"
#include "core/scan/engine_outcome.h"
#include "core/scan/engine_snapshot.h"

#include <QList>
#include <QString>

#include <array>
#include <memory>
#include <optional>

namespace tally {

class ScanRun;

// One engine slot's cell of a row, as the run reported it. Kept small (a long list holds six
// per URL): the count's text inline; a failure's reason, a count's note and the vertex matched,
// which most cells lack, apart.
class ResultCell {
public:
    ResultCell() = default;
    // A settled cell.
    explicit ResultCell(const EngineOutcome& outcome);

    bool isCount() const { return failure_ == FailureKind::None; }
    FailureKind failure() const { return failure_; }
    const QString& countText() const { return count_; } // empty for a failure
    const QString& reason() const { return details_ ? details_->reason : none(); }
    const QString& note() const { return details_ ? details_->note : none(); }
    const QString& matched() const { return details_ ? details_->matched : none(); }

    std::optional<qint64> count; // a count outcome whose text reads as a number, rounded
    bool settled = false;        // the run has reported this slot

private:
    static const QString& none();
    struct Details {
        QString reason, note, matched;
    };
    QString count_;
    std::shared_ptr<const Details> details_; // none when all three are empty
    FailureKind failure_ = FailureKind::None;
};

struct ResultRecord {
    QString url;
    std::shared_ptr<const EngineSnapshot> engines = EngineSnapshot::builtIn(); // never null
    std::array<ResultCell, EngineCount> cells;
    bool finished = false; // every slot has reported: total and profile are known
    quint64 serial = 0;    // order of scanning (1, 2, ...); 0 for a row that was not scanned

    // A slot switched off in the snapshot.
    bool isOff(int slot) const;
    // The slot's outcome as reported: settled, with its count read as a number.
    void settle(int slot, const EngineOutcome& outcome);
    // A reported slot that gave no count (and is not switched off).
    bool isFailure(int slot) const;
    // What the cell shows: the count as reported, "off", or nothing.
    QString cellText(int slot) const;
    // What a cell is about beyond its text: a failure's reason, what a count means, "switched
    // off"; empty for a plain count.
    QString cellNote(int slot) const;
    // The number a chart draws for the slot: its count, or a score's value with its decimals;
    // nothing for a failure, a switched-off slot or a slot not reported yet.
    std::optional<double> value(int slot) const;
    // Once finished: the total of the counts of the slots that count into it, or nothing when
    // none of them gave a count.
    std::optional<qint64> total() const;
    // Once finished: whether the counts add up to more than 64 bits hold (no total then).
    bool totalTooLarge() const;
    // The total as files write it: its digits, "too large", or nothing.
    QString totalText() const;
    // total() and totalTooLarge() from one pass over the cells (EngineSnapshot::sum), kept from
    // the moment the row is finished (finish()), so that a sort of many rows reads one field.
    using Sum = EngineSnapshot::RowSum;
    Sum sum() const;
    // Every slot has reported: the row is finished and its sum kept.
    void finish();
    // 1 low, 2 medium, 3 high, 0 none (no total, or not finished).
    int profile() const;

private:
    void keepSum();
    // The sum once finished; a row marked finished by hand sums on each call.
    qint64 keptTotal_ = 0;
    bool sumKept_ = false, keptHasTotal_ = false, keptTooLarge_ = false;
};

// Rows of the results, in the table's order.
using ResultRecords = QList<std::shared_ptr<const ResultRecord>>;

// The rows in ascending order of their totals (none first), equal totals in the order given.
ResultRecords byTotalAscending(const ResultRecords& rows);

// "Low profile", "Medium profile", "High profile"; empty for any other number.
QString profileWords(int profile);

// A results row on its way into a saved search: each engine that may be saved (not switched off)
// under the caption its run named it by, with its count text; a failed request's text is empty.
QList<RowCell> savedCells(const ResultRecord& record);

class ResultsModel : public ReorderableTableModel {
    Q_OBJECT
public:
    static constexpr int UrlColumn = 0;
    static constexpr int TotalColumn = 1;
    static constexpr int FirstEngineColumn = 2;
    static constexpr int ColumnCount = FirstEngineColumn + EngineCount;
    static int columnOfSlot(int slot) { return FirstEngineColumn + slot; }
    // The slot of a column, or -1 for the URL and Total columns.
    static int slotOfColumn(int column);

    explicit ResultsModel(QObject* parent = nullptr);
    ~ResultsModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole, ToolTipRole and AccessibleDescriptionRole (see above; column 0's tooltip and
    // description are the profile in words).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Selectable rows that never have children (a tree view then lays out a long table quickly).
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The captions, and as a slot's tooltip what its counts mean or what is wrong with it.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The engines the header names: the last run's, or the program's until the first scan.
    void setHeaderEngines(std::shared_ptr<const EngineSnapshot> engines);
    std::shared_ptr<const EngineSnapshot> headerEngines() const { return header_; }

    // The rows in the table's order (published rows only in deferred mode).
    const ResultRecord& record(int row) const { return *rows_.at(row); }
    std::shared_ptr<const ResultRecord> recordAt(int row) const;
    const ResultRecords& records() const { return rows_; }

    // The scanned rows in the order they were scanned, published or not; the count changes back
    // to 0, and the epoch grows, when the results are cleared.
    int scannedCount() const { return int(scanned_.size()); }
    std::shared_ptr<const ResultRecord> scanned(int i) const { return scanned_.at(i); }
    quint64 scanEpoch() const { return epoch_; }

    // Removes every row (a model reset).
    void clear();
    // Adds a row made elsewhere at a 1-based position (clamped to the table); it is not among the
    // scanned rows.
    void insertRecord(int position, ResultRecord record);

    // Keeps the rows of a run: its snapshot names the header at its start, each row starts at the
    // position the run gives, takes each outcome and is finished when the run says so.
    void follow(ScanRun* run);
    // The same steps by hand (positions 1-based, as the run reports them).
    void startRow(int position, const QString& url,
                  std::shared_ptr<const EngineSnapshot> engines = EngineSnapshot::builtIn());
    void setOutcome(int position, int slot, const EngineOutcome& outcome);
    void finishRow(int position);
    // The record at a 1-based position as the run sees the table (unpublished rows in their
    // place), or nullptr.
    const ResultRecord* recordAtPosition(int position) const;

    // In deferred mode changes reach the views at publish(); changed() says that something waits.
    void setDeferred(bool deferred);
    bool isDeferred() const { return deferred_; }
    bool hasUnpublished() const;
    void publish();

    // The typed sort by a 0-based column: stable, every row's cells unchanged; persistent
    // indexes (a view's selection and current row) follow their rows. Publishes first.
    void sortRows(int column, SortKind kind, bool ascending);
    // The published rows in the order that sort would give them, the table left as it is.
    ResultRecords sortedRecords(int column, SortKind kind, bool ascending) const;

    // The longest text a column shows (by characters), for widths that never cut a number.
    QString widestText(int column) const;

Q_SIGNALS:
    // Something changed that the views have not heard of yet (deferred mode).
    void changed();
    // The views were told of everything (and the widest texts may have grown).
    void published();

private:
    // What changed in a counted cell since its site's previous saved point, as its tooltip says.
    QString changeNote(const ResultRecord& record, int slot) const;
    ResultRecord* recordAtPosition(int position, int* publishedRow);
    QList<int> sortedOrder(int column, SortKind kind, bool ascending) const;
    // What every row's cell of the column sorts by under kind number.
    QList<NumberKey> numberKeys(int column) const;
    // Every row's text of the column.
    QStringList columnTexts(int column) const;
    void markDirty(int publishedRow);
    void noteWidth(int column, const QString& text);
    void touched();

    std::shared_ptr<const EngineSnapshot> header_ = EngineSnapshot::builtIn();
    // The model makes every record and alone changes them (recordAtPosition); what it hands out
    // is read only.
    ResultRecords rows_;    // what the views know
    ResultRecords pending_; // started rows not yet published
    int pendingAt_ = 0;     // where they go among rows_
    ResultRecords scanned_; // scan order
    quint64 epoch_ = 0;
    quint64 nextSerial_ = 1;
    int dirtyFirst_ = -1; // published rows changed since the last publish
    int dirtyLast_ = -1;
    bool deferred_ = false;
    bool changedSent_ = false;
    std::array<QString, ColumnCount> widest_;
    // The saved searches' sites, read when a tooltip first asks after a run started.
    mutable std::unique_ptr<SiteHistories> histories_;
};

} // namespace tally
