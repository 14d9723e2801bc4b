#include "core/results/results_model.h"

#include "core/numbers/numbers.h"
#include "core/scan/scan_run.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(ResultsModel)
};

} // namespace

// ---- ResultCell ----

ResultCell::ResultCell(const EngineOutcome& outcome)
    : count(outcome.isCount() ? readRoundedNumber(outcome.count) : std::nullopt), settled(true),
      count_(outcome.count), failure_(outcome.failure) {
    if (!outcome.reason.isEmpty() || !outcome.note.isEmpty() || !outcome.matched.isEmpty())
        details_ =
            std::make_shared<const Details>(Details{outcome.reason, outcome.note, outcome.matched});
}

const QString& ResultCell::none() {
    static const QString empty;
    return empty;
}

// ---- ResultRecord ----

bool ResultRecord::isOff(int slot) const {
    return engines->slot[slot].switchedOff;
}

void ResultRecord::settle(int slot, const EngineOutcome& outcome) {
    cells[slot] = ResultCell(outcome);
    if (sumKept_) // a finished row's total changes with its cells
        keepSum();
}

bool ResultRecord::isFailure(int slot) const {
    return cells[slot].settled && !isOff(slot) && !cells[slot].isCount();
}

QString ResultRecord::cellText(int slot) const {
    if (isOff(slot))
        return Text::tr("off");
    const ResultCell& cell = cells[slot];
    return cell.settled && cell.isCount() ? cell.countText() : QString();
}

QString ResultRecord::cellNote(int slot) const {
    if (isOff(slot))
        return Text::tr("switched off");
    const ResultCell& cell = cells[slot];
    if (!cell.settled)
        return QString();
    return cell.isCount() ? cell.note() : cell.reason();
}

std::optional<double> ResultRecord::value(int slot) const {
    const ResultCell& cell = cells[slot];
    if (isOff(slot) || !cell.settled || !cell.isCount())
        return std::nullopt;
    if (!engines->slot[slot].countsIntoTotal)
        return readDecimalNumber(cell.countText()); // a score keeps its decimals
    if (!cell.count)
        return std::nullopt;
    return double(*cell.count);
}

ResultRecord::Sum ResultRecord::sum() const {
    // Each summed slot's count as read when it was reported.
    if (!finished)
        return Sum();
    if (sumKept_)
        return {keptHasTotal_ ? std::optional<qint64>(keptTotal_) : std::nullopt, keptTooLarge_};
    EngineSnapshot::Counts counts;
    for (int s = 0; s < EngineCount; ++s)
        if (cells[s].settled && cells[s].isCount())
            counts[s] = cells[s].count;
    return engines->sum(counts);
}

void ResultRecord::finish() {
    finished = true;
    keepSum();
}

void ResultRecord::keepSum() {
    sumKept_ = false;
    const Sum kept = sum();
    keptTotal_ = kept.total.value_or(0);
    keptHasTotal_ = kept.total.has_value();
    keptTooLarge_ = kept.tooLarge;
    sumKept_ = true;
}

std::optional<qint64> ResultRecord::total() const {
    return sum().total;
}

bool ResultRecord::totalTooLarge() const {
    return sum().tooLarge;
}

QString ResultRecord::totalText() const {
    const Sum s = sum();
    if (s.tooLarge)
        return QStringLiteral("too large");
    return s.total ? QString::number(*s.total) : QString();
}

int ResultRecord::profile() const {
    return engines->profile(total());
}

QString profileWords(int profile) {
    switch (profile) {
    case 1:
        return Text::tr("Low profile");
    case 2:
        return Text::tr("Medium profile");
    case 3:
        return Text::tr("High profile");
    default:
        return QString();
    }
}

QList<RowCell> savedCells(const ResultRecord& record) {
    QList<RowCell> cells;
    for (int s = 0; s < EngineCount; ++s) {
        if (record.isOff(s))
            continue;
        const ResultCell& cell = record.cells[s];
        const EngineSlotSnapshot& slot = record.engines->slot[s];
        cells.append({slot.caption, cell.settled && cell.isCount() ? cell.countText() : QString(),
                      PointSource{slot.source, slot.metric, slot.release, cell.matched(),
                                  record.url, QString()}});
    }
    return cells;
}

// ---- ResultsModel ----

int ResultsModel::slotOfColumn(int column) {
    const int slot = column - FirstEngineColumn;
    return slot >= 0 && slot < EngineCount ? slot : -1;
}

ResultsModel::ResultsModel(QObject* parent) : ReorderableTableModel(parent) {}

ResultsModel::~ResultsModel() = default;

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size() || index.column() >= ColumnCount)
        return QVariant();
    const ResultRecord& r = *rows_.at(index.row());
    const int column = index.column();
    const int slot = slotOfColumn(column);
    switch (role) {
    case Qt::DisplayRole:
        if (column == UrlColumn)
            return r.url;
        if (column == TotalColumn) {
            const ResultRecord::Sum sum = r.sum();
            return sum.tooLarge ? tr("too large")
                   : sum.total  ? QString::number(*sum.total)
                                : QString();
        }
        return r.cellText(slot);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const QString tooLarge =
            r.totalTooLarge() ? tr("The counts add up to more than 9223372036854775807, more "
                                   "than a total can hold")
                              : QString();
        QString text = column == UrlColumn     ? profileWords(r.profile())
                       : column == TotalColumn ? tooLarge
                                               : r.cellNote(slot);
        if (slot >= 0 && role == Qt::ToolTipRole)
            if (const QString change = changeNote(r, slot); !change.isEmpty())
                text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + change;
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    default:
        return QVariant();
    }
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const int slot = slotOfColumn(section);
    if (role == Qt::DisplayRole) {
        if (section == UrlColumn)
            return Text::tr("Domain Name");
        if (section == TotalColumn)
            return Text::tr("Total");
        return header_->slot[slot].caption;
    }
    if (role == Qt::ToolTipRole && slot >= 0) {
        const EngineSlotSnapshot& engine = header_->slot[slot];
        const QString tip = engine.switchedOff          ? Text::tr("switched off")
                            : !engine.problem.isEmpty() ? engine.problem
                                                        : engine.countMeaning;
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    return QVariant();
}

void ResultsModel::setHeaderEngines(std::shared_ptr<const EngineSnapshot> engines) {
    if (!engines || engines == header_)
        return;
    header_ = std::move(engines);
    Q_EMIT headerDataChanged(Qt::Horizontal, FirstEngineColumn, ColumnCount - 1);
}

std::shared_ptr<const ResultRecord> ResultsModel::recordAt(int row) const {
    if (row < 0 || row >= rows_.size())
        return nullptr;
    return rows_.at(row);
}

void ResultsModel::clear() {
    beginResetModel();
    rows_.clear();
    pending_.clear();
    pendingAt_ = 0;
    scanned_.clear();
    ++epoch_;
    dirtyFirst_ = dirtyLast_ = -1;
    changedSent_ = false;
    for (QString& text : widest_)
        text.clear();
    endResetModel();
}

void ResultsModel::insertRecord(int position, ResultRecord record) {
    publish();
    const int row = std::clamp(position - 1, 0, int(rows_.size()));
    if (!record.engines)
        record.engines = EngineSnapshot::builtIn();
    auto shared = std::make_shared<ResultRecord>(std::move(record));
    noteWidth(TotalColumn, shared->totalText());
    for (int s = 0; s < EngineCount; ++s)
        noteWidth(columnOfSlot(s), shared->cellText(s));
    beginInsertRows(QModelIndex(), row, row);
    rows_.insert(row, std::move(shared));
    endInsertRows();
    Q_EMIT published();
}

QString ResultsModel::changeNote(const ResultRecord& record, int slot) const {
    const ResultCell& cell = record.cells[slot];
    if (!cell.settled || !cell.count || !record.engines->slot[slot].countsIntoTotal)
        return QString();
    if (!histories_)
        histories_ = std::make_unique<SiteHistories>(SiteHistories::read(savedSearchFolder()));
    const EngineSlotSnapshot& engine = record.engines->slot[slot];
    const std::optional<CountChange> change = histories_->change(
        record.url, engine.caption, {engine.source, engine.metric, engine.release, {}, {}, {}},
        *cell.count, historyToday());
    if (!change)
        return QString();
    return Text::tr("Since %1: %2")
        .arg(QLocale().toString(change->since, QLocale::ShortFormat), change->text());
}

void ResultsModel::follow(ScanRun* run) {
    connect(run, &ScanRun::started, this, [this, run] {
        histories_.reset(); // saved since: read again when asked
        setHeaderEngines(run->snapshot());
    });
    connect(run, &ScanRun::rowStarted, this, [this, run](int position, const QString& url) {
        startRow(position, url, run->snapshot());
    });
    connect(run, &ScanRun::engineResult, this, &ResultsModel::setOutcome);
    connect(run, &ScanRun::rowFinished, this, [this](int position) { finishRow(position); });
}

ResultRecord* ResultsModel::recordAtPosition(int position, int* publishedRow) {
    *publishedRow = -1;
    const int v = position - 1;
    if (v < 0)
        return nullptr;
    const int waiting = int(pending_.size());
    if (waiting == 0 || v < pendingAt_) {
        if (v >= rows_.size())
            return nullptr;
        *publishedRow = v;
        return const_cast<ResultRecord*>(rows_.at(v).get());
    }
    if (v < pendingAt_ + waiting)
        return const_cast<ResultRecord*>(pending_.at(v - pendingAt_).get());
    if (v - waiting >= rows_.size())
        return nullptr;
    *publishedRow = v - waiting;
    return const_cast<ResultRecord*>(rows_.at(v - waiting).get());
}

const ResultRecord* ResultsModel::recordAtPosition(int position) const {
    int row = -1;
    return const_cast<ResultsModel*>(this)->recordAtPosition(position, &row);
}

void ResultsModel::startRow(int position, const QString& url,
                            std::shared_ptr<const EngineSnapshot> engines) {
    auto record = std::make_shared<ResultRecord>();
    record->url = url;
    record->engines = engines ? std::move(engines) : EngineSnapshot::builtIn();
    record->serial = nextSerial_++;
    scanned_.append(record);
    const int virtualCount = int(rows_.size() + pending_.size());
    const int v = std::clamp(position - 1, 0, virtualCount);
    // A run writes its rows one after the other at the top: they gather in one block that joins
    // the published rows at the next publish. A row anywhere else publishes what waits first.
    if (!pending_.isEmpty() && (v < pendingAt_ || v > pendingAt_ + pending_.size()))
        publish();
    if (pending_.isEmpty())
        pendingAt_ = std::min(v, int(rows_.size()));
    pending_.insert(v - pendingAt_, std::move(record));
    touched();
}

void ResultsModel::setOutcome(int position, int slot, const EngineOutcome& outcome) {
    if (slot < 0 || slot >= EngineCount)
        return;
    int row = -1;
    ResultRecord* record = recordAtPosition(position, &row);
    if (!record)
        return;
    record->settle(slot, outcome);
    noteWidth(columnOfSlot(slot), record->cellText(slot));
    noteWidth(TotalColumn, record->totalText()); // a finished row's total changes with it
    markDirty(row);
    touched();
}

void ResultsModel::finishRow(int position) {
    int row = -1;
    ResultRecord* record = recordAtPosition(position, &row);
    if (!record)
        return;
    record->finish();
    noteWidth(TotalColumn, record->totalText());
    markDirty(row);
    touched();
}

void ResultsModel::markDirty(int publishedRow) {
    if (publishedRow < 0)
        return;
    dirtyFirst_ = dirtyFirst_ < 0 ? publishedRow : std::min(dirtyFirst_, publishedRow);
    dirtyLast_ = std::max(dirtyLast_, publishedRow);
}

void ResultsModel::noteWidth(int column, const QString& text) {
    if (text.size() > widest_[column].size())
        widest_[column] = text;
}

QString ResultsModel::widestText(int column) const {
    return column >= 0 && column < ColumnCount ? widest_[column] : QString();
}

void ResultsModel::touched() {
    if (!deferred_) {
        publish();
        return;
    }
    if (!changedSent_) {
        changedSent_ = true;
        Q_EMIT changed();
    }
}

void ResultsModel::setDeferred(bool deferred) {
    deferred_ = deferred;
    if (!deferred)
        publish();
}

bool ResultsModel::hasUnpublished() const {
    return !pending_.isEmpty() || dirtyFirst_ >= 0;
}

void ResultsModel::publish() {
    changedSent_ = false;
    if (!hasUnpublished())
        return;
    if (dirtyFirst_ >= 0) {
        const int first = dirtyFirst_;
        const int last = std::min(dirtyLast_, int(rows_.size()) - 1);
        dirtyFirst_ = dirtyLast_ = -1;
        if (first <= last)
            Q_EMIT dataChanged(index(first, 0), index(last, ColumnCount - 1));
    }
    if (!pending_.isEmpty()) {
        const int n = int(pending_.size());
        beginInsertRows(QModelIndex(), pendingAt_, pendingAt_ + n - 1);
        if (pendingAt_ == rows_.size()) {
            rows_.append(pending_); // a scan after "Clear Results": its rows are all there is
        } else {
            ResultRecords rows;
            rows.reserve(rows_.size() + n);
            rows.append(rows_.mid(0, pendingAt_));
            rows.append(pending_);
            rows.append(rows_.mid(pendingAt_));
            rows_ = std::move(rows);
        }
        pending_.clear();
        endInsertRows();
    }
    Q_EMIT published();
}

void ResultsModel::sortRows(int column, SortKind kind, bool ascending) {
    if (column < 0 || column >= ColumnCount)
        return;
    publish();
    reorderRows(rows_, sortedOrder(column, kind, ascending));
}

QList<int> ResultsModel::sortedOrder(int column, SortKind kind, bool ascending) const {
    return kind == SortKind::Number ? sortedPositions(numberKeys(column), ascending)
                                    : sortedPositions(columnTexts(column), kind, ascending);
}

QStringList ResultsModel::columnTexts(int column) const {
    QStringList texts;
    texts.reserve(rows_.size());
    for (int r = 0; r < int(rows_.size()); ++r)
        texts.append(data(index(r, column), Qt::DisplayRole).toString());
    return texts;
}

namespace {

NumberKey totalKey(const ResultRecord& row) {
    const ResultRecord::Sum sum = row.sum();
    return sum.total ? numberKeyOf(double(*sum.total)) : NumberKey();
}

} // namespace

ResultRecords byTotalAscending(const ResultRecords& rows) {
    QList<NumberKey> keys;
    keys.reserve(rows.size());
    for (const std::shared_ptr<const ResultRecord>& row : rows)
        keys.append(totalKey(*row));
    ResultRecords sorted;
    sorted.reserve(rows.size());
    for (int r : sortedPositions(keys, true))
        sorted.append(rows.at(r));
    return sorted;
}

QList<NumberKey> ResultsModel::numberKeys(int column) const {
    // The total's key from its value: what its digits read as ("too large" and none read as no
    // number). Every other cell's from its text.
    QList<NumberKey> keys;
    keys.reserve(rows_.size());
    const int slot = slotOfColumn(column);
    for (const std::shared_ptr<const ResultRecord>& row : rows_) {
        if (column == TotalColumn) {
            keys.append(totalKey(*row));
        } else {
            keys.append(numberKeyOf(column == UrlColumn ? row->url : row->cellText(slot)));
        }
    }
    return keys;
}

ResultRecords ResultsModel::sortedRecords(int column, SortKind kind, bool ascending) const {
    if (column < 0 || column >= ColumnCount)
        return records();
    ResultRecords list;
    list.reserve(rows_.size());
    for (int r : sortedOrder(column, kind, ascending))
        list.append(rows_.at(r));
    return list;
}

} // namespace tally
