#pragma once
// The windows of print for one run: the company sign-in (or enrolment) first, then the main
// windows. Closing the sign-in without success ends the program.
#include <QString>

namespace shell {

// Runs until the last window closes; returns the exit code (2 when the cipher key table is
// refused). Needs a QApplication.
int RunWorkstation(const QString& programFolder);

} // namespace shell
