#pragma once
// The cells of one worksheet as the import reads them, whatever the file format, and the
// entry that reads them from a workbook file.
#include <QHash>
#include <QString>

namespace wbook {

// Workbooks above this size are refused unread (the import needs 500 rows of 13 columns).
constexpr qint64 kMaxWorkbookBytes = 32 * 1024 * 1024;

struct Cell {
    enum Kind { Empty, Number, Text, Boolean, Error };
    Kind kind = Empty;
    double number = 0; // Number; Boolean: 0 or 1
    QString text;      // Text; Error: its code such as "#N/A"
    QString format;    // the cell's number format code; empty means General
};

// Cells addressed by row and column, both from 1.
class SheetCells {
public:
    bool date1904 = false; // the workbook counts days from 1904-01-01
    Cell cell(int row, int column) const { return cells_.value(key(row, column)); }
    void set(int row, int column, Cell c) { cells_.insert(key(row, column), std::move(c)); }
    qsizetype size() const { return cells_.size(); }

private:
    static quint64 key(int row, int column) {
        return (quint64(quint32(row)) << 32) | quint32(column);
    }
    QHash<quint64, Cell> cells_;
};

// What a read gives: the cells, or the reason it failed, in the agent's words.
struct ReadResult {
    bool ok = false;
    QString reason;
    SheetCells cells;
};

// Reads rows 1..maxRow, columns 1..maxColumn of the worksheet named SheetName (matched
// without regard to case). The format is told by the file's content, not its name:
// Open XML workbooks (zip) and the legacy binary workbooks (compound document). Files over
// kMaxWorkbookBytes are refused unread.
ReadResult ReadWorkbook(const QString& path, const QString& sheetName, int maxRow, int maxColumn);
// The same for the bytes of a workbook file.
ReadResult ReadWorkbookData(const QByteArray& file, const QString& sheetName, int maxRow,
                            int maxColumn);

// The readers behind ReadWorkbookData.
ReadResult ReadXlsx(const QByteArray& file, const QString& sheetName, int maxRow, int maxColumn);
ReadResult ReadXls(const QByteArray& file, const QString& sheetName, int maxRow, int maxColumn);

// Reasons shared by the readers.
QString ReasonCorrupt();
QString ReasonNotWorkbook();
QString ReasonNoSheet(const QString& sheetName);
QString ReasonPassword();
QString ReasonTooLarge();

} // namespace wbook
