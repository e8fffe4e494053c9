// print --markup URL: a page loaded headless, its markup in the callers' dialect.
#include "command_line.h"

#include "common/deploy_config.h"
#include "shell/browser/browser_profile.h"
#include "shell/browser/markup_dump.h"

#include <QApplication>

int RunMarkup(const CommandLine& c) {
    browser::PrepareEngine();
    DrawOffscreen();
    int argc = c.argc;
    QApplication app(argc, c.argv);
    const QString folder = c.programFolder();
    return browser::DumpMarkup(c.value(c.markup),
                               common::DeployConfig::load(folder).httpTimeoutMs());
}
