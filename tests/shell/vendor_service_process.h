#pragma once
// The local vendor service (tests/sites/vendor_service.py), running while this object lives,
// and a suite fixture around it.
#include "support/site_process.h"

#include <gtest/gtest.h>

#include <memory>

class VendorServiceProcess : public support::SiteProcess {
public:
    explicit VendorServiceProcess(const QStringList& extraArgs = {})
        : SiteProcess(QStringLiteral("vendor_service.py"), extraArgs) {}
    // The service's address, or another path on its site.
    QString url(const QString& path = QStringLiteral("/service.asp")) const {
        return SiteProcess::url(path);
    }
};

// A suite of tests sharing one demo vendor service.
class DemoServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        service = std::make_unique<VendorServiceProcess>(QStringList{QStringLiteral("--demo")});
    }
    static void TearDownTestSuite() { service.reset(); }
    void SetUp() override { ASSERT_TRUE(service->running()); }
    static inline std::unique_ptr<VendorServiceProcess> service;
};
