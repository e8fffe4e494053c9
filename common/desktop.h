#pragma once
// Starting the system web browser on an address. Forms install a desktop-backed
// implementation; tests record the addresses (tests/support/doubles.h).
#include <QList>
#include <QString>

namespace common {

class DesktopBrowser {
public:
    virtual ~DesktopBrowser() = default;
    // False when no browser could be started.
    virtual bool open(const QString& url) = 0;
};

} // namespace common
