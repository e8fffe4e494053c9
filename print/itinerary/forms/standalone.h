#pragma once
// Opens the print form on its own, without the main window, and runs until it closes.
#include <QString>

#include <functional>

class QApplication;

namespace itin {

class PrintFormHost;
struct ItineraryContext;
// Hooks the import dialogs of other folders to the host before the form opens.
using HostSetup = std::function<void(PrintFormHost&, ItineraryContext&)>;

// international: open in the international mode. dataFolder: the program folder (the
// executable's folder when empty).
int RunPrintFormAlone(QApplication& app, bool international, const QString& dataFolder,
                      const HostSetup& setup = {});

} // namespace itin
