#include "core/webview/web_results_model.h"

#include "core/results/results_model.h"
#include "core/results/sort_keys.h"
#include "core/webview/web_results.h"

#include <QCoreApplication>

namespace tally {

namespace {

// Calls add(page) for each row a scanned URL has in the list so far: its home page (-1), then
// each engine that has reported, in slot order. Returns how many there are.
template <typename Add> int forEachPage(const ResultRecord& record, Add add) {
    add(-1);
    int pages = 1;
    for (int s = 0; s < EngineCount; ++s)
        if (record.cells[s].settled && !record.isOff(s)) {
            add(s);
            ++pages;
        }
    return pages;
}

bool allReported(const ResultRecord& record) {
    for (int s = 0; s < EngineCount; ++s)
        if (!record.cells[s].settled && !record.isOff(s))
            return false;
    return true;
}

} // namespace

WebResultsModel::WebResultsModel(ResultsModel* results, QObject* parent)
    : ReorderableTableModel(parent), results_(results) {
    if (results)
        connect(results, &QAbstractItemModel::modelReset, this, &WebResultsModel::refresh);
}

WebResultsModel::~WebResultsModel() = default;

int WebResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

int WebResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QString WebResultsModel::rowText(int row) const {
    if (row < 0 || row >= entries_.size())
        return QString();
    const Entry& e = entries_.at(row);
    if (e.slot < 0)
        return QLatin1String(HomePageRowText);
    return groups_.at(e.group)->engines->slot[e.slot].rowText;
}

QString WebResultsModel::url(int row) const {
    if (row < 0 || row >= entries_.size())
        return QString();
    return groups_.at(entries_.at(row).group)->url;
}

QVariant WebResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return QVariant();
    if (index.column() != 0)
        return url(index.row());
    // The home page's row reads in the user's language; rowText() stays the key of the row.
    if (index.row() < entries_.size() && entries_.at(index.row()).slot < 0)
        return QCoreApplication::translate("WebResultsModel", HomePageRowText);
    return rowText(index.row());
}

Qt::ItemFlags WebResultsModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QVariant WebResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 1)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == 0 ? QCoreApplication::translate("WebResultsModel", "Webpage Type")
                        : QCoreApplication::translate("WebResultsModel", "URL");
}

void WebResultsModel::reset() {
    beginResetModel();
    groups_.clear();
    shown_.clear();
    entries_.clear();
    staged_.clear();
    firstOpenGroup_ = 0;
    epoch_ = results_ ? results_->scanEpoch() : 0;
    endResetModel();
}

void WebResultsModel::refresh() {
    if (!results_) {
        if (!entries_.isEmpty())
            reset();
        return;
    }
    if (epoch_ != results_->scanEpoch())
        reset();
    prepare();
    if (staged_.isEmpty())
        return;
    const int first = int(entries_.size());
    beginInsertRows(QModelIndex(), first, first + int(staged_.size()) - 1);
    if (entries_.isEmpty()) // the rows of a scan gathered while hidden: taken, not copied
        entries_.swap(staged_);
    else
        entries_.append(staged_);
    staged_.clear();
    endInsertRows();
    if (sorted_)
        sortAll();
}

void WebResultsModel::prepare() {
    if (!results_ || epoch_ != results_->scanEpoch())
        return; // refresh() starts afresh
    QList<Entry>& added = staged_;
    groups_.reserve(results_->scannedCount());
    shown_.reserve(results_->scannedCount());
    for (int g = int(groups_.size()); g < results_->scannedCount(); ++g) {
        groups_.append(results_->scanned(g));
        shown_.append(0);
    }
    added.reserve(added.size() + (groups_.size() - firstOpenGroup_) * (EngineCount + 1));
    for (int g = firstOpenGroup_; g < groups_.size(); ++g) {
        const ResultRecord& record = *groups_.at(g);
        int page = 0;
        const int shown = shown_.at(g);
        shown_[g] = forEachPage(record, [&](int slot) {
            if (page++ >= shown)
                added.append({g, slot});
        });
        if (g == firstOpenGroup_ && allReported(record))
            ++firstOpenGroup_;
    }
}

int WebResultsModel::rowForUrl(const QString& url) const {
    int home = -1;
    int homeGroup = 0;
    for (int row = 0; row < entries_.size(); ++row) {
        const Entry& e = entries_.at(row);
        // The first scanned group's home page, wherever a sort has put it.
        if (e.slot < 0 && groups_.at(e.group)->url == url && (home < 0 || e.group < homeGroup)) {
            home = row;
            homeGroup = e.group;
        }
    }
    return home;
}

bool WebResultsModel::toggleTextSort(int column) {
    if (entries_.isEmpty())
        return true;
    if (column < 1 || column > 2)
        return false;
    ascending_ = !ascending_;
    sorted_ = true;
    sortColumn_ = column;
    sortAll();
    return true;
}

void WebResultsModel::sortAll() {
    // A stable sort of the whole list: rows already in order keep it, and a row added since
    // comes after the rows whose text equals its own, as if put at its sorted place.
    const int n = int(entries_.size());
    QStringList texts;
    texts.reserve(n);
    for (int row = 0; row < n; ++row)
        texts.append(sortColumn_ == 1 ? rowText(row) : url(row));
    reorderRows(entries_, sortedPositions(texts, SortKind::Text, ascending_));
}

} // namespace tally
