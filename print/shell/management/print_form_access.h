#pragma once
// What the shell needs of the print form: close it, open it in the current print mode,
// and reach the record of the open form. The program hands in the real form's host;
// headless runs and tests use HeadlessPrintForm.
#include "p_common.h"

#include <memory>

namespace shell {

class PrintFormAccess {
public:
    virtual ~PrintFormAccess() = default;
    // Unloads the form (it saves its page settings); PrintFormOpen becomes false.
    virtual void unload() = 0;
    // Shows the form, loading it afresh in PrintMode when it is not open.
    virtual void show() = 0;
    // The record of the open form, or null when none is open.
    virtual itin::ItineraryRecord* record() = 0;
};

// Sets PrintMode and reopens the form so that it builds itself in that mode with a fresh
// record (a form that is not open is only opened).
void OpenPrintForm(itin::PCommon& common, PrintFormAccess& form, qint16 mode);

// A print form without a window: a fresh record on every load.
class HeadlessPrintForm : public PrintFormAccess {
public:
    explicit HeadlessPrintForm(itin::PCommon& common) : common_(common) {}
    void unload() override;
    void show() override;
    itin::ItineraryRecord* record() override { return record_.get(); }

    int loads = 0;   // how often the form was loaded
    int unloads = 0; // how often it was unloaded
    qint16 loadedMode = 0;

private:
    itin::PCommon& common_;
    std::unique_ptr<itin::ItineraryRecord> record_;
};

} // namespace shell
