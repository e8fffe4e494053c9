#include "itinerary/forms/receipt_table_model.h"

namespace itin {

ReceiptTableModel::ReceiptTableModel(ReceiptLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log) {}

bool ReceiptTableModel::setFilter(const Filter& filter) {
    filter_ = filter;
    return reload();
}

bool ReceiptTableModel::reload() {
    beginResetModel();
    rows_.clear();
    error_.clear();
    total_ = log_.count(filter_);
    std::optional<QList<Receipt>> first;
    if (total_ >= 0) first = log_.page(filter_, sortColumn_, ascending_, 0, kPageRows);
    if (first) {
        rows_ = *first;
    } else {
        total_ = 0;
        error_ = log_.error();
    }
    endResetModel();
    return error_.isEmpty();
}

qint64 ReceiptTableModel::idAt(int row) const {
    return row >= 0 && row < rows_.size() ? rows_[row].id : 0;
}

int ReceiptTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ReceiptTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ReceiptColumnCount;
}

QVariant ReceiptTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_.size()) return {};
    return ReceiptColumns(rows_[index.row()], QStringLiteral("yyyy-MM-dd HH:mm"),
                          QStringLiteral("作废"))
        .value(index.column());
}

QVariant ReceiptTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return ReceiptHeaders().value(section);
}

bool ReceiptTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && rows_.size() < total_;
}

void ReceiptTableModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    const std::optional<QList<Receipt>> more =
        log_.page(filter_, sortColumn_, ascending_, rows_.size(), kPageRows);
    if (!more || more->isEmpty()) {
        // The log changed or failed under the view: stop asking.
        if (!more) error_ = log_.error();
        total_ = rows_.size();
        return;
    }
    beginInsertRows({}, int(rows_.size()), int(rows_.size() + more->size() - 1));
    rows_ += *more;
    endInsertRows();
}

void ReceiptTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ReceiptColumnCount) return;
    sortColumn_ = ReceiptColumn(column);
    ascending_ = order == Qt::AscendingOrder;
    reload();
}

} // namespace itin
