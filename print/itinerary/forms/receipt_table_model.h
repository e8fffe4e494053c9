#pragma once
// The rows of the receipt log window, read page by page as the view scrolls, so a log of
// any size opens as fast as a small one.
#include "itinerary/receipts/receipt_log.h"

#include <QAbstractTableModel>

namespace itin {

class ReceiptTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReceiptTableModel(ReceiptLog& log, QObject* parent = nullptr);

    // Shows the rows of the filter from the top; false with error() set when the log
    // cannot be read (the list is then empty).
    bool setFilter(const Filter& filter);
    const Filter& filter() const { return filter_; }
    // Rows the filter matches in the log (not only those read yet).
    qint64 total() const { return total_; }
    QString error() const { return error_; }
    qint64 idAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order) override;

    static constexpr int kPageRows = 200;

private:
    bool reload();

    ReceiptLog& log_;
    Filter filter_;
    ReceiptColumn sortColumn_ = TimeColumn;
    bool ascending_ = false;
    QList<Receipt> rows_;
    qint64 total_ = 0;
    QString error_;
};

} // namespace itin
