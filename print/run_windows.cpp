// print (no option): sign-in, then the main window; print --form: the print form alone.
#include "command_line.h"

#include "app/workstation.h"
#include "common/forms/translations.h"

int RunWindows(const CommandLine& c) {
    forms::InstallChineseTranslations();
    if (c.isSet(c.form)) return app::RunPrintFormAlone(c.programFolder(), c.isSet(c.international));
    return app::RunWorkstation(c.programFolder());
}
