// Every import window of the print form, one line each.
#include "app/workstation.h"

#include "import/spreadsheet/p_excel.h"
#include "itinerary/forms/print_form_host.h"
#include "browser/web_module.h"

namespace app {

void InstallImports(Workstation& w) {
    ximport::InstallSpreadsheetImport(w.printForms(), w.printForm(),
                                      w.itinerary()); // "导入表格文件"
    // The windows with a page come from the pages module, made on the first click.
    auto onFirstClick = [&w](auto make) {
        return [&w, make, open = std::function<void()>()](itin::P_GuoNei&) mutable {
            if (!open)
                if (browser::WebModule* pages = w.pages()) open = make(*pages, w.imports());
            if (open) open();
        };
    };
    w.printForms().setOpenTicketImport(onFirstClick( // "票号导入"
        [](browser::WebModule& p, ximport::ImportContext& c) { return p.ticketImport(c); }));
    w.printForms().setOpenOrderRetrieval(onFirstClick( // "导 入"
        [](browser::WebModule& p, ximport::ImportContext& c) { return p.orderRetrieval(c); }));
}

} // namespace app
