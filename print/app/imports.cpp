// Every import of the print form, one install call each (its header names its button).
#include "app/workstation.h"

#include "import/platform/platform_import.h"
#include "import/spreadsheet/p_excel.h"
#include "import/ticket/ticket_import.h"

namespace app {

void InstallImports(Workstation& w) {
    ximport::InstallSpreadsheetImport(w.imports());
    ximport::InstallTicketImport(w.imports());
    ximport::InstallOrderRetrieval(w.imports(), w.retrievalForm());
}

} // namespace app
