#include "import/ticket/ticket_import.h"

#include "import/import_context.h"
#include "itinerary/forms/print_form_host.h"

namespace ximport {

void InstallTicketImport(ImportContext& ctx) {
    ctx.printForms.commands().add({QStringLiteral("Cmd_piaohao"),
                                   QStringLiteral("票号导入"),
                                   {itin::FormLine::Buttons, 1215, true},
                                   OpenFromPages(ctx, &browser::WebModule::ticketImport),
                                   true});
}

} // namespace ximport
