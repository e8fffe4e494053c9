#pragma once
// The print preview without windows: a booking file prepared as for printing, the first
// passenger's receipt drawn over the form outline (or the agent's scanned form) into a PNG.
#include "common/clock.h"

#include <QString>

#include <functional>

namespace itin {

struct HeadlessPreviewJob {
    QString pnrFile;   // booking display, UTF-8 or GBK
    QString pngPath;   // the picture to write
    QString checkCode; // empty: the next one of the receipt log
    bool international = false;
    QString programFolder;
    int dpi = 150;
};

// Writes the picture. One output line per text that overlaps another or leaves the page
// ("超出或重叠：" and the text). Returns 0 when written, 1 when the print-out refuses (its
// message is the output) or the picture cannot be written, 2 when the booking file cannot
// be read or is over the headless size cap.
int RunHeadlessPreview(const HeadlessPreviewJob& job, const common::Clock& clock,
                       const std::function<void(const QString&)>& out);

} // namespace itin
