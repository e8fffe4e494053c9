#pragma once
// What the itinerary forms need from the program: the module state, the seams and the
// place where receipts are printed. The program owns every object; tests build fresh ones.
#include "common/clock.h"
#include "common/deploy_config.h"
#include "common/desktop.h"
#include "common/messages.h"
#include "itinerary/print_form_state.h"
#include "itinerary/print_settings.h"
#include "itinerary/print_surface.h"
#include "itinerary/record.h"

#include <QString>

#include <functional>
#include <memory>

namespace itin {
class ReceiptLog;
}

namespace itin {

// Opens the drawing surface one receipt is printed on: a recording or PDF surface in tests.
// An empty factory prints on the system default printer; a factory returning nullptr means
// no printer can be opened.
using PrintSurfaceFactory = std::function<std::unique_ptr<PrintSurface>()>;

struct ItineraryContext {
    PrintFormState& formState;
    PrintSettings& settings;
    common::Messages& messages;
    const common::Clock& clock;
    const common::DeployConfig& deploy;
    common::DesktopBrowser& browser;
    common::FileDialogs& fileDialogs;
    // Folder of info.ini and PingTai.ini.
    QString programFolder;
    PrintSurfaceFactory makePrintSurface;
    // The receipt log (receipts.db), opened on its first use; none: receipts go unlogged.
    itin::ReceiptLog* receiptLog = nullptr;
};

} // namespace itin
