// print --pnr FILE --sms TYPE: the SMS text of a booking, composed without the gateway.
#include "cli/command_line.h"

#include "sms/sms_headless.h"

namespace cli {

int RunSmsText(const CommandLine& c) {
    const int type = c.value(c.sms).toInt();
    if (type < 1 || type > 7) return Fail(QStringLiteral("--sms needs a template type 1 to 7"));
    const auto clock = c.makeClock();
    if (!clock) return 2;
    QString booking;
    if (!ReadInputText(c.value(c.pnr), booking)) return 2;
    const sms::HeadlessSms out = sms::ComposeHeadless(booking, type, c.programFolder(), *clock);
    for (const QString& m : out.messages)
        PrintLine(m);
    PrintLine(out.text);
    return 0;
}

} // namespace cli
