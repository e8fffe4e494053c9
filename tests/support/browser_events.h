#pragma once
// Browser events recorded for tests that drive the real web engine.
#include "browser/embedded_browser.h"
#include "support/gui.h"

#include <QStringList>

namespace support {

// Collects the document-complete addresses of one browser.
struct Completed {
    QStringList urls;
    explicit Completed(browser::EmbeddedBrowser* b) {
        QObject::connect(b, &browser::EmbeddedBrowser::documentComplete, b,
                         [this](const QString& u) { urls << u; });
    }
    // Waits until an address containing part has completed.
    bool waitFor(const QString& part) {
        return WaitUntil([&] {
            for (const QString& u : urls)
                if (u.contains(part, Qt::CaseInsensitive)) return true;
            return false;
        });
    }
};

} // namespace support
