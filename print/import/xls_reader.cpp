// Legacy binary workbooks (.xls, .xlt). The values come from the FreeXL library; the
// number format of each cell, which the library does not report, and the exact numbers
// behind its date texts come from our own scan of the workbook stream.
#include "biff_scan.h"
#include "workbook.h"

#include <QDateTime>
#include <QFile>

#include <freexl.h>

namespace wbook {
namespace {

class Handle {
public:
    ~Handle() {
        if (h_) freexl_close(h_);
    }
    const void** out() { return &h_; }
    const void* get() const { return h_; }

private:
    const void* h_ = nullptr;
};

QString openFailure(int rc) {
    switch (rc) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("文件不存在");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return reasonNotWorkbook();
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("文件太大，无法读取");
    default:
        return reasonCorrupt();
    }
}

// Date texts of the library ("YYYY-MM-DD", "HH:MM:SS", both) back to a serial, for a
// workbook whose stream our scan could not read.
double serialFromText(const QString& text, bool date1904) {
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    const QStringList parts = text.split(u' ');
    double serial = 0;
    for (const QString& p : parts) {
        if (p.contains(u'-')) {
            const QDate d = QDate::fromString(p, QStringLiteral("yyyy-MM-dd"));
            if (d.isValid()) serial += double(base.daysTo(d)) - (!date1904 && base.daysTo(d) < 61);
        } else {
            const QTime t = QTime::fromString(p, QStringLiteral("HH:mm:ss"));
            if (t.isValid()) serial += t.msecsSinceStartOfDay() / 86400000.0;
        }
    }
    return serial;
}

} // namespace

ReadResult ReadXls(const QString& path, const QString& sheetName, int maxRow, int maxColumn) {
    ReadResult res;
    Handle h;
    const int rc = freexl_open(QFile::encodeName(path).constData(), h.out());
    if (rc != FREEXL_OK) {
        res.reason = openFailure(rc);
        return res;
    }
    unsigned int info = 0;
    if (freexl_get_info(h.get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        res.reason = QStringLiteral("文件有密码保护");
        return res;
    }
    if (freexl_get_info(h.get(), FREEXL_BIFF_DATEMODE, &info) == FREEXL_OK)
        res.cells.date1904 = info == FREEXL_BIFF_DATEMODE_1904;
    unsigned int sheets = 0;
    freexl_get_info(h.get(), FREEXL_BIFF_SHEET_COUNT, &sheets);
    int index = -1;
    for (unsigned int i = 0; i < sheets && i < 65535 && index < 0; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(h.get(), quint16(i), &name) == FREEXL_OK && name &&
            QString::fromUtf8(name).compare(sheetName, Qt::CaseInsensitive) == 0)
            index = int(i);
    }
    if (index < 0) {
        res.reason = reasonNoSheet(sheetName);
        return res;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(h.get(), quint16(index)) != FREEXL_OK ||
        freexl_worksheet_dimensions(h.get(), &rows, &columns) != FREEXL_OK) {
        res.reason = reasonCorrupt();
        return res;
    }

    biff::Scan scan;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        if (const auto stream = biff::workbookStream(f.readAll()))
            scan = biff::scanWorkbook(*stream, sheetName, maxRow, maxColumn);
    }

    const int lastRow = int(std::min<unsigned int>(rows, unsigned(maxRow)));
    const int lastColumn = std::min<int>(columns, maxColumn);
    for (int r = 1; r <= lastRow; ++r) {
        for (int c = 1; c <= lastColumn; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(h.get(), unsigned(r - 1), quint16(c - 1), &v) != FREEXL_OK)
                continue;
            const biff::ScannedCell sc = scan.cell(r, c);
            Cell cell;
            cell.format = scan.formatOf(sc.xf);
            if (cell.format == u"General") cell.format.clear();
            // The library reports booleans as numbers and errors not at all.
            const bool scanned = sc.kind == Cell::Boolean || sc.kind == Cell::Error;
            switch (scanned ? FREEXL_CELL_NULL : v.type) {
            case FREEXL_CELL_INT:
            case FREEXL_CELL_DOUBLE:
                cell.kind = Cell::Number;
                cell.number =
                    v.type == FREEXL_CELL_INT ? double(v.value.int_value) : v.value.double_value;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                cell.kind = Cell::Text;
                cell.text = QString::fromUtf8(v.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: {
                cell.kind = Cell::Number;
                const QString text = QString::fromUtf8(v.value.text_value);
                if (sc.kind == Cell::Number) {
                    cell.number = sc.number;
                } else {
                    cell.number = serialFromText(text, res.cells.date1904);
                    if (cell.format.isEmpty())
                        cell.format = v.type == FREEXL_CELL_TIME ? QStringLiteral("h:mm:ss")
                                      : v.type == FREEXL_CELL_DATE
                                          ? QStringLiteral("yyyy/m/d")
                                          : QStringLiteral("yyyy/m/d h:mm");
                }
                break;
            }
            default: // the library leaves out text formula results, booleans and errors
                if (sc.kind == Cell::Empty || sc.sharedText) break;
                cell.kind = sc.kind;
                cell.number = sc.number;
                cell.text = sc.text;
                break;
            }
            if (cell.kind != Cell::Empty || !cell.format.isEmpty()) res.cells.set(r, c, cell);
        }
    }
    res.ok = true;
    return res;
}

} // namespace wbook
