// Every import of the print form, one install call each.
#include "app/workstation.h"

#include "import/platform/platform_import.h"
#include "import/spreadsheet/p_excel.h"
#include "import/ticket/ticket_import.h"

namespace app {

void InstallImports(Workstation& w) {
    ximport::InstallSpreadsheetImport(w.imports()); // "导入表格文件"
    ximport::InstallTicketImport(w.imports());      // "票号导入"
    ximport::InstallOrderRetrieval(w.imports());    // "导 入"
}

} // namespace app
