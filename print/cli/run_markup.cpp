// print --markup URL: a page loaded headless, its markup in the callers' dialect.
#include "cli/command_line.h"

#include "browser/web_module.h"
#include "common/deploy_config.h"

namespace cli {

int RunMarkup(const CommandLine& c) {
    QString why;
    browser::WebModule* pages = browser::LoadWebModule(&why);
    if (!pages) return Fail(why);
    const QString folder = c.programFolder();
    return pages->dumpMarkup(c.value(c.markup), common::DeployConfig::load(folder).httpTimeoutMs());
}

} // namespace cli
