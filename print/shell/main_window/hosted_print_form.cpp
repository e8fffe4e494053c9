#include "hosted_print_form.h"

#include "print_form_host.h"

namespace shell {

void HostedPrintForm::unload() {
    host_.unload();
}

void HostedPrintForm::show() {
    host_.show();
}

itin::ItineraryRecord* HostedPrintForm::record() {
    itin::P_GuoNei* form = host_.form();
    return form ? &form->record() : nullptr;
}

} // namespace shell
