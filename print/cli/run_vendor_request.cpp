// print --vendor-request PARAMS: one vendor service request and its reply.
#include "cli/command_line.h"

#include "shell/vendor_cli.h"

namespace cli {

int RunVendorRequest(const CommandLine& c) {
    return shell::RunVendorRequest(c.programFolder(), c.value(c.vendorRequest), PrintLine);
}

} // namespace cli
