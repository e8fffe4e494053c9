#pragma once
// Opens the print form on its own, without the main window, and runs until it closes.
#include <QString>

class QApplication;

namespace itin {

// international: open in the international mode. dataFolder: the program folder (the
// executable's folder when empty).
int RunPrintFormAlone(QApplication& app, bool international, const QString& dataFolder);

} // namespace itin
