// print --handoff FILE: what a print page's data does to the print form, as JSON.
#include "cli/command_line.h"

#include "shell/management/print_hand_off.h"

namespace cli {

int RunHandOff(const CommandLine& c) {
    QString text;
    if (!ReadInputText(c.value(c.handoff), text)) return 2;
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    PrintLine(QString::fromUtf8(shell::HandOffJson(text)));
    return 0;
}

} // namespace cli
