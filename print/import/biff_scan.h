#pragma once
// A small reader of legacy binary workbooks for what the value library does not report:
// each cell's number format (FORMAT and XF records), the exact numbers behind dates and
// times, and formula results. Only BIFF5 and BIFF8 workbooks are scanned.
#include "workbook.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <optional>

namespace wbook::biff {

struct ScannedCell {
    int xf = -1;
    Cell::Kind kind = Cell::Empty;
    double number = 0;
    QString text;
    bool sharedText = false; // text lives in the shared string table (not decoded here)
};

struct Scan {
    bool sheetFound = false;
    bool date1904 = false;
    QStringList xfFormats; // number format code of each XF record, in order
    QHash<quint64, ScannedCell> cells;

    static quint64 key(int row, int column) {
        return (quint64(quint32(row)) << 32) | quint32(column);
    }
    ScannedCell cell(int row, int column) const { return cells.value(key(row, column)); }
    QString formatOf(int xf) const { return xf >= 0 ? xfFormats.value(xf) : QString(); }
};

// The workbook stream ("Workbook", or "Book" in older files) of a compound document;
// nothing when the container is malformed or has no such stream.
std::optional<QByteArray> workbookStream(const QByteArray& file);

// Formats of the workbook and the cells of the named worksheet (rows and columns from 1,
// up to the limits). sheetFound is false when no worksheet has that name.
Scan scanWorkbook(const QByteArray& stream, const QString& sheetName, int maxRow, int maxColumn);

} // namespace wbook::biff
