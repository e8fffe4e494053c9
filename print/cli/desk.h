#pragma once
// The desk: every entry point that needs widgets, the network, workbooks or pages (the
// windows among them). On ELF systems it is the module libprint_desk.so beside print,
// loaded with its symbols global so that the pages module loaded later binds to them; it
// binds to print's own copy of everything the two share. Elsewhere it is linked into print.
#include "cli/command_line.h"

namespace cli {

// Loads the desk and runs the command line there; its exit code.
int RunDesk(int argc, char** argv);

// In the desk: the application the options ask for (the web engine's set-up and a
// widgets application for the windows and the page jobs, a GUI application drawing
// offscreen for the printer job, otherwise a core application), then the entry point.
int DeskMain(int argc, char** argv);
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv);

} // namespace cli
