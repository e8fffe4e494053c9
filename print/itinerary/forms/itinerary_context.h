#pragma once
// What the itinerary forms need from the program: the module state, the seams and the
// place where receipts are printed. The program owns every object; tests build fresh ones.
#include "clock.h"
#include "deploy_config.h"
#include "desktop.h"
#include "messages.h"
#include "p_common.h"
#include "print_settings.h"
#include "print_surface.h"

#include <QString>

#include <functional>
#include <memory>

namespace receipts {
class ReceiptLog;
}

namespace itin {

// Opens the drawing surface one receipt is printed on: a recording or PDF surface in tests.
// An empty factory prints on the system default printer; a factory returning nullptr means
// no printer can be opened.
using PrintSurfaceFactory = std::function<std::unique_ptr<PrintSurface>()>;

struct ItineraryContext {
    PCommon& common;
    PrintSettings& settings;
    Messages& messages;
    const Clock& clock;
    const DeployConfig& deploy;
    DesktopBrowser& browser;
    FileDialogs& fileDialogs;
    // Folder of info.ini and PingTai.ini.
    QString programFolder;
    PrintSurfaceFactory makePrintSurface;
    // The receipt log (receipts.db), opened once by the program; none: receipts go unlogged.
    receipts::ReceiptLog* receiptLog = nullptr;
};

} // namespace itin
