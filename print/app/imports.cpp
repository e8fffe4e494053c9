// Every import window of the print form, one line each.
#include "app/workstation.h"

#include "import/forms/import_context.h"
#include "import/forms/order_retrieval.h"
#include "import/forms/p_excel.h"
#include "import/forms/p_xty2.h"

namespace app {

void InstallImports(ximport::ImportContext& ctx) {
    ximport::InstallSpreadsheetImport(ctx); // "导入表格文件"
    ximport::InstallTicketImport(ctx);      // "票号导入"
    ximport::InstallOrderRetrieval(ctx);    // "导 入"
}

} // namespace app
