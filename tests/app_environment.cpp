// Linked into test programs that need an event loop: one application object for the run, a
// QApplication (offscreen) in programs that show widgets (WS_WIDGETS_APP), with the web engine
// prepared before it where they browse (WS_ENGINE_APP).
#ifdef WS_WIDGETS_APP
#include <QApplication>
using TestApp = QApplication;
#else
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

#ifdef WS_ENGINE_APP
#include "browser/browser_profile.h"
#endif

#include <gtest/gtest.h>

#include <memory>

namespace {

class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
#ifdef WS_ENGINE_APP
        browser::PrepareEngine();
#endif
        app_ = std::make_unique<TestApp>(argc_, argv_);
#ifdef WS_WIDGETS_APP
        QApplication::setQuitOnLastWindowClosed(false);
#endif
    }
    void TearDown() override {
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[8] = "tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<TestApp> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

} // namespace
