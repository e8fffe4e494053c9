#pragma once
// Browser events recorded for tests that drive the real web engine.
#include "browser/embedded_browser.h"
#include "support/gui.h"

#include <QStringList>

namespace support {

// Collects the document-complete addresses of one browser while it lives.
struct Completed {
    QStringList urls;
    explicit Completed(browser::EmbeddedBrowser* b)
        : connection_(QObject::connect(b, &browser::EmbeddedBrowser::documentComplete, b,
                                       [this](const QString& u) { urls << u; })) {}
    ~Completed() { QObject::disconnect(connection_); }
    Completed(const Completed&) = delete;
    Completed& operator=(const Completed&) = delete;
    // Waits until an address containing part has completed.
    bool waitFor(const QString& part) {
        return WaitUntil([&] {
            for (const QString& u : urls)
                if (u.contains(part, Qt::CaseInsensitive)) return true;
            return false;
        });
    }

private:
    QMetaObject::Connection connection_;
};

} // namespace support
