#pragma once
// The print job a command line describes, for the PDF job and the printer job alike.
#include "cli/command_line.h"

#include "itinerary/headless_print.h"

namespace cli {

itin::HeadlessPrintJob PrintJobOf(const CommandLine& c);

} // namespace cli
