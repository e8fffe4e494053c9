// print --vendor-request PARAMS: one vendor service request and its reply.
#include "command_line.h"

#include "shell/vendor_cli.h"

#include <QCoreApplication>

int RunVendorRequest(const CommandLine& c) {
    int argc = c.argc;
    QCoreApplication app(argc, c.argv);
    return shell::RunVendorRequest(c.programFolder(), c.value(c.vendorRequest), PrintLine);
}
