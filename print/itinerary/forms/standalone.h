#pragma once
// Opens the print form on its own, without the main window, and runs until it closes.
#include <QString>

class QApplication;

namespace itin {

// international: open in the international mode. dataFolder: the folder of info.ini and
// PingTai.ini (the program's folder when empty).
int RunPrintFormAlone(QApplication& app, bool international, const QString& dataFolder);

} // namespace itin
