#pragma once
// The workstation's windows and the program-wide state they share, for one run.
#include <QString>

namespace shell {

// Runs the windows of print until the main window closes; returns the exit code.
// Needs a QApplication created after browser::PrepareEngine().
int RunWorkstation(const QString& programFolder);

} // namespace shell
