#include "import/spreadsheet/ticket_rows.h"

#include "import/workbook/number_format.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

namespace ximport {

QString SheetName() {
    return QStringLiteral("sheet1");
}

QString CellValueText(const wbook::Cell& cell, bool date1904) {
    switch (cell.kind) {
    case wbook::Cell::Empty:
        return {};
    case wbook::Cell::Text:
        return cell.text;
    case wbook::Cell::Boolean:
        return cell.number != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case wbook::Cell::Error:
        return cell.text;
    case wbook::Cell::Number:
        if (!cell.format.isEmpty() && wbook::IsDateTimeFormat(cell.format))
            return wbook::DateValueText(cell.number, date1904);
        return wbook::ValueText(cell.number);
    }
    return {};
}

QString CellDisplayText(const wbook::Cell& cell, bool date1904) {
    switch (cell.kind) {
    case wbook::Cell::Empty:
        return {};
    case wbook::Cell::Text:
        return wbook::FormatText(cell.text, cell.format);
    case wbook::Cell::Boolean:
        return cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case wbook::Cell::Error:
        return cell.text;
    case wbook::Cell::Number:
        return wbook::FormatNumber(cell.number, cell.format, date1904);
    }
    return {};
}

QString BuildTicketRow(const wbook::SheetCells& cells, int row) {
    QString out;
    for (int col = 1; col <= kColumns; ++col) {
        const wbook::Cell c = cells.cell(row, col);
        out += u';';
        if (col == kDisplayedColumn)
            out += CellDisplayText(c, cells.date1904);
        else
            out += CellValueText(c, cells.date1904).remove(u'\'');
    }
    return out;
}

QList<TicketListRow> BuildTicketRows(const wbook::SheetCells& cells) {
    QList<TicketListRow> out;
    for (int row = 1; row <= kMaxRows; ++row) {
        const wbook::Cell a = cells.cell(row, 1);
        if (a.kind == wbook::Cell::Empty || (a.kind == wbook::Cell::Text && a.text.isEmpty()))
            break;
        TicketListRow r;
        r.row = row;
        r.name = CellValueText(cells.cell(row, 4), cells.date1904);
        r.ticket = CellValueText(cells.cell(row, 2), cells.date1904);
        r.ticketRow = BuildTicketRow(cells, row);
        out << r;
    }
    return out;
}

TicketLoad LoadTicketWorkbook(const QString& path) {
    TicketLoad out;
    const wbook::ReadResult read = wbook::ReadWorkbook(path, SheetName(), kMaxRows, kColumns);
    if (!read.ok) {
        out.message = QStringLiteral("无法读取表格文件“%1”：%2")
                          .arg(QDir::toNativeSeparators(path), read.reason);
        return out;
    }
    out.ok = true;
    out.rows = BuildTicketRows(read.cells);
    return out;
}

namespace {
QByteArray jsonString(const QString& s) {
    const QByteArray arr = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return arr.mid(1, arr.size() - 2);
}
} // namespace

QByteArray TicketRowJson(const TicketListRow& row) {
    return "{\"row\": " + QByteArray::number(row.row) + ", \"name\": " + jsonString(row.name) +
           ", \"ticket\": " + jsonString(row.ticket) +
           ", \"ticketRow\": " + jsonString(row.ticketRow) + "}";
}

} // namespace ximport
