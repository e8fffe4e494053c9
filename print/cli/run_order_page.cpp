// print --order-page PLATFORM PAGE [--platform-pnr PNR] [--pnr FILE]: one platform order
// detail page read as the order retrieval reads it, as JSON.
#include "cli/command_line.h"

#include "browser/web_module.h"
#include "common/deploy_config.h"
#include "import/platform/order_page_headless.h"

#include <cstdio>

namespace cli {

int RunOrderPage(const CommandLine& c) {
    if (c.cli.positionalArguments().size() != 1)
        return Fail(QStringLiteral("--order-page needs PLATFORM and PAGE"));
    const auto clock = c.makeClock();
    if (!clock) return 2;
    QString why;
    browser::WebModule* pages = browser::LoadWebModule(&why);
    if (!pages) return Fail(why);
    ximport::OrderPageJob job;
    job.platform = c.value(c.orderPage);
    job.page = c.cli.positionalArguments().constFirst();
    job.platformPnr = c.value(c.platformPnr);
    job.pnrFile = c.value(c.pnr);
    job.timeoutMs = common::DeployConfig::load(c.programFolder()).httpTimeoutMs();
    return pages->runOrderPage(
        job, *clock, [](const QByteArray& line) { PrintLine(QString::fromUtf8(line)); },
        [](const QString& why) { Fail(why); });
}

} // namespace cli
