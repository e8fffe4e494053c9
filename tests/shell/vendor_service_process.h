#pragma once
// The local vendor service (tests/sites/vendor_service.py), running while this object lives.
#include "support/site_process.h"

class VendorServiceProcess : public support::SiteProcess {
public:
    explicit VendorServiceProcess(const QStringList& extraArgs = {})
        : SiteProcess(QStringLiteral("vendor_service.py"), extraArgs) {}
    // The service's address, or another path on its site.
    QString url(const QString& path = QStringLiteral("/service.asp")) const {
        return SiteProcess::url(path);
    }
};
