// print --markup URL: a page loaded headless, its markup in the callers' dialect.
#include "command_line.h"

#include "common/deploy_config.h"
#include "shell/browser/markup_dump.h"

int RunMarkup(const CommandLine& c) {
    const QString folder = c.programFolder();
    return browser::DumpMarkup(c.value(c.markup),
                               common::DeployConfig::load(folder).httpTimeoutMs());
}
