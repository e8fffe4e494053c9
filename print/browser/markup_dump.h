#pragma once
// Loads a page headless and writes its markup in the callers' dialect, frames included:
// the diagnostic behind "print --markup URL". Needs a QApplication.
#include <QString>

namespace browser {

// Returns 0 and writes the markup to standard output, or 2 when the page did not load or
// could not be read within the time.
int DumpMarkup(const QString& url, int timeoutMs);

} // namespace browser
