// print --receipts [--from YYYY-MM-DD] [--to YYYY-MM-DD]: the receipt log as CSV.
#include "command_line.h"

#include "itinerary/receipts/receipt_log.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int RunReceipts(const CommandLine& c) {
    int argc = c.argc;
    QCoreApplication app(argc, c.argv);
    itin::Filter filter;
    for (const auto& [option, day] : {std::pair{&c.from, &filter.from}, {&c.to, &filter.to}}) {
        if (!c.isSet(*option)) continue;
        *day = QDate::fromString(c.value(*option), Qt::ISODate);
        if (!day->isValid()) return Fail(QStringLiteral("a date such as 2026-03-01 is needed"));
    }
    itin::ReceiptLog log;
    if (!log.open(QDir(c.programFolder()).filePath(itin::LogFileName()))) return Fail(log.error());
    const QByteArray csv = itin::ToCsv(log.list(filter));
    std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout);
    std::fflush(stdout);
    return 0;
}
