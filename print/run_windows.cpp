// print (no option): sign-in, then the main window; print --form: the print form alone.
#include "command_line.h"

#include "app/workstation.h"
#include "shell/browser/browser_profile.h"

#include <QApplication>

int RunWindows(const CommandLine& c) {
    browser::PrepareEngine();
    int argc = c.argc;
    QApplication app(argc, c.argv);
    if (c.isSet(c.form)) return app::RunPrintFormAlone(c.programFolder(), c.isSet(c.international));
    return app::RunWorkstation(c.programFolder());
}
