#include "import/platform/platform_import.h"

#include "common/messages.h"
#include "common/text_ops.h"
#include "import/import_context.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/print_form_host.h"

namespace ximport {

void InstallOrderRetrieval(ImportContext& ctx, itin::RetrievalForm& form) {
    // As OpenFromPages, with the retrieval seam that only this import gets.
    auto open = [&ctx, &form, opener = std::function<void()>()](itin::P_GuoNei&) mutable {
        if (!opener)
            if (browser::WebModule* pages = ctx.pages()) opener = pages->orderRetrieval(ctx, form);
        if (opener) opener();
    };
    auto check = [&ctx, open](itin::P_GuoNei& form) mutable {
        // The PNR is kept for the retrieval even when it is refused.
        itin::PrintFormState& state = ctx.itinerary.formState;
        state.platformPnr = common::TrimSpaces(form.record()[itin::PnrQuery]);
        if (state.platformPnr.size() != 6)
            return ctx.itinerary.messages.show(QStringLiteral("请输入正确的PNR"));
        if (form.platformChosen()) open(form);
    };
    ctx.printForms.commands().add({QStringLiteral("Cmdinput"),
                                   QStringLiteral("导 入"),
                                   {itin::FormLine::Platform, 855, true},
                                   check,
                                   true});
}

} // namespace ximport
