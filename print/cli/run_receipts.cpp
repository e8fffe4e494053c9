// print --receipts [--from YYYY-MM-DD] [--to YYYY-MM-DD]: the receipt log as CSV, streamed.
#include "cli/command_line.h"

#include "itinerary/receipts/receipt_log.h"

#include <QDir>

#include <cstdio>

namespace cli {

int RunReceipts(const CommandLine& c) {
    itin::Filter filter;
    for (const auto& [option, day] : {std::pair{&c.from, &filter.from}, {&c.to, &filter.to}}) {
        if (!c.isSet(*option)) continue;
        *day = itin::ParseDay(c.value(*option));
        if (!day->isValid()) return Fail(QStringLiteral("a date such as 2026-03-01 is needed"));
    }
    itin::ReceiptLog log;
    // A log that cannot be read fails the run with its cause, whatever was written before.
    const auto failed = [&] {
        std::fflush(stdout);
        std::fprintf(stderr, "print: %s\n", log.error().toUtf8().constData());
        return 1;
    };
    itin::UseConfiguredLedger(log, c.programFolder());
    if (!log.open()) return failed();
    const bool written = log.exportCsv(filter, [](const QByteArray& piece) {
        return std::fwrite(piece.constData(), 1, size_t(piece.size()), stdout) ==
               size_t(piece.size());
    });
    if (!written) return failed();
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace cli
