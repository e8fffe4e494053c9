#include "shell/management/print_form_access.h"

namespace shell {

void OpenPrintForm(itin::PrintFormState& formState, PrintFormAccess& form, qint16 mode) {
    formState.printMode = mode;
    if (formState.printFormOpen) form.unload();
    form.show();
}

void HeadlessPrintForm::unload() {
    if (!record_) return;
    record_.reset();
    formState_.printFormOpen = false;
    ++unloads;
}

void HeadlessPrintForm::show() {
    if (record_) return;
    record_ = std::make_unique<itin::ItineraryRecord>();
    formState_.printFormOpen = true;
    loadedMode = formState_.printMode;
    ++loads;
}

} // namespace shell
