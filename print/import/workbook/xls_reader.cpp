// Legacy binary workbooks (.xls, .xlt): values and number formats from our own reader of
// the compound document and its BIFF records.
#include "import/workbook/biff_scan.h"
#include "import/workbook/workbook.h"

namespace wbook {

ReadResult ReadXls(const QByteArray& file, const QString& sheetName, int maxRow, int maxColumn) {
    ReadResult res;
    const Stream stream = WorkbookStream(file);
    switch (stream.status) {
    case Stream::Ok:
        break;
    case Stream::Encrypted:
        res.reason = ReasonPassword();
        return res;
    case Stream::NotFound:
        res.reason = ReasonNotWorkbook();
        return res;
    case Stream::Damaged:
        res.reason = ReasonCorrupt();
        return res;
    }
    const Scan scan = ScanWorkbook(stream.data, sheetName, maxRow, maxColumn);
    switch (scan.status) {
    case Scan::Ok:
        break;
    case Scan::NoSheet:
        res.reason = ReasonNoSheet(sheetName);
        return res;
    case Scan::Encrypted:
        res.reason = ReasonPassword();
        return res;
    case Scan::Unsupported:
        res.reason = QStringLiteral("表格文件的版本太旧，请另存为新版格式后再导入");
        return res;
    case Scan::Damaged:
        res.reason = ReasonCorrupt();
        return res;
    }
    res.cells.date1904 = scan.date1904;
    for (auto it = scan.cells.cbegin(); it != scan.cells.cend(); ++it) {
        const ScannedCell& sc = it.value();
        Cell cell;
        cell.kind = sc.kind;
        cell.number = sc.number;
        cell.text = sc.text;
        cell.format = scan.formatOf(sc.xf);
        if (cell.format == u"General") cell.format.clear();
        if (cell.kind == Cell::Empty && cell.format.isEmpty()) continue;
        res.cells.set(int(it.key() >> 32), int(it.key() & 0xFFFFFFFF), cell);
    }
    res.ok = true;
    return res;
}

} // namespace wbook
