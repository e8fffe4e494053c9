// print --pnr FILE --preview OUT.png [--dpi N]: the first receipt's print preview.
#include "cli/command_line.h"

#include "itinerary/headless_preview.h"

namespace cli {

int RunPreview(const CommandLine& c) {
    const auto clock = c.makeClock();
    if (!clock) return 2;
    itin::HeadlessPreviewJob job;
    job.pnrFile = c.value(c.pnr);
    job.pngPath = c.value(c.preview);
    job.checkCode = c.value(c.checkCode);
    job.international = c.isSet(c.international);
    job.programFolder = c.programFolder();
    if (c.isSet(c.dpi)) {
        bool ok = false;
        job.dpi = c.value(c.dpi).toInt(&ok);
        if (!ok || job.dpi < 24 || job.dpi > 1200)
            return Fail(QStringLiteral("--dpi takes 24 to 1200"));
    }
    return itin::RunHeadlessPreview(job, *clock, PrintLine);
}

} // namespace cli
