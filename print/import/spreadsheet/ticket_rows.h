#pragma once
// Ticket rows from a workbook: the sheet "sheet1", rows 1 to 500 until column A is empty,
// each row turned into the ";"-separated text the print form's row filler reads.
#include "import/workbook/workbook.h"

#include <QList>
#include <QString>

namespace ximport {

constexpr int kMaxRows = 500;
constexpr int kColumns = 13;         // A..M
constexpr int kDisplayedColumn = 10; // J: the departure time, taken as shown

QString SheetName(); // "sheet1"

struct TicketListRow {
    int row = 0;
    QString name;      // column D
    QString ticket;    // column B
    QString ticketRow; // ";A;B;...;M"
};

// The cell's value converted to text: whole numbers without decimals, dates in the
// system's short date format, times in its long time format.
QString CellValueText(const wbook::Cell& cell, bool date1904);
// The cell's text as the spreadsheet shows it under its number format.
QString CellDisplayText(const wbook::Cell& cell, bool date1904);

// ";" and columns A..M: the value texts without "'", column J as shown.
QString BuildTicketRow(const wbook::SheetCells& cells, int row);
QList<TicketListRow> BuildTicketRows(const wbook::SheetCells& cells);

struct TicketLoad {
    bool ok = false;
    QString message; // when not ok: names the file and the reason
    QList<TicketListRow> rows;
};
TicketLoad LoadTicketWorkbook(const QString& path);

// {"row": 1, "name": "...", "ticket": "...", "ticketRow": "..."}
QByteArray TicketRowJson(const TicketListRow& row);

} // namespace ximport
