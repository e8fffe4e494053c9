#pragma once
// Our reader of legacy binary workbooks (.xls, .xlt; BIFF5 and BIFF8): the compound
// document container, then the workbook stream's records: sheet names, number formats,
// the shared string table with its continuation records, and the cell values (numbers,
// RK and MULRK, labels, shared strings, booleans, errors, formula results).
#include "import/workbook/workbook.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <optional>

namespace wbook {

struct ScannedCell {
    int xf = -1;
    Cell::Kind kind = Cell::Empty;
    double number = 0;
    QString text;
};

struct Scan {
    enum Status { Ok, NoSheet, Encrypted, Unsupported, Damaged };
    Status status = Damaged;
    bool date1904 = false;
    QStringList xfFormats; // number format code of each XF record, in order
    QHash<quint64, ScannedCell> cells;

    static quint64 key(int row, int column) {
        return (quint64(quint32(row)) << 32) | quint32(column);
    }
    ScannedCell cell(int row, int column) const { return cells.value(key(row, column)); }
    QString formatOf(int xf) const { return xf >= 0 ? xfFormats.value(xf) : QString(); }
};

struct Stream {
    enum Status { Ok, NotFound, Encrypted, Damaged };
    Status status = Damaged;
    QByteArray data;
};
// The workbook stream ("Workbook", or "Book" in older files) of a compound document.
// Encrypted for an encrypted Open XML package (it comes in such a container).
Stream WorkbookStream(const QByteArray& file);

// The workbook's formats and the cells of the worksheet named SheetName (matched without
// regard to case), rows and columns from 1 up to the limits.
Scan ScanWorkbook(const QByteArray& stream, const QString& sheetName, int maxRow, int maxColumn);

} // namespace wbook
