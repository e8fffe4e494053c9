// print --sheet FILE: the ticket rows of a workbook, one JSON object a line.
#include "cli/command_line.h"

#include "common/headless_input.h"
#include "import/spreadsheet/ticket_rows.h"
#include "import/workbook/workbook.h"

#include <cstdio>

namespace cli {

int RunSheet(const CommandLine& c) {
    QString error;
    if (!common::ReadInputFile(c.value(c.sheet), &error, wbook::kMaxWorkbookBytes))
        return Fail(error);
    const ximport::TicketLoad load = ximport::LoadTicketWorkbook(c.value(c.sheet));
    if (!load.ok) {
        std::fprintf(stderr, "%s\n", load.message.toUtf8().constData());
        return 1;
    }
    for (const ximport::TicketListRow& row : load.rows)
        PrintLine(QString::fromUtf8(ximport::TicketRowJson(row)));
    return 0;
}

} // namespace cli
