#pragma once
// "print --order-page PLATFORM PAGE --platform-pnr PNR": loads an order detail document
// offscreen, reads it as the order retrieval window reads frame "mainFrame", and prints the
// record as JSON with the status text Label7 would show. Needs a QApplication.
#include "common/clock.h"

#include <QString>

#include <functional>

namespace ximport {

struct OrderPageJob {
    QString platform;    // "0" or "1"
    QString page;        // a file path or an http(s) address
    QString platformPnr; // platformPnr
    QString pnrFile;     // optional booking display parsed into the record first
    int timeoutMs = 30000;
};

// 0 and the JSON line; 1 and the status text when the page cannot be read as an order;
// 2 and a reason on err when the platform is not 0 or 1 or the page does not load.
int RunOrderPage(const OrderPageJob& job, const common::Clock& clock,
                 const std::function<void(const QByteArray&)>& out,
                 const std::function<void(const QString&)>& err);

} // namespace ximport
