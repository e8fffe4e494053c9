#include "shell/management/print_form_access.h"

namespace shell {

void OpenPrintForm(itin::PCommon& common, PrintFormAccess& form, qint16 mode) {
    common.PrintMode = mode;
    if (common.PrintFormOpen) form.unload();
    form.show();
}

void HeadlessPrintForm::unload() {
    if (!record_) return;
    record_.reset();
    common_.PrintFormOpen = false;
    ++unloads;
}

void HeadlessPrintForm::show() {
    if (record_) return;
    record_ = std::make_unique<itin::ItineraryRecord>();
    common_.PrintFormOpen = true;
    loadedMode = common_.PrintMode;
    ++loads;
}

} // namespace shell
